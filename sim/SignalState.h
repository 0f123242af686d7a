#pragma once

#include "model/ContactFault.h"
#include "model/ModelState.h"
#include "vesk/CodeTransmitter.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// What the next steps of a run depend on besides its model, its timing and
// the keys and faults still planned: the state and pending delays of every
// element, the input, the faults in force, the command kept by the step and
// the transmitter's cycle. Two runs of one model and timing with equal
// values make the same signals from here on, whatever their step numbers;
// the rows and the time labels are not part of it.
struct SignalState
{
    int16_t runActive = 0;
    int16_t input = 0;
    uint32_t up = 0; // bit i: element i
    uint32_t pickupPending = 0;
    uint32_t releasePending = 0;
    uint32_t broken = 0; // bit i: the coil of element i has its feeding broken
    uint32_t fed = 0;    // and bit i: it is fed from outside
    // Seconds each pending delay has run; 0 while none is.
    std::array<float, MaxElements + 1> pickupTimer{};
    std::array<float, MaxElements + 1> releaseTimer{};
    std::vector<ContactFault> contactFaults;

    int16_t code = 0; // Nkod
    int16_t constInput = 0;
    int16_t constValue = 0;
    int16_t stopRequested = 0;
    QString command;     // KeyCmd
    QString lastCommand; // LastKey
    CodeTransmitter::Cycle cycle;

    bool operator==(const SignalState &) const = default;
};

size_t qHash(const SignalState &value, size_t seed = 0);
