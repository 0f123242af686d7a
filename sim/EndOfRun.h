#pragma once

#include "model/RunState.h"
#include "report/ReportOutput.h"
#include "sim/DiagramStep.h"

#include <QString>

// What the dialogue after a stop needs from the diagram window that runs it.
// The diagram window implements it; tests use a stand-in. The step's own
// fields and its Restart come from Step(), the header and the emptying of
// the report from Output().
class EndOfRunHost
{
public:
    virtual ~EndOfRunHost() = default;

    virtual RunState &State() = 0;
    virtual DiagramStep &Step() = 0;
    virtual ReportOutput &Output() = 0;

    // Closes the diagram window, which ends the run: hidden and the main
    // window unlocked at once, the object itself deleted only after the
    // dialogue that called this has returned (deleteLater), the print job
    // ended.
    virtual void CloseWindow() = 0;
    // Wipes the drawn rows, for a diagram that starts again from the top.
    virtual void ClearWindow() = 0;

    // The transmitter object's code timing dialogue (Vesk.SetTimeChar).
    virtual void SetTimeChar(const QString &modelPath) = 0;
    // Writes the timing characteristics and the run length to ModelPath + ".tim".
    virtual void SaveTiming() = 0;
};

// The pause after a stop, run while the step waits at StepOutcome::EndOfRun
// (StopRequested was set and ModelingItem is a multiple of 10): clears the
// stop and the pending key, asks what to do next (AskContinue) and does it,
// the output devices through ChooseOutputDevices and Output(), the sounds
// through soundDevice() (SoundDevice.h). Choice 4
// ends the run (RunActive := 0) and closes the window through the host; every
// other choice returns with the run going on.
void EndOfRunDialogue(EndOfRunHost &host);
