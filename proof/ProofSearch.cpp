#include "proof/ProofQuestion.h"

#include "analysis/SafetyJudgement.h"
#include "model/CompiledFunctions.h"
#include "model/ContactFault.h"
#include "model/StepTime.h"
#include "proof/DeviceCircuit.h"
#include "proof/CounterexampleBreach.h"
#include "proof/DeviceStepper.h"
#include "proof/ProofBench.h"
#include "proof/StateStore.h"
#include "proof/TrainSets.h"
#include "proof/TransmitterMachine.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <thread>

namespace {

// Fields packed into 64-bit words, low bits first.
class BitWriter
{
public:
    explicit BitWriter(uint64_t *words) : m_words(words) {}
    void put(uint64_t value, int width)
    {
        if (width == 0)
            return;
        const int word = m_at / 64, shift = m_at % 64;
        m_words[word] |= value << shift;
        if (shift + width > 64)
            m_words[word + 1] |= value >> (64 - shift);
        m_at += width;
    }

private:
    uint64_t *m_words;
    int m_at = 0;
};

class BitReader
{
public:
    explicit BitReader(const uint64_t *words) : m_words(words) {}
    uint64_t get(int width)
    {
        if (width == 0)
            return 0;
        const int word = m_at / 64, shift = m_at % 64;
        uint64_t value = m_words[word] >> shift;
        if (shift + width > 64)
            value |= m_words[word + 1] << (64 - shift);
        m_at += width;
        return width == 64 ? value : value & ((uint64_t(1) << width) - 1);
    }

private:
    const uint64_t *m_words;
    int m_at = 0;
};

int WidthFor(uint64_t largest) { return int(std::bit_width(largest)); }

// A bench's expression with its values resolved to bits.
class Condition
{
public:
    static std::expected<Condition, QString> Compile(const SignalExpression &expression, const SignalNames &names)
    {
        Condition condition;
        QString error;
        condition.m_root = condition.add(expression, names, error);
        if (!error.isEmpty())
            return std::unexpected(error);
        return condition;
    }
    bool holds(uint32_t values) const { return holds(m_root, values); }

private:
    struct Node
    {
        SignalExpression::Kind kind;
        int bit = 0;
        int left = -1, right = -1;
    };

    int add(const SignalExpression &e, const SignalNames &names, QString &error)
    {
        Node node{e.kind};
        if (e.kind == SignalExpression::Kind::Signal) {
            const auto bit = names.bit(e.name);
            if (!bit)
                error = bit.error();
            node.bit = bit.value_or(0);
        } else {
            node.left = add(*e.left, names, error);
            if (e.right)
                node.right = add(*e.right, names, error);
        }
        m_nodes.push_back(node);
        return int(m_nodes.size()) - 1;
    }
    bool holds(int at, uint32_t values) const
    {
        const Node &n = m_nodes[size_t(at)];
        switch (n.kind) {
        case SignalExpression::Kind::Signal:
            return (values >> n.bit) & 1u;
        case SignalExpression::Kind::Not:
            return !holds(n.left, values);
        case SignalExpression::Kind::And:
            return holds(n.left, values) && holds(n.right, values);
        case SignalExpression::Kind::Or:
            return holds(n.left, values) || holds(n.right, values);
        }
        return false;
    }

