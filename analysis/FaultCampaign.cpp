#include "analysis/FaultCampaign.h"

#include "sim/RunSession.h"
#include "analysis/ParallelRuns.h"

#include <algorithm>
#include <array>
#include <bit>
#include <deque>
#include <optional>

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

    // Makes the next step; false, then and from then on, once the run has ended.
    bool step() { return m_live = m_live && m_session.step(); }

    // The outputs after the last step, bit j for output j.
    unsigned outputs() const
    {
        const RunState &state = m_session.state();
        unsigned bits = 0;
        for (int j = 1; j <= state.OutCount; ++j)
            bits |= unsigned(state.OutState[j][1] & 1) << j;
        return bits;
    }

    // The element states after the last step, bit i for element i.
    uint32_t elements() const
    {
        const RunState &state = m_session.state();
        uint32_t bits = 0;
        for (int i = 1; i <= state.ElemCount; ++i)
            bits |= uint32_t(state.ElemState[i][1] & 1) << i;
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
    qint64 firstJob;
    qint64 endJob;
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
    }
    std::vector<RunFindings> findings;
    for (size_t r = 0; r < faulty.size(); ++r)
        findings.push_back({differences[r], judgements[r].verdict()});
    return findings;
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
    const qint64 faultCount = qint64(faults.size());
    const int codeCount = int(plan.codes.size());

    auto scenarioFor = [&](int codeIndex, const std::vector<InjectedFault> &injected, qint64 at) {
        RunScenario scenario = plan.scenario;
        scenario.code = plan.codes[codeIndex];
        for (const InjectedFault &fault : injected)
            scenario.faults.append({at, fault.element, fault.kind});
        return scenario;
    };

    // Runs are numbered code by code, fault by fault; job 0 is the slice's first.
    const RunSlice slice = ShardSlice(qint64(codeCount) * faultCount, plan.shard, plan.shards);
    std::vector<Batch> batches;
    for (qint64 run = slice.first; run < slice.end;) {
        const qint64 codeEnd = (run / faultCount + 1) * faultCount;
        const qint64 end = std::min({slice.end, codeEnd, run + qint64(RunsPerBatch)});
        batches.push_back({int(run / faultCount), run - slice.first, end - slice.first, false});
        run = end;
    }
    const qint64 jobCount = slice.end - slice.first;
    // The fault-free run of each code in the slice counts once, with the
    // first batch of its code, as the one run it stands for.
    qint64 total = jobCount;
    for (size_t b = 0; b < batches.size(); ++b)
        if (b == 0 || batches[b].codeIndex != batches[b - 1].codeIndex) {
            batches[b].countsBaseline = true;
            ++total;
        }

    std::vector<FaultOutcome> outcomes(size_t(jobCount) * size_t(outCount));
    std::atomic<qint64> batchesDone{0};
    std::atomic<qint64> runsDone{0};
    std::function<void()> report;
    if (progress)
        report = [&] { progress(runsDone.load(), total); };
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

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
            for (qint64 job = batch.firstJob; job < batch.endJob; ++job)
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
        for (qint64 job = batch.firstJob; job < batch.endJob; ++job) {
            const RunFindings &found = worst[size_t(job - batch.firstJob)];
            for (int j = 1; j <= outCount; ++j) {
                FaultOutcome &outcome = outcomes[size_t(job) * size_t(outCount) + size_t(j - 1)];
                outcome.faults = faultsOf(job);
                outcome.code = plan.codes[batch.codeIndex];
                outcome.output = j;
                outcome.effect = found.differences.effect(j);
                outcome.firstStep = found.differences.firstStep[size_t(j)];
                outcome.verdict = found.verdict;
                outcome.at = found.at;
            }
        }
        runsDone += batch.endJob - batch.firstJob + (batch.countsBaseline ? 1 : 0);
    });
    if (report)
        report();
    return outcomes;
}
