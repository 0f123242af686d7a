#pragma once

#include "model/ModelState.h"
#include "model/TimingFile.h"
#include "proof/Aig.h"
#include "vesk/CodeTransmitter.h"

#include <QString>

#include <array>
#include <expected>
#include <optional>
#include <utility>
#include <vector>

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

// Binary numbers in the graph, low bit first: the bits for 0..values-1,
// whether bits hold value, and bits + 1 (wrapping).
int BitsFor(int values);

// Latches that hold one binary number, low bit first: made as "name[b]",
// their next states set together.
struct LatchWord
{
    int first = 0; // index of the low bit's latch
    std::vector<Aig::Lit> bits;
};
LatchWord AddLatchWord(Aig &aig, const QString &name, int width);
void SetLatchWord(Aig &aig, const LatchWord &word, const std::vector<Aig::Lit> &next);
Aig::Lit EqualsNumber(Aig &aig, const std::vector<Aig::Lit> &bits, unsigned value);
std::vector<Aig::Lit> PlusOne(Aig &aig, const std::vector<Aig::Lit> &bits);

// The device's step at one step, for what a variation builds on them.
struct DeviceSignals
{
    Aig::Lit code0 = Aig::False, code1 = Aig::False; // the code chosen (CircuitInput::Code)
    Aig::Lit p = Aig::False;                         // the input at the step
    std::array<Aig::Lit, MaxElements + 1> elements{}; // states after the step; [0] is p
    std::array<Aig::Lit, MaxOutputs + 1> outputs{};   // [1..] the model's outputs
};

// What a proof changes in the device's circuit. The graph wants inputs
// before latches before gates, so the builder asks for each in its turn:
// the variation's inputs after the device's, its latches after the
// device's, then the gates of faults and chosen delays, then the outputs.
class CircuitVariation
{
public:
    virtual ~CircuitVariation() = default;
    virtual void addInputs(Aig &aig) = 0;
    virtual void addLatches(Aig &aig) = 0;
    // The steps a delay (0 pickup, 1 release) of an element may take,
    // first <= last; absent: only its nominal steps.
    virtual std::optional<std::pair<int, int>> delayRange(int element, int delay) const = 0;
    // True when the delay takes `steps` steps in this run (within its range).
    virtual Aig::Lit delayTakes(Aig &aig, int element, int delay, int steps) = 0;
    // True when the fault is in force at the step: of an element's coil
    // (1 break, 2 feed) or of a contact (ModelContacts' number; 3 welded,
    // 4 open).
    virtual Aig::Lit coilFault(Aig &aig, int element, int kind) = 0;
    virtual Aig::Lit contactFault(Aig &aig, int contact, int kind) = 0;
    // Every output of the circuit, in place of the device's own.
    virtual void addOutputs(Aig &aig, const DeviceSignals &step) = 0;
};

std::expected<DeviceCircuit, QString> BuildDeviceCircuit(const ModelDefinition &definition,
                                                         const TimingValues &timing, const CodeTiming &codeTiming,
                                                         CircuitInput input,
                                                         CircuitVariation *variation = nullptr);