    std::vector<Node> m_nodes;
    int m_root = 0;
};

// One fault the search may inject, as a scenario states it.
struct FaultChoice
{
    int element = 0;
    uint8_t kind = 0;
    int contact = 0;
};

// A state between two steps, unpacked. The device's part is a run's; the
// rest is what the properties and the choices need to remember.
struct SearchState
{
    DeviceState device;
    // The code (or p) of the last step; before the first, 0, as every
    // signal of a run is.
    uint8_t input = 0;
    bool cycleDone = false;
    uint8_t usedCodes = 0; // bit c: code c has been sent; only while the trains are not kept exactly
    // Per code 1..3 where its train may be (a set of TrainSets): one state
    // when the trains are kept exactly; only the current code's otherwise.
    std::array<uint32_t, 4> train{};
    uint16_t run = 0; // steps the current code has been sent, saturating; 0 before the first
    std::array<uint16_t, 4> sinceLevel{}; // [b]: steps since a code of level b or more, saturating
    std::array<uint16_t, 2> faults{};     // fault numbers from 1, the smaller first; 0 none
    // [side][element]: the steps a delay of a band took the first time it
    // completed, which it takes for the rest of the run; 0 before that.
    std::array<std::array<uint16_t, MaxElements + 1>, 2> chosen{};
};

// How a question's search stores its states and what it may choose.
class SearchSpace
{
public:
    // trains: where the codes' trains may be, shared by the spaces of one
    // search (it numbers the sets); null for a free input.
    SearchSpace(const ProofQuestion &question, const DeviceStepper &stepper, std::shared_ptr<TrainSets> trains,
                bool exactTrains)
        : q(question), m_stepper(stepper), m_exactTrains(exactTrains)
    {
        const int n = stepper.elementCount();
        for (int i = 1; i <= n; ++i) {
            for (int side = 0; side < 2; ++side) {
                const int nominal = side == 0 ? stepper.delays().pickup[size_t(i)] : stepper.delays().release[size_t(i)];
                const DelayBand band = q.bands ? (*q.bands)[size_t(i)][size_t(side)] : DelayBand{nominal, nominal};
                m_bands[size_t(side)][size_t(i)] = band;
                m_countWidth[size_t(side)][size_t(i)] = WidthFor(uint64_t(std::max(nominal, band.last)));
                m_chosenWidth[size_t(side)][size_t(i)] = band.first < band.last ? WidthFor(uint64_t(band.last)) : 0;
            }
        }
        m_trains = std::move(trains);
        if (m_trains)
            m_trainWidth = 32;
        m_runCap = q.input == ProofQuestion::Input::Free ? 1 : std::max({q.minChangeSteps, q.responseSteps.value_or(0), 1});
        m_levelCap = q.latencySteps ? *q.latencySteps + 1 : 0;
        buildFaults();
        int bits = 2 + 1 + 4 + 3 * 16 + 16 + 3 * 16 + 2 * 16;
        for (int i = 1; i <= n; ++i)
            for (int side = 0; side < 2; ++side)
                bits += m_countWidth[size_t(side)][size_t(i)] + m_chosenWidth[size_t(side)][size_t(i)] + 1;
        bits += n;
        m_words = (bits + 63) / 64;
    }

    int words() const { return m_words; }

    // The relay times of a run that reached s: a delay of a band that never
    // completed takes the longest, which it never reached.
    TimingValues timingOf(const SearchState &s) const
    {
        TimingValues timing = q.timing;
        if (!q.bands)
            return timing;
        for (int i = 1; i <= m_stepper.elementCount(); ++i)
            for (int side = 0; side < 2; ++side) {
                const DelayBand &band = m_bands[size_t(side)][size_t(i)];
                SetDelaySteps(timing, i, side,
                              s.chosen[size_t(side)][size_t(i)] != 0 ? s.chosen[size_t(side)][size_t(i)] : band.last);
            }
        return timing;
    }
    int faultCount() const { return int(m_faults.size()); }
    const FaultChoice &fault(int number) const { return m_faults[size_t(number - 1)]; }

    void pack(const SearchState &s, uint64_t *words) const
    {
        std::fill(words, words + m_words, 0);
        BitWriter w(words);
        const int n = m_stepper.elementCount();
        for (int i = 1; i <= n; ++i) {
            const uint32_t bit = 1u << i;
            w.put((s.device.up & bit) != 0, 1);
            w.put((s.device.pickupPending & bit) != 0, 1);
            w.put((s.device.releasePending & bit) != 0, 1);
            w.put(s.device.pickupSteps[size_t(i)], m_countWidth[0][size_t(i)]);
            w.put(s.device.releaseSteps[size_t(i)], m_countWidth[1][size_t(i)]);
            for (int side = 0; side < 2; ++side)
                w.put(s.chosen[size_t(side)][size_t(i)], m_chosenWidth[size_t(side)][size_t(i)]);
        }
        w.put(s.input, 2);
        w.put(s.cycleDone, 1);
        w.put(s.usedCodes, 4);
        for (int c = 1; c <= 3; ++c)
            w.put(s.train[size_t(c)], m_trainWidth);
        w.put(s.run, WidthFor(uint64_t(m_runCap)));
        for (int b = 1; b <= 3; ++b)
            w.put(s.sinceLevel[size_t(b)], WidthFor(uint64_t(m_levelCap)));
        for (uint16_t f : s.faults)
            w.put(f, WidthFor(uint64_t(m_faults.size())));
    }

