// Pickup and release delays, faults and the change diagram, step by step.
// Traces are one character per step for an element's cell:
//   .  off (│)   +  on (░)   #  pickup pending (█)   %  release pending (▓)

#include "sim/DiagramRow.h"
#include "tests/sim/StepHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

char traceChar(char glyph)
{
    switch (glyph) {
    case Glyph::Off: return '.';
    case Glyph::On: return '+';
    case Glyph::PickupPending: return '#';
    case Glyph::ReleasePending: return '%';
    default: return '?';
    }
}

// The trace of cell `cell` (0 the input) over every row recorded so far.
QByteArray cell(char glyph) { return glyph + QByteArray(CellWidth - 1, ' '); }

std::string trace(const RecordingHost &host, int index)
{
    std::string out;
    for (const auto &[step, row] : host.rows)
        out += traceChar(row.at(index * CellWidth));
    return out;
}

// The input of step n, from a string of '0' and '1' (the last one repeats).
RecordingHost::Transmitter inputPattern(std::string pattern)
{
    return [pattern](int call, int16_t) {
        const size_t at = std::min<size_t>(size_t(call - 1), pattern.size() - 1);
        return int16_t(pattern[at] == '1');
    };
}

struct DelayCase
{
    const char *name;
    float tpr;
    float totp;
    std::string input;    // per step, the last value repeats
    std::string expected; // element trace per step
};

class DelayTable : public testing::TestWithParam<DelayCase> {};

