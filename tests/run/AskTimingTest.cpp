#include "model/AskTiming.h"
#include "model/frmTimeInput.h"
#include "model/TimingFile.h"
#include "platform/CommonDialog.h"
#include "tests/run/RunTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Prompt::Answer;

const QString RunLengthPrompt = QStringLiteral("Время работы схемы (c)");

class AskTimingTest : public ::testing::Test
{
protected:
    AskTimingTest()
    {
        state.ElemCount = 2;
        state.ElemName[1] = QStringLiteral("Р1");
        state.ElemName[2] = QStringLiteral("Р2");
        state.ModelPath = dir.filePath(QStringLiteral("model"));
        settings.ModelPath = state.ModelPath;
        state.RunLength = 777;
    }

    bool ask()
    {
        TimingEntryContext context{settings, state, CDL1, [this](const QString &path) { timeCharCalls << path; }};
        return !AskTiming(context);
    }

    // The source question answered with the keyboard, each element's window
    // with the action given for it, the run length with answer.
    void scriptKeyboard(const QList<ScriptedPrompts::DialogAction> &elements, const QString &answer)
    {
        prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInkeyb"); });
        for (const auto &element : elements)
            prompts.expectDialog(QStringLiteral("frmTimeInput"), element);
        prompts.expectInput(InputRequest{RunLengthPrompt, QString(), QStringLiteral("01,00")}, answer);
    }

    static ScriptedPrompts::DialogAction typeTimes(const QString &pickup, const QString &release)
    {
        return [=](QDialog &d) {
            TypeInto(d, "txtTpr", pickup);
            TypeInto(d, "txtTotp", release);
            Click(d, "Command1");
        };
    }

    static ScriptedPrompts::DialogAction pressOk()
    {
        return [](QDialog &d) { Click(d, "Command1"); };
    }

    QString writeTim(const char *name, const QByteArray &content)
    {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    QTemporaryDir dir{QStringLiteral("/tmp/asktiming-XXXXXX")};
    ModelState settings;
    RunState state;
    CommonDialog CDL1;
    QStringList timeCharCalls;
    RecordingSound sound;
    ScriptedPrompts prompts;
};

TEST_F(AskTimingTest, KeyboardEntryReadsCommaNumbersAndPlaysTheSounds)
{
    QString leftInField;
    scriptKeyboard({[&](QDialog &d) {
                        EXPECT_EQ(d.windowTitle(), QStringLiteral("Временные характеристики:"));
                        EXPECT_EQ(d.findChild<QLineEdit *>(QStringLiteral("txtTpr"))->text(), QStringLiteral(" 0,01"));
                        TypeInto(d, "txtTpr", QStringLiteral("0.05"));
                        leftInField = d.findChild<QLineEdit *>(QStringLiteral("txtTpr"))->text();
                        TypeInto(d, "txtTotp", QStringLiteral("1,5"));
                        Click(d, "Command1");
                    },
                    // Typed, then closed by its close box: the defaults count.
                    [](QDialog &d) { TypeInto(d, "txtTpr", QStringLiteral("7")); }},
                   QStringLiteral("01,00"));
    prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Answer::No);

    EXPECT_FALSE(ask());
    EXPECT_EQ(leftInField, QStringLiteral("0,05"));
    EXPECT_EQ(state.Tpr[1], 0.05f);
    EXPECT_EQ(state.Totp[1], 1.5f);
    EXPECT_EQ(state.Tpr[2], 0.01f);
    EXPECT_EQ(state.Totp[2], 0.01f);
    EXPECT_EQ(state.RunLength, 100);
    EXPECT_EQ(timeCharCalls, QStringList{state.ModelPath});
    const QString type = QCoreApplication::applicationDirPath() + QStringLiteral("/Type.wav");
    const QString fanfare = QCoreApplication::applicationDirPath() + QStringLiteral("/Fanfare.wav");
    EXPECT_EQ(sound.log, (QStringList{QStringLiteral("Open ") + type, QStringLiteral("Sound ") + type,
                                      QStringLiteral("Sound ") + type, QStringLiteral("Sound ") + fanfare,
                                      QStringLiteral("Close ") + fanfare}));
}

