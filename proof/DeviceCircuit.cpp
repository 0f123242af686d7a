#include "proof/DeviceCircuit.h"

#include "model/TermWalk.h"
#include "proof/TransmitterMachine.h"
#include "sim/DelayRule.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Lit = Aig::Lit;

// The function given by its table over vars, entry k for the values whose
// bit b is vars[b], as a tree of choices on the high variables first; equal
// parts of the table become one gate.
Lit tableFunction(Aig &aig, const std::vector<Lit> &vars, const std::vector<bool> &table, int level,
                  std::size_t offset)
{
    if (level == 0)
        return table[offset] ? Aig::True : Aig::False;
    const std::size_t half = std::size_t(1) << (level - 1);
    const Lit low = tableFunction(aig, vars, table, level - 1, offset);
    const Lit high = tableFunction(aig, vars, table, level - 1, offset + half);
    return aig.makeMux(vars[std::size_t(level - 1)], high, low);
}

// One function of the model over the values given (index 0 the input p):
// the terms as the function language reads them, ORed. Each operand is a
// contact, numbered on from `contact` in the order ModelContacts gives
// (within a term by its place in the text); with a variation a contact's
// fault overrides what it conducts.
Lit translateFunction(Aig &aig, const ModelDefinition &definition, const QString *terms, int termCount,
                      bool inputEndsName, const std::array<Lit, MaxElements + 1> &values, int &contact,
                      CircuitVariation *variation)
{
    struct Translation final : TermVisitor
    {
        Aig &aig;
        const std::array<Lit, MaxElements + 1> &values;
        int &contact;
        CircuitVariation *variation;
        Lit result = Aig::False;
        std::vector<std::pair<qsizetype, Lit>> operands; // place in the text, what it conducts

        Translation(Aig &a, const std::array<Lit, MaxElements + 1> &s, int &c, CircuitVariation *v)
            : aig(a), values(s), contact(c), variation(v)
        {
        }

        void operand(int, int element, bool negated, qsizetype from, qsizetype) override
        {
            const Lit value = values[std::size_t(element)];
            operands.emplace_back(from, negated ? Aig::negate(value) : value);
        }
        void termEnd(int, bool) override
        {
            std::ranges::stable_sort(operands, {}, &std::pair<qsizetype, Lit>::first);
            Lit term = Aig::True;
            for (const auto &[place, conducts] : operands) {
                ++contact;
                Lit closed = conducts;
                if (variation)
                    closed = aig.makeMux(variation->contactFault(aig, contact, 3), Aig::True,
                                         aig.makeAnd(closed, Aig::negate(variation->contactFault(aig, contact, 4))));
                term = aig.makeAnd(term, closed);
            }
            operands.clear();
            result = aig.makeOr(result, term);
        }
    } translation(aig, values, contact, variation);
    WalkTerms(definition, terms, termCount, inputEndsName, translation);
    return translation.result;
}

// The latches of one element.
struct ElementLatches
{
    int first = 0; // state, pickup, release
    Lit state = 0, pickup = 0, release = 0;
    LatchWord pickupCount, releaseCount;
    int pickupSteps = 1, releaseSteps = 1;
    // With a variation: the steps each delay may take; empty: the nominal.
    std::array<std::optional<std::pair<int, int>>, 2> ranges;
};

// One delay of one element: `wanted` is the pending flag as the excitation
// and the previous state ask for it, `was` the flag of the previous step.
// A delay pending at two steps in a row counts one more step and completes
// when the count reaches its steps; a delay no longer wanted starts over.
// The count is 0 whenever the flag is down, as the run's timer is, so a
// delay that becomes pending starts from 0.
struct DelayNext
{
    Lit pending;
    std::vector<Lit> count;
};

