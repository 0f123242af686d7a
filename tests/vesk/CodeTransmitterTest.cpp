#include "tests/vesk/TrainRuns.h"
#include "vesk/CodeTransmitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numeric>

namespace {

using Prepare = std::function<void(CodeTransmitter &)>;

void kpt5(CodeTransmitter &) {}
void kpt7(CodeTransmitter &t) { t.Set7(); }

struct Train
{
    const char *name;
    Prepare setup;
    int16_t code;
    std::vector<int> lengths; // pulse, interval, pulse, ... of one cycle, in steps
};

// Steps of 0.01 s: every pulse and interval lasts its time / 0.01 steps, and
// the first call of a cycle is already the first step of its first pulse.
const Train Trains[] = {
    {"kpt5_code1", kpt5, 1, {23, 57}},
    {"kpt5_code2", kpt5, 2, {38, 12, 38, 72}},
    {"kpt5_code3", kpt5, 3, {35, 12, 22, 12, 22, 57}},
    {"kpt7_code1", kpt7, 1, {30, 65}},
    {"kpt7_code2", kpt7, 2, {35, 17, 52, 81}},
    {"kpt7_code3", kpt7, 3, {35, 12, 25, 12, 25, 81}},
    // Step 0.02 s: 0.22 is the last multiple within 0.23; the interval runs
    // 0.02 .. 0.56, and the step that reaches 0.58 starts the next pulse.
    {"kpt5_code1_step002", [](CodeTransmitter &t) { t.setStep(0.02f); }, 1, {11, 28}},
    // A thousand additions of 0.01 would drift off 10 s without the snapping.
    {"long_pair_no_drift",
     [](CodeTransmitter &t) {
         t.Timing.TimpKV = 10.0f;
         t.Timing.TintKV = 7.0f;
     },
     1, {1000, 700}},
    // A pulse shorter than a step never shows: the interval of the first
    // pair runs straight on into that of the second.
    {"pulse_shorter_than_step", [](CodeTransmitter &t) { t.Timing.TimpZ2 = 0.004f; }, 3, {35, 24, 22, 57}},
};

void PrintTo(const Train &t, std::ostream *os) { *os << t.name; }

class TrainTest : public testing::TestWithParam<Train>
{
};

TEST_P(TrainTest, RepeatsItsCycle)
{
    const Train &train = GetParam();
    CodeTransmitter t;
    train.setup(t);
    constexpr int Cycles = 4;
    const int steps = Cycles * std::accumulate(train.lengths.begin(), train.lengths.end(), 0);
    EXPECT_EQ(stepRuns(t, {{train.code, steps}}), repeatedTrain(train.lengths, Cycles));
}

INSTANTIATE_TEST_SUITE_P(Codes, TrainTest, testing::ValuesIn(Trains),
                         [](const auto &info) { return std::string(info.param.name); });

struct Sequence
{
    const char *name;
    Prepare setup;
    std::vector<std::pair<int16_t, int>> segments; // (code, calls)
    std::vector<OutputRun> expected;
};

const Sequence Sequences[] = {
    {"no_code_freezes_pulse", kpt5, {{1, 10}, {0, 5}, {1, 93}}, {{1, 10}, {0, 5}, {1, 13}, {0, 57}, {1, 23}}},
    {"no_code_freezes_interval",
     kpt5,
     {{2, 45}, {0, 3}, {2, 115}},
     {{1, 38}, {0, 7 + 3 + 5}, {1, 38}, {0, 72}}},
    // Code 1 ends a cycle at call 81 and leaves the shared cycle flag set:
    // the first cycle of code 2 or 3 ends as soon as its last pair starts,
    // on a step that outputs 1, and starts over.
    {"kzh_carry_over_into_zh",
     kpt5,
     {{1, 81}, {2, 370}},
     {{1, 23}, {0, 57}, {1, 1 + 38}, {0, 12}, {1, 38}, {0, 12}, {1, 38}, {0, 72}, {1, 38}, {0, 12}, {1, 38},
      {0, 72}}},
    {"kzh_carry_over_into_z",
     kpt5,
     {{1, 81}, {3, 401}},
     {{1, 23}, {0, 57}, {1, 1 + 35}, {0, 12}, {1, 22}, {0, 12}, {1, 35}, {0, 12}, {1, 22}, {0, 12}, {1, 22},
      {0, 57}, {1, 35}, {0, 12}, {1, 22}, {0, 12}, {1, 22}, {0, 57}}},
    // One call less and code 1 has not ended its pair: nothing carries over.
    {"kzh_without_carry_over", kpt5, {{1, 80}, {2, 160}}, {{1, 23}, {0, 57}, {1, 38}, {0, 12}, {1, 38}, {0, 72}}},
    // Each code keeps its own registers: code 1 goes on where it was left.
    {"codes_resume_where_left",
     kpt5,
     {{1, 20}, {2, 40}, {1, 10}},
     {{1, 20 + 38}, {0, 2}, {1, 3}, {0, 7}}},
    {"degenerate_pair_outputs_zero",
     [](CodeTransmitter &t) {
         t.Wuhod = 1;
         t.Timing.TimpKV = 0.004f;
         t.Timing.TintKV = 0.004f;
     },
     {{1, 50}},
     {{0, 50}}},
    {"negative_pair_outputs_zero",
     [](CodeTransmitter &t) {
         t.Wuhod = 1;
         t.Timing.TimpKV = -1.0f;
         t.Timing.TintKV = -1.0f;
     },
     {{1, 50}},
     {{0, 50}}},
    // The first pair has neither a pulse nor an interval of a step: it ends
    // at once each cycle. The call that ends a cycle outputs 1 as the first
    // step of the next first pulse, which here falls to the second pulse.
    {"degenerate_first_pair",
     [](CodeTransmitter &t) {
         t.Timing.TimpV1 = 0.005f;
         t.Timing.TintV1 = 0.005f;
     },
     {{2, 38 + 72 + 39 + 72 + 39 + 72}},
     {{1, 38}, {0, 72}, {1, 39}, {0, 72}, {1, 39}, {0, 72}}},
    {"set5_keeps_cycle_state",
     [](CodeTransmitter &t) {
         t.WhodKod(1);
         t.setStep(0.05f);
         t.Set5();
     },
     {{1, 79}},
     {{1, 22}, {0, 57}}},
};

void PrintTo(const Sequence &s, std::ostream *os) { *os << s.name; }

class SequenceTest : public testing::TestWithParam<Sequence>
{
};

TEST_P(SequenceTest, GivesTheTrain)
{
    const Sequence &s = GetParam();
    CodeTransmitter t;
    s.setup(t);
    EXPECT_EQ(stepRuns(t, s.segments), s.expected);
}

INSTANTIATE_TEST_SUITE_P(Switching, SequenceTest, testing::ValuesIn(Sequences),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CodeTransmitterTest, BadCodesChangeNothing)
{
    for (int16_t code : {int16_t(4), int16_t(-1), int16_t(32767)}) {
        CodeTransmitter t;
        t.WhodKod(1); // output 1, one step into the pulse
        EXPECT_EQ(t.WhodKod(code), CodeTransmitter::Status::BadCode) << code;
        EXPECT_EQ(t.Wuhod, 1) << code;
        // The pulse still has its 22 remaining steps.
        EXPECT_EQ(stepRuns(t, {{1, 79}}), (std::vector<OutputRun>{{1, 22}, {0, 57}})) << code;
    }
}

struct StepCase
{
    float seconds;
    CodeTransmitter::Status status;
    int16_t stepsPerSec;
};

TEST(CodeTransmitterTest, StepAndItsReciprocal)
{
    using S = CodeTransmitter::Status;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const StepCase cases[] = {
        {0.02f, S::Ok, 50},
        {0.4f, S::Ok, 2},           // 2.5: ties go to the even neighbour
        {2.0f, S::Ok, 0},           // 0.5 likewise
        {-0.4f, S::Ok, -2},
        {-1.0f / 32768, S::Ok, -32768},
        {0.0f, S::DivisionByZero, 100},
        {1.0f / 32768, S::Overflow, 100},
        {0.00003f, S::Overflow, 100},
        {-0.00003f, S::Overflow, 100},
        {nan, S::Overflow, 100},
    };
    for (const StepCase &c : cases) {
        CodeTransmitter t;
        EXPECT_EQ(t.setStep(c.seconds), c.status) << c.seconds;
        // The step holds the new value even when the reciprocal failed.
        if (std::isnan(c.seconds))
            EXPECT_TRUE(std::isnan(t.step()));
        else
            EXPECT_EQ(t.step(), c.seconds);
        EXPECT_EQ(t.stepsPerSec(), c.stepsPerSec) << c.seconds;
    }
}

TEST(CodeTransmitterTest, SetsRestoreTheStep)
{
    CodeTransmitter t;
    t.setStep(0.05f);
    t.Timing.TimpKV = 1;
    t.Set7();
    EXPECT_EQ(t.step(), 0.01f);
    EXPECT_EQ(t.Timing, CodeTiming::Kpt7());
    t.setStep(0.0f);
    t.Set5();
    EXPECT_EQ(t.step(), 0.01f);
    EXPECT_EQ(t.stepsPerSec(), 100);
    EXPECT_EQ(t.Timing, CodeTiming::Kpt5());
}

TEST(CodeTransmitterTest, ArithmeticOutOfRangeIsAFloatError)
{
    using S = CodeTransmitter::Status;
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<const char *, Prepare> cases[] = {
        {"step of 2.5 s: no steps per second", [](CodeTransmitter &t) { t.setStep(2.5f); }},
        {"infinite step", [inf](CodeTransmitter &t) { t.setStep(inf); }},
        {"nan pulse", [](CodeTransmitter &t) { t.Timing.TimpKV = std::nanf(""); }},
        {"infinite interval", [inf](CodeTransmitter &t) { t.Timing.TintKV = inf; }},
    };
    for (const auto &[name, setup] : cases) {
        CodeTransmitter t;
        setup(t);
        EXPECT_EQ(t.WhodKod(1), S::FloatError) << name;
        EXPECT_EQ(t.WhodKod(0), S::Ok) << name;
        EXPECT_EQ(t.Wuhod, 0) << name;
    }
}

TEST(CodeTimingTest, ProductIsZero)
{
    CodeTiming t = CodeTiming::Kpt5();
    EXPECT_FALSE(t.productIsZero());
    t.TintV2 = 0;
    EXPECT_TRUE(t.productIsZero());
    auto allOf = [](float v) { return CodeTiming::fromValues({v, v, v, v, v, v, v, v, v, v, v, v}); };
    EXPECT_TRUE(allOf(0.0001f).productIsZero());  // 1e-48 is below the smallest single
    EXPECT_FALSE(allOf(0.001f).productIsZero());  // 1e-36 is still a single
    EXPECT_FALSE(allOf(1e10f).productIsZero());   // far above the single range: not zero
}

} // namespace

// A run forked from another one's cycle must go on exactly as the original
// does, whichever codes follow, and a cycle one step on is a different value.
TEST(CodeTransmitterTest, ACycleRestoredGoesOnAsTheOriginal)
{
    for (const Prepare &prepare : {Prepare(kpt5), Prepare(kpt7)}) {
        CodeTransmitter original;
        prepare(original);
        const int16_t prefix[] = {3, 3, 2, 1, 1, 3, 0, 2};
        for (int i = 0; i < 400; ++i)
            original.WhodKod(prefix[(i / 37) % 8]);

        CodeTransmitter fork;
        prepare(fork);
        EXPECT_NE(fork.cycle(), original.cycle());
        fork.setCycle(original.cycle());
        ASSERT_EQ(fork.cycle(), original.cycle());

        const CodeTransmitter::Cycle before = original.cycle();
        for (int i = 0; i < 600; ++i) {
            const int16_t code = int16_t((i / 23 + i / 61) % 4);
            original.WhodKod(code);
            fork.WhodKod(code);
            ASSERT_EQ(fork.Wuhod, original.Wuhod) << "step " << i;
            ASSERT_EQ(fork.cycle(), original.cycle()) << "step " << i;
        }
        EXPECT_NE(original.cycle(), before);
    }
}
