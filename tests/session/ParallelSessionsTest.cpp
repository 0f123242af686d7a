#include "model/LoadedModel.h"
#include "sim/RunSession.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Everything a run shows, step by step: the rows, and the contact states
// and outputs after each step.
class TraceHost final : public StepObserver
{
public:
    explicit TraceHost(const RunSession &session) : m_session(session) {}
    void rowComposed(const QByteArray &row) override { trace += row + '\n'; }
    void commandChanged(const QString &message) override
    {
        trace += QByteArray::number(m_session.currentStep()) + ' ' + message.toUtf8() + '\n';
    }
    QByteArray trace;

private:
    const RunSession &m_session;
};

struct Case
{
    const char *model;
    int16_t code;
    QList<RunScenario::KeyAt> keys;
    QList<RunScenario::FaultAt> faults;
};

QByteArray runAlone(const SharedModel &model, const Case &c)
{
    RunSession session(model);
    TraceHost host(session);
    session.addObserver(host);
    RunScenario scenario;
    scenario.timingFile = QStringLiteral(EXAMPLES_DIR "/") + QLatin1String(c.model) + QStringLiteral(".tim");
    scenario.code = c.code;
    scenario.keys = c.keys;
    scenario.faults = c.faults;
    scenario.steps = 3000;
    if (!session.setUp(scenario))
        return QByteArrayLiteral("set-up failed");
    session.start();
    while (session.step()) {
        const RunState &s = session.state();
        for (int i = 1; i <= s.ElemCount; ++i)
            host.trace += char('0' + s.now().ElemState[i][1]);
        for (int j = 1; j <= s.OutCount; ++j)
            host.trace += char('0' + s.now().OutState[j][1]);
    }
    return host.trace;
}

} // namespace

// Sessions share their loaded model and nothing else: eight of them on eight
// threads, two pairs on one model each, must each show exactly what the same
// session shows when it runs alone.
TEST(ParallelSessions, EachEqualsItsRunAlone)
{
    const std::vector<Case> cases = {
        {"decoder", 1, {}, {}},
        {"decoder", 2, {{300, QStringLiteral("!")}}, {}},
        {"decoder", 3, {}, {{100, 2, 2}}},
        {"code-present", 1, {{200, QStringLiteral(")")}}, {}},
        {"code-present", 2, {}, {{200, 1, 2}}},
        {"stick-relay", 1, {}, {}},
        {"stick-relay", 0, {{50, QStringLiteral("1")}, {100, QStringLiteral("0")}}, {}},
        {"stick-relay", 3, {}, {{10, 1, 1}}},
    };
    std::map<QString, SharedModel> models;
    for (const Case &c : cases) {
        const QString name = QLatin1String(c.model);
        if (!models.count(name)) {
            auto model = LoadSharedModel(QStringLiteral(EXAMPLES_DIR "/") + name);
            ASSERT_TRUE(model.has_value()) << model.error().toStdString();
            models[name] = *model;
        }
    }

    std::vector<QByteArray> alone;
    for (const Case &c : cases)
        alone.push_back(runAlone(models.at(QLatin1String(c.model)), c));

    std::vector<QByteArray> together(cases.size());
    std::vector<std::thread> threads;
    for (size_t k = 0; k < cases.size(); ++k)
        threads.emplace_back([&, k] { together[k] = runAlone(models.at(QLatin1String(cases[k].model)), cases[k]); });
    for (std::thread &thread : threads)
        thread.join();

    for (size_t k = 0; k < cases.size(); ++k) {
        EXPECT_GT(alone[k].size(), 3000) << "case " << k;
        EXPECT_EQ(together[k], alone[k]) << "case " << k;
    }
}
