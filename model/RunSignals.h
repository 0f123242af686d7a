#pragma once

#include "model/Fault.h"
#include "model/ModelState.h"

#include <QString>

#include <array>
#include <cstdint>

// The signals of a run as the step keeps them: every two-column signal, the
// delay timers and pending flags, the coil faults in force, the model time
// and the command the next step handles. A plain value: a copy goes on
// exactly as the run it was taken from, and two runs with equal values
// (and equal models, timings and transmitters) make the same rows.
struct RunSignals
{
    int16_t RunActive = FlagFalse;

    std::array<Fault, MaxElements + 1> ElemFault{};

    Signal InputVal{};
    std::array<Signal, MaxElements + 1> Excit{};
    std::array<Signal, MaxElements + 1> ElemState{};
    std::array<Signal, MaxOutputs + 1> OutState{};

    // Seconds, in single precision: the step decides on that arithmetic.
    std::array<float, MaxElements + 1> ReleaseTimer{};
    std::array<float, MaxElements + 1> PickupTimer{};

    std::array<Signal, MaxElements + 1> PickupPending{};
    std::array<Signal, MaxElements + 1> ReleasePending{};

    float ModelTime = 0; // seconds within the current 100-second span
    QString KeyCmd;      // last command character; empty when none
};