TEST_F(AskTimingTest, ATimeThatIsNoNumberShowsTheSameWindowAgain)
{
    QString shownAgain;
    prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInkeyb"); });
    prompts.expectDialog(QStringLiteral("frmTimeInput"), typeTimes(QStringLiteral("1.2.3"), QStringLiteral("0,2")));
    prompts.expectMessage(Message(QStringLiteral("Ввндите число!"), Prompt::Buttons::Ok, Prompt::Icon::Exclamation),
                          Answer::Ok);
    prompts.expectDialog(QStringLiteral("frmTimeInput"), [&](QDialog &d) {
        shownAgain = d.findChild<QLineEdit *>(QStringLiteral("txtTpr"))->text();
        TypeInto(d, "txtTpr", QStringLiteral("0,3"));
        Click(d, "Command1");
    });
    prompts.expectDialog(QStringLiteral("frmTimeInput"), pressOk());
    prompts.expectInput(InputRequest{RunLengthPrompt, QString(), QStringLiteral("01,00")}, QStringLiteral("2"));
    prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Answer::No);

    EXPECT_FALSE(ask());
    EXPECT_EQ(shownAgain, QStringLiteral("1,2.3"));
    EXPECT_EQ(state.Tpr[1], 0.3f);
    EXPECT_EQ(state.Totp[1], 0.2f);
    EXPECT_EQ(state.RunLength, 200);
}

TEST_F(AskTimingTest, RunLengthIsWholeSecondsHalvesToEven)
{
    const std::pair<const char *, int32_t> cases[] = {{"01,00", 100}, {"0,4", 0}, {"1,5", 200}, {"2,5", 200}, {"3.5", 400}};
    for (const auto &[answer, steps] : cases) {
        scriptKeyboard({pressOk(), pressOk()}, QString::fromUtf8(answer));
        prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Answer::No);
        EXPECT_FALSE(ask()) << answer;
        EXPECT_EQ(state.RunLength, steps) << answer;
    }
}

TEST_F(AskTimingTest, RetryAsksEverythingAgainAndCancelGivesUp)
{
    const MessageRequest notWhole = Message(QStringLiteral("Введите нормальное целое число"),
                                            Prompt::Buttons::RetryCancel, Prompt::Icon::Information);
    scriptKeyboard({typeTimes(QStringLiteral("5"), QStringLiteral("5")), pressOk()}, QStringLiteral("abc"));
    prompts.expectMessage(notWhole, Answer::Retry);
    scriptKeyboard({pressOk(), typeTimes(QStringLiteral("0,2"), QStringLiteral("0,3"))}, QString());
    prompts.expectMessage(notWhole, Answer::Retry);
    scriptKeyboard({pressOk(), pressOk()}, QStringLiteral("3"));
    prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Answer::No);

    EXPECT_FALSE(ask());
    EXPECT_EQ(timeCharCalls.size(), 3);
    EXPECT_EQ(state.RunLength, 300);
    EXPECT_EQ(state.Tpr[1], 0.01f);

    scriptKeyboard({pressOk(), pressOk()}, QStringLiteral("1e12"));
    prompts.expectMessage(notWhole, Answer::Cancel);
    EXPECT_TRUE(ask());
    EXPECT_EQ(state.RunLength, 300);
}

TEST_F(AskTimingTest, FromAFileTheValuesOfTheCurrentElementCount)
{
    // Saved for three elements; read for two the values shift.
    const QString fileName = writeTim("three.tim", "0.1\r\n0.2\r\n0.3\r\n0.4\r\n0.5\r\n0.6\r\n700\r\n");
    FileRequest choose;
    choose.filter = QStringLiteral("Файлы tim |*.tim");
    choose.fileName = state.ModelPath + QStringLiteral(".tim");
    choose.initDir = QCoreApplication::applicationDirPath();
    prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInfile"); });
    prompts.expectFile(choose, fileName);
    // Seven values where five are due, and the fifth, 0.5, gives a run of 0 steps.
    prompts.expectMessage(
        Message(QStringLiteral("Внимание: в файле %1 значений 7, а модели с числом элементов N = 2 нужно 2·N+1 = 5; "
                               "времена могли сдвинуться (файл от другой модели или десятичная запятая вместо точки)\n"
                               "Внимание: в файле %1 время работы схемы 0: прогон не сделает ни одного шага")
                    .arg(fileName),
                Prompt::Buttons::Ok, Prompt::Icon::Exclamation),
        Answer::Ok);

    EXPECT_FALSE(ask());
    EXPECT_EQ(state.Tpr[1], 0.1f);
    EXPECT_EQ(state.Tpr[2], 0.2f);
    EXPECT_EQ(state.Totp[1], 0.3f);
    EXPECT_EQ(state.Totp[2], 0.4f);
    EXPECT_EQ(state.RunLength, 0);
    EXPECT_TRUE(sound.log.isEmpty());

    // A file that ends early: the message names it, nothing is taken.
    const QString shortFile = writeTim("short.tim", "9\r\n9\r\n9\r\n");
    prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInfile"); });
    prompts.expectFile(choose, shortFile);
    prompts.expectMessage(Message(QStringLiteral("Файл %1 кончается после строки 3: нет времени отпадания элемента 2").arg(shortFile),
                                  Prompt::Buttons::Ok, Prompt::Icon::Critical),
                          Answer::Ok);
    EXPECT_TRUE(ask());
    EXPECT_EQ(state.Tpr[1], 0.1f);
    EXPECT_EQ(state.RunLength, 0);

    // A cancelled file choice gives up too.
    prompts.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInfile"); });
    prompts.expectFile(choose, QString());
    EXPECT_TRUE(ask());
}

