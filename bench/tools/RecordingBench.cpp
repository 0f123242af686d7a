// A recorded run of 1,000,000 steps of the full-capacity model under code 2:
// the time the recording adds to the steps, and the memory it holds.

#include "FullCapacityModel.h"
#include "LoadedModel.h"
#include "RunRecording.h"
#include "RunSession.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qint64 Steps = 1000000;

SharedModel fullModel(QString *timing)
{
    static QTemporaryDir dir;
    static const QString base = dir.filePath(QStringLiteral("full"));
    static const SharedModel model = WriteFullCapacityModel(base) ? LoadSharedModel(base).value_or(nullptr) : nullptr;
    *timing = base + QStringLiteral(".tim");
    return model;
}

// Runs the model to its end, recording every step when recording is given.
bool runFull(RunRecording *recording)
{
    QString timing;
    const SharedModel model = fullModel(&timing);
    if (!model)
        return false;
    SessionHost host;
    RunSession session(model, host);
    RunScenario scenario;
    scenario.timingFile = timing;
    scenario.code = 2;
    scenario.steps = Steps;
    if (!session.setUp(scenario, false))
        return false;
    session.start();
    if (recording)
        recording->begin(session.state());
    while (session.step())
        if (recording)
            recording->record(session.state());
    return true;
}

void RunRecorded(benchmark::State &state)
{
    const bool recorded = state.range(0) != 0;
    size_t bytes = 0, changes = 0;
    for (auto _ : state) {
        RunRecording recording;
        if (!runFull(recorded ? &recording : nullptr))
            state.SkipWithError("the run failed");
        bytes = recording.memoryBytes();
        changes = 0;
        for (const RunRecording::Lane &lane : recording.lanes())
            changes += lane.steps.size();
    }
    state.counters["steps/s"] = benchmark::Counter(double(Steps), benchmark::Counter::kIsIterationInvariantRate);
    if (recorded) {
        state.counters["MB held"] = double(bytes) / 1e6;
        state.counters["changes"] = double(changes);
    }
    state.SetLabel(recorded ? "recorded" : "not recorded");
}
BENCHMARK(RunRecorded)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
