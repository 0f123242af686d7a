#pragma once

#include "model/RunState.h"

#include <QString>

#include <functional>

class CommonDialog;
class QWidget;

// What the timing entry borrows from the windows around it.
struct TimingEntryContext
{
    ModelState &settings; // the paths: a timing file is chosen like any other
    RunState &run;        // the model whose timing is asked, and where it goes
    CommonDialog &CDL1;
    // The transmitter's own code-timing dialogue (Vesk.SetTimeChar), handed a
    // copy of ModelPath.
    std::function<void(const QString &modelPath)> SetTimeChar;
    QWidget *parent = nullptr; // owner of the entry windows
};

// Obtains the code timing of the transmitter, the pickup and release times of
// elements 1..ElemCount (typed in or read from a ".tim" file) and the run
// length. False when the user gave up (a cancelled file choice, Cancel on
// the run length, a timing file that cannot be used); nothing of a timing
// file is taken unless all of it could be read.
[[nodiscard]] bool AskTiming(TimingEntryContext &context);

// Asks for a file name in the save dialog (proposing the run's ModelPath +
// ".tim") and writes its Tpr, Totp and RunLength there; the chosen name up to
// its first "." becomes the program's ChosenPath. A cancelled dialog saves nothing; a failed write is
// reported to the user, leaves an existing file as it was and opens the save
// dialog again on the name that failed.
void SaveTiming(ModelState &settings, const RunState &run, CommonDialog &CDL1);
