#pragma once

#include "tools/RunOptions.h"
#include "wave/RunExporters.h"

#include <QString>

#include <cstdio>
#include <expected>
#include <functional>

class RunRecording;

// Exit statuses of the headless runner.
enum ExitStatus : int {
    ExitSuccess = 0,
    ExitFileError = 1,  // an input file unreadable or invalid, an output file not written
    ExitUsageError = 2, // the command line does not fit the model
};

// Runs the model of options through the simulation step with no display and
// no questions: every "Продолжать вывод?" is answered Yes, a fault command
// acts as a fault dialog closed without changes, and ESC ends the run at the
// step where the end-of-run dialogue would open. The heading and the rows go
// to out; messages (and, with verbose, the command messages with their step
// numbers) to err. Returns the exit status.
//
// Pictures (PNG, SVG) of the whole run are drawn by writePicture, which the
// program hands in so that this library needs no Qt Gui; without one, a
// picture asked for is refused with a message.
int RunModel(const RunOptions &options, std::FILE *out, std::FILE *err, const PictureWriter &writePicture = {});
