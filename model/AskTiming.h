#pragma once

#include "model/ModelState.h"

#include <QString>

#include <functional>

class CommonDialog;
class QWidget;

// What the timing entry borrows from the windows around it.
struct TimingEntryContext
{
    ModelState &state;
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

// Asks for a file name in the save dialog (proposing ModelPath + ".tim") and
// writes Tpr, Totp and RunLength there; the chosen name up to its first "."
// becomes ChosenPath. A cancelled dialog saves nothing; a failed write is
// reported to the user, leaves an existing file as it was and opens the save
// dialog again on the name that failed.
void SaveTiming(ModelState &state, CommonDialog &CDL1);
