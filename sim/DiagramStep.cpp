#include "sim/DiagramStep.h"

#include "model/StepTime.h"
#include "sim/Commands.h"
#include "sim/DelayRule.h"
#include "sim/DiagramRow.h"

#include <algorithm>
#include <utility>

namespace {

using StepTime::StepSeconds;

constexpr float ModelTimeSpan = 100.0f;

// The present becomes the past.
void carry(Signal &signal) { signal[0] = signal[1]; }

// Steps 9 to 11 for element i: the pickup and release delays and the new
// state.
void advanceDelays(RunSignals &s, const RunState &run, int i)
{
    const int16_t excited = s.Excit[i][1];
    // Most elements of a device are at rest at most steps; the rule would
    // give them the same, only slower.
    if (excited == s.ElemState[i][0] && s.PickupPending[i][0] == 0 && s.ReleasePending[i][0] == 0) {
        s.PickupPending[i][1] = 0;
        s.ReleasePending[i][1] = 0;
        s.ElemState[i][1] = excited;
        return;
    }
    s.ElemState[i][1] = AdvanceElement<SecondsClock>(excited, s.ElemState[i][0], s.PickupPending[i],
                                                     s.ReleasePending[i], s.PickupTimer[i], s.ReleaseTimer[i],
                                                     run.Tpr[i], run.Totp[i]);
}

} // namespace

DiagramStep::DiagramStep(RunState &state, CodeInput &input)
    : m_state(state), m_input(&input), m_decimalSeparator(DecimalSeparator(QLocale()))
{
}

void DiagramStep::CompileModel() { m_functions.compile(m_state); }

void DiagramStep::UseFunctions(std::shared_ptr<const FunctionProgram> program)
{
    m_functions.use(std::move(program));
}

void DiagramStep::addObserver(StepObserver &observer) { m_observers.push_back(&observer); }

void DiagramStep::tellContactFaults(const std::vector<ContactFault> &faults)
{
    for (StepObserver *observer : m_observers)
        observer->contactFaultsChanged(faults);
}

void DiagramStep::Start(int16_t code)
{
    Nkod = code;
    for (StepObserver *observer : m_observers)
        observer->runStarted(m_state);
    m_state.m_now.RunActive = FlagTrue;
    InitModel();
}

void DiagramStep::setLocale(const QLocale &locale) { m_decimalSeparator = DecimalSeparator(locale); }

StepOutcome DiagramStep::wait(Waiting at, StepOutcome question)
{
    m_waitingAt = at;
    return question;
}

StepOutcome DiagramStep::ShowDiag()
{
    switch (m_waitingAt) {
    case Waiting::None: break;
    case Waiting::Continue: return StepOutcome::AskContinue;
    case Waiting::Faults: return StepOutcome::EditFaults;
    case Waiting::Message: return StepOutcome::ShowMessage;
    case Waiting::EndOfRun: return StepOutcome::EndOfRun;
    }
    if (m_state.now().RunActive == FlagFalse) {
        InitModel();
        return StepOutcome::Idle;
    }

    // 1. Step count and the continuation question.
    if (++ModelingItem > m_state.RunLength)
        return wait(Waiting::Continue, StepOutcome::AskContinue);
    return run(Part::ModelTime);
}

StepOutcome DiagramStep::resume(bool yes)
{
    switch (std::exchange(m_waitingAt, Waiting::None)) {
    case Waiting::None: break;
    case Waiting::Continue:
        if (yes)
            ModelingItem = 1;
        else
            m_state.end(); // the step still runs to its end
        return run(Part::ModelTime);
    case Waiting::Faults:
        m_state.send(LastKey);
        KeyMessage = CommandText::Fault();
        return run(Part::CommandMessage);
    case Waiting::Message: return run(Part::Transmitter);
    case Waiting::EndOfRun: return run(Part::End);
    }
    return StepOutcome::Done;
}

