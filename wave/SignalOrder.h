#pragma once

#include "sim/RunRecording.h"

#include <QString>

#include <vector>

// A signal of the window «Графики» in the order the user chose, shown or hidden.
struct SignalChoice
{
    int lane = 0;
    bool shown = true;

    bool operator==(const SignalChoice &) const = default;
};

// The signals of recording (input, elements, outputs) in the order saved:
// names saved earlier first, as saved; signals the text does not name (a
// model changed since) after them, in model order and shown.
std::vector<SignalChoice> RestoreSignalOrder(const RunRecording &recording, const QString &saved);
// The text that RestoreSignalOrder reads back: names in order, hidden ones
// marked with a leading "-".
QString SaveSignalOrder(const RunRecording &recording, const std::vector<SignalChoice> &choices);
// The lanes of the shown signals, in order.
std::vector<int> ShownLanes(const std::vector<SignalChoice> &choices);
// The settings key of the order for a model file.
QString SignalOrderKey(const QString &modelPath);