TEST_P(DelayTable, ElementCellFollowsTheDelays)
{
    const DelayCase &c = GetParam();
    StepRun run({{QStringLiteral("А"), QStringLiteral("p")}}, {}, {c.tpr}, {c.totp});
    run.host.transmitter = inputPattern(c.input);
    run.runTo(int(c.expected.size()));
    EXPECT_EQ(trace(run.host, 1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Step, DelayTable,
    testing::Values(
        // Excited from step 1: down at steps 1 to 5, up from 6.
        DelayCase{"Pickup5", 0.05f, 0.01f, "1", "#####+++"},
        // A zero time still costs one step.
        DelayCase{"PickupZero", 0.0f, 0.01f, "1", "#+++"},
        DelayCase{"PickupBelowHalfStep", 0.004f, 0.01f, "1", "#+++"},
        // 0.055 s is 5 whole steps in single precision.
        DelayCase{"PickupRoundsToSteps", 0.055f, 0.01f, "1", "#####+++"},
        // 0.10 s pickup abandoned after 6 steps: never up.
        DelayCase{"PickupAbandoned", 0.10f, 0.01f, "1111110", "######......"},
        // Up from step 2, de-excited at step 11: up to 30, down from 31.
        DelayCase{"Release20", 0.0f, 0.20f, "1111111111" "0",
                  "#+++++++++" "%%%%%%%%%%" "%%%%%%%%%%" "...."},
        // A release cut short by renewed excitation starts from zero next time.
        DelayCase{"ReleaseRestartsFromZero", 0.0f, 0.05f, "11111" "000" "1" "0",
                  "#++++" "%%%" "+" "%%%%%" "..."},
        // Times far out of range keep the arithmetic finite: a huge one never
        // runs out, a negative one acts as zero.
        DelayCase{"PickupHuge", 1e30f, 0.01f, "1", "########"},
        DelayCase{"PickupNegative", -1.0f, 0.01f, "1", "#+++"},
        // An abandoned pickup starts from zero next time.
        DelayCase{"PickupRestartsFromZero", 0.03f, 0.01f, "11" "0" "1",
                  "##" "." "###" "+"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Step, AbandonedPickupClearsItsTimer)
{
    StepRun run({{QStringLiteral("А"), QStringLiteral("p")}}, {}, {0.10f}, {0.01f});
    run.host.transmitter = inputPattern("1111110");
    run.runTo(6);
    EXPECT_EQ(std::floor(100.0 * double(run.state.now().PickupTimer[1]) + 0.5), 5.0);
    run.step();
    EXPECT_EQ(run.state.now().PickupTimer[1], 0.0f);
    EXPECT_EQ(run.state.now().PickupPending[1][1], 0);
}

struct FaultCase
{
    const char *name;
    const char *function;
    float tpr;
    float totp;
    std::string input;
    std::map<int, uint8_t> faults; // fault set just before the step
    std::string expected;
};

class FaultTable : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultTable, FaultOverridesTheFunctionButKeepsTheDelays)
{
    const FaultCase &c = GetParam();
    StepRun run({{QStringLiteral("А"), QString::fromUtf8(c.function)}}, {}, {c.tpr}, {c.totp});
    run.host.transmitter = inputPattern(c.input);
    for (const auto &[step, fault] : c.faults)
        run.before[step] = [&run, fault = fault] { run.state.setFault(1, FaultOfKind(fault)); };
    run.runTo(int(c.expected.size()));
    EXPECT_EQ(trace(run.host, 1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Step, FaultTable,
    testing::Values(
        // Always excited (an empty function); a break at step 5 releases it
        // after 0.03 s, normal operation at 12 lets it pick up again.
        FaultCase{"BreakThenNormal", "", 0.0f, 0.03f, "0", {{5, 1}, {12, 0}},
                  "#+++" "%%%" "...." "#++"},
        // Never excited (input 0); extra feeding at step 3 picks it up after 0.02 s.
        FaultCase{"Feed", "p", 0.02f, 0.01f, "0", {{3, 2}}, ".." "##" "+++"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Step, FaultCommandOpensTheDialogAndRestoresTheCommand)
{
    StepRun run({{QStringLiteral("А"), QString()}}, {}, {0.0f}, {0.03f});
    run.host.onFaults = [&run] { run.state.setFault(1, Fault::Break); };
    run.keys = {{1, QStringLiteral("1")}, {5, QStringLiteral("F")}};
    run.runTo(10);
    EXPECT_EQ(run.host.faultDialogs, 1);
    EXPECT_EQ(run.state.now().KeyCmd, QStringLiteral("1"));
    EXPECT_EQ(trace(run.host, 1), "#+++" "%%%" "...");
    // Only the message of "1": the fault message waits for a silent key.
    ASSERT_EQ(run.host.messages.size(), 1);
}

TEST(Step, ChangeDiagramWritesRowsOnlyWhenSomethingChanges)
{
    StepRun run({{QStringLiteral("А"), QStringLiteral("p")}}, {}, {0.02f}, {0.01f});
    run.state.ChangeMode = FlagTrue;
    run.keys[1] = QStringLiteral("1");
    run.runTo(30);
    // Step 1: input and excitation rise, pickup pending. Step 2: nothing
    // changes. Step 3: the element picks up. Then the device is stable.
    const QList<std::pair<int, QByteArray>> expected = {
        {1, cell(Glyph::On) + cell(Glyph::PickupPending) + "0,01"},
        {3, cell(Glyph::On) + cell(Glyph::On) + "0,03"},
    };
    EXPECT_EQ(run.host.rows, expected);
}

TEST(Step, TimingDiagramWritesEveryStepWithALabelOnEveryTenth)
{
    StepRun run({{QStringLiteral("А"), QStringLiteral("p")}}, {}, {0.02f}, {0.01f});
    run.runTo(30);
    const std::map<int, QByteArray> labels = {{10, "0,10"}, {20, "0,20"}, {30, "0,30"}};
    ASSERT_EQ(run.host.rows.size(), 30);
    for (const auto &[step, row] : run.host.rows) {
        const auto label = labels.find(step);
        EXPECT_EQ(row, cell(Glyph::Off) + cell(Glyph::Off) + (label == labels.end() ? QByteArray() : label->second))
            << "step " << step;
    }
}

} // namespace
