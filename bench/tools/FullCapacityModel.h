#pragma once

#include <QString>
#include <QTemporaryDir>

#include <functional>

struct RunState;

// Writes a model of full capacity, 20 elements with 40 terms each and 5
// outputs with 25 terms each, as basePath + ".mod", and its timing file, run
// length 1,000,000 steps, as basePath + ".tim". The functions are fixed
// pseudo-random products of 2 to 4 contacts and the input, so that under a
// code the relays keep switching. False when a file cannot be written.
bool WriteFullCapacityModel(const QString &basePath);

// The folder of a full-capacity model written once per benchmark program, as
// "full.mod" and "full.tim"; the program stops when it cannot be written.
const QTemporaryDir &FullCapacityFolder();

// Runs the model of FullCapacityFolder() with its timing file under code 2
// for steps steps: watch sees the state after the start (step 0) and after
// every step. False when the model does not load or the run does not set up.
bool RunFullCapacity(qint64 steps, const std::function<void(qint64 step, const RunState &state)> &watch);
