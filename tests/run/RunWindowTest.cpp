#include "app/frmMenu.h"
#include "app/RunCommands.h"
#include "help/frmHelp.h"
#include "model/ModelFile.h"
#include "platform/Settings.h"
#include "sim/DiagramStep.h"
#include "sim/frmDiag.h"
#include "sim/frmModtype.h"
#include "tests/run/RunTestSupport.h"
#include "tests/support/PoseSignals.h"
#include "vesk/CodeTransmitter.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Prompt::Answer;

// The decoder of the examples: six elements, two outputs.
const int DecoderElements = 6;
const char *const DecoderTimes[DecoderElements][2] = {{"0,01", "0,01"}, {"0.01", "1"},   {"0,01", "0,3"},
                                                      {"0,01", "0,01"}, {"0,01", "1.5"}, {"0,7", "0,01"}};

// Answers the code-timing dialogue of the transmitter with its standard set.
void scriptStandardCodeTiming(ScriptedPrompts &prompts)
{
    prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) {
        EXPECT_NE(d.findChild<QPushButton *>(QStringLiteral("cmd5")), nullptr);
        Click(d, "cmd5");
    });
}

// A reference run of the core alone: the same model, timing and code, no
// window, rows collected as they come.
class ReferenceHost : public CodeInput, public StepObserver
{
public:
    QList<QByteArray> rows;
    int16_t WhodKod(int16_t Nkod) override
    {
        transmitter.WhodKod(Nkod);
        return transmitter.Wuhod;
    }
    void rowComposed(const QByteArray &row) override { rows << row; }

    CodeTransmitter transmitter;
};

class RunWindowTest : public ::testing::Test
{
protected:
    RunWindowTest() : menu(state, &programRunCommands())
    {
        QFile::copy(QStringLiteral(EXAMPLES_DIR "/decoder.mod"), modelPath() + QStringLiteral(".mod"));
        state.ToScreen = FlagTrue;
        menu.show();
    }

