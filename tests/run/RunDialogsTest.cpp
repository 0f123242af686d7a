#include "model/RunState.h"
#include "sim/frmFault.h"
#include "sim/frmKod.h"
#include "sim/frmSpeed.h"
#include "tests/run/RunTestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QRadioButton>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

// A choice in the list's pop-up with the mouse.
void ChooseWithMouse(QComboBox &list, int index)
{
    list.showPopup();
    QAbstractItemView *view = list.view();
    (void)QTest::qWaitForWindowExposed(view->window());
    const QPoint where = view->visualRect(view->model()->index(index, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
    QApplication::processEvents();
}

void FocusList(QDialog &dialog, QComboBox &list)
{
    Activate(dialog);
    list.setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
}

// The run reads the delay off the bar once the dialog is hidden.
TEST(frmSpeed, OkKeepsTheDelayOnTheBarAndACancelPutsItBack)
{
    enum class Leave { Ok, Escape, CloseBox };
    struct Case { int16_t stored; int movedTo; Leave leave; int delay; };
    const Case cases[] = {
        {350, -1, Leave::Ok, 350}, // beyond the bar's usual range, left alone
        {5, 9, Leave::Ok, 9},
        {5, 9, Leave::Escape, 5},
        {5, 9, Leave::CloseBox, 5},
        {350, 20, Leave::Escape, 350},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " " << c.movedTo << " " << int(c.leave));
        frmSpeed speed(c.stored);
        Activate(speed);
        if (c.movedTo >= 0)
            speed.delayBar->setValue(c.movedTo);
        switch (c.leave) {
        case Leave::Ok: speed.okButton->click(); break;
        case Leave::Escape: QTest::keyClick(&speed, Qt::Key_Escape); break;
        case Leave::CloseBox: speed.close(); break;
        }
        EXPECT_FALSE(speed.isVisible());
        EXPECT_EQ(speed.delayBar->value(), c.delay);
    }
}

TEST(frmKod, ListsTheCodesWithNoCodeFirst)
{
    frmKod kod;
    EXPECT_EQ(kod.windowTitle(), QStringLiteral("Задание входного кода"));
    QStringList entries;
    for (int i = 0; i < kod.codeList->count(); ++i)
        entries << kod.codeList->itemText(i);
    EXPECT_EQ(entries, (QStringList{QStringLiteral("Кода нет"), QStringLiteral("Код №1"), QStringLiteral("Код №2"),
                                    QStringLiteral("Код №3")}));
    EXPECT_EQ(kod.ChosenCode(), 0);
}

TEST(frmKod, AMouseChoiceConfirmsAtOnceArrowsOnlyMove)
{
    {
        frmKod kod;
        FocusList(kod, *kod.codeList);
        ChooseWithMouse(*kod.codeList, 2);
        EXPECT_FALSE(kod.isVisible());
        EXPECT_EQ(kod.ChosenCode(), 2);
    }
    {
        frmKod kod;
        FocusList(kod, *kod.codeList);
        QTest::keyClick(kod.codeList, Qt::Key_Down);
        QTest::keyClick(kod.codeList, Qt::Key_Down);
        QTest::keyClick(kod.codeList, Qt::Key_Down);
        QTest::keyClick(kod.codeList, Qt::Key_Up);
        EXPECT_TRUE(kod.isVisible());
        EXPECT_EQ(kod.ChosenCode(), 2);
        // Tab leaves the list, which presses "Ok".
        QTest::keyClick(kod.codeList, Qt::Key_Tab);
        EXPECT_FALSE(kod.isVisible());
        EXPECT_EQ(kod.ChosenCode(), 2);
    }
}

class frmFaultTest : public ::testing::Test
{
protected:
    frmFaultTest()
    {
        state.ElemCount = 3;
        state.ElemName[1] = QStringLiteral("А");
        state.ElemName[2] = QStringLiteral("Б");
        state.ElemName[3] = QStringLiteral("В");
        state.ElemName[4] = QStringLiteral("от прежней модели");
        state.setFault(2, Fault::Feed);
    }

    // The fault the options show: 0, 1, 2, or -1 when none is checked.
    static int shown(const frmFault &dialog)
    {
        const QRadioButton *options[] = {dialog.normalOption, dialog.feedLossOption, dialog.backfeedOption};
        for (int fault = 0; fault < 3; ++fault)
            if (options[fault]->isChecked())
                return fault;
        return -1;
    }

    RunState state;
};

TEST_F(frmFaultTest, ListsTheElementsTheFirstSelectedWithItsFault)
{
    state.setFault(1, Fault::Break);
    frmFault dialog(state);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Задание неисправности"));
    ASSERT_EQ(dialog.elementList->count(), 3);
    EXPECT_EQ(dialog.elementList->itemText(2), QStringLiteral("В"));
    EXPECT_EQ(dialog.elementList->currentIndex(), 0);
    EXPECT_EQ(shown(dialog), 1);
}

TEST_F(frmFaultTest, AnOptionSetsTheFaultOfTheSelectedElementAtOnce)
{
    frmFault dialog(state);
    Activate(dialog);
    QTest::mouseClick(dialog.feedLossOption, Qt::LeftButton);
    EXPECT_EQ(state.now().ElemFault[1], Fault::Break);
    QTest::mouseClick(dialog.normalOption, Qt::LeftButton);
    EXPECT_EQ(state.now().ElemFault[1], Fault::None);
    EXPECT_EQ(state.now().ElemFault[2], Fault::Feed);
}

TEST_F(frmFaultTest, ArrowsLeaveTheOptionsUntilTheListLosesTheFocus)
{
    frmFault dialog(state);
    FocusList(dialog, *dialog.elementList);
    QTest::keyClick(dialog.elementList, Qt::Key_Down);
    EXPECT_EQ(dialog.elementList->currentIndex(), 1);
    EXPECT_TRUE(dialog.elementList->hasFocus());
    EXPECT_EQ(shown(dialog), 0); // still the first element's
    QTest::keyClick(dialog.elementList, Qt::Key_Tab);
    EXPECT_EQ(shown(dialog), 2);
    EXPECT_EQ(state.now().ElemFault[2], Fault::Feed);
}

TEST_F(frmFaultTest, AMouseChoiceShowsTheFaultOnceTheLoadFlagIsUsedUp)
{
    frmFault dialog(state);
    FocusList(dialog, *dialog.elementList);
    // The flag set on loading takes the first choice: the focus stays.
    ChooseWithMouse(*dialog.elementList, 2);
    EXPECT_EQ(dialog.elementList->currentIndex(), 2);
    EXPECT_TRUE(dialog.elementList->hasFocus());
    EXPECT_EQ(shown(dialog), 0);
    ChooseWithMouse(*dialog.elementList, 1);
    EXPECT_FALSE(dialog.elementList->hasFocus());
    EXPECT_EQ(shown(dialog), 2);
}

} // namespace
