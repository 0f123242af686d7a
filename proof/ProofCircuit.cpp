#include "proof/ProofCircuit.h"

#include "analysis/SafetyJudgement.h"
#include "model/ContactFault.h"
#include "proof/DeviceCircuit.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>

namespace {

using Lit = Aig::Lit;

std::vector<Lit> addInputWord(Aig &aig, const QString &name, int width)
{
    std::vector<Lit> bits;
    for (int b = 0; b < width; ++b)
        bits.push_back(aig.addInput(QStringLiteral("%1[%2]").arg(name).arg(b)));
    return bits;
}


Lit anyBit(Aig &aig, const std::vector<Lit> &bits)
{
    Lit any = Aig::False;
    for (const Lit bit : bits)
        any = aig.makeOr(any, bit);
    return any;
}

std::vector<Lit> muxWord(Aig &aig, Lit sel, const std::vector<Lit> &then, const std::vector<Lit> &otherwise)
{
    std::vector<Lit> word;
    for (std::size_t b = 0; b < then.size(); ++b)
        word.push_back(aig.makeMux(sel, then[b], otherwise[b]));
    return word;
}

std::vector<Lit> constantWord(unsigned value, std::size_t width)
{
    std::vector<Lit> word;
    for (std::size_t b = 0; b < width; ++b)
        word.push_back((value >> b) & 1 ? Aig::True : Aig::False);
    return word;
}

// value >= c, from the low bit up: a higher bit that differs decides.
Lit atLeast(Aig &aig, const std::vector<Lit> &bits, unsigned c)
{
    if (bits.size() < 32 && c >= (1u << bits.size()))
        return Aig::False;
    Lit ge = Aig::True;
    for (std::size_t b = 0; b < bits.size(); ++b)
        ge = (c >> b) & 1 ? aig.makeAnd(bits[b], ge) : aig.makeOr(bits[b], ge);
    return ge;
}

// bits - 1, or 0 when bits is 0.
std::vector<Lit> minusOneToZero(Aig &aig, const std::vector<Lit> &bits)
{
    std::vector<Lit> difference;
    Lit borrow = Aig::True;
    for (const Lit bit : bits) {
        difference.push_back(aig.makeXor(bit, borrow));
        borrow = aig.makeAnd(borrow, Aig::negate(bit));
    }
    return muxWord(aig, anyBit(aig, bits), difference, bits);
}

// The choices of a run and the monitors of the properties around the device.
class ProofVariation final : public CircuitVariation
{
public:
    ProofVariation(const ProofQuestion &question, ProofCircuit &circuit, bool observe)
        : m_question(question), m_circuit(circuit), m_observe(observe)
    {
    }

    QString error; // set by addOutputs when an expression names an unknown signal

    void addInputs(Aig &aig) override
    {
        for (int w = 0; w < m_circuit.faultWords; ++w)
            m_faultInputs.push_back(addInputWord(aig, QStringLiteral("fault%1").arg(w), m_circuit.faultBits));
        for (const ProofCircuit::DelayChoice &choice : m_circuit.delayChoices)
            m_delayInputs.push_back(addInputWord(aig, choiceName(choice), choice.bits));
    }

    void addLatches(Aig &aig) override
    {
        m_startedIndex = int(aig.latches().size());
        m_started = aig.addLatch(QStringLiteral("run:started"));
        m_invalidIndex = int(aig.latches().size());
        m_invalid = aig.addLatch(QStringLiteral("run:invalid"));
        for (int w = 0; w < m_circuit.faultWords; ++w)
            m_faultLatches.push_back(AddLatchWord(aig, QStringLiteral("fault%1_held").arg(w), m_circuit.faultBits));
        for (const ProofCircuit::DelayChoice &choice : m_circuit.delayChoices)
            m_delayLatches.push_back(AddLatchWord(aig, choiceName(choice) + QStringLiteral("_held"), choice.bits));
        m_previous = AddLatchWord(aig, QStringLiteral("input:previous"), m_circuit.inputBits);
        m_runLength = AddLatchWord(aig, QStringLiteral("input:held"), BitsFor(runLengthLimit() + 1));
        if (m_question.latencySteps)
            for (int level = 1; level <= 3; ++level)
                m_warrant[std::size_t(level - 1)] = AddLatchWord(
                    aig, QStringLiteral("latency:level%1").arg(level), BitsFor(*m_question.latencySteps + 1));
    }

