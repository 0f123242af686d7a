#include "schematic/SchematicState.h"

#include "sim/RunRecording.h"

#include <algorithm>

namespace schematic {

LiveState LiveState::of(const RunState &state)
{
    const RunSignals &now = state.now();
    LiveState live;
    live.input = now.InputVal[1] != 0;
    const int elementCount = std::clamp<int>(state.ElemCount, 0, MaxElements);
    for (int k = 1; k <= elementCount; ++k) {
        live.up[k] = now.ElemState[k][1] != 0;
        live.pickupRunning[k] = now.PickupPending[k][1] != 0;
        live.releaseRunning[k] = now.ReleasePending[k][1] != 0;
        live.fault[k] = now.ElemFault[k];
    }
    for (int j = 1; j <= std::clamp<int>(state.OutCount, 0, MaxOutputs); ++j)
        live.lit[j] = now.OutState[j][1] != 0;
    return live;
}

LiveState LiveState::at(const RunRecording &recording, qint64 step)
{
    using Kind = RunRecording::LaneKind;
    LiveState live;
    const std::vector<RunRecording::Lane> &lanes = recording.lanes();
    for (size_t l = 0; l < lanes.size(); ++l) {
        const RunRecording::Lane &lane = lanes[l];
        const int value = recording.valueAt(int(l), step);
        const int k = lane.element;
        const bool element = k >= 1 && k <= MaxElements;
        switch (lane.kind) {
        case Kind::Input: live.input = value != 0; break;
        case Kind::Element: if (element) live.up[k] = value != 0; break;
        case Kind::Pickup: if (element) live.pickupRunning[k] = value != 0; break;
        case Kind::Release: if (element) live.releaseRunning[k] = value != 0; break;
        case Kind::Fault: if (element) live.fault[k] = FaultOfKind(value); break;
        case Kind::Output: if (k >= 1 && k <= MaxOutputs) live.lit[k] = value != 0; break;
        }
    }
    live.contactFaults = recording.contactFaultsAt(step);
    return live;
}

uint8_t LiveState::contactFault(int contact) const { return ContactFaultOf(contactFaults, contact); }

bool LiveState::closed(const Item &item) const
{
    switch (contactFault(item.contact)) {
    case ContactWelded: return true;
    case ContactOpen: return false;
    default: break;
    }
    const bool up = item.element == 0 ? input : this->up[size_t(item.element)];
    switch (item.kind) {
    case Item::Kind::Front: return up;
    case Item::Kind::Back: return !up;
    case Item::Kind::Dropped: return true;
    }
    return false;
}

bool LiveState::conducts(const Branch &branch) const
{
    return std::ranges::all_of(branch.items, [this](const Item &item) { return closed(item); });
}

bool LiveState::energised(const Rung &rung) const
{
    if (rung.kind == Rung::Kind::Element && fault[size_t(rung.index)] != Fault::None)
        return ForcedExcitation(fault[size_t(rung.index)], 0) != 0;
    return std::ranges::any_of(rung.branches, [this](const Branch &branch) { return conducts(branch); });
}

} // namespace schematic