    SearchState unpack(const uint64_t *words) const
    {
        SearchState s;
        BitReader r(words);
        const int n = m_stepper.elementCount();
        for (int i = 1; i <= n; ++i) {
            const uint32_t bit = 1u << i;
            s.device.up |= r.get(1) ? bit : 0;
            s.device.pickupPending |= r.get(1) ? bit : 0;
            s.device.releasePending |= r.get(1) ? bit : 0;
            s.device.pickupSteps[size_t(i)] = uint16_t(r.get(m_countWidth[0][size_t(i)]));
            s.device.releaseSteps[size_t(i)] = uint16_t(r.get(m_countWidth[1][size_t(i)]));
            for (int side = 0; side < 2; ++side)
                s.chosen[size_t(side)][size_t(i)] = uint16_t(r.get(m_chosenWidth[size_t(side)][size_t(i)]));
        }
        s.input = uint8_t(r.get(2));
        s.cycleDone = r.get(1);
        s.usedCodes = uint8_t(r.get(4));
        for (int c = 1; c <= 3; ++c)
            s.train[size_t(c)] = uint32_t(r.get(m_trainWidth));
        s.run = uint16_t(r.get(WidthFor(uint64_t(m_runCap))));
        for (int b = 1; b <= 3; ++b)
            s.sinceLevel[size_t(b)] = uint16_t(r.get(WidthFor(uint64_t(m_levelCap))));
        for (uint16_t &f : s.faults)
            f = uint16_t(r.get(WidthFor(uint64_t(m_faults.size()))));
        return s;
    }

    SearchState initial() const
    {
        SearchState s;
        s.sinceLevel.fill(uint16_t(m_levelCap));
        return s;
    }

    // The fault sets that may be in force after the next step from s: s's
    // own, and when the question allows more, s's with one or two more.
    std::vector<std::array<uint16_t, 2>> faultSets(const SearchState &s) const
    {
        std::vector<std::array<uint16_t, 2>> sets{s.faults};
        const int allowed = q.faults == ProofQuestion::Faults::None ? 0 : q.faults == ProofQuestion::Faults::Single ? 1 : 2;
        const int held = (s.faults[0] != 0) + (s.faults[1] != 0);
        const uint16_t count = uint16_t(m_faults.size());
        if (held >= allowed)
            return sets;
        for (uint16_t f = 1; f <= count; ++f) {
            if (held == 1 && f == s.faults[0])
                continue;
            sets.push_back(held == 1 ? std::array<uint16_t, 2>{std::min(f, s.faults[0]), std::max(f, s.faults[0])}
                                     : std::array<uint16_t, 2>{f, 0});
            if (held == 0 && allowed == 2)
                for (uint16_t g = f + 1; g <= count; ++g)
                    sets.push_back({f, g});
        }
        return sets;
    }

    // The device's faults of a set.
    const DeviceFaults &deviceFaults(const std::array<uint16_t, 2> &set)
    {
        const uint32_t key = uint32_t(set[0]) << 16 | set[1];
        if (const auto found = m_deviceFaults.find(key); found != m_deviceFaults.end())
            return found->second;
        DeviceFaults faults;
        std::vector<ContactFault> contacts;
        for (uint16_t number : set) {
            if (number == 0)
                continue;
            const FaultChoice &f = fault(number);
            if (f.contact)
                contacts.push_back({f.contact, f.kind});
            else
                (f.kind == 1 ? faults.breaks : faults.feeds) |= 1u << f.element;
        }
        if (!contacts.empty())
            faults.functions = &m_programs.emplace_back(q.model->definition, contacts);
        return m_deviceFaults.emplace(key, faults).first->second;
    }

    // The codes (or values of p) the next step from s may have.
    std::vector<uint8_t> inputs(const SearchState &s) const
    {
        if (q.input == ProofQuestion::Input::Free)
            return {0, 1};
        std::vector<uint8_t> codes;
        for (int16_t code : q.codes) {
            // The start of the first step is free; a code holds for
            // minChangeSteps from then on.
            if (code == s.input || s.run == 0 || s.run >= q.minChangeSteps)
                codes.push_back(uint8_t(code));
        }
        std::ranges::sort(codes);
        return codes;
    }

