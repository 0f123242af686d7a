#pragma once

#include "model/RunState.h"
#include "sim/DiagramStep.h"

#include <QString>

// What the dialogue after a stop needs from the diagram window that runs it.
// The diagram window implements it; tests use a stand-in. The step's own
// fields, its Restart and its report output (header, emptying the report)
// come from Step().
class EndOfRunHost
{
public:
    virtual ~EndOfRunHost() = default;

    virtual RunState &State() = 0;
    virtual DiagramStep &Step() = 0;

    // Closes the diagram window, which ends the run: hidden and the main
    // window unlocked at once, the object itself deleted only after the step
    // that called this has returned (deleteLater), the print job ended.
    virtual void CloseWindow() = 0;
    // Wipes the drawn rows, for a diagram that starts again from the top.
    virtual void ClearWindow() = 0;

    // The transmitter object's code timing dialogue (Vesk.SetTimeChar).
    virtual void SetTimeChar(const QString &modelPath) = 0;
    // Writes the timing characteristics and the run length to ModelPath + ".tim".
    virtual void SaveTiming() = 0;
};

// The pause after a stop, run from inside the step (StepHost::EndOfRun) once
// StopRequested is set and ModelingItem is a multiple of 10: clears the stop
// and the pending key, asks what to do next (AskContinue) and does it, the
// output devices through ChooseOutputDevices and Step().Output(), the sounds
// through soundDevice() (SoundDevice.h). Choice 4
// ends the run (RunActive := 0) and closes the window through the host; every
// other choice returns with the run going on.
void EndOfRunDialogue(EndOfRunHost &host);
