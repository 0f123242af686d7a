// A recorded run of an example against the steps worked out for it: the
// constant input from step 50 brings КОД up on steps 56-114, and a break on
// ИП before step 200 shows on its fault lane.

#include "sim/RunRecording.h"
#include "tests/support/ExampleRun.h"

#include <gtest/gtest.h>

namespace {

using Runs = std::vector<std::pair<uint32_t, uint8_t>>;

int laneOf(const RunRecording &recording, const QString &name, RunRecording::LaneKind kind)
{
    for (size_t k = 0; k < recording.lanes().size(); ++k)
        if (recording.lanes()[k].name == name && recording.lanes()[k].kind == kind)
            return int(k);
    return -1;
}

Runs runsOf(const RunRecording::Lane &lane)
{
    Runs runs;
    for (size_t k = 0; k < lane.steps.size(); ++k)
        runs.emplace_back(lane.steps[k], lane.values[k]);
    return runs;
}

TEST(RunRecording, KeepsTheStepsOfAnExample)
{
    RunScenario scenario;
    scenario.steps = 200;
    scenario.keys = {{50, QStringLiteral("1")}};
    scenario.faults = {{200, 2, 1}};
    RunRecording recording;
    RunExample(QStringLiteral("code-present"), scenario, [&](qint64 step, const RunState &state) {
        if (step == 0)
            recording.begin(state);
        else
            recording.record(state);
    });

    using Kind = RunRecording::LaneKind;
    const struct
    {
        const char *name;
        Kind kind;
        Runs runs;
    } lanes[] = {
        {"p", Kind::Input, {{0, 0}, {50, 1}}},
        {"КОД", Kind::Output, {{0, 0}, {56, 1}, {115, 0}}},
        {"ИП", Kind::Fault, {{0, 0}, {200, 1}}},
        {"И", Kind::Fault, {{0, 0}}},
    };
    for (const auto &expected : lanes) {
        const int lane = laneOf(recording, QString::fromUtf8(expected.name), expected.kind);
        ASSERT_GE(lane, 0) << expected.name;
        EXPECT_EQ(runsOf(recording.lanes()[size_t(lane)]), expected.runs) << expected.name;
    }
    EXPECT_EQ(recording.lastStep(), 200);
    // The input, 4 elements, 1 output, 3 lanes per element.
    EXPECT_EQ(recording.lanes().size(), 1u + 4 + 1 + 3 * 4);

    ASSERT_EQ(recording.marks().size(), 2u);
    EXPECT_EQ(recording.marks()[0].step, 50);
    EXPECT_EQ(recording.marks()[0].text, QStringLiteral("Команда «1»"));
    EXPECT_EQ(recording.marks()[1].step, 200);
    EXPECT_EQ(recording.marks()[1].kind, RunRecording::Mark::Kind::Fault);
    EXPECT_EQ(recording.marks()[1].text, QStringLiteral("ИП: обрыв питания"));

    // Moving between the changes of КОД, as the arrow keys do.
    const int kod = laneOf(recording, QStringLiteral("КОД"), Kind::Output);
    const struct
    {
        qint64 from, next, previous;
        int value;
    } moves[] = {{0, 56, -1, 0}, {55, 56, -1, 0}, {56, 115, -1, 1}, {57, 115, 56, 1},
                 {115, -1, 56, 0}, {150, -1, 115, 0}, {999, -1, 115, 0}};
    for (const auto &m : moves) {
        EXPECT_EQ(recording.nextChange(kod, m.from), m.next) << m.from;
        EXPECT_EQ(recording.previousChange(kod, m.from), m.previous) << m.from;
        EXPECT_EQ(recording.valueAt(kod, m.from), m.value) << m.from;
    }
}

} // namespace