    // What the transmitter may do at the next step from s with input: send
    // p, set the end-of-cycle flag and leave the code's train in a set.
    TrainSets::Outcomes transmitterSteps(const SearchState &s, uint8_t input)
    {
        TrainSets::Outcomes outcomes;
        outcomes.count = 1;
        outcomes.of[0] = {q.input == ProofQuestion::Input::Free && input != 0, s.cycleDone, 0};
        if (q.input == ProofQuestion::Input::Free || input == 0)
            return outcomes;
        const bool change = input != s.input;
        // Unless the trains are kept exactly, a code sent again may go on
        // from any state of its train, and one sent for the first time from
        // the start.
        const uint32_t from = m_exactTrains || !change        ? s.train[input]
                              : s.usedCodes & (1u << input) ? m_trains->everyState(input)
                                                            : 0;
        return m_trains->step(input, from, s.cycleDone);
    }

    // The delays the next step from s may have: a delay of a band that has
    // not completed yet may complete at any step of its band, and then
    // keeps that length; completing marks which delays complete now.
    struct Delays
    {
        ElementDelays steps;
        std::array<uint32_t, 2> completing{}; // [side]: bit i for element i
    };
    std::vector<Delays> delayChoices(const SearchState &s) const
    {
        std::vector<Delays> choices{{m_stepper.delays(), {}}};
        if (!q.bands)
            return choices;
        for (int i = 1; i <= m_stepper.elementCount(); ++i)
            for (int side = 0; side < 2; ++side) {
                const DelayBand &band = m_bands[size_t(side)][size_t(i)];
                const uint16_t chosen = s.chosen[size_t(side)][size_t(i)];
                const bool pending = ((side == 0 ? s.device.pickupPending : s.device.releasePending) >> i) & 1u;
                const int next = (side == 0 ? s.device.pickupSteps : s.device.releaseSteps)[size_t(i)] + 1;
                const auto set = [&](Delays &d, int steps, bool completing) {
                    (side == 0 ? d.steps.pickup : d.steps.release)[size_t(i)] = steps;
                    d.completing[size_t(side)] |= completing ? 1u << i : 0;
                };
                if (chosen != 0 || band.first == band.last) {
                    for (Delays &d : choices)
                        set(d, chosen != 0 ? chosen : band.first, false);
                    continue;
                }
                const bool now = pending && next >= band.first;
                const bool must = now && next >= band.last;
                const size_t count = choices.size();
                for (size_t k = 0; k < count; ++k) {
                    if (now && !must)
                        choices.push_back(choices[k]), set(choices.back(), band.last, false);
                    set(choices[k], now ? next : band.last, now);
                }
            }
        return choices;
    }

    // Steps s with the choices; the signals of the step.
    uint32_t step(SearchState &s, uint8_t input, const TrainSets::Outcome &transmitter,
                  const std::array<uint16_t, 2> &faultSet, const Delays &delays)
    {
        const bool change = input != s.input;
        if (q.input == ProofQuestion::Input::Codes) {
            if (!m_exactTrains && change)
                s.train.fill(0);
            s.cycleDone = transmitter.cycleDone;
            if (input != 0) {
                s.train[input] = transmitter.next;
                if (!m_exactTrains)
                    s.usedCodes |= uint8_t(1u << input);
            }
            const int level = CodeLevel(input, false);
            for (int b = 1; b <= 3; ++b)
                s.sinceLevel[size_t(b)] = level >= b ? 0 : uint16_t(std::min<int>(s.sinceLevel[size_t(b)] + 1, m_levelCap));
        }
        // Steps of the current code; a free input has no code to time.
        if (q.input == ProofQuestion::Input::Codes)
            s.run = change || s.run == 0 ? 1 : uint16_t(std::min<int>(s.run + 1, m_runCap));
        s.input = input;
        s.faults = faultSet;
        const uint32_t wasUp = s.device.up;
        const uint32_t values = m_stepper.step(s.device, transmitter.output, deviceFaults(faultSet), delays.steps);
        // A pickup that completed raised its relay, a release dropped it.
        const uint32_t raised = ~wasUp & s.device.up, dropped = wasUp & ~s.device.up;
        for (int i = 1; i <= m_stepper.elementCount(); ++i) {
            if ((delays.completing[0] & raised) >> i & 1u)
                s.chosen[0][size_t(i)] = uint16_t(delays.steps.pickup[size_t(i)]);
            if ((delays.completing[1] & dropped) >> i & 1u)
                s.chosen[1][size_t(i)] = uint16_t(delays.steps.release[size_t(i)]);
        }
        return values;
    }

