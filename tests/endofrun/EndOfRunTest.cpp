#include "tests/endofrun/FakeDiagram.h"
#include "tests/support/RecordingSound.h"

#include "platform/CodePage.h"
#include "report/frmOutdev.h"
#include "report/frmSubmenu.h"
#include "tests/support/PoseSignals.h"
#include "tests/support/ScriptedPrompts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using A = Prompt::Answer;

const QString Esc = QString(QChar(27));
// Input 1, element К up, output В = К: three "on" cells.
const QByteArray SteadyRow = QByteArray("\xB0    \xB0    \xB0    \r\n");

MessageRequest question(const QString &text, Prompt::Buttons buttons = Prompt::Buttons::YesNo,
                        Prompt::Icon icon = Prompt::Icon::None, std::optional<A> defaultButton = std::nullopt,
                        const QString &title = {})
{
    return {text, title, buttons, icon, defaultButton};
}

const MessageRequest ContinueQuestion = question(QStringLiteral("Продолжить вывод?"), Prompt::Buttons::YesNo,
                                                 Prompt::Icon::Question);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Picks one option of frmSubmenu and presses "Ok".
ScriptedPrompts::DialogAction choose(const char *option)
{
    return [option](QDialog &dialog) {
        dialog.findChild<QRadioButton *>(QLatin1String(option))->click();
        dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    };
}

class EndOfRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        ASSERT_TRUE(dir.isValid());
        state.ModelName = QStringLiteral("Повторитель");
        state.ModelPath = dir.filePath(QStringLiteral("dev"));
        state.InputCaption = QStringLiteral("Вх.");
        state.ElemCount = 1;
        state.ElemName[1] = QStringLiteral("К");
        state.ElemTermCount[1] = 1;
        state.ElemTerm[1][1] = QStringLiteral("p");
        state.OutCount = 1;
        state.OutName[1] = QStringLiteral("В");
        state.OutTermCount[1] = 1;
        state.OutTerm[1][1] = QStringLiteral("К");
        state.Tpr[1] = 0.05f;
        state.Totp[1] = 0.1234f;
        state.RunLength = 300;
        state.ToScreen = FlagTrue;
        PoseSignals(state, [](RunSignals &now) { now.RunActive = FlagTrue; });
        diagram.Step().CompileModel();
        diagram.Step().setLocale(QLocale());
        diagram.Output().setLocale(QLocale());
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            diagram.ShowDiag();
    }
    // ESC typed just before the step escAt.
    void escapeAt(int escAt)
    {
        steps(escAt - 1 - diagram.Step().ModelingItem);
        state.send(Esc);
        steps(1);
    }
    QString reportPath() const { return state.ModelPath + QLatin1String(".out"); }

    // The questions asked and the sound commands, in the order they came.
    QStringList events() const
    {
        QStringList merged;
        const QStringList &asked = prompts.transcript();
        qsizetype next = 0;
        for (qsizetype i = 0; i <= asked.size(); ++i) {
            for (; next < sound.log.size() && sound.askedBefore[next] == i; ++next)
                merged << QStringLiteral("sound: ") + sound.log[next];
            if (i < asked.size())
                merged << asked[i];
        }
        return merged;
    }

    QTemporaryDir dir;
    RunState state;
    FakeDiagram diagram{state};
    ScriptedPrompts prompts;
    RecordingSound sound{[this] { return prompts.transcript().size(); }};
};

TEST_F(EndOfRunTest, StopWaitsForTheNextTenthStepAfterItsRow)
{
    struct Case
    {
        int escAt;
        int stopAt;
    };
    for (const Case c : {Case{57, 60}, Case{40, 40}, Case{23, 30}}) {
        SCOPED_TRACE(c.escAt);
        RunState fresh = state;
        FakeDiagram run(fresh);
        run.Step().CompileModel();
        prompts.expectMessage(ContinueQuestion, A::Yes);
        for (int i = 1; i < c.escAt; ++i)
            run.ShowDiag();
        fresh.send(Esc);
        for (int i = c.escAt; i <= c.stopAt + 15; ++i)
            run.ShowDiag();

        EXPECT_EQ(run.stopsAt, QList<int32_t>{c.stopAt});
        EXPECT_EQ(run.rowsAtStop, QList<int>{c.stopAt}); // that step's row came first
        EXPECT_EQ(fresh.AfterRunChoice, frmSubmenu::ContinueOutput);
        EXPECT_TRUE(fresh.now().KeyCmd.isEmpty());
        EXPECT_TRUE(run.Step().LastKey.isEmpty());
        EXPECT_EQ(run.Step().StopRequested, FlagFalse);
        EXPECT_EQ(run.rows, c.stopAt + 15); // and the run went on
        EXPECT_TRUE(prompts.finished());
    }
}

