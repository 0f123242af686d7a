#include "sim/RunSession.h"

#include "model/RunState.h"

#include <algorithm>
#include <utility>

RunSession::RunSession() : m_state(std::make_unique<RunState>()), m_step(*m_state, *this) {}

RunSession::RunSession(SharedModel model) : RunSession() { m_model = std::move(model); }

RunSession::~RunSession() = default;

std::expected<void, SetUpError> RunSession::setUp(const RunScenario &scenario, bool screenRows)
{
    RunState &state = *m_state;
    const ModelDefinition &definition = m_model->definition;
    std::vector<RunScenario::FaultAt> faults(scenario.faults.begin(), scenario.faults.end());
    const auto names = definition.ElemName.begin() + 1;
    const bool namesContacts = std::ranges::any_of(scenario.namedFaults, &RunScenario::NamedFaultAt::contact);
    const std::vector<Contact> contacts = namesContacts ? ModelContacts(definition) : std::vector<Contact>();
    const int contactCount = m_model->functions->contactCount();
    for (const RunScenario::NamedFaultAt &fault : scenario.namedFaults) {
        if (fault.contact) {
            const std::expected<int, QString> contact = FindContact(definition, contacts, fault.element);
            if (!contact)
                return std::unexpected(SetUpError{SetUpError::Kind::Scenario,
                                                  QStringLiteral("--fault: «%1»: %2 (модель «%3»)")
                                                      .arg(fault.element, contact.error(),
                                                           m_model->path + QStringLiteral(".mod"))});
            faults.push_back({fault.step, contacts[size_t(*contact - 1)].relay, fault.kind, *contact});
            continue;
        }
        const auto named = std::find(names, names + definition.ElemCount, fault.element);
        if (named == names + definition.ElemCount)
            return std::unexpected(SetUpError{SetUpError::Kind::Scenario,
                                              QStringLiteral("--fault: в модели «%1» нет элемента «%2»")
                                                  .arg(m_model->path + QStringLiteral(".mod"), fault.element)});
        faults.push_back({fault.step, int(named - names) + 1, fault.kind});
    }
    for (const RunScenario::FaultAt &fault : faults) {
        if (fault.contact > contactCount)
            return std::unexpected(SetUpError{SetUpError::Kind::Scenario,
                                              QStringLiteral("--fault: в модели «%1» нет контакта %2 (контактов: %3)")
                                                  .arg(m_model->path + QStringLiteral(".mod"))
                                                  .arg(fault.contact)
                                                  .arg(contactCount)});
        if (fault.contact == 0 && fault.element > definition.ElemCount)
            return std::unexpected(SetUpError{
                SetUpError::Kind::Scenario,
                QStringLiteral("--fault: в модели «%1» нет элемента %2 (элементов: %3)")
                    .arg(m_model->path + QStringLiteral(".mod"))
                    .arg(fault.element)
                    .arg(definition.ElemCount)});
    }

    load(m_model);

    const std::expected<RunScenario, QString> read = ReadScenarioFiles(scenario, state.ElemCount);
    if (!read)
        return std::unexpected(SetUpError{SetUpError::Kind::File, read.error()});
    ApplyTiming(state, read->timing.value_or(DefaultTiming(state.ElemCount)));

    m_transmitter = CodeTransmitter();
    if (scenario.kpt == 7)
        m_transmitter.Set7();
    if (read->codeTiming)
        m_transmitter.Timing = *read->codeTiming;

    state.ChangeMode = scenario.changes ? FlagTrue : FlagFalse;
    state.ToScreen = screenRows ? FlagTrue : FlagFalse;
    state.ToPrinter = FlagFalse;
    state.ToFile = scenario.reportFile.isEmpty() ? FlagFalse : FlagTrue;
    m_step.ComposeRows = state.ToScreen != FlagFalse || state.ToFile != FlagFalse;

    plan({scenario.keys.begin(), scenario.keys.end()}, std::move(faults));
    m_lastStep = scenario.steps.value_or(state.RunLength);

    m_code = scenario.code;
    return {};
}

void RunSession::load(SharedModel model)
{
    m_model = std::move(model);
    RunState &state = *m_state;
    state.bringToRest();
    static_cast<ModelDefinition &>(state) = m_model->definition;
    state.ModelPath = m_model->path;
    state.beginRunOfModel();
    m_step.UseFunctions(m_model->functions);
    m_contactFaults.clear();
}

void RunSession::plan(std::vector<RunScenario::KeyAt> keys, std::vector<RunScenario::FaultAt> faults)
{
    m_keys = std::move(keys);
    m_faults = std::move(faults);
    std::stable_sort(m_keys.begin(), m_keys.end(), [](const auto &a, const auto &b) { return a.step < b.step; });
    std::stable_sort(m_faults.begin(), m_faults.end(), [](const auto &a, const auto &b) { return a.step < b.step; });
    m_nextKey = m_nextFault = 0;
    m_stepNumber = 0;
}