TEST_F(AskTimingTest, SaveWritesTheChosenFileUpToItsFirstPoint)
{
    FileRequest save;
    save.kind = FileRequest::Kind::Save;
    save.filter = QStringLiteral("Файлы характеристик (*.tim)|*.tim");
    save.fileName = state.ModelPath + QStringLiteral(".tim");
    save.defaultExt = QStringLiteral(".tim");
    save.overwritePrompt = true;

    scriptKeyboard({typeTimes(QStringLiteral("0,05"), QStringLiteral("0.25")), pressOk()}, QStringLiteral("2"));
    prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Answer::Yes);
    prompts.expectFile(save, dir.filePath(QStringLiteral("saved.v2.tim")));
    EXPECT_FALSE(ask());
    EXPECT_EQ(settings.ChosenPath, dir.filePath(QStringLiteral("saved")));
    QFile saved(dir.filePath(QStringLiteral("saved.tim")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("0.05\r\n0.01\r\n0.25\r\n0.01\r\n200\r\n"));

    // A cancelled save dialog writes nothing.
    settings.ChosenPath.clear();
    prompts.expectFile(save, QString());
    SaveTiming(settings, state, CDL1);
    EXPECT_TRUE(settings.ChosenPath.isEmpty());
    EXPECT_FALSE(QFile::exists(state.ModelPath + QStringLiteral(".tim")));
}

TEST_F(AskTimingTest, ASaveThatCannotBeWrittenNamesThePathAndAsksAgain)
{
    // Tests may run as root, whom folder permissions do not stop: these
    // paths cannot be created by anyone.
    writeTim("plain", "not a folder");
    const QString unwritable[] = {dir.filePath(QStringLiteral("plain/times.tim")), QStringLiteral("/proc/times.tim")};
    for (const QString &failing : unwritable) {
        SCOPED_TRACE(failing.toStdString());
        FileRequest save;
        save.kind = FileRequest::Kind::Save;
        save.filter = QStringLiteral("Файлы характеристик (*.tim)|*.tim");
        save.fileName = state.ModelPath + QStringLiteral(".tim");
        save.defaultExt = QStringLiteral(".tim");
        save.overwritePrompt = true;
        scriptKeyboard({typeTimes(QStringLiteral("0,05"), QStringLiteral("0,25")), typeTimes(QStringLiteral("1"), QStringLiteral("2"))},
                       QStringLiteral("3"));
        prompts.expectMessage(Message(QStringLiteral("Сохранить данные?"), Prompt::Buttons::YesNo), Answer::Yes);
        prompts.expectFile(save, failing);
        prompts.expectMessage(Message(QStringLiteral("Не удаётся записать файл ") + failing, Prompt::Buttons::Ok,
                                      Prompt::Icon::Critical),
                              Answer::Ok);
        save.fileName = failing;
        prompts.expectFile(save, dir.filePath(QStringLiteral("elsewhere.tim")));
        EXPECT_FALSE(ask());
        ASSERT_TRUE(prompts.finished());
        QFile saved(dir.filePath(QStringLiteral("elsewhere.tim")));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), QByteArray("0.05\r\n1\r\n0.25\r\n2\r\n300\r\n"));
        saved.remove();
    }
}

} // namespace
