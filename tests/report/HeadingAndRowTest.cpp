// The column heading, the diagram row and its time label, as bytes.

#include "platform/CodePage.h"
#include "report/HeadingLine.h"
#include "sim/DiagramRow.h"
#include "tests/support/PoseSignals.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

QString S(const char *utf8) { return QString::fromUtf8(utf8); }

TEST(HeadingLine, CellsOfFiveWithOneBlankAfterTheInput)
{
    struct Case { QString caption; QStringList elements; QStringList outputs; QString expected; };
    const Case cases[] = {
        {S("Вх."), {S("К1"), S("К2")}, {S("В")}, S("Вх.   К1   К2   В     Ti")},
        // Longer names are cut to 5, a name of exactly 5 fills its cell.
        {S("Вх."), {S("Элемент1"), S("Ab")}, {S("Выход")}, S("Вх.   ЭлемеAb   Выход Ti")},
        {S("Входной"), {S("А")}, {}, S("Входн А     Ti")},
        {QString(), {}, {}, S("       Ti")},
    };
    for (const Case &c : cases) {
        RunState state;
        state.InputCaption = c.caption;
        state.ElemCount = int16_t(c.elements.size());
        for (int i = 0; i < c.elements.size(); ++i)
            state.ElemName[i + 1] = c.elements[i];
        state.OutCount = int16_t(c.outputs.size());
        for (int j = 0; j < c.outputs.size(); ++j)
            state.OutName[j + 1] = c.outputs[j];
        EXPECT_EQ(HeadingLine(state), CodePage::toOem(c.expected)) << c.expected.toStdString();
    }
}

// 3 elements and 2 outputs: input 1; elements on, pickup pending, release
// pending; outputs 0 and 1.
RunState threeByTwo()
{
    RunState state;
    state.ElemCount = 3;
    state.OutCount = 2;
    PoseSignals(state, [](RunSignals &now) {
        now.InputVal = {0, 1};
        now.Excit[1] = {0, 1};
        now.ElemState[1] = {0, 1};
        now.Excit[2] = {0, 1};
        now.ElemState[2] = {0, 0};
        now.Excit[3] = {1, 0};
        now.ElemState[3] = {1, 1};
        now.OutState[1] = {1, 0};
        now.OutState[2] = {0, 1};
    });
    return state;
}

TEST(DiagramRow, SixCellsOfFiveAndTheLabelAfterThem)
{
    const QByteArray cells = QByteArray("\xB0    \xB0    \xDB    \xB2    \xB3    \xB0    ");
    ASSERT_EQ(cells.size(), 30);
    struct Case { float time; bool label; char separator; QByteArray expected; };
    const Case cases[] = {
        {0.1f, false, ',', cells},
        {0.1f, true, ',', cells + "0,10"},
        {0.1f, true, '.', cells + "0.10"},
        {5.0f, true, ',', cells + "5,00"},
        {99.99f, true, ',', cells + "99,99"},
        {12.345f, true, ',', cells + "12,35"}, // 12.345f is a little above 12.345
        {0.0f, true, ',', cells + "0,00"},
    };
    for (const Case &c : cases) {
        RunState state = threeByTwo();
        PoseSignals(state, [&c](RunSignals &now) { now.ModelTime = c.time; });
        QByteArray row("left over from an earlier, longer row of the diagram window");
        ComposeRow(state, c.label, c.separator, row);
        EXPECT_EQ(row, c.expected) << c.time;
    }
}

TEST(DiagramRow, SeparatorOfTheLocale)
{
    EXPECT_EQ(DecimalSeparator(QLocale(QLocale::Russian, QLocale::Russia)), ',');
    EXPECT_EQ(DecimalSeparator(QLocale(QLocale::German, QLocale::Germany)), ',');
    EXPECT_EQ(DecimalSeparator(QLocale::c()), '.');
    EXPECT_EQ(DecimalSeparator(QLocale(QLocale::English, QLocale::UnitedStates)), '.');
}

} // namespace