    // The first property the step that led to s breaks, in the question's
    // order, or none.
    struct Broken
    {
        QString property;
        BenchPlace place;
        int shown = -1, warranted = -1;
    };
    std::optional<Broken> broken(const SearchState &s, uint32_t values) const
    {
        for (size_t k = 0; k < m_conditions.size(); ++k) {
            const ProofQuestion::Invariant &invariant = q.invariants[k];
            if (m_conditions[k].holds(values) == invariant.never)
                return Broken{invariant.text, invariant.place};
        }
        if (!q.latencySteps && !q.responseSteps)
            return std::nullopt;
        const int shown = ShownLevel(q.levels, values >> MaxElements);
        if (q.latencySteps) {
            int warranted = 0;
            for (int b = 1; b <= 3; ++b)
                if (s.sinceLevel[size_t(b)] <= *q.latencySteps)
                    warranted = b;
            if (shown > warranted)
                return Broken{LatencyProperty(q), {}, shown, warranted};
        }
        if (q.responseSteps && s.run >= *q.responseSteps) {
            const int warranted = CodeLevel(s.input, false);
            if (s.faults[0] != 0 ? shown > warranted : shown != warranted)
                return Broken{ResponseProperty(q), {}, shown, warranted};
        }
        return std::nullopt;
    }

    std::expected<void, QString> compileConditions()
    {
        for (const ProofQuestion::Invariant &invariant : q.invariants) {
            auto condition = Condition::Compile(invariant.expression, *q.names);
            if (!condition)
                return std::unexpected(BenchErrorAt(q.benchFile, invariant.place, condition.error()).message);
            m_conditions.push_back(std::move(*condition));
        }
        return {};
    }

private:
    void buildFaults()
    {
        if (q.faults == ProofQuestion::Faults::None)
            return;
        const ModelDefinition &definition = q.model->definition;
        for (int i = 1; i <= definition.ElemCount; ++i)
            for (uint8_t kind : {uint8_t(1), uint8_t(2)})
                m_faults.push_back({i, kind, 0});
        if (!q.contacts)
            return;
        const std::vector<Contact> contacts = ModelContacts(definition);
        for (size_t k = 0; k < contacts.size(); ++k)
            for (uint8_t kind : {uint8_t(ContactWelded), uint8_t(ContactOpen)})
                m_faults.push_back({contacts[k].relay, kind, int(k) + 1});
    }

    const ProofQuestion &q;
    const DeviceStepper &m_stepper;
    bool m_exactTrains;
    std::array<std::array<DelayBand, MaxElements + 1>, 2> m_bands{};
    std::array<std::array<int, MaxElements + 1>, 2> m_countWidth{}, m_chosenWidth{};
    std::shared_ptr<TrainSets> m_trains;
    int m_trainWidth = 0;
    int m_runCap = 1, m_levelCap = 0;
    int m_words = 1;
    std::vector<FaultChoice> m_faults;
    std::map<uint32_t, DeviceFaults> m_deviceFaults;
    std::deque<FunctionProgram> m_programs;
    std::vector<Condition> m_conditions;
};

// One breadth-first search over a space.
class Search
{
public:
    // spaces: one per thread, the first also the search's own; more than
    // one expands each layer on as many threads.
    Search(const ProofQuestion &question, std::vector<std::unique_ptr<SearchSpace>> spaces,
           const ProofProgressSink &progress, const std::atomic<bool> *cancel)
        : q(question), m_spaces(std::move(spaces)), m_space(*m_spaces.front()), m_store(m_space.words()),
          m_progress(progress), m_cancel(cancel)
    {
    }