    std::optional<std::pair<int, int>> delayRange(int element, int delay) const override
    {
        if (!m_question.bands)
            return std::nullopt;
        const DelayBand &band = (*m_question.bands)[std::size_t(element)][std::size_t(delay)];
        return std::pair{band.first, band.last};
    }

    Lit delayTakes(Aig &aig, int element, int delay, int steps) override
    {
        for (std::size_t c = 0; c < m_circuit.delayChoices.size(); ++c) {
            const ProofCircuit::DelayChoice &choice = m_circuit.delayChoices[c];
            if (choice.element == element && choice.delay == delay)
                return EqualsNumber(aig, delayValue(aig, c), unsigned(steps - choice.band.first));
        }
        return Aig::True; // a band of one value
    }

    Lit coilFault(Aig &aig, int element, int kind) override { return faultInForce(aig, element, kind, 0); }
    Lit contactFault(Aig &aig, int contact, int kind) override { return faultInForce(aig, 0, kind, contact); }

    void addOutputs(Aig &aig, const DeviceSignals &step) override
    {
        const std::vector<Lit> input = m_circuit.inputBits == 2 ? std::vector<Lit>{step.code0, step.code1}
                                                                : std::vector<Lit>{step.p};
        Lit valid = inputAllowed(aig, input);
        valid = aig.makeAnd(valid, faultsAllowed(aig));
        valid = aig.makeAnd(valid, delaysAllowed(aig));

        // The input's history: whether it changed at this step, and for how
        // many steps it has been held (saturating).
        Lit differs = Aig::False;
        for (std::size_t b = 0; b < input.size(); ++b)
            differs = aig.makeOr(differs, aig.makeXor(input[b], m_previous.bits[b]));
        const Lit change = aig.makeAnd(m_started, differs);
        const int limit = runLengthLimit();
        const std::vector<Lit> held =
            muxWord(aig, aig.makeOr(change, Aig::negate(m_started)), constantWord(1, m_runLength.bits.size()),
                    muxWord(aig, EqualsNumber(aig, m_runLength.bits, unsigned(limit)),
                            m_runLength.bits, PlusOne(aig, m_runLength.bits)));
        SetLatchWord(aig, m_previous, input);
        SetLatchWord(aig, m_runLength, held);
        // The first code's start counts as a change: a code held since step 1
        // has run as long as the word says. A free input changes freely.
        if (m_question.minChangeSteps > 0 && m_circuit.inputBits == 2)
            valid = aig.makeAnd(valid, Aig::negate(aig.makeAnd(
                                           change, Aig::negate(atLeast(aig, m_runLength.bits,
                                                                       unsigned(m_question.minChangeSteps))))));

        std::vector<Lit> broken;
        for (const ProofQuestion::Invariant &invariant : m_question.invariants) {
            const auto holds = expression(aig, invariant.expression, step);
            if (!holds) {
                error = holds.error();
                return;
            }
            broken.push_back(invariant.never ? *holds : Aig::negate(*holds));
        }
        if (m_question.latencySteps)
            broken.push_back(latencyBroken(aig, input, step));
        if (m_question.responseSteps)
            broken.push_back(responseBroken(aig, input, step, held));

        const Lit counts = aig.makeAnd(Aig::negate(m_invalid), valid);
        Lit bad = Aig::False;
        for (const Lit lit : broken)
            bad = aig.makeOr(bad, lit);
        aig.addOutput(aig.makeAnd(counts, bad), QStringLiteral("bad"));
        aig.setNext(m_invalidIndex, aig.makeOr(m_invalid, Aig::negate(valid)));
        aig.setNext(m_startedIndex, Aig::True);
        if (!m_observe)
            return;
        for (std::size_t k = 0; k < broken.size(); ++k)
            aig.addOutput(aig.makeAnd(counts, broken[k]), QStringLiteral("broken%1").arg(k));
        for (int i = 1; i <= m_circuit.elementCount; ++i)
            aig.addOutput(step.elements[std::size_t(i)], QStringLiteral("e%1").arg(i));
        for (int j = 1; j <= m_circuit.outputCount; ++j)
            aig.addOutput(step.outputs[std::size_t(j)], QStringLiteral("out%1").arg(j));
        aig.addOutput(step.p, QStringLiteral("p"));
    }

private:
    // "eI:pickup_choice" or "eI:release_choice"; its latches add "_held".
    static QString choiceName(const ProofCircuit::DelayChoice &choice)
    {
        return QStringLiteral("e%1:%2_choice").arg(choice.element).arg(QLatin1String(choice.delay == 0 ? "pickup" : "release"));
    }

