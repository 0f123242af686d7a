#include "analysis/FaultCampaign.h"

#include "sim/RunSession.h"
#include "analysis/MinimalPairs.h"
#include "analysis/ParallelRuns.h"
#include "model/ContactSensitivity.h"

#include <algorithm>
#include <tuple>
#include <array>
#include <bit>
#include <deque>
#include <optional>
#include <utility>

namespace {

// How often a run looks at the cancel flag: a few thousand steps of a few
// sessions take well under the 50 ms a user may wait for «Отмена».
constexpr qint64 CancelCheckSteps = 1024;

// Faulty runs of one code stepped together with one fault-free run: the
// fault-free run is made once for them all, and no run keeps its steps.
constexpr size_t RunsPerBatch = 16;

// A run without rows or messages, stepped from outside.
class QuietRun
{
public:
    QuietRun(const SharedModel &model, RunScenario scenario) : m_session(model)
    {
        scenario.reportFile.clear();
        // The scenario was checked before the campaign.
        m_live = m_session.setUp(scenario, false).has_value();
        if (m_live)
            m_session.start();
    }

    // Goes on from where another run of the same model has got to.
    void continueFrom(const QuietRun &other)
    {
        m_session.continueFrom(other.m_session);
        m_live = other.m_live;
    }

    // Makes the next step; false, then and from then on, once the run has
    // ended or been stopped.
    bool step() { return m_live = m_live && m_session.step(); }
    void stop() { m_live = false; }
    bool live() const { return m_live; }

    SignalState signalState() const { return m_session.signalState(); }
    bool isIn(const SignalState &held) const { return m_session.isInSignalState(held); }
    bool planDone() const { return m_session.planDone(); }

    const RunState &state() const { return m_session.state(); }

    // The outputs after the last step, bit j for output j.
    unsigned outputs() const
    {
        const RunState &state = m_session.state();
        unsigned bits = 0;
        for (int j = 1; j <= state.OutCount; ++j)
            bits |= unsigned(state.now().OutState[j][1] & 1) << j;
        return bits;
    }

    // The element states after the last step, bit i for element i.
    uint32_t elements() const
    {
        const RunState &state = m_session.state();
        uint32_t bits = 0;
        for (int i = 1; i <= state.ElemCount; ++i)
            bits |= uint32_t(state.now().ElemState[i][1] & 1) << i;
        return bits;
    }

    // The level of the code sent at the last step, as its keys left it.
    int codeLevel()
    {
        const DiagramStep &diagram = m_session.diagram();
        return CodeLevel(diagram.Nkod, diagram.ConstInput != FlagFalse);
    }

private:
    RunSession m_session;
    bool m_live = false;
};

// Consecutive faulty runs of the campaign under one code.
struct Batch
{
    int codeIndex;
    std::vector<qint64> jobs;
    bool countsBaseline = false;
};

// How each output of a faulty run has differed from the fault-free run so far.
struct Differences
{
    unsigned lost = 0;     // bit j: output j was 0 where the fault-free run has 1
    unsigned spurious = 0; // bit j: output j was 1 where the fault-free run has 0
    std::array<qint64, MaxOutputs + 1> firstStep{};

    void add(unsigned base, unsigned faulty, qint64 step)
    {
        const unsigned diff = base ^ faulty;
        for (unsigned fresh = diff & ~(lost | spurious); fresh; fresh &= fresh - 1)
            firstStep[size_t(std::countr_zero(fresh))] = step;
        spurious |= diff & faulty;
        lost |= diff & base;
    }

