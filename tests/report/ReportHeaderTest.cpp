// The report-file header block and the numbers and columns in it.

#include "platform/CodePage.h"
#include "report/ReportHeader.h"

#include <gtest/gtest.h>

namespace {

QString S(const char *utf8) { return QString::fromUtf8(utf8); }
QString B(int blanks) { return QString(blanks, QLatin1Char(' ')); }

QByteArray oemLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += CodePage::toOem(line) + "\r\n";
    return bytes;
}

const QDateTime Now(QDate(2026, 12, 6), QTime(14, 5, 59));
const QLocale Russian(QLocale::Russian, QLocale::Russia);

RunState stickRelay()
{
    RunState state;
    state.ModelName = S("Фиксатор");
    state.InputCaption = S("Вх.");
    state.ElemCount = 2;
    state.ElemName[1] = S("Ф");
    state.ElemName[2] = S("ГФ");
    state.Tpr[1] = 0.01f;
    state.Tpr[2] = 0.5f;
    state.Totp[1] = 0.01f;
    state.Totp[2] = 0.01f;
    state.OutCount = 1;
    state.OutName[1] = S("ВЫХ");
    return state;
}

TEST(ReportHeader, CentredColumnRoundsHalvesToEven)
{
    const std::pair<int, int> cases[] = {
        {10, 36}, {11, 36}, {13, 34}, {0, 41}, {1, 40}, {3, 40}, {8, 37}, {80, 1}, {81, 1}, {200, 1}};
    for (const auto &[length, column] : cases)
        EXPECT_EQ(CentredColumn(length), column) << length;
}

TEST(ReportHeader, GeneralNumberHasABlankForTheSignAndOneAfter)
{
    struct Case { float value; QLocale locale; QString expected; };
    const Case cases[] = {
        {0.05f, Russian, S(" 0,05 ")}, {0.5f, Russian, S(" 0,5 ")},   {1.0f, Russian, S(" 1 ")},
        {0.0f, Russian, S(" 0 ")},     {-0.0f, Russian, S(" 0 ")},    {-0.2f, Russian, S("-0,2 ")},
        {12.25f, Russian, S(" 12,25 ")}, {0.05f, QLocale::c(), S(" 0.05 ")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GeneralNumber(c.value, c.locale), c.expected) << c.value;
}

TEST(ReportHeader, FileBlockWithTheTimingTable)
{
    RunState state = stickRelay();
    state.ReportHeadDue = FlagTrue;
    const QByteArray block = RenderFileHeader(MakeReportHeader(state, Now, Russian));
    EXPECT_EQ(block, oemLines({
                         QString(),
                         S("06.12.2026"),
                         S("14:05"),
                         B(36) + S("Фиксатор"), // 8 characters: column 37
                         S("     Временные характеристики"),
                         S("    Элемент     Tпр     T отп"),
                         S("    Ф") + B(10) + S(" 0,01 ") + B(2) + S(" 0,01 "),
                         S("    ГФ") + B(9) + S(" 0,5 ") + B(3) + S(" 0,01 "),
                         QString(),
                         S("Вх.   Ф    ГФ   ВЫХ   Ti"),
                     }));
}

TEST(ReportHeader, FileBlockWithoutTheTimingTable)
{
    RunState state = stickRelay();
    state.ReportHeadDue = FlagFalse;
    const QByteArray block = RenderFileHeader(MakeReportHeader(state, Now, Russian));
    EXPECT_EQ(block, oemLines({QString(), S("06.12.2026"), S("14:05"), S("Вх.   Ф    ГФ   ВЫХ   Ti")}));
}

TEST(ReportHeader, ModelNamesCentredAndLongElementNamesKeepTheColumns)
{
    RunState state = stickRelay();
    state.ReportHeadDue = FlagTrue;
    state.ElemCount = 1;
    state.ElemName[1] = S("Повторитель1"); // 12 characters: columns 5 to 16
    state.OutCount = 0;
    struct Case { QString name; int blanks; };
    for (const Case &c : {Case{S("Контроль 1"), 35}, Case{S("Контроль 12"), 35}, Case{S("Контроль 123"), 34},
                          Case{S("Контроль 1234"), 33}}) {
        state.ModelName = c.name;
        const QList<QByteArray> lines = RenderFileHeader(MakeReportHeader(state, Now, Russian)).split('\n');
        ASSERT_GE(lines.size(), 9);
        EXPECT_EQ(lines[3], CodePage::toOem(B(c.blanks) + c.name) + '\r') << c.name.size();
        // The pickup time cannot start at column 16 of the name's line: it
        // goes on the next line at that column.
        EXPECT_EQ(lines[6], CodePage::toOem(S("    Повторитель1")) + '\r');
        EXPECT_EQ(lines[7], CodePage::toOem(B(15) + S(" 0,01 ") + B(2) + S(" 0,01 ")) + '\r');
    }
}

} // namespace
