#pragma once

#include "model/CompiledFunctions.h"
#include "model/ModelState.h"
#include "model/TimingFile.h"

#include <QString>

#include <array>
#include <cstdint>
#include <expected>
#include <memory>

// What a device keeps from one step of a run to the next, as a value: which
// elements are up, whose pickup or release is pending and for how many steps
// it has run. Bit k of a word is element k. A copy steps on exactly as the
// original would, so a search can store, compare and branch from states.
struct DeviceState
{
    uint32_t up = 0;
    uint32_t pickupPending = 0;
    uint32_t releasePending = 0;
    std::array<uint16_t, MaxElements + 1> pickupSteps{};
    std::array<uint16_t, MaxElements + 1> releaseSteps{};

    bool operator==(const DeviceState &) const = default;
};

// The faults in force: bit k of breaks forces element k's excitation to 0,
// of feeds to 1; functions, when set, are the model's functions read with
// its failed contacts (see FunctionProgram).
struct DeviceFaults
{
    uint32_t breaks = 0;
    uint32_t feeds = 0;
    const FunctionProgram *functions = nullptr;
};

// The steps every pickup and release takes, element by element from 1.
struct ElementDelays
{
    std::array<int, MaxElements + 1> pickup{};
    std::array<int, MaxElements + 1> release{};
};

// Steps a DeviceState as a run steps its signals: the excitations from the
// input of the step and the states of the previous one, the faults, the
// delays by the rule of every run (counted in steps), the outputs from this
// step's states.
class DeviceStepper
{
public:
    // The delays of timing as steps; a Russian message for a delay no run
    // would complete.
    static std::expected<DeviceStepper, QString> Make(std::shared_ptr<const FunctionProgram> program,
                                                     const TimingValues &timing);

    // One step with input p; the signals after it: bit 0 p, bit k element k,
    // bit MaxElements + j output j (as the benches number them).
    uint32_t step(DeviceState &state, bool input, const DeviceFaults &faults = {}) const
    {
        return step(state, input, faults, m_delays);
    }
    // The same with other delays, as a relay whose times lie in a band has.
    uint32_t step(DeviceState &state, bool input, const DeviceFaults &faults, const ElementDelays &delays) const;

    // The delays of the timing the stepper was made with.
    const ElementDelays &delays() const { return m_delays; }

    int elementCount() const { return m_program->elementCount(); }

private:
    DeviceStepper(std::shared_ptr<const FunctionProgram> program) : m_program(std::move(program)) {}

    std::shared_ptr<const FunctionProgram> m_program;
    ElementDelays m_delays;
};
