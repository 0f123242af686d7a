#include "model/ModelFile.h"
#include "proof/AigSim.h"
#include "proof/DeviceCircuit.h"
#include "proof/DeviceStepper.h"
#include "proof/TransmitterMachine.h"
#include "sim/RunSession.h"
#include "tests/support/RandomDevice.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

constexpr int Steps = 400;

// A run of the model, the input of every step given: the code in force
// (through the keys that set it) or the input itself (through the constant
// input keys).
struct Drive
{
    CircuitInput kind = CircuitInput::Code;
    std::vector<int> perStep; // a code 0..3, or p 0/1
};

QString keyFor(CircuitInput kind, int value)
{
    static const char *const codeKeys[] = {")", "!", "@", "#"};
    return kind == CircuitInput::Code ? QString::fromLatin1(codeKeys[value]) : QString::number(value);
}

// Every step's element states, outputs and input as the run has them, and
// as the circuit gives them, compared step by step.
void expectCircuitEqualsRun(const SharedModel &model, const TimingValues &timing, int kpt, const Drive &drive,
                            const std::string &what)
{
    const CodeTiming codeTiming = kpt == 7 ? CodeTiming::Kpt7() : CodeTiming::Kpt5();
    const auto circuit = BuildDeviceCircuit(model->definition, timing, codeTiming, drive.kind);
    ASSERT_TRUE(circuit.has_value()) << what << ": " << circuit.error().toStdString();

    RunSession session(model);
    RunScenario scenario;
    scenario.timing = timing;
    scenario.kpt = kpt;
    scenario.steps = Steps;
    for (int s = 0; s < Steps; ++s)
        if (s == 0 || drive.perStep[std::size_t(s)] != drive.perStep[std::size_t(s - 1)])
            scenario.keys.append({s + 1, keyFor(drive.kind, drive.perStep[std::size_t(s)])});
    ASSERT_TRUE(session.setUp(scenario, false).has_value()) << what;
    session.start();

    AigSim sim(circuit->aig);
    const RunState &state = session.state();
    for (int s = 0; s < Steps; ++s) {
        ASSERT_TRUE(session.step()) << what;
        const int value = drive.perStep[std::size_t(s)];
        const std::vector<bool> inputs = drive.kind == CircuitInput::Code
                                             ? std::vector<bool>{(value & 1) != 0, (value & 2) != 0}
                                             : std::vector<bool>{value != 0};
        const std::vector<bool> out = sim.step(inputs);
        ASSERT_EQ(out[std::size_t(circuit->inputOutput())], state.now().InputVal[1] != 0) << what << " step " << s + 1;
        for (int i = 1; i <= circuit->elementCount; ++i)
            ASSERT_EQ(out[std::size_t(circuit->elementOutput(i))], state.now().ElemState[i][1] != 0)
                << what << " step " << s + 1 << " element " << i;
        for (int j = 1; j <= circuit->outputCount; ++j)
            ASSERT_EQ(out[std::size_t(circuit->modelOutput(j))], state.now().OutState[j][1] != 0)
                << what << " step " << s + 1 << " output " << j;
    }
}

// A coil fault from a step on: element, kind 1 (break) or 2 (feed).
struct CoilFaultAt
{
    int step = 1;
    int element = 1;
    uint8_t kind = 1;
};

// The device state stepped alone, with the input the run's transmitter
// gives, equals the run at every step; and a copy taken at step forkAt and
// stepped on beside it stays equal to it.
void expectStepperEqualsRun(const SharedModel &model, const TimingValues &timing, const Drive &drive,
                            const CoilFaultAt &fault, int forkAt, const std::string &what)
{
    const auto stepper = DeviceStepper::Make(model->functions, timing);
    ASSERT_TRUE(stepper.has_value()) << what << ": " << stepper.error().toStdString();
    RunSession session(model);
    RunScenario scenario;
    scenario.timing = timing;
    scenario.steps = Steps;
    for (int s = 0; s < Steps; ++s)
        if (s == 0 || drive.perStep[std::size_t(s)] != drive.perStep[std::size_t(s - 1)])
            scenario.keys.append({s + 1, keyFor(drive.kind, drive.perStep[std::size_t(s)])});
    scenario.faults.append({fault.step, fault.element, fault.kind, 0});
    ASSERT_TRUE(session.setUp(scenario, false).has_value()) << what;
    session.start();
    const RunState &state = session.state();
    DeviceState device;
    std::optional<DeviceState> fork;
    DeviceFaults faults;
    for (int s = 1; s <= Steps; ++s) {
        ASSERT_TRUE(session.step()) << what;
        if (s == fault.step)
            (fault.kind == 1 ? faults.breaks : faults.feeds) |= 1u << fault.element;
        if (s == forkAt)
            fork = device;
        const bool input = state.now().InputVal[1] != 0;
        const uint32_t values = stepper->step(device, input, faults);
        if (fork) {
            EXPECT_EQ(stepper->step(*fork, input, faults), values) << what << " step " << s;
            ASSERT_TRUE(*fork == device) << what << " step " << s;
        }
        ASSERT_EQ((values & 1u) != 0, input) << what << " step " << s;
        for (int i = 1; i <= model->functions->elementCount(); ++i) {
            const uint32_t bit = 1u << i;
            ASSERT_EQ((values & bit) != 0, state.now().ElemState[i][1] != 0) << what << " step " << s << " element " << i;
            ASSERT_EQ((device.pickupPending & bit) != 0, state.now().PickupPending[i][1] != 0) << what << " step " << s;
            ASSERT_EQ((device.releasePending & bit) != 0, state.now().ReleasePending[i][1] != 0) << what << " step " << s;
        }
        for (int j = 1; j <= model->functions->outputCount(); ++j)
            ASSERT_EQ((values >> (MaxElements + j) & 1u) != 0, state.now().OutState[j][1] != 0)
                << what << " step " << s << " output " << j;
    }
}

