#pragma once

#include "model/CompiledFunctions.h"
#include "model/RunState.h"
#include "report/ReportOutput.h"
#include "sim/StepHost.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <memory>

// The stepping of one run: the fields kept from step to step and ShowDiag,
// one modelling step of 0.01 s. Each RunSession owns one and is its host.
class DiagramStep
{
public:
    DiagramStep(RunState &state, StepHost &host);

    // Translates the functions of the definition in the state, for a step
    // driven without a session. Call before the first step of a run.
    void CompileModel();
    // Uses functions translated before, instead of CompileModel: a session
    // takes those of its shared model.
    void UseFunctions(std::shared_ptr<const FunctionProgram> program);

    // Starts a run that has been set up: the code in force, the report
    // header on the enabled devices, RunActive, and the count of steps from 0.
    void Start(int16_t code);

    // One step, in the fixed order: count, time, command, transmitter, input,
    // excitation, faults, delays, states, change detection, carry, outputs,
    // row, stop. While RunActive is 0 it only sets ModelingItem to 0 and
    // asks the host to enable its timer. A call made while another step is
    // still running (from a nested event loop of one of its dialogs) returns
    // at once and does nothing.
    void ShowDiag();

    // The window's InitModel: ModelingItem := 0.
    void InitModel() { ModelingItem = 0; }

    // The restart after changed parameters: ModelingItem and ModelTime 0, the
    // previous-step column of every signal and both timers 0. Faults, Nkod,
    // the constant input and the transmitter's cycle stay.
    void Restart();

    // True while ShowDiag is running.
    bool InStep() const { return m_inStep; }

    // The decimal separator of the time labels; the user's locale by default.
    void setLocale(const QLocale &locale);

    // The header and rows go through here; the host's end-of-run dialogue
    // uses it to write the header again or empty the report.
    ReportOutput &Output() { return m_output; }

    // Runs that only look at the signals (fault campaigns, checks) switch
    // the rows off: no row is composed, and no device gets one.
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
    void step();
    void interpretCommand();

    RunState &m_state;
    StepHost &m_host;
    ReportOutput m_output;
    CompiledFunctions m_functions;
    char m_decimalSeparator;
    bool m_inStep = false;
    // The message of the transmitter command, built once per code.
    QString m_codeMessage;
    int16_t m_codeMessageFor = 0;
};