    int runLengthLimit() const
    {
        return std::max({1, m_question.minChangeSteps, m_question.responseSteps.value_or(0)});
    }

    // A word whose value is in force from the step it was first nonzero.
    std::vector<Lit> faultValue(Aig &aig, int word)
    {
        const LatchWord &latched = m_faultLatches[std::size_t(word)];
        const Lit occurred = anyBit(aig, latched.bits);
        // A later word occurs only once the one before it is in force.
        std::vector<Lit> offered = m_faultInputs[std::size_t(word)];
        if (word > 0) {
            const Lit before = anyBit(aig, faultValue(aig, word - 1));
            offered = muxWord(aig, before, offered, constantWord(0, offered.size()));
        }
        const std::vector<Lit> value = muxWord(aig, occurred, latched.bits, offered);
        if (m_setFaultWords.insert(word).second)
            SetLatchWord(aig, latched, value);
        return value;
    }

    std::vector<Lit> delayValue(Aig &aig, std::size_t choice)
    {
        const LatchWord &latched = m_delayLatches[choice];
        const std::vector<Lit> value = muxWord(aig, m_started, latched.bits, m_delayInputs[choice]);
        if (m_setDelayWords.insert(int(choice)).second)
            SetLatchWord(aig, latched, value);
        return value;
    }

    Lit faultInForce(Aig &aig, int element, int kind, int contact)
    {
        const auto key = std::tuple{element, kind, contact};
        if (const auto found = m_faultLits.find(key); found != m_faultLits.end())
            return found->second;
        Lit inForce = Aig::False;
        for (std::size_t f = 0; f < m_circuit.faults.size(); ++f) {
            const RunScenario::FaultAt &fault = m_circuit.faults[f];
            if (fault.kind != kind || fault.contact != contact || (contact == 0 && fault.element != element))
                continue;
            for (int w = 0; w < m_circuit.faultWords; ++w)
                inForce = aig.makeOr(inForce, EqualsNumber(aig, faultValue(aig, w), unsigned(f + 1)));
        }
        m_faultLits.emplace(key, inForce);
        return inForce;
    }

    Lit inputAllowed(Aig &aig, const std::vector<Lit> &input) const
    {
        if (m_circuit.inputBits != 2)
            return Aig::True;
        Lit allowed = Aig::False;
        for (const int16_t code : m_question.codes)
            if (code >= 0 && code <= 3)
                allowed = aig.makeOr(allowed, EqualsNumber(aig, input, unsigned(code)));
        return allowed;
    }

