#pragma once

#include "report/OutputDevices.h"

#include <QString>
#include <QStringView>

#include <cstdint>

// The places where a person takes part in a step. RunSession implements them
// by asking its SessionHost: the diagram window answers with message boxes,
// its dialogs and the transmitter component it owns; the headless runner
// with batch answers. Every call is made from inside DiagramStep::ShowDiag,
// which holds the stepping until it returns.
class StepHost : public OutputDevices
{
public:
    // Step 1, when ModelingItem has passed RunLength: "Продолжать вывод?"
    // (title "Вывод", Yes/No, question icon). True for Yes. On false the step
    // sets RunActive to 0 and still finishes (its row still goes to every
    // enabled device); the host closes its window after the step has
    // returned, never under it.
    virtual bool ContinueOutput() = 0;

    // Step 3, when the command differs from the last one handled: the message
    // box with KeyMessage (OK only, no icon, the application title).
    virtual void ShowCommandMessage(const QString &message) = 0;

    // Step 3, the fault command: the fault dialog, modal; it writes ElemFault.
    virtual void EditFaults() = 0;

    // Step 4: the transmitter of this run advances one step with code Nkod
    // (any value, passed on unchanged) and its output, 0 or 1, is returned.
    virtual int16_t WhodKod(int16_t Nkod) = 0;

    // Step 16: the end-of-run dialogue. On entry LastKey, StopRequested and
    // KeyCmd have already been cleared. The host may call
    // DiagramStep::Restart, ReportOutput::WriteReportHeader and EmptyReport,
    // or end the run (RunActive := 0).
    virtual void EndOfRun() = 0;

    // A tick that found RunActive 0: the window's InitModel, which enables
    // its timer. ModelingItem has already been set to 0.
    virtual void EnableTimer() {}
};

// The fixed texts of the questions the host shows.
namespace StepText {
inline constexpr QStringView ContinueQuestion = u"Продолжать вывод?";
inline constexpr QStringView ContinueTitle = u"Вывод";
} // namespace StepText