    ~RunWindowTest() override
    {
        if (frmDiag *diag = Diag())
            diag->Frame().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString modelPath() const { return dir.filePath(QStringLiteral("decoder")); }

    frmDiag *Diag() const { return menu.childArea().findChild<frmDiag *>(); }
    RunState &run() const { return Diag()->State(); }

    bool Locked() const
    {
        for (int position = 1; position <= 13; ++position)
            if (menu.toolButton(position)->isEnabled())
                return false;
        return true;
    }

    // The set-up dialogue of a run of the decoder: the model file when none
    // is current, the code timing, the element times typed in, one second,
    // and the code chosen with the mouse.
    void scriptSetUp(int code, bool chooseModel)
    {
        if (chooseModel) {
            FileRequest open;
            open.filter = QStringLiteral("Файлы mod |*.mod");
            open.initDir = QCoreApplication::applicationDirPath();
            prompts.expectFile(open, modelPath() + QStringLiteral(".mod"));
        }
        scriptTiming();
        prompts.expectInput(InputRequest{QStringLiteral("Время работы схемы (c)"), QString(), QStringLiteral("01,00")},
                            QStringLiteral("01,00"));
        prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Answer::No);
        prompts.expectDialog(QStringLiteral("frmKod"), [code](QDialog &d) {
            auto *list = d.findChild<QComboBox *>(QStringLiteral("Combo1"));
            Activate(d);
            list->setFocus();
            list->showPopup();
            QAbstractItemView *view = list->view();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->visualRect(view->model()->index(code, 0)).center());
            EXPECT_FALSE(d.isVisible());
        });
    }

    void scriptTiming()
    {
        scriptStandardCodeTiming(prompts);
        prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) {
            EXPECT_NE(d.findChild<QPushButton *>(QStringLiteral("cmdInkeyb")), nullptr);
            Click(d, "cmdInkeyb");
        });
        for (const auto &times : DecoderTimes)
            prompts.expectDialog(QStringLiteral("frmTimeInput"), [times](QDialog &d) {
                TypeInto(d, "txtTpr", QString::fromLatin1(times[0]));
                TypeInto(d, "txtTotp", QString::fromLatin1(times[1]));
                Click(d, "Command1");
            });
    }

    // A run set up from the menu command and left with its timer stopped,
    // so that the test gives the ticks itself.
    frmDiag &StartRun(int code)
    {
        scriptSetUp(code, state.ModelPath.isEmpty());
        menu.findChild<QAction *>(QStringLiteral("mnuModelTimdiag"))->trigger();
        frmDiag *diag = Diag();
        EXPECT_NE(diag, nullptr);
        EXPECT_TRUE(diag->stepTimer->isActive());
        diag->stepTimer->stop();
        return *diag;
    }

    QList<QByteArray> reportRows(int count) const
    {
        QFile file(modelPath() + QStringLiteral(".out"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        lines.removeLast();
        for (QByteArray &line : lines)
            line.chop(1); // CR
        return lines.mid(lines.size() - count);
    }

    QTemporaryDir dir{QStringLiteral("/tmp/runwindow-XXXXXX")};
    ModelState state;
    RecordingSound sound;
    HookedPrompts prompts;
    frmMenu menu;
};

TEST_F(RunWindowTest, ACompleteRunDrawsTheRowsTheCoreComputes)
{
    state.ToFile = FlagTrue;
    frmDiag &diag = StartRun(2);
    EXPECT_TRUE(prompts.finished());
    EXPECT_TRUE(Locked());
    EXPECT_EQ(run().now().RunActive, FlagTrue);
    EXPECT_EQ(diag.Step().Nkod, 2);
    EXPECT_EQ(menu.windowTitle(), QStringLiteral("Модель - Дешифратор КЖ - Ж/З"));
    EXPECT_EQ(diag.modelCaption->text(), QStringLiteral(" Моделируемое устройство: Дешифратор КЖ - Ж/З"));
    EXPECT_EQ(run().Tpr[6], 0.7f);
    EXPECT_EQ(run().Totp[5], 1.5f);
    EXPECT_EQ(diag.stepTimer->interval(), state.Speed * 5 + 1);
    ASSERT_NE(diag.Modtype(), nullptr);
    EXPECT_EQ(diag.Modtype()->Frame().pos(), QPoint(0, 0));

    const int ticks = 100;
    for (int i = 0; i < ticks; ++i)
        diag.ShowDiag();

    RunState alone;
    ASSERT_TRUE(LoadModel(alone, modelPath()));
    alone.Tpr = run().Tpr;
    alone.Totp = run().Totp;
    alone.RunLength = run().RunLength;
    alone.ToScreen = FlagTrue;
    PoseSignals(alone, [](RunSignals &now) { now.RunActive = FlagTrue; });
    ReferenceHost host;
    DiagramStep reference(alone, host);
    reference.addObserver(host);
    reference.CompileModel();
    reference.Nkod = 2;
    for (int i = 0; i < ticks; ++i)
        reference.ShowDiag();

    ASSERT_EQ(host.rows.size(), ticks);
    EXPECT_EQ(reportRows(ticks), host.rows);
    EXPECT_EQ(diag.Step().RowText, host.rows.last());
    // On the screen the newest row stands one line above the free band
    // 42 px over the bottom edge, which stays empty.
    const QImage shown = diag.grab().toImage();
    const int lineHeight = diag.Rows().LineHeight();
    const auto inkIn = [&](int top, int bottom) {
        int ink = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 10; x < shown.width() - 10; ++x)
                ink += qGray(shown.pixel(x, y)) < 128;
        return ink;
    };
    EXPECT_GT(inkIn(shown.height() - 42 - lineHeight, shown.height() - 42), 20);
    EXPECT_EQ(inkIn(shown.height() - 42, shown.height() - 22), 0);
    EXPECT_TRUE(diag.headingLine->text().startsWith(QStringLiteral("Вх.   И    Б")));
    // The Ж train of the standard timing: 38 steps on, 12 off, 38 on, 12 of
    // the 72 off.
    for (int i = 0; i < ticks; ++i) {
        const bool on = i < 38 || (i >= 50 && i < 88);
        EXPECT_EQ(host.rows[i][0], on ? '\xB0' : '\xB3') << "row " << i + 1;
    }
}