    // Every word names a fault; two words never name the same element's
    // coil or the same contact (a later fault there would replace the
    // first, which a single fault already covers).
    Lit faultsAllowed(Aig &aig)
    {
        Lit allowed = Aig::True;
        for (int w = 0; w < m_circuit.faultWords; ++w)
            allowed = aig.makeAnd(allowed, Aig::negate(atLeast(aig, faultValue(aig, w),
                                                               unsigned(m_circuit.faults.size() + 1))));
        for (int a = 0; a + 1 < m_circuit.faultWords; ++a) {
            const std::vector<Lit> first = faultValue(aig, a);
            for (int b = a + 1; b < m_circuit.faultWords; ++b) {
                const std::vector<Lit> second = faultValue(aig, b);
                for (std::size_t f = 0; f < m_circuit.faults.size(); ++f)
                    for (std::size_t g = 0; g < m_circuit.faults.size(); ++g) {
                        const RunScenario::FaultAt &x = m_circuit.faults[f], &y = m_circuit.faults[g];
                        const bool sameTarget = x.contact == y.contact && (x.contact != 0 || x.element == y.element);
                        if (sameTarget)
                            allowed = aig.makeAnd(allowed,
                                                  Aig::negate(aig.makeAnd(EqualsNumber(aig, first, unsigned(f + 1)),
                                                                          EqualsNumber(aig, second, unsigned(g + 1)))));
                    }
            }
        }
        return allowed;
    }

    Lit delaysAllowed(Aig &aig)
    {
        Lit allowed = Aig::True;
        for (std::size_t c = 0; c < m_circuit.delayChoices.size(); ++c) {
            const DelayBand &band = m_circuit.delayChoices[c].band;
            allowed = aig.makeAnd(allowed,
                                  Aig::negate(atLeast(aig, delayValue(aig, c), unsigned(band.last - band.first + 1))));
        }
        return allowed;
    }

    std::expected<Lit, QString> expression(Aig &aig, const SignalExpression &e, const DeviceSignals &step) const
    {
        switch (e.kind) {
        case SignalExpression::Kind::Signal: {
            const auto bit = m_question.names->bit(e.name);
            if (!bit)
                return std::unexpected(bit.error());
            if (*bit <= MaxElements)
                return step.elements[std::size_t(*bit)];
            return step.outputs[std::size_t(*bit - MaxElements)];
        }
        case SignalExpression::Kind::Not: {
            const auto inner = expression(aig, *e.left, step);
            return inner ? std::expected<Lit, QString>(Aig::negate(*inner)) : inner;
        }
        case SignalExpression::Kind::And:
        case SignalExpression::Kind::Or: {
            const auto left = expression(aig, *e.left, step);
            if (!left)
                return left;
            const auto right = expression(aig, *e.right, step);
            if (!right)
                return right;
            return e.kind == SignalExpression::Kind::And ? aig.makeAnd(*left, *right) : aig.makeOr(*left, *right);
        }
        }
        return Aig::False;
    }

    // The level shown is at least `level`.
    Lit shownAtLeast(Aig &aig, const DeviceSignals &step, int level) const
    {
        Lit shown = level <= 0 ? Aig::True : Aig::False;
        for (int j = 1; j <= m_circuit.outputCount; ++j)
            if (m_question.levels.of[std::size_t(j)] >= level)
                shown = aig.makeOr(shown, step.outputs[std::size_t(j)]);
        return shown;
    }

    // The code sent warrants at least `level`; a free input's value is
    // read as a code, as the replay of a counterexample reads it.
    static Lit sentAtLeast(Aig &aig, const std::vector<Lit> &input, int level)
    {
        return atLeast(aig, input, unsigned(level));
    }

    // Per level, a latch counts down the steps the last code at or above it
    // still warrants it.
    Lit latencyBroken(Aig &aig, const std::vector<Lit> &input, const DeviceSignals &step)
    {
        Lit broken = Aig::False;
        for (int level = 1; level <= 3; ++level) {
            const LatchWord &warrant = m_warrant[std::size_t(level - 1)];
            const Lit sent = sentAtLeast(aig, input, level);
            const Lit warranted = aig.makeOr(sent, anyBit(aig, warrant.bits));
            SetLatchWord(aig, warrant,
                    muxWord(aig, sent, constantWord(unsigned(*m_question.latencySteps), warrant.bits.size()),
                            minusOneToZero(aig, warrant.bits)));
            broken = aig.makeOr(broken, aig.makeAnd(shownAtLeast(aig, step, level), Aig::negate(warranted)));
        }
        return broken;
    }

