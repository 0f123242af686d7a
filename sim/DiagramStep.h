#pragma once

#include "model/CompiledFunctions.h"
#include "model/RunState.h"
#include "sim/StepObserver.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

// How far a step got. Done: it has ended. Idle: the run is not active, the
// step only set ModelingItem to 0, and whoever drives it enables its timer.
// Every other outcome is a question the step waits at; resume() answers it.
enum class StepOutcome : uint8_t {
    Done,
    Idle,
    // Step 1, ModelingItem has passed RunLength: "Продолжать вывод?" (title
    // "Вывод", Yes/No, question icon). A No ends the run (RunActive := 0),
    // yet the step still runs to its end and its row still goes out.
    AskContinue,
    // Step 3, the fault command: the fault dialog, modal; it writes ElemFault.
    EditFaults,
    // Step 3, the command differs from the last one handled: the message box
    // with KeyMessage (OK only, no icon, the application title).
    ShowMessage,
    // Step 16: the end-of-run dialogue. LastKey, StopRequested and KeyCmd
    // have been cleared; the answer may restart the diagram, write the
    // header again, empty the report or end the run.
    EndOfRun,
};

// The fixed texts of the continuation question.
namespace StepText {
inline constexpr QStringView ContinueQuestion = u"Продолжать вывод?";
inline constexpr QStringView ContinueTitle = u"Вывод";
} // namespace StepText

// The input of step 4: the transmitter of the run, stepped once per step
// with the code in force (any value, passed on unchanged); its output is 0
// or 1.
class CodeInput
{
public:
    virtual ~CodeInput() = default;
    virtual int16_t WhodKod(int16_t Nkod) = 0;
};

// The stepping of one run: the fields kept from step to step and ShowDiag,
// one modelling step of 0.01 s. The step asks nobody: where a person must
// answer, it stops with the question as its outcome and goes on when
// resume() brings the answer. What it does goes to its observers.
class DiagramStep
{
public:
    DiagramStep(RunState &state, CodeInput &input);

    // Translates the functions of the definition in the state, for a step
    // driven without a session. Call before the first step of a run.
    void CompileModel();
    // Uses functions translated before, instead of CompileModel: a session
    // takes those of its shared model.
    void UseFunctions(std::shared_ptr<const FunctionProgram> program);

    // The transmitter the steps read from now on.
    void setInput(CodeInput &input) { m_input = &input; }

    // Observers are told in the order they were added; each must outlive
    // the steps it is told of.
    void addObserver(StepObserver &observer);
    // Tells the observers of the contact faults in force from the next step.
    void tellContactFaults(const std::vector<ContactFault> &faults);

    // Starts a run that has been set up: the code in force, runStarted to
    // the observers (the report header), RunActive, and the count of steps
    // from 0.
    void Start(int16_t code);

    // Begins one step, in the fixed order: count, time, command,
    // transmitter, input, excitation, faults, delays, states, change
    // detection, carry, outputs, row, stop; it returns at its end or at its
    // first question. While RunActive is 0 it only sets ModelingItem to 0
    // (Idle). While a step waits for an answer, no other one begins: the
    // call returns that step's question and does nothing.
    StepOutcome ShowDiag();
    // Answers the question the step waits at (yes matters only for
    // AskContinue) and runs it on to its end or its next question.
    StepOutcome resume(bool yes = true);

    // The window's InitModel: ModelingItem := 0.
    void InitModel() { ModelingItem = 0; }

    // The restart after changed parameters: ModelingItem and ModelTime 0, the
    // previous-step column of every signal and both timers 0. Faults, Nkod,
    // the constant input and the transmitter's cycle stay.
    void Restart();

    // Takes over what another step of the same model has kept between its
    // steps, for a run that goes on from where that one has got to; the
    // state, input, observers and functions stay this step's own.
    void continueFrom(const DiagramStep &other);

    // True while a step waits for an answer.
    bool InStep() const { return m_waitingAt != Waiting::None; }

    // The decimal separator of the time labels; the user's locale by default.
    void setLocale(const QLocale &locale);

    // Runs that only look at the signals (fault campaigns, checks) switch
    // the rows off: no row is composed, and no observer gets one.
    bool ComposeRows = true;

    // Public fields of the diagram window.
    int16_t Nkod = 0;          // code number fed to the transmitter
    int32_t ModelingItem = 0;  // steps since the start or the last "continue"

    // Kept from step to step.
    QString LastKey;            // KeyCmd as handled at the previous step
    QString KeyMessage;         // shown when the command changes
    int16_t ConstInput = FlagFalse;
    int16_t ConstValue = 0;
    int16_t StopRequested = FlagFalse;
    QByteArray RowText;         // the last row composed, code page 866

    // Recomputed in every step.
    int16_t SignalChange = 0;
    int16_t PendingChange = 0;
    int16_t RowDue = 0;

private:
    // The questions a step can wait at.
    enum class Waiting : uint8_t { None, Continue, Faults, Message, EndOfRun };
    // Where a step goes on: from the model time after the count, from the
    // command's message after the fault dialog, from the transmitter after
    // the message, or at its end after the end-of-run dialogue.
    enum class Part : uint8_t { ModelTime, CommandMessage, Transmitter, End };

    StepOutcome wait(Waiting at, StepOutcome question);
    StepOutcome run(Part from);
    // The command in force; true for the fault command, whose dialogue
    // comes before the rest of its handling.
    bool interpretCommand();

    RunState &m_state;
    CodeInput *m_input;
    std::vector<StepObserver *> m_observers;
    CompiledFunctions m_functions;
    char m_decimalSeparator;
    Waiting m_waitingAt = Waiting::None;
    // The message of the transmitter command, built once per code.
    QString m_codeMessage;
    int16_t m_codeMessageFor = 0;
};
