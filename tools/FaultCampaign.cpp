#include "tools/FaultCampaign.h"

#include "sim/RunSession.h"
#include "tools/ParallelRuns.h"

#include <algorithm>

namespace {

// The outputs after each step, bit j for output j.
using OutputTrace = std::vector<uint8_t>;

OutputTrace traceOutputs(const SharedModel &model, RunScenario scenario)
{
    SessionHost quiet;
    RunSession session(model, quiet);
    scenario.reportFile.clear();
    OutputTrace trace;
    if (!session.setUp(scenario, false))
        return trace; // the scenario was checked before the campaign
    session.start();
    const RunState &state = session.state();
    while (session.step()) {
        uint8_t bits = 0;
        for (int j = 1; j <= state.OutCount; ++j)
            bits |= uint8_t((state.OutState[j][1] & 1) << j);
        trace.push_back(bits);
    }
    return trace;
}

struct Job
{
    int codeIndex;
    int faultIndex;
};

// Output j of a faulty run against the fault-free run.
void compareOutput(const OutputTrace &base, const OutputTrace &faulty, int j, FaultOutcome &outcome)
{
    bool lost = false;
    bool spurious = false;
    for (size_t k = 0; k < std::min(base.size(), faulty.size()) && !(lost && spurious); ++k) {
        const int was = (base[k] >> j) & 1;
        const int is = (faulty[k] >> j) & 1;
        if (was == is)
            continue;
        if (outcome.firstStep == 0)
            outcome.firstStep = qint64(k) + 1;
        (is ? spurious : lost) = true;
    }
    outcome.effect = lost && spurious ? FaultEffect::Both
                     : spurious      ? FaultEffect::Spurious
                     : lost          ? FaultEffect::Lost
                                     : FaultEffect::None;
}

} // namespace

std::vector<std::vector<InjectedFault>> CampaignFaults(int elemCount, bool pairs)
{
    std::vector<InjectedFault> singles;
    for (uint8_t kind = 1; kind <= 2; ++kind)
        for (int element = 1; element <= elemCount; ++element)
            singles.push_back({element, kind});
    std::vector<std::vector<InjectedFault>> faults;
    for (const InjectedFault &fault : singles)
        faults.push_back({fault});
    if (pairs)
        for (size_t a = 0; a < singles.size(); ++a)
            for (size_t b = a + 1; b < singles.size(); ++b)
                if (singles[a].element != singles[b].element)
                    faults.push_back({singles[a], singles[b]});
    return faults;
}

std::vector<FaultOutcome> RunFaultCampaign(const SharedModel &model, const CampaignPlan &plan,
                                           const std::function<void(qint64, qint64)> &progress,
                                           const std::atomic<bool> *cancel)
{
    const int outCount = model->definition.OutCount;
    const std::vector<std::vector<InjectedFault>> faults = CampaignFaults(model->definition.ElemCount, plan.pairs);
    const int codeCount = int(plan.codes.size());

    auto scenarioFor = [&](int codeIndex, const std::vector<InjectedFault> &injected) {
        RunScenario scenario = plan.scenario;
        scenario.code = plan.codes[codeIndex];
        for (const InjectedFault &fault : injected)
            scenario.faults.append({plan.at, fault.element, fault.kind});
        return scenario;
    };

    std::vector<Job> jobs;
    const qint64 runs = qint64(codeCount) * qint64(faults.size());
    const RunSlice slice = ShardSlice(runs, plan.shard, plan.shards);
    for (qint64 run = slice.first; run < slice.end; ++run)
        jobs.push_back({int(run / qint64(faults.size())), int(run % qint64(faults.size()))});
    const qint64 total = qint64(jobs.size()) + codeCount;

    std::vector<FaultOutcome> outcomes(jobs.size() * size_t(outCount));
    std::vector<OutputTrace> baselines(static_cast<size_t>(codeCount));
    std::atomic<qint64> done{0};
    std::function<void()> report;
    if (progress)
        report = [&] { progress(done.load(), total); };

    ForEachInParallel(codeCount, plan.jobs, cancel, done, report, [&](qint64 c) {
        baselines[size_t(c)] = traceOutputs(model, scenarioFor(int(c), {}));
    });
    ForEachInParallel(qint64(jobs.size()), plan.jobs, cancel, done, report, [&](qint64 task) {
        const Job &job = jobs[size_t(task)];
        const OutputTrace faulty = traceOutputs(model, scenarioFor(job.codeIndex, faults[size_t(job.faultIndex)]));
        const OutputTrace &base = baselines[size_t(job.codeIndex)];
        for (int j = 1; j <= outCount; ++j) {
            FaultOutcome &outcome = outcomes[size_t(task) * size_t(outCount) + size_t(j - 1)];
            outcome.faults = faults[size_t(job.faultIndex)];
            outcome.code = plan.codes[job.codeIndex];
            outcome.output = j;
            compareOutput(base, faulty, j, outcome);
        }
    });
    if (report)
        report();
    return outcomes;
}
