#pragma once

#include "model/ModelState.h"
#include "model/TimingFile.h"
#include "proof/Aig.h"
#include "vesk/CodeTransmitter.h"

#include <QString>

#include <array>
#include <expected>

// What drives the device's input p at each step.
enum class CircuitInput {
    Code, // two inputs "code[0]", "code[1]": the code (0..3) sent at the step
    Free, // one input "p": the input itself
};

// A device, its relay delays and (for CircuitInput::Code) its code
// transmitter as one sequential circuit whose steps are the modelling steps
// of a run from its start without faults.
//
// Inputs: "code[0]", "code[1]" (low bit first), or "p".
// Latches, element by element: "eI:state", "eI:pickup", "eI:release" (the
// pending flags), then "eI:pickup_count[B]" and "eI:release_count[B]" (the
// steps a pending delay has run, in binary, low bit first); then for the
// transmitter "kpt:codeK[B]" (the state of code K's train) and
// "kpt:cycle_done" (the flag the trains share).
// Outputs, in this order: the state of every element after the step
// ("eI:<name>"), every output of the model ("outJ:<name>"), and p ("p").
struct DeviceCircuit
{
    Aig aig;
    int elementCount = 0;
    int outputCount = 0;
    // The states found for the train of each code; zeros for a free input.
    std::array<int, 3> transmitterStates{};

    int elementOutput(int element) const { return element - 1; }
    int modelOutput(int output) const { return elementCount + output - 1; }
    int inputOutput() const { return elementCount + outputCount; }
};

// The steps a pending delay takes before it completes: a run adds 0.01 s per
// step in single precision and compares whole hundredths. Fails for a delay
// that a run would keep pending for more than maxSteps steps.
std::expected<int, QString> DelaySteps(float delay, int maxSteps = 1 << 20);

std::expected<DeviceCircuit, QString> BuildDeviceCircuit(const ModelDefinition &definition,
                                                         const TimingValues &timing, const CodeTiming &codeTiming,
                                                         CircuitInput input);
