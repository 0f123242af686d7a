#include "tools/BenchFaultCampaign.h"

#include "tools/ParallelRuns.h"

std::expected<std::vector<BenchFaultOutcome>, QString>
RunBenchFaultCampaign(const LoadedBench &bench, const CampaignPlan &plan,
                      const std::function<void(qint64, qint64)> &progress, const std::atomic<bool> *cancel)
{
    const std::vector<std::vector<InjectedFault>> faults = CampaignFaults(bench.model->definition.ElemCount,
                                                                          plan.pairs);
    const qint64 faultCount = qint64(faults.size());
    const RunSlice slice = ShardSlice(qint64(bench.runs.size()) * faultCount, plan.shard, plan.shards);
    const qint64 total = slice.end - slice.first;

    std::vector<BenchFaultOutcome> outcomes(static_cast<size_t>(total));
    std::vector<QString> errors(static_cast<size_t>(total));
    std::atomic<qint64> done{0};
    std::function<void()> report;
    if (progress)
        report = [&] { progress(done.load(), total); };
    ForEachInParallel(total, plan.jobs, cancel, done, report, [&](qint64 task) {
        const qint64 run = slice.first + task;
        BenchFaultOutcome &outcome = outcomes[size_t(task)];
        outcome.scenario = int(run / faultCount);
        outcome.faults = faults[size_t(run % faultCount)];
        RunScenario scenario = bench.runs[outcome.scenario];
        for (const InjectedFault &fault : outcome.faults)
            scenario.faults.append({plan.at, fault.element, fault.kind});
        const auto checked = CheckBenchScenario(bench, outcome.scenario, scenario);
        if (checked)
            outcome.failure = FirstFailure(*checked);
        else
            errors[size_t(task)] = checked.error();
    });
    if (report)
        report();
    for (const QString &error : errors)
        if (!error.isEmpty())
            return std::unexpected(error);
    return outcomes;
}
