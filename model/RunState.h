#pragma once

#include "model/Fault.h"
#include "model/ModelState.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// One run of a model: a copy of its definition and of the output choice, the
// relay timing, the signals and timers, the faults and the pending command.
// A run owns its state, so runs of one model can go on side by side.
struct RunState : ModelDefinition, OutputChoice
{
    QString ModelPath; // without extension
    int16_t RunActive = FlagFalse;
    int16_t ReportHeadDue = FlagFalse;

    QByteArray OemName; // ModelName in code page 866, for the report file
    FixedText<5> ColCell;
    QString InputCaption;

    std::array<Fault, MaxElements + 1> ElemFault{};

    Signal InputVal{};
    std::array<Signal, MaxElements + 1> Excit{};
    std::array<Signal, MaxElements + 1> ElemState{};
    std::array<Signal, MaxOutputs + 1> OutState{};

    // Seconds, in single precision: the step decides on that arithmetic.
    std::array<float, MaxElements + 1> Tpr{};
    std::array<float, MaxElements + 1> Totp{};
    std::array<float, MaxElements + 1> ReleaseTimer{};
    std::array<float, MaxElements + 1> PickupTimer{};

    std::array<Signal, MaxElements + 1> PickupPending{};
    std::array<Signal, MaxElements + 1> ReleasePending{};

    float ModelTime = 0; // seconds within the current 100-second span
    int16_t AfterRunChoice = 0;
    int32_t RunLength = 0; // steps of 0.01 s
    QString KeyCmd;        // last command character; empty when none
};

// The fault of element's coil from the next step on; nothing for an element
// the model does not have.
void SetElementFault(RunState &state, int element, Fault fault);

// Brings the run state to rest before a run: RunActive and ModelTime 0, and
// for the full capacity (not only the current counts) every two-column
// signal, both delay timers, every fault and the input set to 0.
void BringToRest(RunState &state);

// The model just loaded into state becomes the one the run shows: the input
// column's caption, model time 0, and the report header due.
void BeginRunOfModel(RunState &state);