DelayNext advanceDelay(Aig &aig, Lit wanted, Lit was, const LatchWord &count, Lit complete)
{
    const Lit running = aig.makeAnd(was, wanted);
    const Lit done = aig.makeAnd(running, complete);
    const Lit counting = aig.makeAnd(running, Aig::negate(done));
    DelayNext next{aig.makeAnd(wanted, Aig::negate(done)), {}};
    for (const Lit bit : PlusOne(aig, count.bits))
        next.count.push_back(aig.makeAnd(counting, bit));
    return next;
}

// The transmitter's latches: one word per code's train and the shared flag.
struct TransmitterLatches
{
    std::array<LatchWord, 3> parts;
    int cycleDoneIndex = 0;
    Lit cycleDone = 0;
};

TransmitterLatches addTransmitterLatches(Aig &aig, const TransmitterMachine &machine)
{
    TransmitterLatches latches;
    for (int code = 1; code <= 3; ++code)
        latches.parts[std::size_t(code - 1)] =
            AddLatchWord(aig, QStringLiteral("kpt:code%1").arg(code), BitsFor(machine.part(code).stateCount));
    latches.cycleDoneIndex = int(aig.latches().size());
    latches.cycleDone = aig.addLatch(QStringLiteral("kpt:cycle_done"));
    return latches;
}

// Sets the transmitter's next states and gives what it sends at the step.
Lit stepTransmitter(Aig &aig, const TransmitterMachine &machine, const TransmitterLatches &latches, Lit code0,
                    Lit code1)
{
    const std::array<Lit, 3> isCode = {aig.makeAnd(code0, Aig::negate(code1)),
                                       aig.makeAnd(Aig::negate(code0), code1), aig.makeAnd(code0, code1)};
    Lit sent = Aig::False;
    Lit cycleDone = latches.cycleDone;
    for (int code = 1; code <= 3; ++code) {
        const TransmitterMachine::Part &part = machine.part(code);
        const LatchWord &word = latches.parts[std::size_t(code - 1)];
        const Lit chosen = isCode[std::size_t(code - 1)];
        // The tables are indexed by 2 * state + flag.
        std::vector<Lit> vars = {latches.cycleDone};
        vars.insert(vars.end(), word.bits.begin(), word.bits.end());
        const std::size_t size = std::size_t(1) << vars.size();
        const auto function = [&](auto &&of) {
            std::vector<bool> table(size, false);
            for (std::size_t k = 0; k < size && int(k / 2) < part.stateCount; ++k)
                table[k] = of(part.move(int(k / 2), (k & 1) != 0));
            return tableFunction(aig, vars, table, int(vars.size()), 0);
        };
        std::vector<Lit> next;
        for (std::size_t b = 0; b < word.bits.size(); ++b) {
            const Lit bit = function([b](const TransmitterMachine::Move &m) { return (m.next >> b) & 1; });
            next.push_back(aig.makeMux(chosen, bit, word.bits[b]));
        }
        SetLatchWord(aig, word, next);
        cycleDone = aig.makeMux(chosen, function([](const TransmitterMachine::Move &m) { return m.cycleDone; }),
                                cycleDone);
        sent = aig.makeOr(sent,
                          aig.makeAnd(chosen, function([](const TransmitterMachine::Move &m) { return m.output; })));
    }
    aig.setNext(latches.cycleDoneIndex, cycleDone);
    return sent;
}

} // namespace

LatchWord AddLatchWord(Aig &aig, const QString &name, int width)
{
    LatchWord word{int(aig.latches().size()), {}};
    for (int b = 0; b < width; ++b)
        word.bits.push_back(aig.addLatch(QStringLiteral("%1[%2]").arg(name).arg(b)));
    return word;
}

void SetLatchWord(Aig &aig, const LatchWord &word, const std::vector<Lit> &next)
{
    for (std::size_t b = 0; b < next.size(); ++b)
        aig.setNext(word.first + int(b), next[b]);
}

int BitsFor(int values) { return values <= 1 ? 0 : std::bit_width(unsigned(values - 1)); }