// Codes held for random stretches, from a few steps to a few cycles.
Drive randomCodes(std::mt19937 &random)
{
    Drive drive;
    while (drive.perStep.size() < std::size_t(Steps)) {
        const int code = std::uniform_int_distribution<int>(0, 3)(random);
        const int length = std::uniform_int_distribution<int>(1, 120)(random);
        drive.perStep.insert(drive.perStep.end(), std::size_t(length), code);
    }
    drive.perStep.resize(std::size_t(Steps));
    return drive;
}

Drive randomInput(std::mt19937 &random)
{
    Drive drive{CircuitInput::Free, {}};
    while (drive.perStep.size() < std::size_t(Steps))
        drive.perStep.insert(drive.perStep.end(), std::size_t(std::uniform_int_distribution<int>(1, 12)(random)),
                             std::uniform_int_distribution<int>(0, 1)(random));
    drive.perStep.resize(std::size_t(Steps));
    return drive;
}

} // namespace

TEST(DeviceCircuit, DelayStepsAreThoseOfTheRunsArithmetic)
{
    // 0.055 s is a hair under 5.5 hundredths in single precision: H = 5.
    const struct { float delay; int steps; } rows[] = {
        {0.0f, 1}, {0.004f, 1}, {0.01f, 1}, {0.02f, 2}, {0.05f, 5}, {0.055f, 5}, {0.1f, 10}, {1.0f, 100},
    };
    for (const auto &row : rows)
        EXPECT_EQ(DelaySteps(row.delay), row.steps) << row.delay;
    EXPECT_FALSE(DelaySteps(1e9f).has_value());
}

TEST(DeviceCircuit, EqualsRunsOfTheExamples)
{
    std::mt19937 random(20261208);
    for (const char *name : {"code-present", "decoder", "stick-relay"}) {
        const auto model = LoadSharedModel(QStringLiteral(EXAMPLES_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(model.has_value()) << name;
        const auto timing =
            ReadTimingFile(QStringLiteral(EXAMPLES_DIR "/%1.tim").arg(QLatin1String(name)),
                           (*model)->definition.ElemCount);
        ASSERT_TRUE(timing.has_value()) << name;
        for (const int kpt : {5, 7})
            expectCircuitEqualsRun(*model, *timing, kpt, randomCodes(random),
                                   std::string(name) + " kpt " + std::to_string(kpt));
    }
}

TEST(DeviceCircuit, EqualsRunsOfRandomDevices)
{
    QTemporaryDir dir;
    std::mt19937 random(8122026);
    for (int m = 0; m < 12; ++m) {
        SharedModel model;
        int elements = 0;
        ASSERT_NO_FATAL_FAILURE(loadRandomModel(dir, random, m, model, elements));
        const TimingValues timing = randomTiming(random, elements, Steps);
        const std::string what = "model " + std::to_string(m);
        expectCircuitEqualsRun(model, timing, m % 2 ? 7 : 5, randomCodes(random), what);
        expectCircuitEqualsRun(model, timing, 5, randomInput(random), what + " free input");
    }
}

// КПТШ-5's train of code 1 has 81 states: the start, 23 steps of the 0.23 s
// pulse and 57 of the 0.57 s interval; the next cycle comes back to the
// state after the first step, never to the start. The train of code 2 runs
// 1.60 s and has more.
TEST(DeviceCircuit, TransmitterExplorationStopsAtItsLimit)
{
    for (const auto &[limit, code] : {std::pair{80, "кода 1"}, std::pair{81, "кода 2"}}) {
        const auto machine = TransmitterMachine::Extract(CodeTiming::Kpt5(), limit);
        ASSERT_FALSE(machine.has_value()) << limit;
        EXPECT_TRUE(machine.error().contains(QString::fromUtf8(code))) << machine.error().toStdString();
    }
}

TEST(DeviceStepper, EqualsRunsOfRandomDevicesWithAFault)
{
    QTemporaryDir dir;
    std::mt19937 random(20261209);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int m = 0; m < 12; ++m) {
        SharedModel model;
        int elements = 0;
        ASSERT_NO_FATAL_FAILURE(loadRandomModel(dir, random, m, model, elements));
        const TimingValues timing = randomTiming(random, elements, Steps);
        const CoilFaultAt fault{pick(1, Steps), pick(1, elements), uint8_t(pick(1, 2))};
        const std::string what = "model " + std::to_string(m);
        expectStepperEqualsRun(model, timing, randomCodes(random), fault, pick(1, Steps), what);
        expectStepperEqualsRun(model, timing, randomInput(random), fault, pick(1, Steps), what + " free input");
    }
}
