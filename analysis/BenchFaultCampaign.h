#pragma once

#include "check/LoadedBench.h"
#include "analysis/FaultCampaign.h"

#include <QString>

#include <atomic>
#include <expected>
#include <functional>
#include <optional>
#include <vector>

// One faulty run of a bench scenario and what became of its expectations.
struct BenchFaultOutcome
{
    std::vector<InjectedFault> faults;
    int scenario = 0;                         // index in the bench
    std::optional<ExpectationResult> failure; // the expectation broken first; none when all hold
    SafetyVerdict verdict; // by the bench's levels, against the scenario's fault-free run
};

// Runs every scenario of the bench with every fault of the campaign and
// checks the bench's expectations on each faulty run, in place of the
// comparison with a fault-free run. The bench names the model and its
// scenarios, so plan.scenario and plan.codes are not read; pairs, at, jobs
// and the shard are. A fault of the campaign is added to the scenario's own
// faults. The outcomes come per scenario, per fault, in that order whatever
// the number of jobs; a message when the bench cannot be checked. Each
// outcome is also judged against the scenario run without the campaign's
// fault, by the levels the bench declares.
std::expected<std::vector<BenchFaultOutcome>, QString>
RunBenchFaultCampaign(const LoadedBench &bench, const CampaignPlan &plan,
                      const std::function<void(qint64 done, qint64 total)> &progress = {},
                      const std::atomic<bool> *cancel = nullptr);