TEST_F(EndOfRunTest, EachChoiceActsOnTheRun)
{
    const QByteArray earlier = QByteArray("earlier run\r\n");
    struct Case
    {
        const char *option;
        int16_t code;
        std::function<void()> moreDialogs;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"Option2", 2, [] {},
         [&] {
             EXPECT_EQ(diagram.rows, 12);
             EXPECT_EQ(readAll(reportPath()), earlier + SteadyRow.repeated(2));
         }},
        {"Option4", 5, [] {},
         [&] {
             // Emptied at the stop; the following rows start the file afresh.
             EXPECT_EQ(readAll(reportPath()), SteadyRow.repeated(2));
             EXPECT_EQ(diagram.rows, 12);
         }},
        {"Option5", 4, [] {},
         [&] {
             EXPECT_EQ(diagram.closed, 1);
             EXPECT_EQ(state.now().RunActive, FlagFalse);
             EXPECT_EQ(diagram.rows, 10); // no step after the end
             EXPECT_EQ(readAll(reportPath()), earlier);
         }},
        {"Option3", 3,
         [&] {
             prompts.expectDialog(QStringLiteral("frmOutdev"), [](QDialog &d) {
                 d.findChild<QCheckBox *>(QStringLiteral("chkScr"))->click();
                 d.findChild<QCheckBox *>(QStringLiteral("chkPrin"))->click();
                 d.findChild<QCheckBox *>(QStringLiteral("chkFiler"))->click();
                 d.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
             });
             prompts.expectMessage(question(QStringLiteral("Вывод в новый файл?"), Prompt::Buttons::YesNo,
                                            Prompt::Icon::Question, A::No),
                                   A::No);
         },
         [&] {
             EXPECT_EQ(state.ToScreen, FlagFalse);
             EXPECT_EQ(state.ToPrinter, FlagTrue);
             EXPECT_EQ(state.ToFile, FlagTrue);
             EXPECT_EQ(diagram.rows, 10); // the screen is off after the stop
             EXPECT_EQ(readAll(reportPath()), earlier + SteadyRow.repeated(2));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.option);
        SetUp();
        diagram.rows = 0;
        diagram.Step().Restart();
        state.ToScreen = FlagTrue;
        state.ToFile = FlagFalse;
        PoseSignals(state, [](RunSignals &now) { now.RunActive = FlagTrue; });
        writeAll(reportPath(), earlier);

        prompts.expectMessage(ContinueQuestion, A::No);
        prompts.expectDialog(QStringLiteral("frmSubmenu"), choose(c.option));
        c.moreDialogs();
        escapeAt(10);
        state.ToFile = FlagTrue; // from here the rows go to the report too
        steps(2);

        EXPECT_EQ(state.AfterRunChoice, c.code);
        c.check();
        EXPECT_TRUE(prompts.finished());
        diagram.closed = 0;
        diagram.stopsAt.clear();
        diagram.rowsAtStop.clear();
    }
}