void RunSession::start() { start(m_code); }

void RunSession::start(int16_t code) { m_step.Start(code); }

void RunSession::applyDue()
{
    for (; m_nextKey < m_keys.size() && m_keys[m_nextKey].step == m_stepNumber; ++m_nextKey)
        send(m_keys[m_nextKey].command);
    bool contactsDue = false;
    std::vector<ContactFault> contactFaults;
    for (; m_nextFault < m_faults.size() && m_faults[m_nextFault].step == m_stepNumber; ++m_nextFault) {
        const RunScenario::FaultAt &fault = m_faults[m_nextFault];
        if (fault.contact == 0) {
            setFault(fault.element, FaultOfKind(fault.kind));
            continue;
        }
        if (!std::exchange(contactsDue, true))
            contactFaults = m_contactFaults;
        ReplaceContactFault(contactFaults, fault.contact, fault.kind);
    }
    if (contactsDue && contactFaults != m_contactFaults)
        setContactFaults(std::move(contactFaults));
}

void RunSession::setContactFault(int contact, uint8_t kind)
{
    std::vector<ContactFault> faults = m_contactFaults;
    ReplaceContactFault(faults, contact, kind);
    if (faults != m_contactFaults)
        setContactFaults(std::move(faults));
}

void RunSession::setContactFaults(std::vector<ContactFault> faults)
{
    m_contactFaults = std::move(faults);
    m_step.UseFunctions(m_contactFaults.empty()
                            ? m_model->functions
                            : std::make_shared<const FunctionProgram>(m_model->definition, m_contactFaults));
    m_step.tellContactFaults(m_contactFaults);
}

bool RunSession::step()
{
    if (m_stepNumber >= m_lastStep || m_state->now().RunActive == FlagFalse)
        return false;
    ++m_stepNumber;
    applyDue();
    for (StepOutcome outcome = m_step.ShowDiag(); outcome != StepOutcome::Done && outcome != StepOutcome::Idle;) {
        if (outcome == StepOutcome::EndOfRun)
            end();
        outcome = m_step.resume();
    }
    return true;
}

StepOutcome RunSession::tick()
{
    // A step waiting for an answer has been counted already; a run that
    // has ended makes none.
    if (!m_step.InStep() && m_state->now().RunActive != FlagFalse) {
        ++m_stepNumber;
        applyDue();
    }
    return m_step.ShowDiag();
}

void RunSession::run()
{
    while (step()) {
    }
}

void RunSession::continueFrom(const RunSession &other)
{
    m_state->resumeFrom(other.m_state->now());
    m_step.continueFrom(other.m_step);
    m_transmitter = other.m_transmitter;
    m_stepNumber = other.m_stepNumber;
    const auto after = [this](const auto &due) { return due.step > m_stepNumber; };
    m_nextKey = size_t(std::ranges::find_if(m_keys, after) - m_keys.begin());
    m_nextFault = size_t(std::ranges::find_if(m_faults, after) - m_faults.begin());
    // Contact faults live in the functions a session evaluates, not in its state.
    if (m_contactFaults != other.m_contactFaults)
        setContactFaults(other.m_contactFaults);
}

SignalState RunSession::signalState() const
{
    const RunSignals &s = m_state->now();
    SignalState value;
    value.runActive = s.RunActive;
    value.input = s.InputVal[1];
    for (int i = 1; i <= std::clamp<int>(m_state->ElemCount, 0, MaxElements); ++i) {
        const uint32_t bit = 1u << i;
        value.up |= s.ElemState[i][1] != 0 ? bit : 0;
        value.pickupPending |= s.PickupPending[i][1] != 0 ? bit : 0;
        value.releasePending |= s.ReleasePending[i][1] != 0 ? bit : 0;
        value.broken |= s.ElemFault[i] == Fault::Break ? bit : 0;
        value.fed |= s.ElemFault[i] == Fault::Feed ? bit : 0;
        value.pickupTimer[size_t(i)] = s.PickupTimer[i];
        value.releaseTimer[size_t(i)] = s.ReleaseTimer[i];
    }
    value.contactFaults = m_contactFaults;
    value.code = m_step.Nkod;
    value.constInput = m_step.ConstInput;
    value.constValue = m_step.ConstValue;
    value.stopRequested = m_step.StopRequested;
    value.command = s.KeyCmd;
    value.lastCommand = m_step.LastKey;
    value.cycle = m_transmitter.cycle();
    return value;
}

void RunSession::end() { m_state->end(); }

int16_t RunSession::WhodKod(int16_t Nkod)
{
    m_transmitter.WhodKod(Nkod);
    return m_transmitter.Wuhod;
}