    FaultEffect effect(int j) const
    {
        const bool isLost = (lost >> j) & 1;
        const bool isSpurious = (spurious >> j) & 1;
        return isLost && isSpurious ? FaultEffect::Both
               : isSpurious         ? FaultEffect::Spurious
               : isLost             ? FaultEffect::Lost
                                    : FaultEffect::None;
    }
};

// Feeds a faulty run's step to its judgement, reading the element states
// only while they can still tell a latent fault.
template<typename Elements>
void judgeStep(SafetyJudgement &judgement, qint64 step, int codeLevel, unsigned faultFreeOutputs,
               const Elements &faultFreeElements, const QuietRun &faulty)
{
    const unsigned outputs = faulty.outputs();
    if (judgement.wantsElements() && outputs == faultFreeOutputs)
        judgement.add(step, codeLevel, faultFreeOutputs, outputs, faultFreeElements(), faulty.elements());
    else
        judgement.add(step, codeLevel, faultFreeOutputs, outputs);
}

// What one faulty run showed against its fault-free run.
struct RunFindings
{
    Differences differences;
    SafetyVerdict verdict;
    qint64 at = 0;
};

// How bad a verdict is, for the worst of the injection steps: a latent
// fault counts above none.
int Severity(const SafetyVerdict &verdict)
{
    return verdict.safety != Safety::None ? int(verdict.safety) + 1 : verdict.latent() ? 1 : 0;
}

// Tells when faulty runs stepped beside a fault-free run can tell nothing
// more. Once nothing planned is left, the steps of a run follow from its
// signal state alone; when the fault-free run and a faulty run are both in
// the states they were in some steps before, every later step of the pair
// repeats one already compared. The states are held at steps ever farther
// apart (Brent's cycle finding), so a repeat of any period is seen within
// about twice its period after it begins; until the fault-free run repeats,
// a step costs one comparison for the whole batch.
class RepeatWatch
{
public:
    explicit RepeatWatch(size_t runs) : m_held(runs) {}

