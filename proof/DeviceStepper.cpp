#include "proof/DeviceStepper.h"

#include "proof/DeviceCircuit.h"
#include "sim/DelayRule.h"

std::expected<DeviceStepper, QString> DeviceStepper::Make(std::shared_ptr<const FunctionProgram> program,
                                                         const TimingValues &timing)
{
    DeviceStepper stepper(std::move(program));
    // A pending delay's count is kept in 16 bits.
    constexpr int MaxSteps = UINT16_MAX;
    for (int i = 1; i <= stepper.elementCount(); ++i) {
        const auto pickup = DelaySteps(timing.Tpr[size_t(i)], MaxSteps);
        if (!pickup)
            return std::unexpected(pickup.error());
        const auto release = DelaySteps(timing.Totp[size_t(i)], MaxSteps);
        if (!release)
            return std::unexpected(release.error());
        stepper.m_delays.pickup[size_t(i)] = *pickup;
        stepper.m_delays.release[size_t(i)] = *release;
    }
    return stepper;
}

uint32_t DeviceStepper::step(DeviceState &state, bool input, const DeviceFaults &faults,
                             const ElementDelays &delays) const
{
    const FunctionProgram &functions = faults.functions ? *faults.functions : *m_program;
    const uint32_t in = input ? 1u : 0u;
    const uint32_t excited = (functions.elementResults(in | state.up) & ~faults.breaks) | faults.feeds;
    DeviceState next = state;
    next.up = next.pickupPending = next.releasePending = 0;
    for (int i = 1; i <= elementCount(); ++i) {
        const uint32_t bit = 1u << i;
        Signal pickup{int16_t((state.pickupPending & bit) != 0), 0};
        Signal release{int16_t((state.releasePending & bit) != 0), 0};
        const int16_t up = AdvanceElement<StepClock>(int16_t((excited & bit) != 0), int16_t((state.up & bit) != 0),
                                                     pickup, release, next.pickupSteps[size_t(i)],
                                                     next.releaseSteps[size_t(i)], delays.pickup[size_t(i)],
                                                     delays.release[size_t(i)]);
        next.up |= up ? bit : 0;
        next.pickupPending |= pickup[1] ? bit : 0;
        next.releasePending |= release[1] ? bit : 0;
    }
    state = next;
    const uint32_t outputs = functions.outputResults(in | state.up);
    return in | state.up | ((outputs >> 1) << (MaxElements + 1));
}
