// Fault campaigns on the full-capacity device, 6,000 steps, codes 0–3: every
// single fault, every double fault, and, for comparison, the way a user would
// do it without the campaign: one modelrun --fault process per scenario, for
// a sample of the single-fault scenarios (the time per scenario is what
// counts; multiply by the scenarios of a campaign to compare).

#include "bench/tools/FullCapacityModel.h"
#include "analysis/FaultCampaign.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

namespace {

constexpr qint64 Steps = 6000;

void Campaign(benchmark::State &state)
{
    const QString path = FullCapacityFolder().filePath(QStringLiteral("full"));
    const SharedModel model = *LoadSharedModel(path);
    CampaignPlan plan;
    plan.scenario.timingFile = path + QStringLiteral(".tim");
    plan.scenario = *ReadScenarioFiles(plan.scenario, model->definition.ElemCount);
    plan.scenario.steps = Steps;
    plan.pairs = state.range(0) != 0;
    plan.jobs = QThread::idealThreadCount();
    size_t outcomes = 0;
    for (auto _ : state)
        outcomes = RunFaultCampaign(model, plan).size();
    const double runs = double(outcomes) / model->definition.OutCount + plan.codes.size();
    state.counters["runs"] = runs;
    state.counters["runs/s"] = benchmark::Counter(runs, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(plan.pairs ? "single and double faults" : "single faults");
}
BENCHMARK(Campaign)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Every single fault of the coils and of the contacts (two per contact), on
// two threads.
void CampaignWithContacts(benchmark::State &state)
{
    const QString path = FullCapacityFolder().filePath(QStringLiteral("full"));
    const SharedModel model = *LoadSharedModel(path);
    CampaignPlan plan;
    plan.scenario.timingFile = path + QStringLiteral(".tim");
    plan.scenario = *ReadScenarioFiles(plan.scenario, model->definition.ElemCount);
    plan.scenario.steps = Steps;
    plan.contacts = true;
    plan.jobs = 2;
    size_t outcomes = 0;
    for (auto _ : state)
        outcomes = RunFaultCampaign(model, plan).size();
    const double runs = double(outcomes) / model->definition.OutCount;
    state.counters["faulty runs"] = runs;
    state.counters["runs/s"] = benchmark::Counter(runs, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel("single faults of coils and contacts, 2 threads");
}
BENCHMARK(CampaignWithContacts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The decoder's single faults tried at each of the first 200 steps, codes
// 0–3.
void DecoderInjectionRange(benchmark::State &state)
{
    const QString path = QStringLiteral(EXAMPLES_DIR "/decoder");
    const SharedModel model = *LoadSharedModel(path);
    CampaignPlan plan;
    plan.scenario.timingFile = path + QStringLiteral(".tim");
    plan.scenario = *ReadScenarioFiles(plan.scenario, model->definition.ElemCount);
    plan.at = 1;
    plan.atLast = 200;
    plan.jobs = QThread::idealThreadCount();
    size_t outcomes = 0;
    for (auto _ : state)
        outcomes = RunFaultCampaign(model, plan).size();
    state.counters["outcomes"] = double(outcomes);
    state.SetLabel("--at 1..200");
}
BENCHMARK(DecoderInjectionRange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// One process per scenario, as a shell loop would start them.
void ProcessPerScenario(benchmark::State &state)
{
    const QString path = FullCapacityFolder().filePath(QStringLiteral("full"));
    int scenario = 0;
    for (auto _ : state) {
        const int element = 1 + scenario % 20;
        const int kind = 1 + (scenario / 20) % 2;
        const int code = (scenario / 40) % 4;
        ++scenario;
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(QStringLiteral(MODELRUN_PATH),
                      {path + QStringLiteral(".mod"), QStringLiteral("--timing"), path + QStringLiteral(".tim"),
                       QStringLiteral("--steps"), QString::number(Steps), QStringLiteral("--code"),
                       QString::number(code), QStringLiteral("--fault"),
                       QStringLiteral("1:%1:%2").arg(element).arg(kind)});
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            state.SkipWithError("modelrun failed");
    }
    state.SetLabel("per scenario");
}
BENCHMARK(ProcessPerScenario)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(16);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