Aig::Lit EqualsNumber(Aig &aig, const std::vector<Aig::Lit> &bits, unsigned value)
{
    Lit equal = Aig::True;
    for (std::size_t b = 0; b < bits.size(); ++b)
        equal = aig.makeAnd(equal, (value >> b) & 1 ? bits[b] : Aig::negate(bits[b]));
    return equal;
}

std::vector<Aig::Lit> PlusOne(Aig &aig, const std::vector<Aig::Lit> &bits)
{
    std::vector<Lit> sum;
    Lit carry = Aig::True;
    for (const Lit bit : bits) {
        sum.push_back(aig.makeXor(bit, carry));
        carry = aig.makeAnd(carry, bit);
    }
    return sum;
}

std::expected<int, QString> DelaySteps(float delay, int maxSteps)
{
    // The timer as a run keeps it: the first pending step leaves it at 0,
    // each further one adds a step.
    float timer = 0;
    for (int steps = 1; steps <= maxSteps; ++steps) {
        SecondsClock::advance(timer);
        if (SecondsClock::reached(timer, delay))
            return steps;
    }
    return std::unexpected(QStringLiteral("Задержка %1 с длится больше %2 шагов").arg(double(delay)).arg(maxSteps));
}

namespace {

// Whether a pending delay that has run `count` steps completes now: at its
// nominal steps, or at the steps the variation chose for it.
Lit delayCompletes(Aig &aig, CircuitVariation *variation, const ElementLatches &e, int element, int delay)
{
    const LatchWord &count = delay == 0 ? e.pickupCount : e.releaseCount;
    const auto &range = e.ranges[std::size_t(delay)];
    if (!range)
        return EqualsNumber(aig, count.bits, unsigned((delay == 0 ? e.pickupSteps : e.releaseSteps) - 1));
    Lit complete = Aig::False;
    for (int steps = range->first; steps <= range->second; ++steps)
        complete = aig.makeOr(complete, aig.makeAnd(variation->delayTakes(aig, element, delay, steps),
                                                    EqualsNumber(aig, count.bits, unsigned(steps - 1))));
    return complete;
}

} // namespace