TEST_F(RunWindowTest, GivingUpAtTheFileChoiceOrTheTimingLeavesNothingBehind)
{
    FileRequest open;
    open.filter = QStringLiteral("Файлы mod |*.mod");
    open.initDir = QCoreApplication::applicationDirPath();
    prompts.expectFile(open, QString());
    menu.findChild<QAction *>(QStringLiteral("mnuModelTimdiag"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Diag(), nullptr);
    EXPECT_FALSE(Locked());
    EXPECT_TRUE(state.ModelPath.isEmpty());

    state.ModelPath = modelPath();
    scriptTiming();
    prompts.expectInput(InputRequest{QStringLiteral("Время работы схемы (c)"), QString(), QStringLiteral("01,00")},
                        QString());
    prompts.expectMessage(Message(QStringLiteral("Введите нормальное целое число"), Prompt::Buttons::RetryCancel,
                                  Prompt::Icon::Information),
                          Answer::Cancel);
    menu.findChild<QAction *>(QStringLiteral("mnuModelIzmdiag"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(prompts.finished());
    EXPECT_EQ(Diag(), nullptr);
    EXPECT_FALSE(Locked());

    // A model that cannot be loaded: its message, and the same clean end.
    state.ModelPath = dir.filePath(QStringLiteral("missing"));
    ModelDefinition probe;
    const FileResult<> loaded = LoadModel(probe, state.ModelPath);
    ASSERT_FALSE(loaded);
    prompts.expectMessage(Message(loaded.error(), Prompt::Buttons::Ok, Prompt::Icon::Critical), Answer::Ok);
    menu.findChild<QAction *>(QStringLiteral("mnuModelTimdiag"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Diag(), nullptr);
    EXPECT_FALSE(Locked());
}

TEST_F(RunWindowTest, ASecondRunStartsFromRestWithoutFaults)
{
    frmDiag &first = StartRun(3);
    for (int i = 0; i < 60; ++i)
        first.ShowDiag();
    PoseSignals(first.State(), [](RunSignals &now) {
        now.ElemFault[2] = Fault::Feed;
        now.ElemFault[20] = Fault::Break; // beyond the model's elements too
        now.PickupTimer[20] = 0.5f;
        now.OutState[5] = {1, 1};
    });
    first.Frame().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Locked());

    frmDiag &second = StartRun(1);
    EXPECT_EQ(run().now().ModelTime, 0.0f);
    EXPECT_EQ(second.Step().ModelingItem, 0);
    for (int i = 0; i <= MaxElements; ++i) {
        EXPECT_EQ(run().now().ElemFault[i], Fault::None) << i;
        EXPECT_EQ(run().now().ElemState[i], (Signal{0, 0})) << i;
        EXPECT_EQ(run().now().Excit[i], (Signal{0, 0})) << i;
        EXPECT_EQ(run().now().PickupPending[i], (Signal{0, 0})) << i;
        EXPECT_EQ(run().now().ReleasePending[i], (Signal{0, 0})) << i;
        EXPECT_EQ(run().now().PickupTimer[i], 0.0f) << i;
        EXPECT_EQ(run().now().ReleaseTimer[i], 0.0f) << i;
    }
    EXPECT_EQ(run().now().OutState[5], (Signal{0, 0}));
    EXPECT_EQ(run().now().InputVal, (Signal{0, 0}));
}

TEST_F(RunWindowTest, ATickWhileAStepHasAMessageOpenStartsNoStep)
{
    frmDiag &diag = StartRun(2);
    diag.ShowDiag();
    int ticksSeen = 0;
    prompts.whileMessageOpen = [&] {
        const int32_t before = diag.Step().ModelingItem;
        diag.stepTimer->setInterval(1);
        diag.stepTimer->start();
        QTest::qWait(30); // the timer keeps firing in the box's event loop
        diag.ShowDiag();
        diag.stepTimer->stop();
        ticksSeen = diag.Step().ModelingItem - before;
    };
    QTest::keyClick(&diag, '1');
    prompts.expectMessage(Message(QStringLiteral("На входе постоянно 1. Возврат A")), Answer::Ok);
    diag.ShowDiag();
    EXPECT_EQ(ticksSeen, 0);
    EXPECT_EQ(diag.Step().ModelingItem, 2);
}

TEST_F(RunWindowTest, CommandKeysShowTheirMessageOncePerChange)
{
    frmDiag &diag = StartRun(2);
    const MessageRequest constantOne = Message(QStringLiteral("На входе постоянно 1. Возврат A"));
    QTest::keyClick(&diag, '1');
    prompts.expectMessage(constantOne, Answer::Ok);
    diag.ShowDiag();
    QTest::keyClick(&diag, '1');
    diag.ShowDiag(); // the same command: no message
    EXPECT_TRUE(prompts.finished());

    // "q" has no message of its own: the last one comes again, the input
    // stays constant.
    QTest::keyClick(&diag, 'q');
    prompts.expectMessage(constantOne, Answer::Ok);
    for (int i = 0; i < 40; ++i) {
        diag.ShowDiag();
        ASSERT_EQ(run().now().InputVal[0], 1) << i;
    }

    QTest::keyClick(&diag, Qt::Key_Return);
    prompts.expectMessage(Message(QStringLiteral("Неизвестная комбинация")), Answer::Ok);
    diag.ShowDiag();

    // The fault command opens the fault dialog in the middle of the step and
    // puts the previous command back, so no message follows.
    QTest::keyClick(&diag, 'F');
    prompts.expectDialog(QStringLiteral("frmFault"), [](QDialog &d) {
        Activate(d);
        QTest::mouseClick(d.findChild<QRadioButton *>(QStringLiteral("Option3")), Qt::LeftButton);
    });
    const int32_t before = diag.Step().ModelingItem;
    diag.ShowDiag();
    EXPECT_EQ(diag.Step().ModelingItem, before + 1);
    EXPECT_EQ(run().now().ElemFault[1], Fault::Feed);
    EXPECT_EQ(run().now().KeyCmd, QStringLiteral("\r"));
    EXPECT_TRUE(prompts.finished());
}

TEST_F(RunWindowTest, ThePanelCommandsAndItsKeys)
{
    frmDiag &diag = StartRun(0);
    frmModtype &panel = *diag.Modtype();
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("Управление"));
    const std::pair<QPushButton *, QString> buttons[] = {
        {panel.code1Button, QStringLiteral("!")}, {panel.code2Button, QStringLiteral("@")}, {panel.code3Button, QStringLiteral("#")},
        {panel.noCodeButton, QStringLiteral(")")}, {panel.steady0Button, QStringLiteral("0")}, {panel.steady1Button, QStringLiteral("1")},
        {panel.autoButton, QStringLiteral("a")}, {panel.changesButton, QString(QChar(27))}};
    for (const auto &[button, key] : buttons) {
        button->click();
        EXPECT_EQ(run().now().KeyCmd, key) << button->text().toStdString();
    }
    EXPECT_EQ(panel.code1Button->text(), QStringLiteral("Кол 1"));

    Activate(menu);
    panel.setFocus();
    QTest::keyClick(&panel, 'w');
    EXPECT_EQ(run().now().KeyCmd, QStringLiteral("w"));
    EXPECT_TRUE(diag.hasFocus());
}

TEST_F(RunWindowTest, F1InTheRunsWindowsShowsTheHelpOnTheKeys)
{
    frmDiag &diag = StartRun(0);
    for (QWidget *window : {static_cast<QWidget *>(&diag), static_cast<QWidget *>(diag.Modtype())}) {
        SCOPED_TRACE(window->objectName().toStdString());
        Activate(menu);
        window->setFocus();
        QTest::keyClick(window, Qt::Key_F1);
        frmHelp *help = frmHelp::Instance();
        ASSERT_TRUE(help);
        EXPECT_EQ(help->browser->source().fragment(), QStringLiteral("keys"));
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(prompts.finished());
}

TEST_F(RunWindowTest, TheSpeedDuringAPauseResumesWhileTheButtonSaysDalshe)
{
    frmDiag &diag = StartRun(2);
    frmModtype &panel = *diag.Modtype();
    diag.stepTimer->start();
    QTest::keyClick(&diag, Qt::Key_F8);
    EXPECT_FALSE(diag.stepTimer->isActive());
    EXPECT_EQ(panel.pauseButton->text(), QStringLiteral("Дальше"));

    run().send(QStringLiteral("1"));
    prompts.expectDialog(QStringLiteral("frmSpeed"), [](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Скорость"));
        auto *bar = d.findChild<QScrollBar *>(QStringLiteral("HScroll1"));
        bar->setValue(3);
        EXPECT_EQ(d.findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("3"));
        Click(d, "Command1");
    });
    QTest::keyClick(&diag, Qt::Key_Up);
    EXPECT_EQ(state.Speed, 3);
    EXPECT_TRUE(run().now().KeyCmd.isEmpty());
    EXPECT_TRUE(diag.stepTimer->isActive());
    EXPECT_EQ(diag.stepTimer->interval(), 16);
    EXPECT_EQ(panel.pauseButton->text(), QStringLiteral("Дальше"));
    panel.pauseButton->click();
    EXPECT_FALSE(diag.stepTimer->isActive());
}

TEST_F(RunWindowTest, NoToContinueEndsTheRunAfterTheStepsRowReachedTheFile)
{
    state.ToFile = FlagTrue;
    frmDiag &diag = StartRun(2);
    const QPointer<frmDiag> watched(&diag);
    for (int i = 0; i < 100; ++i)
        diag.ShowDiag();
    prompts.expectMessage(Message(QStringLiteral("Продолжать вывод?"), Prompt::Buttons::YesNo, Prompt::Icon::Question,
                                  QStringLiteral("Вывод")),
                          Answer::No);
    diag.ShowDiag();
    EXPECT_TRUE(diag.Unloaded());
    EXPECT_EQ(diag.State().now().RunActive, FlagFalse);
    EXPECT_FALSE(Locked());
    EXPECT_EQ(reportRows(101).size(), 101);
    EXPECT_EQ(reportRows(1).first(), diag.Step().RowText);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
}

TEST_F(RunWindowTest, ClosingTheMainWindowUnderAStepsMessageEndsCleanly)
{
    QApplication::setQuitOnLastWindowClosed(false);
    frmDiag &diag = StartRun(2);
    const QPointer<frmDiag> watched(&diag);
    prompts.whileMessageOpen = [&] {
        menu.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(watched.isNull()); // not under its own step
    };
    QTest::keyClick(&diag, '0');
    prompts.expectMessage(Message(QStringLiteral("На входе постоянно 0. Возврат A")), Answer::Ok);
    diag.ShowDiag();
    EXPECT_TRUE(diag.Unloaded());
    EXPECT_EQ(diag.State().now().RunActive, FlagFalse);
    diag.ShowDiag(); // a late tick does nothing
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
}

TEST_F(RunWindowTest, ClosingMinimisedKeepsTheStoredPlace)
{
    Settings::SaveSetting(QStringLiteral("DiagLeft"), QStringLiteral("1500"));
    Settings::SaveSetting(QStringLiteral("DiagTop"), QStringLiteral("300"));
    frmDiag &diag = StartRun(2);
    diag.Frame().showMinimized();
    diag.Frame().close();
    EXPECT_EQ(Settings::GetSetting(QStringLiteral("DiagLeft"), QString()), QStringLiteral("1500"));
    EXPECT_EQ(Settings::GetSetting(QStringLiteral("DiagTop"), QString()), QStringLiteral("300"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    frmDiag &again = StartRun(2);
    again.Frame().move(again.Frame().x() + 30, again.Frame().y());
    again.Frame().close();
    EXPECT_NE(Settings::GetSetting(QStringLiteral("DiagLeft"), QString()), QStringLiteral("1500"));
}

} // namespace