// The parameter dialogue: one script per row, the questions and sounds in
// their order, then the state it leaves.
TEST_F(EndOfRunTest, ParameterDialogueAsksInOrderAndFallsBackOnBadNumbers)
{
    const QString title = QStringLiteral("Корректировка параметров");
    const QString appDir = QCoreApplication::applicationDirPath();
    const MessageRequest notTime =
        question(QStringLiteral("Введенные символы нераспознаны как число. Принято 0.01"), Prompt::Buttons::Ok,
                 Prompt::Icon::Critical);
    const MessageRequest notRunTime = question(QStringLiteral("Введенные символы нераспознаны как число. Принято 1"),
                                               Prompt::Buttons::Ok, Prompt::Icon::Critical);
    const MessageRequest save = question(QStringLiteral("Записать данные на диск?"), Prompt::Buttons::YesNo,
                                         Prompt::Icon::Question, A::No, QStringLiteral("Сохранение"));
    const MessageRequest restart =
        question(QStringLiteral("Нажмите Ok  для вывода диаграммы сначала или Отмена для продолжения"),
                 Prompt::Buttons::OkCancel, Prompt::Icon::Information);
    state.ToFile = FlagTrue;
    diagram.Step().ModelingItem = 60;

    prompts.expectMessage(ContinueQuestion, A::No)
        .expectDialog(QStringLiteral("frmSubmenu"), choose("Option1"))
        .expectMessage(question(QStringLiteral("Изменять входные параметры?")), A::Yes)
        .expectMessage(question(QStringLiteral("Изменять внутренние параметры?")), A::Yes)
        // The Latin "p" in the pickup prompt is as the users know it.
        .expectInput({QStringLiteral("Введите Т пpитяжения К"), title, QStringLiteral("0,05")}, QStringLiteral(" 0,07"))
        .expectInput({QStringLiteral("Введите Т отпадания К"), title, QStringLiteral("0,123")}, QStringLiteral("abc"))
        .expectMessage(notTime, A::Ok)
        .expectInput({QStringLiteral("Время работы схемы"), title, QStringLiteral("3")}, QStringLiteral("abc"))
        .expectMessage(notRunTime, A::Ok)
        .expectMessage(save, A::Yes)
        .expectMessage(restart, A::Cancel);

    EndOfRunDialogue(diagram);

    EXPECT_EQ(events(), QStringList({
                            QStringLiteral("message: Продолжить вывод?"),
                            QStringLiteral("window: frmSubmenu"),
                            QStringLiteral("sound: Open "), // no file named yet
                            QStringLiteral("message: Изменять входные параметры?"),
                            QStringLiteral("message: Изменять внутренние параметры?"),
                            QStringLiteral("input: Введите Т пpитяжения К"),
                            QStringLiteral("sound: Sound ") + appDir + QStringLiteral("/Type.wav"),
                            QStringLiteral("input: Введите Т отпадания К"),
                            QStringLiteral("sound: Sound ") + appDir + QStringLiteral("/Type.wav"),
                            QStringLiteral("message: ") + notTime.text,
                            QStringLiteral("sound: Sound ") + appDir + QStringLiteral("/Fanfare.wav"),
                            QStringLiteral("input: Время работы схемы"),
                            QStringLiteral("message: ") + notRunTime.text,
                            QStringLiteral("message: Записать данные на диск?"),
                            QStringLiteral("sound: Close ") + appDir + QStringLiteral("/Fanfare.wav"),
                            QStringLiteral("message: ") + restart.text,
                        }));
    EXPECT_EQ(state.AfterRunChoice, frmSubmenu::ChangeParameters);
    EXPECT_EQ(diagram.timeCharPaths, QStringList{state.ModelPath});
    EXPECT_FLOAT_EQ(state.Tpr[1], 0.07f);
    EXPECT_FLOAT_EQ(state.Totp[1], 0.01f);
    EXPECT_EQ(state.RunLength, 100);
    EXPECT_EQ(diagram.saved, 1);
    // Cancel: the diagram goes on where it stopped, yet the header with the
    // new timing is written again.
    EXPECT_EQ(diagram.cleared, 0);
    EXPECT_EQ(diagram.Step().ModelingItem, 60);
    EXPECT_EQ(diagram.headings, 1);
    EXPECT_TRUE(readAll(reportPath()).contains(CodePage::toOem(QStringLiteral("Временные характеристики"))));
    EXPECT_TRUE(readAll(reportPath()).contains(" 0,07 "));
    EXPECT_EQ(state.ReportHeadDue, FlagFalse);
}

