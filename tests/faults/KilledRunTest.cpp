// A run killed with SIGKILL part-way, in modelrun and in the program's
// windows: the report file keeps every row that was shown a second before
// the kill, and holds whole rows only.

#include "tests/faults/FaultSession.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

QByteArray Heading() { return CodePage::toOem(QStringLiteral("Вх.   К    В     Ti")); }

// What the window run prints before its rows.
const QByteArray RowsFollow = "rows follow";

// Rows shown, as the lines after the first line that starts with opening in
// what the run printed; a line still without its line feed is not counted.
QList<QByteArray> shownRows(const QByteArray &printed, const QByteArray &opening)
{
    const qsizetype start = printed.indexOf('\n', printed.indexOf(opening)) + 1;
    QList<QByteArray> lines = printed.mid(start, printed.lastIndexOf('\n') - start).split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// Runs the program until it has shown at least 200 rows after the line that
// starts with opening, waits a second and kills it. The rows shown before the
// wait.
QList<QByteArray> killAfterASecond(QProcess &process, const QByteArray &opening)
{
    QByteArray printed;
    while (printed.count('\n') < 200 && process.state() == QProcess::Running) {
        process.waitForReadyRead(10000);
        printed += process.readAllStandardOutput();
    }
    EXPECT_EQ(process.state(), QProcess::Running) << process.readAllStandardError().toStdString();
    QThread::sleep(1);
    process.kill();
    process.waitForFinished(30000);
    return shownRows(printed, opening);
}

// The rows of the last run block of report begin with shown, and the file
// ends with a whole row: three cells and at most the time label.
void expectWholeRowsFrom(const QByteArray &report, const QList<QByteArray> &shown)
{
    const QByteArray heading = Heading() + "\r\n";
    const qsizetype start = report.lastIndexOf(heading);
    ASSERT_GE(start, 0);
    QByteArray rows = report.mid(start + heading.size());
    ASSERT_TRUE(rows.endsWith("\r\n")) << "torn row: " << rows.right(20).toStdString();
    rows.chop(2);
    const QList<QByteArray> lines = rows.replace("\r\n", "\n").split('\n');
    ASSERT_GE(lines.size(), shown.size());
    static const QRegularExpression wholeRow(QStringLiteral("^([\\x{B3}\\x{B0}\\x{DB}\\x{B2}] {4}){3}([0-9]+[.,][0-9]{2})?$"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(wholeRow.match(QString::fromLatin1(lines[i])).hasMatch()) << "row " << i + 1;
        if (i < shown.size()) {
            ASSERT_EQ(lines[i], shown[i]) << "row " << i + 1;
        }
    }
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class KilledRun : public ::testing::Test
{
protected:
    KilledRun() { WriteFile(dir.filePath(QStringLiteral("rep.mod")), CodePage::toWindows1251(RepeaterModel)); }

    QTemporaryDir dir{QStringLiteral("/tmp/killedrun-XXXXXX")};
};

TEST_F(KilledRun, ModelrunKeepsEveryRowShownBeforeTheKill)
{
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(MODELRUN_PATH),
                  {QStringLiteral("rep.mod"), QStringLiteral("--steps"), QStringLiteral("2000000000"), QStringLiteral("--key"),
                   QStringLiteral("50:1"), QStringLiteral("--encoding"), QStringLiteral("cp866"),
                   QStringLiteral("--report"), QStringLiteral("rep.out")});
    ASSERT_TRUE(process.waitForStarted());
    const QList<QByteArray> shown = killAfterASecond(process, Heading());
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    expectWholeRowsFrom(readAll(dir.filePath(QStringLiteral("rep.out"))), shown);
}

// The window run the test below kills: this test binary started again with
// KILLED_RUN_FOLDER set. It prints each row once its step has ended.
TEST(KilledRunChild, DISABLED_WindowRunUntilKilled)
{
    const QString folder = qEnvironmentVariable("KILLED_RUN_FOLDER");
    if (folder.isEmpty())
        GTEST_SKIP() << "started by KilledRun.TheWindowRunKeepsEveryRowShownBeforeTheKill";
    HookedPrompts prompts;
    FaultSession session(folder);
    session.state.ToFile = FlagTrue;
    ScriptTiming(prompts, QStringLiteral("99999"));
    frmDiag *diag = session.Start();
    ASSERT_NE(diag, nullptr);
    std::printf("\n%s\n", RowsFollow.constData());
    for (int k = 1; k <= 1000000; ++k) {
        diag->ShowDiag();
        std::fwrite(diag->Step().RowText.constData(), 1, size_t(diag->Step().RowText.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
}

TEST_F(KilledRun, TheWindowRunKeepsEveryRowShownBeforeTheKill)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KILLED_RUN_FOLDER"), dir.path());
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--gtest_also_run_disabled_tests"),
                   QStringLiteral("--gtest_filter=KilledRunChild.DISABLED_WindowRunUntilKilled")});
    ASSERT_TRUE(process.waitForStarted());
    const QList<QByteArray> shown = killAfterASecond(process, RowsFollow);
    expectWholeRowsFrom(readAll(dir.filePath(QStringLiteral("rep.out"))), shown);
}

} // namespace
