#include "analysis/BenchFaultCampaign.h"

#include "analysis/ParallelRuns.h"

std::expected<std::vector<BenchFaultOutcome>, QString>
RunBenchFaultCampaign(const LoadedBench &bench, const CampaignPlan &plan,
                      const std::function<void(qint64, qint64)> &progress, const std::atomic<bool> *cancel)
{
    const std::vector<std::vector<InjectedFault>> faults = CampaignFaults(bench.model->definition, plan.pairs,
                                                                          plan.contacts);
    const qint64 faultCount = qint64(faults.size());
    const RunSlice slice = ShardSlice(qint64(bench.runs.size()) * faultCount, plan.shard, plan.shards);
    const auto runWithFault = [&](qint64 task) -> std::expected<BenchFaultOutcome, QString> {
        const qint64 run = slice.first + task;
        BenchFaultOutcome outcome;
        outcome.scenario = int(run / faultCount);
        outcome.faults = faults[size_t(run % faultCount)];
        RunScenario scenario = bench.runs[outcome.scenario];
        for (const InjectedFault &fault : outcome.faults)
            scenario.faults.append({plan.at, fault.element, fault.kind, fault.contact});
        const auto checked = CheckBenchScenario(bench, outcome.scenario, scenario);
        if (!checked)
            return std::unexpected(checked.error());
        outcome.failure = FirstFailure(*checked);
        outcome.verdict = JudgeFaultyRun(bench.model, bench.runs[outcome.scenario], scenario, bench.levels);
        return outcome;
    };
    return CollectInParallel<BenchFaultOutcome>(slice.end - slice.first, plan.jobs, cancel, progress, runWithFault);
}