TEST_F(EndOfRunTest, RunTimeAnswers)
{
    struct Case
    {
        const char *answer;
        int32_t runLength;
        bool message;
    };
    for (const Case c : {Case{"0", 300, false}, Case{"2", 200, false}, Case{"  7 ", 700, false},
                         Case{"", 100, true}, Case{"-2", 100, true}, Case{"99999999", 100, true}}) {
        SCOPED_TRACE(c.answer);
        state.RunLength = 300;
        prompts.expectMessage(ContinueQuestion, A::No)
            .expectDialog(QStringLiteral("frmSubmenu"), choose("Option1"))
            .expectMessage(question(QStringLiteral("Изменять входные параметры?")), A::No)
            .expectMessage(question(QStringLiteral("Изменять внутренние параметры?")), A::No)
            .expectInput({QStringLiteral("Время работы схемы"), QStringLiteral("Корректировка параметров"),
                          QStringLiteral("3")},
                         QLatin1String(c.answer));
        if (c.message)
            prompts.expectMessage(question(QStringLiteral("Введенные символы нераспознаны как число. Принято 1"),
                                           Prompt::Buttons::Ok, Prompt::Icon::Critical),
                                  A::Ok);
        prompts
            .expectMessage(question(QStringLiteral("Записать данные на диск?"), Prompt::Buttons::YesNo,
                                    Prompt::Icon::Question, A::No, QStringLiteral("Сохранение")),
                           A::No)
            .expectMessage(question(QStringLiteral("Нажмите Ok  для вывода диаграммы сначала или Отмена для продолжения"),
                                    Prompt::Buttons::OkCancel, Prompt::Icon::Information),
                           A::Cancel);
        EndOfRunDialogue(diagram);
        EXPECT_EQ(state.RunLength, c.runLength);
        EXPECT_EQ(diagram.saved, 0);
        EXPECT_TRUE(diagram.timeCharPaths.isEmpty());
        EXPECT_TRUE(prompts.finished());
    }
}

TEST_F(EndOfRunTest, RestartClearsThePreviousStepAndKeepsFaultsCodeAndConstantInput)
{
    steps(60);
    auto &s = state;
    diagram.Step().Nkod = 2;
    diagram.Step().ConstInput = FlagTrue;
    diagram.Step().ConstValue = 1;
    PoseSignals(s, [](RunSignals &now) {
        now.ElemFault[1] = Fault::Feed;
        now.ElemFault[7] = Fault::Break;
        now.Excit[1] = {1, 1};
        now.ElemState[1] = {1, 1};
        now.PickupPending[1] = {1, 1};
        now.ReleasePending[1] = {1, 1};
        now.PickupTimer[1] = 0.03f;
        now.ReleaseTimer[1] = 0.02f;
        now.OutState[1] = {1, 1};
        now.InputVal = {1, 1};
    });

    prompts.expectMessage(ContinueQuestion, A::No)
        .expectDialog(QStringLiteral("frmSubmenu"), choose("Option1"))
        .expectMessage(question(QStringLiteral("Изменять входные параметры?")), A::No)
        .expectMessage(question(QStringLiteral("Изменять внутренние параметры?")), A::No)
        .expectInput({QStringLiteral("Время работы схемы"), QStringLiteral("Корректировка параметров"),
                      QStringLiteral("3")},
                     QStringLiteral("0"))
        .expectMessage(question(QStringLiteral("Записать данные на диск?"), Prompt::Buttons::YesNo,
                                Prompt::Icon::Question, A::No, QStringLiteral("Сохранение")),
                       A::No)
        .expectMessage(question(QStringLiteral("Нажмите Ok  для вывода диаграммы сначала или Отмена для продолжения"),
                                Prompt::Buttons::OkCancel, Prompt::Icon::Information),
                       A::Ok);
    EndOfRunDialogue(diagram);

    EXPECT_EQ(diagram.Step().ModelingItem, 0);
    EXPECT_EQ(s.now().ModelTime, 0.0f);
    EXPECT_EQ(diagram.cleared, 1);
    EXPECT_EQ(s.now().Excit[1][0], 0);
    EXPECT_EQ(s.now().ElemState[1][0], 0);
    EXPECT_EQ(s.now().PickupPending[1][0], 0);
    EXPECT_EQ(s.now().ReleasePending[1][0], 0);
    EXPECT_EQ(s.now().PickupTimer[1], 0.0f);
    EXPECT_EQ(s.now().ReleaseTimer[1], 0.0f);
    EXPECT_EQ(s.now().OutState[1][0], 0);
    EXPECT_EQ(s.now().InputVal[0], 0);
    EXPECT_EQ(s.RunLength, 300);
    // What stays.
    EXPECT_EQ(s.now().ElemFault[1], Fault::Feed);
    EXPECT_EQ(s.now().ElemFault[7], Fault::Break);
    EXPECT_EQ(diagram.Step().Nkod, 2);
    EXPECT_EQ(diagram.Step().ConstInput, FlagTrue);
    EXPECT_EQ(diagram.Step().ConstValue, 1);
    EXPECT_EQ(diagram.headings, 1);
    EXPECT_EQ(s.ReportHeadDue, FlagFalse);
}

} // namespace