    Lit responseBroken(Aig &aig, const std::vector<Lit> &input, const DeviceSignals &step,
                       const std::vector<Lit> &held)
    {
        // With a fault in force the device may show less, never more.
        Lit faulty = Aig::False;
        for (int w = 0; w < m_circuit.faultWords; ++w)
            faulty = aig.makeOr(faulty, anyBit(aig, faultValue(aig, w)));
        Lit wrong = Aig::False;
        for (int code = 0; code < (1 << m_circuit.inputBits); ++code) {
            const int level = CodeLevel(code, false);
            const Lit sent = EqualsNumber(aig, input, unsigned(code));
            const Lit right = aig.makeAnd(Aig::negate(shownAtLeast(aig, step, level + 1)),
                                          aig.makeOr(faulty, shownAtLeast(aig, step, level)));
            wrong = aig.makeOr(wrong, aig.makeAnd(sent, Aig::negate(right)));
        }
        return aig.makeAnd(atLeast(aig, held, unsigned(*m_question.responseSteps)), wrong);
    }

    const ProofQuestion &m_question;
    ProofCircuit &m_circuit;
    bool m_observe;
    int m_startedIndex = 0, m_invalidIndex = 0;
    Lit m_started = 0, m_invalid = 0;
    std::vector<std::vector<Lit>> m_faultInputs, m_delayInputs;
    std::vector<LatchWord> m_faultLatches, m_delayLatches;
    std::set<int> m_setFaultWords, m_setDelayWords;
    LatchWord m_previous, m_runLength;
    std::array<LatchWord, 3> m_warrant;
    std::map<std::tuple<int, int, int>, Lit> m_faultLits;
};

// Every fault the question allows, coil faults first.
std::vector<RunScenario::FaultAt> possibleFaults(const ProofQuestion &question)
{
    std::vector<RunScenario::FaultAt> faults;
    if (question.faults == ProofQuestion::Faults::None)
        return faults;
    const ModelDefinition &definition = question.model->definition;
    for (int i = 1; i <= std::clamp<int>(definition.ElemCount, 0, MaxElements); ++i)
        for (const uint8_t kind : {uint8_t(1), uint8_t(2)})
            faults.push_back({0, i, kind, 0});
    if (question.contacts) {
        const std::vector<Contact> contacts = ModelContacts(definition);
        for (std::size_t c = 0; c < contacts.size(); ++c)
            for (const uint8_t kind : {uint8_t(ContactWelded), uint8_t(ContactOpen)})
                faults.push_back({0, contacts[c].relay, kind, int(c + 1)});
    }
    return faults;
}

} // namespace

int ProofCircuit::delayInput(std::size_t choice) const
{
    int input = faultInput(faultWords);
    for (std::size_t c = 0; c < choice; ++c)
        input += delayChoices[c].bits;
    return input;
}