std::expected<DeviceCircuit, QString> BuildDeviceCircuit(const ModelDefinition &definition,
                                                         const TimingValues &timing, const CodeTiming &codeTiming,
                                                         CircuitInput input, CircuitVariation *variation)
{
    DeviceCircuit circuit;
    circuit.elementCount = std::clamp<int>(definition.ElemCount, 0, MaxElements);
    circuit.outputCount = std::clamp<int>(definition.OutCount, 0, MaxOutputs);
    Aig &aig = circuit.aig;

    std::optional<TransmitterMachine> machine;
    if (input == CircuitInput::Code) {
        auto extracted = TransmitterMachine::Extract(codeTiming);
        if (!extracted)
            return std::unexpected(extracted.error());
        machine = std::move(*extracted);
        for (int code = 1; code <= 3; ++code)
            circuit.transmitterStates[std::size_t(code - 1)] = machine->part(code).stateCount;
    }

    DeviceSignals step;
    if (machine) {
        step.code0 = aig.addInput(QStringLiteral("code[0]"));
        step.code1 = aig.addInput(QStringLiteral("code[1]"));
    } else {
        step.p = aig.addInput(QStringLiteral("p"));
    }
    if (variation)
        variation->addInputs(aig);

    std::vector<ElementLatches> elements(std::size_t(circuit.elementCount) + 1);
    for (int i = 1; i <= circuit.elementCount; ++i) {
        ElementLatches &e = elements[std::size_t(i)];
        for (const auto &[delay, steps] : {std::pair{timing.Tpr[std::size_t(i)], &e.pickupSteps},
                                          std::pair{timing.Totp[std::size_t(i)], &e.releaseSteps}}) {
            const auto counted = DelaySteps(delay);
            if (!counted)
                return std::unexpected(QStringLiteral("Элемент %1: %2").arg(i).arg(counted.error()));
            *steps = *counted;
        }
        int longest[2] = {e.pickupSteps, e.releaseSteps};
        for (int delay = 0; variation && delay < 2; ++delay)
            if ((e.ranges[std::size_t(delay)] = variation->delayRange(i, delay)))
                longest[delay] = std::max(1, e.ranges[std::size_t(delay)]->second);
        const QString prefix = QStringLiteral("e%1:").arg(i);
        e.first = int(aig.latches().size());
        e.state = aig.addLatch(prefix + QStringLiteral("state"));
        e.pickup = aig.addLatch(prefix + QStringLiteral("pickup"));
        e.release = aig.addLatch(prefix + QStringLiteral("release"));
        e.pickupCount = AddLatchWord(aig, prefix + QStringLiteral("pickup_count"), BitsFor(longest[0]));
        e.releaseCount = AddLatchWord(aig, prefix + QStringLiteral("release_count"), BitsFor(longest[1]));
    }
    std::optional<TransmitterLatches> transmitter;
    if (machine)
        transmitter = addTransmitterLatches(aig, *machine);
    if (variation)
        variation->addLatches(aig);
    if (machine)
        step.p = stepTransmitter(aig, *machine, *transmitter, step.code0, step.code1);

    // Excitations read the states of the previous step, outputs those of
    // this step; both read this step's input.
    std::array<Lit, MaxElements + 1> previous{};
    previous[0] = step.elements[0] = step.p;
    for (int i = 1; i <= circuit.elementCount; ++i)
        previous[std::size_t(i)] = elements[std::size_t(i)].state;
    int contact = 0;
    for (int i = 1; i <= circuit.elementCount; ++i) {
        const ElementLatches &e = elements[std::size_t(i)];
        Lit excited =
            translateFunction(aig, definition, &definition.ElemTerm[std::size_t(i)][1],
                              std::clamp<int>(definition.ElemTermCount[std::size_t(i)], 0, MaxElemTerms), true,
                              previous, contact, variation);
        if (variation) // a break forces the excitation off, a feed on
            excited = aig.makeOr(variation->coilFault(aig, i, 2),
                                 aig.makeAnd(excited, Aig::negate(variation->coilFault(aig, i, 1))));
        const DelayNext pickup = advanceDelay(aig, aig.makeAnd(excited, Aig::negate(e.state)), e.pickup,
                                              e.pickupCount, delayCompletes(aig, variation, e, i, 0));
        const DelayNext release = advanceDelay(aig, aig.makeAnd(e.state, Aig::negate(excited)), e.release,
                                               e.releaseCount, delayCompletes(aig, variation, e, i, 1));
        // Up when excited unless the pickup is pending; down when not
        // excited unless the release is pending.
        const Lit state = aig.makeMux(excited, Aig::negate(pickup.pending), release.pending);
        aig.setNext(e.first, state);
        aig.setNext(e.first + 1, pickup.pending);
        aig.setNext(e.first + 2, release.pending);
        SetLatchWord(aig, e.pickupCount, pickup.count);
        SetLatchWord(aig, e.releaseCount, release.count);
        step.elements[std::size_t(i)] = state;
    }
    for (int j = 1; j <= circuit.outputCount; ++j)
        step.outputs[std::size_t(j)] =
            translateFunction(aig, definition, &definition.OutTerm[std::size_t(j)][1],
                              std::clamp<int>(definition.OutTermCount[std::size_t(j)], 0, MaxOutTerms), false,
                              step.elements, contact, variation);

    if (variation) {
        variation->addOutputs(aig, step);
        return circuit;
    }
    for (int i = 1; i <= circuit.elementCount; ++i)
        aig.addOutput(step.elements[std::size_t(i)],
                      QStringLiteral("e%1:%2").arg(i).arg(definition.ElemName[std::size_t(i)]));
    for (int j = 1; j <= circuit.outputCount; ++j)
        aig.addOutput(step.outputs[std::size_t(j)],
                      QStringLiteral("out%1:%2").arg(j).arg(definition.OutName[std::size_t(j)]));
    aig.addOutput(step.p, QStringLiteral("p"));
    return circuit;
}