// Steps 2 to 16 from the part given on: each case is where the step goes on
// after a question, and each falls through to the next.
StepOutcome DiagramStep::run(Part from)
{
    const RunState &run = m_state;
    RunSignals &s = m_state.m_now;
    switch (from) {
    case Part::ModelTime:
        // 2. Model time, in single precision, within a 100-second span.
        s.ModelTime += StepSeconds;
        if (s.ModelTime >= ModelTimeSpan)
            s.ModelTime = 0;

        // 3. The command in force.
        if (interpretCommand())
            return wait(Waiting::Faults, StepOutcome::EditFaults);
        [[fallthrough]];
    case Part::CommandMessage:
        if (s.KeyCmd != LastKey) {
            for (StepObserver *observer : m_observers)
                observer->commandChanged(KeyMessage);
            return wait(Waiting::Message, StepOutcome::ShowMessage);
        }
        [[fallthrough]];
    case Part::Transmitter: {
        const int elemCount = std::clamp<int>(run.ElemCount, 0, MaxElements);
        const int outCount = std::clamp<int>(run.OutCount, 0, MaxOutputs);

        // 4. The transmitter runs at every step, even under a constant input.
        s.InputVal[1] = m_input->WhodKod(Nkod);

        // 5, 6. (Equal texts are not copied: a copy costs two atomic
        // operations at every step.)
        if (LastKey != s.KeyCmd)
            LastKey = s.KeyCmd;
        if (ConstInput != FlagFalse)
            s.InputVal[1] = ConstValue;

        // 7. Excitation, from the states of the previous step.
        m_functions.EvalElements(s);

        // 8 to 13, element by element: an element's fault, delays, state,
        // change and carry read and write only that element, so doing them
        // per element equals doing each of them for all elements in turn.
        // Changes are gathered with | on ints, not ||: no branch per element
        // on the hottest loop.
        bool signalChange = s.InputVal[0] != s.InputVal[1];
        bool pendingChange = false;
        for (int i = 1; i <= elemCount; ++i) {
            s.Excit[i][1] = ForcedExcitation(s.ElemFault[i], s.Excit[i][1]);
            advanceDelays(s, run, i);
            signalChange |= int(s.Excit[i][0] != s.Excit[i][1]) | int(s.ElemState[i][0] != s.ElemState[i][1]);
            // A release becoming pending always comes with an excitation
            // change.
            pendingChange |= int(s.PickupPending[i][0] != s.PickupPending[i][1])
                             | int(s.ReleasePending[i][0] == 1 && s.ReleasePending[i][1] == 0);
            carry(s.Excit[i]);
            carry(s.PickupPending[i]);
            carry(s.ReleasePending[i]);
            carry(s.ElemState[i]);
        }
        SignalChange = int16_t(signalChange);
        PendingChange = int16_t(pendingChange);
        RowDue = int16_t(signalChange || pendingChange);
        for (int j = 1; j <= outCount; ++j)
            carry(s.OutState[j]);
        carry(s.InputVal);

        // 14. Outputs are combinational: they take the states of this step.
        m_functions.EvalOutputs(s);

        // 15. The row.
        const bool changeDiagram = run.ChangeMode != FlagFalse;
        if (ComposeRows && (!changeDiagram || RowDue)) {
            ComposeRow(run, changeDiagram || ModelingItem % 10 == 0, m_decimalSeparator, RowText);
            for (StepObserver *observer : m_observers)
                observer->rowComposed(RowText);
        }

        // 16. The stop, at a step that is a multiple of 10. A run already
        // ended by the continuation question has no dialogue left to enter.
        if (s.KeyCmd == QChar(27))
            StopRequested = FlagTrue;
        if (StopRequested != FlagFalse && ModelingItem % 10 == 0 && s.RunActive != FlagFalse) {
            LastKey.clear();
            StopRequested = FlagFalse;
            s.KeyCmd.clear();
            return wait(Waiting::EndOfRun, StepOutcome::EndOfRun);
        }
    }
        [[fallthrough]];
    case Part::End:
        for (StepObserver *observer : m_observers)
            observer->stepEnded(run);
        break;
    }
    return StepOutcome::Done;
}

bool DiagramStep::interpretCommand()
{
    const Command command = InterpretCommand(m_state.now().KeyCmd);
    switch (command.kind) {
    case CommandKind::ConstantOne:
        ConstInput = FlagTrue;
        ConstValue = 1;
        KeyMessage = CommandText::ConstantOne();
        break;
    case CommandKind::ConstantZero:
        ConstInput = FlagTrue;
        ConstValue = 0;
        KeyMessage = CommandText::ConstantZero();
        break;
    case CommandKind::Silent:
        break;
    case CommandKind::FromTransmitter:
        ConstInput = FlagFalse;
        // The command stays in force and is handled at every step: build
        // the text only when the code has changed.
        if (m_codeMessageFor != Nkod || m_codeMessage.isEmpty()) {
            m_codeMessage = CommandText::FromTransmitter(Nkod);
            m_codeMessageFor = Nkod;
        }
        KeyMessage = m_codeMessage;
        break;
    case CommandKind::Fault:
        return true;
    case CommandKind::SetCode:
        Nkod = command.code;
        KeyMessage = CommandText::CodeKey(command.code);
        break;
    case CommandKind::Escape:
        KeyMessage = CommandText::Escape();
        break;
    case CommandKind::Unknown:
        KeyMessage = CommandText::Unknown();
        break;
    }
    return false;
}

void DiagramStep::Restart()
{
    RunSignals &s = m_state.m_now;
    ModelingItem = 0;
    s.ModelTime = 0;
    const int elemCount = std::clamp<int>(m_state.ElemCount, 0, MaxElements);
    const int outCount = std::clamp<int>(m_state.OutCount, 0, MaxOutputs);
    for (int i = 1; i <= elemCount; ++i) {
        s.Excit[i][0] = 0;
        s.PickupPending[i][0] = 0;
        s.ReleasePending[i][0] = 0;
        s.ElemState[i][0] = 0;
        s.PickupTimer[i] = 0;
        s.ReleaseTimer[i] = 0;
    }
    for (int j = 1; j <= outCount; ++j)
        s.OutState[j][0] = 0;
    s.InputVal[0] = 0;
    for (StepObserver *observer : m_observers)
        observer->restarted();
}

void DiagramStep::continueFrom(const DiagramStep &other)
{
    Nkod = other.Nkod;
    ModelingItem = other.ModelingItem;
    LastKey = other.LastKey;
    KeyMessage = other.KeyMessage;
    ConstInput = other.ConstInput;
    ConstValue = other.ConstValue;
    StopRequested = other.StopRequested;
    RowText = other.RowText;
    SignalChange = other.SignalChange;
    PendingChange = other.PendingChange;
    RowDue = other.RowDue;
    m_waitingAt = other.m_waitingAt;
}