    // After a step of all runs: stops each faulty run that repeats.
    void look(const QuietRun &base, std::deque<QuietRun> &faulty)
    {
        if (m_base && ++m_since <= m_window && base.isIn(*m_base))
            for (size_t r = 0; r < faulty.size(); ++r)
                if (faulty[r].live() && faulty[r].isIn(m_held[r]))
                    faulty[r].stop();
        if (m_base && m_since < m_window)
            return;
        if (!base.planDone() || !std::ranges::all_of(faulty, &QuietRun::planDone))
            return;
        m_base = base.signalState();
        for (size_t r = 0; r < faulty.size(); ++r)
            if (faulty[r].live())
                m_held[r] = faulty[r].signalState();
        m_window = m_since == 0 ? FirstWindow : m_window * 2;
        m_since = 0;
    }

private:
    static constexpr qint64 FirstWindow = 32;
    std::optional<SignalState> m_base;
    std::vector<SignalState> m_held;
    qint64 m_window = 0;
    qint64 m_since = 0;
};

// Steps the faulty runs beside one fault-free run to the end, all forked
// from the fault-free prefix, stepped up to just before their faults: up to
// there they are that run, and equal steps tell a judgement nothing.
// Nothing once cancelled.
template<typename Cancelled>
std::optional<std::vector<RunFindings>> stepBeside(const SharedModel &model, const QuietRun &prefix,
                                                   qint64 prefixSteps, const RunScenario &faultFree,
                                                   const std::vector<RunScenario> &scenarios,
                                                   const OutputLevels &levels, const Cancelled &cancelled)
{
    QuietRun base(model, faultFree);
    base.continueFrom(prefix);
    std::deque<QuietRun> faulty; // a session stays where it was made
    for (const RunScenario &scenario : scenarios) {
        faulty.emplace_back(model, scenario);
        faulty.back().continueFrom(prefix);
    }
    std::vector<Differences> differences(faulty.size());
    std::vector<SafetyJudgement> judgements(faulty.size(), SafetyJudgement(levels));
    RepeatWatch repeats(faulty.size());
    for (qint64 step = prefixSteps + 1; base.step(); ++step) {
        if (step % CancelCheckSteps == 0 && cancelled())
            return std::nullopt;
        const unsigned was = base.outputs();
        const int codeLevel = base.codeLevel();
        std::optional<uint32_t> baseElements;
        const auto elements = [&] { return baseElements ? *baseElements : *(baseElements = base.elements()); };
        bool anyLive = false;
        for (size_t r = 0; r < faulty.size(); ++r)
            if (faulty[r].step()) {
                differences[r].add(was, faulty[r].outputs(), step);
                judgeStep(judgements[r], step, codeLevel, was, elements, faulty[r]);
                anyLive = true;
            }
        if (!anyLive)
            break;
        repeats.look(base, faulty);
    }
    std::vector<RunFindings> findings;
    for (size_t r = 0; r < faulty.size(); ++r)
        findings.push_back({differences[r], judgements[r].verdict()});
    return findings;
}

// Steps the fault-free run of one code and settles the jobs of single
// contact faults (job, fault) with it. A faulty run goes exactly as the
// fault-free one for as long as its fault changes no element's excitation:
// up to then only the outputs of the fault's own function can differ, at
// the steps where the fault-free signals let the fault matter. A fault that
// changes an excitation at some step from `at` on keeps needsRun: it needs
// a run of its own; the others get their differences here.
void screenContactFaults(const SharedModel &model, const RunScenario &scenario, qint64 at,
                         const std::vector<Contact> &contacts, const ContactSensitivity &sensitivity,
                         const std::vector<std::pair<qint64, ContactFault>> &jobs, std::vector<Differences> &differences,
                         std::vector<SafetyJudgement> &judgements, std::vector<char> &needsRun,
                         const std::function<bool()> &cancelled)
{
    using Bits = ContactSensitivity::Bits;
    const auto slotOf = [](const ContactFault &fault) { return size_t(fault.contact) * 2 + (fault.kind == ContactOpen); };
    std::vector<qint64> jobOf(2 * (contacts.size() + 1), -1);
    for (const auto &[job, fault] : jobs) {
        jobOf[slotOf(fault)] = job;
        needsRun[size_t(job)] = 0;
    }
    QuietRun base(model, scenario);
    Bits before = 0; // the elements at the end of the previous step, bit k element k
    std::optional<Bits> elementValues;
    std::optional<Bits> outputValues;
    std::vector<ContactFault> flips;
    // The jobs whose fault flips its own function's output under the signals
    // of this step, with that output's bit.
    std::vector<std::pair<qint64, unsigned>> flipped;
    for (qint64 step = 1; base.step(); ++step) {
        if (step % CancelCheckSteps == 0 && cancelled())
            return;
        const RunState &state = base.state();
        Bits states = 0;
        for (int k = 1; k <= state.ElemCount; ++k)
            states |= Bits(state.now().ElemState[k][1] != 0) << k;
        const Bits input = state.now().InputVal[1] != 0 ? 1 : 0;
        const Bits forElements = input | std::exchange(before, states);
        // The same signals as at the step before give the same flips again,
        // which add nothing once that step has been screened.
        if (step < at)
            continue;
        if (forElements != elementValues) {
            elementValues = forElements;
            sensitivity.elementFlips(forElements, flips);
            for (const ContactFault &flip : flips)
                if (const qint64 job = jobOf[slotOf(flip)]; job >= 0)
                    needsRun[size_t(job)] = 1;
        }
        if ((input | states) != outputValues) {
            outputValues = input | states;
            sensitivity.outputFlips(input | states, flips);
            flipped.clear();
            for (const ContactFault &flip : flips)
                if (const qint64 job = jobOf[slotOf(flip)]; job >= 0)
                    flipped.push_back({job, 1u << contacts[size_t(flip.contact - 1)].function});
        }
        // The judgement weighs every step, since the code can change while
        // the signals stay.
        const unsigned outputs = base.outputs();
        const int codeLevel = base.codeLevel();
        for (const auto &[job, output] : flipped) {
            differences[size_t(job)].add(outputs, outputs ^ output, step);
            judgements[size_t(job)].add(step, codeLevel, outputs, outputs ^ output);
        }
    }
}

std::vector<InjectedFault> coilFaults(int elemCount)
{
    std::vector<InjectedFault> singles;
    for (uint8_t kind = 1; kind <= 2; ++kind)
        for (int element = 1; element <= elemCount; ++element)
            singles.push_back({element, kind});
    return singles;
}

// Two faults of one coil or of one contact never make a pair.
bool samePlace(const InjectedFault &a, const InjectedFault &b)
{
    return a.contact == b.contact && (a.contact != 0 || a.element == b.element);
}

std::vector<std::vector<InjectedFault>> withPairs(const std::vector<InjectedFault> &singles, bool pairs)
{
    std::vector<std::vector<InjectedFault>> faults;
    for (const InjectedFault &fault : singles)
        faults.push_back({fault});
    if (pairs)
        for (size_t a = 0; a < singles.size(); ++a)
            for (size_t b = a + 1; b < singles.size(); ++b)
                if (!samePlace(singles[a], singles[b]))
                    faults.push_back({singles[a], singles[b]});
    return faults;
}

} // namespace

