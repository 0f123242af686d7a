#include "tests/support/ExampleRun.h"

#include "model/LoadedModel.h"
#include "sim/RunSession.h"

#include <gtest/gtest.h>

void RunExample(const QString &name, RunScenario scenario,
                const std::function<void(qint64 step, const RunState &state)> &watch)
{
    const QString base = QStringLiteral(EXAMPLES_DIR "/") + name;
    const auto model = LoadSharedModel(base);
    ASSERT_TRUE(model) << model.error().toStdString();
    RunSession session(*model);
    scenario.timingFile = base + QStringLiteral(".tim");
    ASSERT_TRUE(session.setUp(scenario, false)) << name.toStdString();
    session.start();
    watch(0, session.state());
    for (qint64 step = 1; session.step(); ++step)
        watch(step, session.state());
}
