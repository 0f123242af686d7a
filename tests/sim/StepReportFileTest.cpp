// The report file while a run steps: every row on disk when its step ends,
// and a file that cannot be written does not stop the run.

#include "tests/sim/StepHarness.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

StepRun makeRun()
{
    return StepRun({{QStringLiteral("А"), QStringLiteral("p")}}, {}, {0.02f}, {0.01f});
}

TEST(StepReportFile, EachRowIsOnDiskWhenItsStepEnds)
{
    QTemporaryDir dir;
    StepRun run = makeRun();
    run.state.ModelPath = dir.filePath(QStringLiteral("relay"));
    run.state.ToScreen = FlagFalse;
    run.state.ToFile = FlagTrue;
    run.keys[1] = QStringLiteral("1");
    QByteArray expected;
    for (int k = 1; k <= 12; ++k) {
        run.step();
        expected += run.diag.RowText + "\r\n";
        EXPECT_EQ(readAll(run.state.ModelPath + QStringLiteral(".out")), expected) << "after step " << k;
    }
    EXPECT_TRUE(run.host.rows.isEmpty()); // the window stays empty
    EXPECT_TRUE(expected.contains("\xB0    \xB0    0,10\r\n"));
}

TEST(StepReportFile, UnwritableFileIsReportedOnceAndTheRunGoesOn)
{
    QTemporaryDir dir;
    StepRun run = makeRun();
    run.state.ModelPath = dir.filePath(QStringLiteral("no such folder/relay"));
    run.state.ToFile = FlagTrue;
    run.runTo(5);
    ASSERT_EQ(run.host.errors.size(), 1);
    EXPECT_TRUE(run.host.errors[0].contains(QStringLiteral("relay.out")));
    EXPECT_EQ(run.state.ToFile, FlagFalse);
    EXPECT_EQ(run.host.rows.size(), 5);
    EXPECT_EQ(run.state.now().RunActive, FlagTrue);
}

} // namespace