    ProofAnswer run()
    {
        const auto started = std::chrono::steady_clock::now();
        std::vector<uint64_t> packed(size_t(m_space.words()));
        m_space.pack(m_space.initial(), packed.data());
        m_store.insert(packed.data());
        m_parent.push_back(0);
        m_changes.push_back(0);

        ProofAnswer answer;
        uint32_t layerBegin = 0, layerEnd = 1;
        int depth = 0;
        const auto finish = [&](ProofAnswer::Verdict verdict, const QString &stoppedBy = {}) {
            answer.verdict = verdict;
            answer.states = m_store.size();
            // A state's words, its parent and changes, and its share of the
            // table; the last chunk's free room is left out.
            answer.bytesPerState = int(m_space.words() * sizeof(uint64_t) + sizeof(uint32_t) + sizeof(uint16_t)
                                       + m_store.tableBytes() / std::max<qint64>(1, answer.states));
            answer.depth = depth;
            answer.stoppedBy = stoppedBy;
            answer.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            return answer;
        };
        while (layerBegin < layerEnd) {
            std::optional<Candidate> best;
            for (uint32_t block = layerBegin; block < layerEnd; block += ExpandBlock) {
                if (const QString why = limitReached(started); !why.isEmpty())
                    return finish(ProofAnswer::Verdict::Unknown, why);
                expandBlock(block, std::min(layerEnd, block + ExpandBlock), layerEnd, best);
            }
            if (best) {
                answer.counterexample = counterexample(*best);
                ++depth;
                return finish(ProofAnswer::Verdict::Refuted);
            }
            layerBegin = layerEnd;
            layerEnd = m_store.size();
            if (layerBegin < layerEnd)
                ++depth;
            if (m_progress)
                m_progress({qint64(m_store.size()), depth});
        }
        return finish(ProofAnswer::Verdict::Proved);
    }

private:
    // A step that breaks a property, from a state of the layer.
    struct Candidate
    {
        uint32_t parent = 0;
        SearchState reached;
        int changes = 0;
        int faults = 0;
        SearchSpace::Broken broken;
    };

    // Parents expanded in one go: few enough that what they reach stays
    // small beside the store, and the limits are looked at often enough.
    static constexpr uint32_t ExpandBlock = 4096;

    // The first of the fewest changes, then faults, as the order of the
    // sequential search meets them.
    static void keepBetter(std::optional<Candidate> &best, Candidate found)
    {
        if (!best || std::pair(found.changes, found.faults) < std::pair(best->changes, best->faults))
            best = std::move(found);
    }

    // Calls reached(next, values, {changes, faults}) for every step from the
    // state index, always in the same order.
    template<typename Reached>
    void expand(SearchSpace &space, uint32_t index, Reached reached) const
    {
        const SearchState from = space.unpack(m_store.state(index));
        const auto faultSets = space.faultSets(from);
        const auto delayChoices = space.delayChoices(from);
        for (uint8_t input : space.inputs(from)) {
            const int changes = m_changes[index] + (input != from.input);
            const TrainSets::Outcomes transmitter = space.transmitterSteps(from, input);
            for (int t = 0; t < transmitter.count; ++t)
                for (const auto &faultSet : faultSets)
                    for (const auto &delays : delayChoices) {
                        SearchState next = from;
                        const uint32_t values = space.step(next, input, transmitter.of[size_t(t)], faultSet, delays);
                        reached(next, values, std::pair(changes, (faultSet[0] != 0) + (faultSet[1] != 0)));
                    }
        }
    }

    // What one thread reached from its share of a block, in order.
    struct Slice
    {
        std::optional<Candidate> best;
        std::vector<uint64_t> words; // the packed states, one after another
        std::vector<uint32_t> parents;
        std::vector<int> changes;
    };