std::expected<ProofCircuit, QString> BuildProofCircuit(const ProofQuestion &question, bool observe)
{
    if (!question.model)
        return std::unexpected(QStringLiteral("Нет модели"));
    const ModelDefinition &definition = question.model->definition;
    if (!question.invariants.empty() && !question.names)
        return std::unexpected(QStringLiteral("Нет имён сигналов для выражений"));

    ProofCircuit circuit;
    const bool free = question.input == ProofQuestion::Input::Free;
    circuit.inputBits = free ? 1 : 2;
    circuit.elementCount = std::clamp<int>(definition.ElemCount, 0, MaxElements);
    circuit.outputCount = std::clamp<int>(definition.OutCount, 0, MaxOutputs);
    circuit.faults = possibleFaults(question);
    if (!circuit.faults.empty()) {
        circuit.faultWords = question.faults == ProofQuestion::Faults::Pairs ? 2 : 1;
        circuit.faultBits = BitsFor(int(circuit.faults.size()) + 1);
    }
    if (question.bands)
        for (int i = 1; i <= circuit.elementCount; ++i)
            for (int delay = 0; delay < 2; ++delay) {
                const DelayBand band = (*question.bands)[std::size_t(i)][std::size_t(delay)];
                if (band.first < 1 || band.last < band.first)
                    return std::unexpected(QStringLiteral("Элемент %1: неверный разброс задержки %2..%3 шагов")
                                               .arg(i)
                                               .arg(band.first)
                                               .arg(band.last));
                if (band.last > band.first)
                    circuit.delayChoices.push_back({i, delay, band, BitsFor(band.last - band.first + 1)});
            }
    for (const ProofQuestion::Invariant &invariant : question.invariants)
        circuit.properties.push_back({invariant.text, invariant.place});
    if (question.latencySteps)
        circuit.properties.push_back(
            {QStringLiteral("уровень показания не выше кода за %1 шагов").arg(*question.latencySteps), {}});
    if (question.responseSteps)
        circuit.properties.push_back(
            {QStringLiteral("показание по коду через %1 шагов").arg(*question.responseSteps), {}});

    ProofVariation variation(question, circuit, observe);
    auto device = BuildDeviceCircuit(definition, question.timing, question.codeTiming,
                                     free ? CircuitInput::Free : CircuitInput::Code, &variation);
    if (!device)
        return std::unexpected(device.error());
    if (!variation.error.isEmpty())
        return std::unexpected(variation.error);
    circuit.aig = std::move(device->aig);
    return circuit;
}

namespace {

QByteArray mapText(const ProofCircuit &circuit, const ModelDefinition &definition)
{
    QByteArray text = "# input index name: meaning; latch index name\n";
    const Aig &aig = circuit.aig;
    for (std::size_t k = 0; k < aig.inputNames().size(); ++k)
        text += "input " + QByteArray::number(qsizetype(k)) + ' ' + aig.inputNames()[k].toUtf8() + '\n';
    for (std::size_t f = 0; f < circuit.faults.size(); ++f) {
        const RunScenario::FaultAt &fault = circuit.faults[f];
        text += "fault " + QByteArray::number(qsizetype(f + 1)) + ": ";
        if (fault.contact)
            text += "contact " + QByteArray::number(fault.contact) + ' '
                    + (fault.kind == ContactWelded ? "welded" : "open");
        else
            text += "element " + QByteArray::number(fault.element) + ' '
                    + definition.ElemName[std::size_t(fault.element)].toUtf8() + ' '
                    + (fault.kind == 1 ? "break" : "feed");
        text += '\n';
    }
    for (const ProofCircuit::DelayChoice &choice : circuit.delayChoices)
        text += "delay e" + QByteArray::number(choice.element) + (choice.delay == 0 ? " pickup" : " release")
                + ": steps " + QByteArray::number(choice.band.first) + " + choice, up to "
                + QByteArray::number(choice.band.last) + '\n';
    for (std::size_t k = 0; k < aig.latches().size(); ++k)
        text += "latch " + QByteArray::number(qsizetype(k)) + ' ' + aig.latches()[k].name.toUtf8() + '\n';
    for (std::size_t k = 0; k < circuit.properties.size(); ++k)
        text += "property " + QByteArray::number(qsizetype(k)) + ' ' + circuit.properties[k].name.toUtf8() + '\n';
    text += "output 0 bad: 1 at a step of a valid run where a property breaks; clock tick = modelling step from 1\n";
    return text;
}

std::expected<void, QString> writeFile(const QString &name, const QByteArray &data)
{
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return std::unexpected(QStringLiteral("Не удалось записать файл «%1»: %2").arg(name, file.errorString()));
    return {};
}

} // namespace

std::expected<void, QString> ExportProofAiger(const ProofQuestion &question, const QString &file)
{
    const auto circuit = BuildProofCircuit(question);
    if (!circuit)
        return std::unexpected(circuit.error());
    const bool ascii = file.endsWith(QLatin1String(".aag"));
    if (auto written = writeFile(file, ascii ? WriteAag(circuit->aig) : WriteBinaryAig(circuit->aig)); !written)
        return written;
    return writeFile(file + QStringLiteral(".map"), mapText(*circuit, question.model->definition));
}
