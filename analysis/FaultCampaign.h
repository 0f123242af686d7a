#pragma once

#include "analysis/SafetyJudgement.h"
#include "model/LoadedModel.h"
#include "sim/RunScenario.h"

#include <QList>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

// A fault kept from a step to the end of a run.
struct InjectedFault
{
    int element = 0;  // from 1; for a contact its relay, 0 for the input p
    uint8_t kind = 0; // 1 break (excitation 0), 2 feed (excitation 1); contacts: 3 welded, 4 open
    int contact = 0;  // the contact's number (ModelContacts); 0 for a fault of element's coil
};

// How an output of a faulty run compares with the fault-free run. Which of
// them is dangerous depends on what the output shows: see SafetyVerdict.
enum class FaultEffect {
    None,     // never differs
    Lost,     // somewhere 0 where the fault-free run has 1
    Spurious, // somewhere 1 where the fault-free run has 0
    Both,
};

struct FaultOutcome
{
    std::vector<InjectedFault> faults; // one, or two on different elements
    int16_t code = 0;
    int output = 0;          // from 1
    FaultEffect effect = FaultEffect::None;
    qint64 firstStep = 0;    // the first step where the output differs; 0 for none
    SafetyVerdict verdict;   // of the whole run, the same for each of its outputs
    qint64 at = 1;           // the step the faults were injected at
};

struct CampaignPlan
{
    RunScenario scenario;    // its files already read (ReadScenarioFiles)
    QList<int16_t> codes{0, 1, 2, 3};
    bool pairs = false;      // every pair of faults on two different elements too
    bool contacts = false;   // every contact welded and open too, after the faults of the coils
    OutputLevels levels;     // what the outputs show to the driver, for the verdicts
    qint64 at = 1;           // the faults are in force from this step on
    // With at, the range of injection steps tried: each fault is injected at
    // every step of at..atLast; 0 for at alone.
    qint64 atLast = 0;
    qint64 lastAt() const { return std::max(at, atLast); }
    int jobs = 1;            // threads
    // The slice of the faulty runs to make, 0 <= shard < shards: the runs in
    // campaign order cut into `shards` nearly equal consecutive pieces, so
    // the outcomes of the slices, one after the other, are the campaign's.
    int shard = 0;
    int shards = 1;
};

// The faults tried, in the order of the results: every element with a break,
// then with a feed; with pairs, every pair after the single faults.
std::vector<std::vector<InjectedFault>> CampaignFaults(int elemCount, bool pairs);
// The same with contacts: after those of the coils, every contact welded,
// then every contact open; a pair is two faults of different coils or
// contacts.
std::vector<std::vector<InjectedFault>> CampaignFaults(const ModelDefinition &definition, bool pairs, bool contacts);

// The verdict on one faulty run against the fault-free run it differs from
// only by its faults, both stepped together to the end.
SafetyVerdict JudgeFaultyRun(const SharedModel &model, const RunScenario &faultFree, const RunScenario &faulty,
                             const OutputLevels &levels);

// Runs every fault of the campaign under every code, each compared with the
// fault-free run of its code. The outcomes come per code, per fault, per
// output, in that order whatever the number of jobs. progress, when given,
// is called from the calling thread with the runs done so far. Each faulty
// run is stepped beside a fault-free run and compared step by step, so no
// run is kept and the memory does not grow with the run length; once the
// two repeat states they were in together, the rest of the run would only
// repeat what was compared, and the faulty run stops there. A single
// contact fault that never changes an excitation while the device runs as
// the fault-free one needs no run of its own: the fault-free run of its
// code settles it. Setting
// cancel stops the campaign within a few thousand steps, inside a run too;
// the outcomes are then incomplete.
std::vector<FaultOutcome> RunFaultCampaign(const SharedModel &model, const CampaignPlan &plan,
                                           const std::function<void(qint64 done, qint64 total)> &progress = {},
                                           const std::atomic<bool> *cancel = nullptr);

// The outcomes of single faults, and of the pairs only those worth a look:
// wrong-side together, while neither fault alone is wrong-side under the
// same code (the others follow from the singles). hiddenRuns counts the
// pairs' runs left out.
std::vector<FaultOutcome> MinimalPairsOnly(std::vector<FaultOutcome> outcomes, qsizetype &hiddenRuns);