    // Expands the parents begin..end on every thread, each its contiguous
    // share with its own space, then stores what they reached in the
    // sequential order: the answer does not depend on the threads.
    void expandBlock(uint32_t begin, uint32_t end, uint32_t nextLayer, std::optional<Candidate> &best)
    {
        const size_t jobs = m_spaces.size();
        const size_t words = size_t(m_space.words());
        std::vector<Slice> slices(jobs);
        const auto expandShare = [this, begin, end, jobs, words, &slices](size_t j) {
            Slice &slice = slices[j];
            SearchSpace &space = *m_spaces[j];
            const uint32_t from = begin + uint32_t(uint64_t(end - begin) * j / jobs);
            const uint32_t to = begin + uint32_t(uint64_t(end - begin) * (j + 1) / jobs);
            for (uint32_t index = from; index < to; ++index)
                expand(space, index, [&](const SearchState &next, uint32_t values, std::pair<int, int> cost) {
                    if (const auto broken = space.broken(next, values)) {
                        keepBetter(slice.best, Candidate{index, next, cost.first, cost.second, *broken});
                        return;
                    }
                    slice.words.resize(slice.words.size() + words);
                    space.pack(next, slice.words.data() + slice.words.size() - words);
                    slice.parents.push_back(index);
                    slice.changes.push_back(cost.first);
                });
        };
        {
            std::vector<std::jthread> workers;
            for (size_t j = 1; j < jobs; ++j)
                workers.emplace_back(expandShare, j);
            expandShare(0);
        }
        for (Slice &slice : slices) {
            if (slice.best)
                keepBetter(best, std::move(*slice.best));
            for (size_t k = 0; k < slice.parents.size(); ++k)
                store(slice.parents[k], nextLayer, slice.words.data() + k * words, slice.changes[k]);
        }
    }

    // A state reached from the state index with `changes` code changes: new
    // in the next layer, or reached again there with fewer changes.
    void store(uint32_t index, uint32_t nextLayer, const uint64_t *packed, int changes)
    {
        const auto [reached, added] = m_store.insert(packed);
        if (added) {
            m_parent.push_back(index);
            m_changes.push_back(uint16_t(std::min(changes, int(UINT16_MAX))));
        } else if (reached >= nextLayer && changes < m_changes[reached]) {
            m_parent[reached] = index;
            m_changes[reached] = uint16_t(changes);
        }
    }

    QString limitReached(std::chrono::steady_clock::time_point started) const
    {
        if (m_cancel && m_cancel->load(std::memory_order_relaxed))
            return QStringLiteral("Отменено");
        if (q.maxStates > 0 && m_store.size() >= q.maxStates)
            return QStringLiteral("достигнуто предельное число состояний (%1)").arg(q.maxStates);
        if (m_store.size() >= UINT32_MAX / 2)
            return QStringLiteral("достигнуто предельное число состояний (%1)").arg(UINT32_MAX / 2);
        if (q.memoryBytes > 0 && bytes() >= q.memoryBytes)
            return QStringLiteral("достигнут предел памяти (%1 МиБ)").arg(q.memoryBytes >> 20);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (q.timeSeconds > 0 && seconds >= q.timeSeconds)
            return QStringLiteral("достигнут предел времени (%1 с)").arg(q.timeSeconds);
        return {};
    }

    qint64 bytes() const { return m_store.bytes() + qint64(m_parent.size() * (sizeof(uint32_t) + sizeof(uint16_t))); }

    Counterexample counterexample(const Candidate &found) const
    {
        std::vector<SearchState> path{found.reached};
        for (uint32_t at = found.parent; at != 0; at = m_parent[at])
            path.push_back(m_space.unpack(m_store.state(at)));
        std::ranges::reverse(path);
        Counterexample c;
        c.timing = m_space.timingOf(found.reached);
        std::array<uint16_t, 2> before{};
        for (size_t s = 0; s < path.size(); ++s) {
            c.inputs.push_back(path[s].input);
            for (uint16_t number : path[s].faults)
                if (number != 0 && std::ranges::find(before, number) == before.end()) {
                    const FaultChoice &f = m_space.fault(number);
                    c.faults.push_back({qint64(s) + 1, f.element, f.kind, f.contact});
                }
            before = path[s].faults;
        }
        c.property = found.broken.property;
        c.place = found.broken.place;
        c.shown = found.broken.shown;
        c.warranted = found.broken.warranted;
        return c;
    }

