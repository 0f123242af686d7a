#include "check/SettleCheck.h"

#include "model/StepTime.h"
#include "sim/RunSession.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>

namespace {

// A device that has not settled within this many steps is reported as such
// without running it further.
constexpr qint64 MaxSettleSteps = 1'000'000;

// What a settled device keeps still: element states and excitations, outputs.
struct Snapshot
{
    uint32_t states = 0;
    uint32_t excitations = 0;
    uint32_t outputs = 0;
};

Snapshot snapshotOf(const RunState &state)
{
    const RunSignals &now = state.now();
    Snapshot snapshot;
    for (int i = 1; i <= state.ElemCount; ++i) {
        snapshot.states |= uint32_t(now.ElemState[i][1] != 0) << i;
        snapshot.excitations |= uint32_t(now.Excit[i][1] != 0) << i;
    }
    for (int j = 1; j <= state.OutCount; ++j)
        snapshot.outputs |= uint32_t(now.OutState[j][1] != 0) << j;
    return snapshot;
}

// Which function changed between two steps: element i as i, output j as
// MaxElements + j; 0 when nothing did.
int firstChange(const Snapshot &before, const Snapshot &after)
{
    if (const uint32_t elements = (before.states ^ after.states) | (before.excitations ^ after.excitations))
        return std::countr_zero(elements);
    if (const uint32_t outputs = before.outputs ^ after.outputs)
        return MaxElements + std::countr_zero(outputs);
    return 0;
}

} // namespace

void CheckSettling(const SharedModel &model, const QString &timingFile, double longestDelay,
                   const ModelLayout &layout, const QString &file, std::vector<Finding> &findings)
{
    // Clamped before the conversion: a timing file may hold any float.
    const double delaySteps = std::clamp(std::ceil(longestDelay * StepTime::StepsPerSecond - 1e-6), 1.0, double(MaxSettleSteps));
    const qint64 settled = std::min(10 * qint64(delaySteps), MaxSettleSteps);
    for (const char *input : {"0", "1"}) {
        RunSession session(model);
        RunScenario scenario;
        scenario.timingFile = timingFile;
        // Twice the settling time: any repeating change shorter than it shows.
        scenario.steps = 2 * settled;
        scenario.keys = {RunScenario::KeyAt{1, QString::fromLatin1(input)}};
        if (!session.setUp(scenario, false))
            return; // the timing file's own finding says why
        session.start();
        Snapshot previous = snapshotOf(session.state());
        while (session.step()) {
            const Snapshot now = snapshotOf(session.state());
            const int changed = firstChange(previous, now);
            if (changed != 0 && session.currentStep() > settled) {
                const bool element = changed <= MaxElements;
                const FunctionLayout &line = element ? layout.elements[changed - 1]
                                                     : layout.outputs[changed - MaxElements - 1];
                const QString name = element ? model->definition.ElemName[changed]
                                             : model->definition.OutName[changed - MaxElements];
                findings.push_back(Finding{
                    QStringLiteral("never-settles"), Severity::Warning, file, line.line, line.nameColumn,
                    QStringLiteral("при постоянном входе %1 схема не успокаивается: «%2» ещё меняется на шаге %3, "
                                   "после %4 шагов (10 × наибольшая задержка)")
                        .arg(QString::fromLatin1(input), name)
                        .arg(session.currentStep())
                        .arg(settled),
                    name});
                break;
            }
            previous = now;
        }
    }
}
