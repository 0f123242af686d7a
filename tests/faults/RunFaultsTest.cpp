// The run in the program's windows when its files let it down: a report file
// on a full disk or in a folder that cannot be created, a model file deleted
// or replaced after it was chosen, a timing file gone after it was chosen.
// Tests may run as root, whom folder permissions do not stop, so an
// unwritable folder is a path under a regular file.

#include "tests/faults/FaultSession.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using Prompt::Answer;

// A file dialog after which the file named vanishing disappears once chosen,
// as if another program removed it under the dialog.
class VanishingFilePrompts : public HookedPrompts
{
public:
    QString vanishing;

    QString fileName(const FileRequest &request) override
    {
        const QString chosen = HookedPrompts::fileName(request);
        if (chosen == vanishing)
            QFile::remove(chosen);
        return chosen;
    }
};

class RunFaultsTest : public ::testing::Test
{
protected:
    RunFaultsTest() { WriteFile(path("mod"), CodePage::toWindows1251(RepeaterModel)); }

    QString path(const char *extension) const { return dir.filePath(QStringLiteral("rep.")) + QLatin1String(extension); }

    // Starts the run and steps it; the window as drawn then.
    static QImage runSteps(FaultSession &session, int steps)
    {
        frmDiag *diag = session.Start();
        if (!diag)
            return {};
        for (int k = 1; k <= steps; ++k)
            diag->ShowDiag();
        return diag->grab().toImage();
    }

    QTemporaryDir dir{QStringLiteral("/tmp/runfaults-XXXXXX")};
    HookedPrompts prompts;
};

TEST_F(RunFaultsTest, AReportThatCannotBeWrittenSwitchesFileOutputOffAndTheDiagramGoesOn)
{
    constexpr int Steps = 40;
    QTemporaryDir reference(QStringLiteral("/tmp/runfaults-XXXXXX"));
    WriteFile(reference.filePath(QStringLiteral("rep.mod")), CodePage::toWindows1251(RepeaterModel));
    FaultSession written(reference.path());
    written.state.ToFile = FlagTrue;
    ScriptTiming(prompts);
    const QImage intact = runSteps(written, Steps);
    ASSERT_TRUE(prompts.finished());
    ASSERT_FALSE(intact.isNull());
    QFile report(reference.filePath(QStringLiteral("rep.out")));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_EQ(report.readAll().count("\n\xB3    \xB3    \xB3    "), Steps); // all off: no key was pressed

    struct Case
    {
        const char *what;
        QString target; // where rep.out leads
        const char *failure; // %1: the report file
    };
    const Case cases[] = {
        {"full disk", QStringLiteral("/dev/full"), "Не удаётся записать в файл отчета %1."},
        {"folder that cannot be created", path("mod") + QStringLiteral("/rep.out"),
         "Не удаётся открыть файл отчета %1 для записи."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path("out"));
        ASSERT_TRUE(QFile::link(c.target, path("out")));
        FaultSession session(dir.path());
        session.state.ToFile = FlagTrue;
        ScriptTiming(prompts);
        prompts.expectMessage(Message(QString::fromUtf8(c.failure).arg(QDir::toNativeSeparators(path("out")))
                                          + QStringLiteral(" Вывод в файл отключен."),
                                      Prompt::Buttons::Ok, Prompt::Icon::Critical),
                              Answer::Ok);
        const QImage shown = runSteps(session, Steps);
        ASSERT_TRUE(prompts.finished());
        EXPECT_EQ(session.Run().ToFile, FlagFalse);
        EXPECT_EQ(session.Run().now().RunActive, FlagTrue);
        EXPECT_EQ(session.Diag()->Rows().Count(), Steps);
        EXPECT_TRUE(shown == intact);
    }
}

TEST_F(RunFaultsTest, AModelFileDeletedOrReplacedAfterItWasChosen)
{
    struct Case
    {
        const char *what;
        std::optional<QString> replacement; // none: deleted
        QString message;                    // empty: the run starts
    };
    const Case cases[] = {
        {"deleted", std::nullopt, QStringLiteral("Не удаётся открыть файл модели %1.").arg(path("mod"))},
        {"replaced by a broken file", QStringLiteral("Сломанная\r\n много\r\n"),
         QStringLiteral("Файл %1, строка 2: число элементов должно быть целым десятичным числом, а в строке « много».")
             .arg(path("mod"))},
        {"replaced by another model", QStringLiteral("Другая\r\n 1 \r\nР=-p\r\n 1 \r\nВ=Р\r\n"), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        FaultSession session(dir.path());
        if (c.replacement)
            WriteFile(path("mod"), CodePage::toWindows1251(*c.replacement));
        else
            QFile::remove(path("mod"));
        if (c.message.isEmpty())
            ScriptTiming(prompts);
        else
            prompts.expectMessage(Message(c.message, Prompt::Buttons::Ok, Prompt::Icon::Critical), Answer::Ok);
        session.menu.findChild<QAction *>(QStringLiteral("mnuModelTimdiag"))->trigger();
        ASSERT_TRUE(prompts.finished());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (c.message.isEmpty()) {
            EXPECT_EQ(session.Run().ModelName, QStringLiteral("Другая"));
            EXPECT_EQ(session.Run().now().RunActive, FlagTrue);
        } else {
            EXPECT_EQ(session.Diag(), nullptr);
            EXPECT_TRUE(session.menu.toolButton(1)->isEnabled()); // nothing left locked
        }
        WriteFile(path("mod"), CodePage::toWindows1251(RepeaterModel));
    }
}

TEST_F(RunFaultsTest, ATimingFileGoneAfterItWasChosenIsNamedAndAnotherCanBeChosen)
{
    WriteFile(path("tim"), "0.05\r\n0.05\r\n100\r\n");
    const QString other = dir.filePath(QStringLiteral("other.tim"));
    WriteFile(other, "0.02\r\n0.03\r\n200\r\n");
    VanishingFilePrompts vanishing;
    vanishing.vanishing = path("tim");
    FaultSession session(dir.path());
    FileRequest choose;
    choose.filter = QStringLiteral("Файлы tim |*.tim");
    choose.fileName = path("tim");
    choose.initDir = QCoreApplication::applicationDirPath();
    vanishing.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmd5"); });
    vanishing.expectDialog(QStringLiteral("frmIndev"), [](QDialog &d) { Click(d, "cmdInfile"); });
    vanishing.expectFile(choose, path("tim"));
    vanishing.expectMessage(Message(QStringLiteral("Файл %1 не существует").arg(path("tim")), Prompt::Buttons::RetryCancel,
                                    Prompt::Icon::Critical),
                            Answer::Retry);
    vanishing.expectFile(choose, other);
    vanishing.expectDialog(QStringLiteral("frmKod"), [](QDialog &d) { Click(d, "Command1"); });
    ASSERT_NE(session.Start(), nullptr);
    ASSERT_TRUE(vanishing.finished());
    EXPECT_EQ(session.Run().now().RunActive, FlagTrue);
    EXPECT_EQ(session.Run().Tpr[1], 0.02f);
    EXPECT_EQ(session.Run().Totp[1], 0.03f);
    EXPECT_EQ(session.Run().RunLength, 200);
}

} // namespace
