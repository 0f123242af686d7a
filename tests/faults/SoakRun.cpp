// The run scripts/soak.sh watches: the window run at Speed 0 with screen and
// report file output, driven by its own timer for SOAK_SECONDS. Skipped in
// the ordinary suite.

#include "tests/faults/FaultSession.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

TEST(Soak, DISABLED_WindowRunAtSpeedZero)
{
    const int seconds = qEnvironmentVariableIntValue("SOAK_SECONDS");
    if (seconds <= 0)
        GTEST_SKIP() << "run by scripts/soak.sh";
    QTemporaryDir dir(QStringLiteral("/tmp/soak-XXXXXX"));
    WriteFile(dir.filePath(QStringLiteral("rep.mod")), CodePage::toWindows1251(RepeaterModel));
    HookedPrompts prompts;
    FaultSession session(dir.path());
    session.state.ToFile = FlagTrue;
    session.state.Speed = 0;
    ScriptTiming(prompts, QStringLiteral("99999"));
    frmDiag *diag = session.Start();
    ASSERT_NE(diag, nullptr);
    diag->stepTimer->start(); // Start() stops it for stepping tests

    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("steps: %d, report: %lld bytes\n", diag->Step().ModelingItem,
                QFileInfo(dir.filePath(QStringLiteral("rep.out"))).size());
    EXPECT_EQ(session.Run().now().RunActive, FlagTrue);
}

} // namespace