SafetyVerdict JudgeFaultyRun(const SharedModel &model, const RunScenario &faultFree, const RunScenario &faulty,
                             const OutputLevels &levels)
{
    QuietRun base(model, faultFree);
    QuietRun run(model, faulty);
    SafetyJudgement judgement(levels);
    for (qint64 step = 1; base.step() && run.step(); ++step)
        judgeStep(judgement, step, base.codeLevel(), base.outputs(), [&] { return base.elements(); }, run);
    return judgement.verdict();
}

std::vector<std::vector<InjectedFault>> CampaignFaults(int elemCount, bool pairs)
{
    return withPairs(coilFaults(elemCount), pairs);
}

std::vector<std::vector<InjectedFault>> CampaignFaults(const ModelDefinition &definition, bool pairs, bool contacts)
{
    std::vector<InjectedFault> singles = coilFaults(definition.ElemCount);
    if (contacts) {
        const std::vector<Contact> all = ModelContacts(definition);
        for (const uint8_t kind : {ContactWelded, ContactOpen})
            for (size_t n = 0; n < all.size(); ++n)
                singles.push_back({all[n].relay, kind, int(n) + 1});
    }
    return withPairs(singles, pairs);
}

std::vector<FaultOutcome> RunFaultCampaign(const SharedModel &model, const CampaignPlan &plan,
                                           const std::function<void(qint64, qint64)> &progress,
                                           const std::atomic<bool> *cancel)
{
    const ModelDefinition &definition = model->definition;
    const int outCount = definition.OutCount;
    const std::vector<std::vector<InjectedFault>> faults = CampaignFaults(definition, plan.pairs, plan.contacts);
    const qint64 faultCount = qint64(faults.size());
    const int codeCount = int(plan.codes.size());

    auto scenarioFor = [&](int codeIndex, const std::vector<InjectedFault> &injected, qint64 at) {
        RunScenario scenario = plan.scenario;
        scenario.code = plan.codes[codeIndex];
        for (const InjectedFault &fault : injected)
            scenario.faults.append({at, fault.element, fault.kind, fault.contact});
        return scenario;
    };

    // Runs are numbered code by code, fault by fault; job 0 is the slice's first.
    const RunSlice slice = ShardSlice(qint64(codeCount) * faultCount, plan.shard, plan.shards);
    const qint64 jobCount = slice.end - slice.first;
    std::vector<RunFindings> findings(static_cast<size_t>(jobCount));
    std::vector<char> needsRun(static_cast<size_t>(jobCount), 1);
    std::atomic<qint64> runsDone{0};
    // The fault-free run of each code in the slice counts once, as the one
    // run it stands for.
    qint64 total = jobCount;
    for (int c = 0; c < codeCount; ++c)
        total += std::max(slice.first, c * faultCount) < std::min(slice.end, (c + 1) * faultCount) ? 1 : 0;
    std::function<void()> report;
    if (progress)
        report = [&] { progress(runsDone.load(), total); };
    const std::function<bool()> cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

    // The fault-free run alone settles most single contact faults; it
    // stands for itself only while no other fault is in force.
    const bool screened = plan.contacts && plan.scenario.faults.isEmpty() && plan.scenario.namedFaults.isEmpty();
    if (screened) {
        std::vector<Differences> differences(static_cast<size_t>(jobCount));
        std::vector<SafetyJudgement> judgements(static_cast<size_t>(jobCount), SafetyJudgement(plan.levels));
        const std::vector<Contact> contacts = ModelContacts(definition);
        const ContactSensitivity sensitivity(definition, contacts);
        std::atomic<qint64> codesDone{0};
        ForEachInParallel(qint64(codeCount), plan.jobs, cancel, codesDone, report, [&](qint64 codeIndex) {
            const qint64 first = std::max(slice.first, codeIndex * faultCount);
            const qint64 end = std::min(slice.end, (codeIndex + 1) * faultCount);
            if (first >= end)
                return;
            std::vector<std::pair<qint64, ContactFault>> jobs;
            for (qint64 run = first; run < end; ++run)
                if (const std::vector<InjectedFault> &fault = faults[size_t(run % faultCount)];
                    fault.size() == 1 && fault.front().contact != 0)
                    jobs.push_back({run - slice.first, ContactFault{fault.front().contact, fault.front().kind}});
            screenContactFaults(model, scenarioFor(int(codeIndex), {}, 0), plan.at, contacts, sensitivity, jobs,
                                differences, judgements, needsRun, cancelled);
            runsDone += qint64(std::ranges::count(needsRun.begin() + (first - slice.first),
                                                  needsRun.begin() + (end - slice.first), 0))
                        + 1;
        });
        // A fault settled here changes no element, so the earliest injection
        // step gives every difference a later one gives and more.
        for (qint64 job = 0; job < jobCount; ++job)
            if (!needsRun[size_t(job)])
                findings[size_t(job)] = {differences[size_t(job)], judgements[size_t(job)].verdict(), plan.at};
    }

    std::vector<Batch> batches;
    for (qint64 job = 0; job < jobCount; ++job) {
        if (!needsRun[size_t(job)])
            continue;
        const int codeIndex = int((slice.first + job) / faultCount);
        if (batches.empty() || batches.back().codeIndex != codeIndex || batches.back().jobs.size() == RunsPerBatch)
            batches.push_back({codeIndex, {}, !screened && (batches.empty() || batches.back().codeIndex != codeIndex)});
        batches.back().jobs.push_back(job);
    }

    std::atomic<qint64> batchesDone{0};
    ForEachInParallel(qint64(batches.size()), plan.jobs, cancel, batchesDone, report, [&](qint64 task) {
        const Batch &batch = batches[size_t(task)];
        const auto faultsOf = [&](qint64 job) -> const std::vector<InjectedFault> & {
            return faults[size_t((slice.first + job) % faultCount)];
        };
        std::vector<RunFindings> worst;
        const RunScenario faultFree = scenarioFor(batch.codeIndex, {}, 0);
        QuietRun prefix(model, faultFree);
        qint64 prefixSteps = 0;
        for (qint64 at = plan.at; at <= plan.lastAt(); ++at) {
            for (; prefixSteps < at - 1 && prefix.step(); ++prefixSteps)
                if (prefixSteps % CancelCheckSteps == 0 && cancelled())
                    return;
            std::vector<RunScenario> scenarios;
            for (const qint64 job : batch.jobs)
                scenarios.push_back(scenarioFor(batch.codeIndex, faultsOf(job), at));
            std::optional<std::vector<RunFindings>> found =
                stepBeside(model, prefix, prefixSteps, faultFree, scenarios, plan.levels, cancelled);
            if (!found)
                return;
            for (RunFindings &run : *found)
                run.at = at;
            if (worst.empty())
                worst = std::move(*found);
            else
                for (size_t r = 0; r < worst.size(); ++r)
                    if (Severity((*found)[r].verdict) > Severity(worst[r].verdict))
                        worst[r] = (*found)[r];
        }
        for (size_t r = 0; r < batch.jobs.size(); ++r)
            findings[size_t(batch.jobs[r])] = worst[r];
        runsDone += qint64(batch.jobs.size()) + (batch.countsBaseline ? 1 : 0);
    });
    if (report)
        report();

    std::vector<FaultOutcome> outcomes(size_t(jobCount) * size_t(outCount));
    for (qint64 job = 0; job < jobCount; ++job)
        for (int j = 1; j <= outCount; ++j) {
            FaultOutcome &outcome = outcomes[size_t(job) * size_t(outCount) + size_t(j - 1)];
            const Differences &found = findings[size_t(job)].differences;
            outcome.faults = faults[size_t((slice.first + job) % faultCount)];
            outcome.code = plan.codes[int((slice.first + job) / faultCount)];
            outcome.output = j;
            outcome.effect = found.effect(j);
            outcome.firstStep = found.firstStep[size_t(j)];
            outcome.verdict = findings[size_t(job)].verdict;
            outcome.at = findings[size_t(job)].at;
        }
    return outcomes;
}

std::vector<FaultOutcome> MinimalPairsOnly(std::vector<FaultOutcome> outcomes, qsizetype &hiddenRuns)
{
    const std::vector<bool> shown = MinimalPairsShown(outcomes, [](const FaultOutcome &outcome) {
        std::vector<std::tuple<int16_t, int, uint8_t, int>> keys;
        for (const InjectedFault &fault : outcome.faults)
            keys.emplace_back(outcome.code, fault.element, fault.kind, fault.contact);
        return keys;
    });
    std::vector<FaultOutcome> kept;
    hiddenRuns = 0;
    for (size_t k = 0; k < outcomes.size(); ++k) {
        if (shown[k])
            kept.push_back(std::move(outcomes[k]));
        else if (outcomes[k].output == 1) // one run has a row per output; the first of them counts it
            ++hiddenRuns;
    }
    return kept;
}