    const ProofQuestion &q;
    std::vector<std::unique_ptr<SearchSpace>> m_spaces;
    SearchSpace &m_space;
    StateStore m_store;
    std::deque<uint32_t> m_parent;
    std::deque<uint16_t> m_changes;
    ProofProgressSink m_progress;
    const std::atomic<bool> *m_cancel;
};

// The counterexample of a free input as one code sent from the first step,
// when that code's train sends the same p: no run of codes is shorter than
// the shortest of any p, none has fewer changes, and with no fault of its
// own or none of one code breaking the property as soon, none has fewer
// faults either.
std::optional<Counterexample> OneCodeCounterexample(const ProofQuestion &question, const Counterexample &free)
{
    if (free.faults.size() > 1)
        return std::nullopt;
    const size_t steps = free.inputs.size();
    std::optional<Counterexample> found;
    for (int16_t code : question.codes) {
        Counterexample run = free;
        run.inputs.assign(steps, code);
        run.faults.clear();
        const auto trace = RunCounterexample(question, run);
        if (!trace)
            return std::nullopt;
        if (const auto breach = FirstBreach(question, run); breach && *breach && (*breach)->step == qint64(steps))
            return ReplayCounterexample(question, run) ? std::optional(run) : std::nullopt;
        bool same = true;
        for (size_t s = 0; s < steps; ++s)
            same = same && trace->value(qint64(s) + 1, 0) == free.inputs[s];
        if (same && !found) {
            run.faults = free.faults;
            found = run;
        }
    }
    return found && ReplayCounterexample(question, *found) ? found : std::nullopt;
}

} // namespace

std::expected<ProofAnswer, QString> Prove(const ProofQuestion &question, const ProofProgressSink &progress,
                                          const std::atomic<bool> *cancel)
{
    const auto stepper = DeviceStepper::Make(question.model->functions, question.timing);
    if (!stepper)
        return std::unexpected(stepper.error());
    std::optional<TransmitterMachine> transmitter;
    if (question.input == ProofQuestion::Input::Codes) {
        auto machine = TransmitterMachine::Extract(question.codeTiming);
        if (!machine)
            return std::unexpected(machine.error());
        transmitter = std::move(*machine);
    }
    const auto search = [&](const ProofQuestion &asked, bool exactTrains) -> std::expected<ProofAnswer, QString> {
        const bool coded = asked.input == ProofQuestion::Input::Codes;
        // Each thread its own space: a space keeps what it has worked out.
        const auto trains = coded ? std::make_shared<TrainSets>(*transmitter) : nullptr;
        std::vector<std::unique_ptr<SearchSpace>> spaces;
        for (int j = 0; j < std::max(1, asked.jobs); ++j) {
            spaces.push_back(std::make_unique<SearchSpace>(asked, *stepper, trains, exactTrains));
            if (const auto compiled = spaces.back()->compileConditions(); !compiled)
                return std::unexpected(compiled.error());
        }
        return Search(asked, std::move(spaces), progress, cancel).run();
    };
    // The stages share the time limit; each reports the time of all so far.
    double spent = 0;
    const auto stage = [&](ProofQuestion asked, bool exactTrains) -> std::expected<ProofAnswer, QString> {
        if (question.timeSeconds > 0)
            asked.timeSeconds = std::max(question.timeSeconds - spent, 0.001);
        auto answer = search(asked, exactTrains);
        if (answer) {
            spent += answer->seconds;
            answer->seconds = spent;
        }
        return answer;
    };
    if (question.input == ProofQuestion::Input::Free)
        return stage(question, true);
    // Every code sequence is one sequence of p, so invariants that hold for
    // every p hold for every code, and the device alone is far smaller than
    // the device with its transmitter.
    if (!question.latencySteps && !question.responseSteps) {
        ProofQuestion anyInput = question;
        anyInput.input = ProofQuestion::Input::Free;
        auto answer = stage(anyInput, true);
        if (!answer || answer->verdict != ProofAnswer::Verdict::Refuted) {
            if (answer && answer->verdict == ProofAnswer::Verdict::Proved)
                answer->anyInput = true;
            return answer;
        }
        if (auto lifted = OneCodeCounterexample(question, *answer->counterexample)) {
            answer->counterexample = std::move(*lifted);
            return answer;
        }
    }
    // Forgetting where each code left its train keeps the search small and
    // holds every exact run, so what it proves is proved. A counterexample
    // it finds may be none of a real transmitter, unless an ordinary run of
    // its codes breaks the property at its last step: then it is a shortest
    // one too, since no shorter run of the larger search broke anything.
    auto answer = stage(question, false);
    if (!answer || answer->verdict != ProofAnswer::Verdict::Refuted || ReplayCounterexample(question, *answer->counterexample))
        return answer;
    return stage(question, true);
}
