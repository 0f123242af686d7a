#pragma once

#include "model/ContactFault.h"
#include "model/RunState.h"
#include "schematic/Schematic.h"

#include <array>
#include <cstdint>
#include <vector>

class RunRecording;

namespace schematic {

// The signals a live picture shows at one step: which relays are up, whose
// pickup or release is running, the faults and the outputs.
struct LiveState
{
    bool input = false;
    std::array<bool, MaxElements + 1> up{};
    std::array<bool, MaxElements + 1> pickupRunning{};
    std::array<bool, MaxElements + 1> releaseRunning{};
    std::array<Fault, MaxElements + 1> fault{};
    std::array<bool, MaxOutputs + 1> lit{};
    // The contact faults in force.
    std::vector<ContactFault> contactFaults;

    // The state after the step state last made (the contact faults are
    // the session's, not the state's: the caller sets them).
    static LiveState of(const RunState &state);
    // The state recording holds at step.
    static LiveState at(const RunRecording &recording, qint64 step);

    // The kind of contact's fault, 0 when it works.
    uint8_t contactFault(int contact) const;
    // A contact of item is closed (a dropped name is a wire); a welded one
    // always, an open one never.
    bool closed(const Item &item) const;
    // Every item of branch is closed: the branch conducts.
    bool conducts(const Branch &branch) const;
    // The coil of rung is fed: some branch conducts, unless a fault forces it.
    bool energised(const Rung &rung) const;
};

} // namespace schematic
