// A step that waits at a question: it does nothing more until the answer
// comes, a tick meanwhile begins no other step, and once resumed it ends as
// a step that was answered at once.

#include "tests/sim/StepHarness.h"

#include <gtest/gtest.h>

namespace {

struct QuestionCase
{
    const char *name;
    int32_t runLength;
    std::map<int, QString> keys;
    int askedAt;               // the step that stops at the question
    StepOutcome question;
    bool answer;
    int rowsWhileAsked;        // rows out when it stops: the stop comes after its row
    int callsWhileAsked;       // transmitter calls when it stops
    int16_t runActiveAfter;
    int32_t modelingItemAfter;
};

class StepQuestion : public ::testing::TestWithParam<QuestionCase>
{
};

TEST_P(StepQuestion, WaitsThenEndsAsAnsweredAtOnce)
{
    const QuestionCase &c = GetParam();
    StepRun run({{QStringLiteral("А"), QStringLiteral("p")}}, {{QStringLiteral("В"), QStringLiteral("А")}}, {0.0f},
                {0.0f}, c.runLength);
    run.keys = c.keys;
    run.host.transmitter = [](int, int16_t) { return int16_t(1); };
    run.runTo(c.askedAt - 1);
    ++run.stepNumber;
    if (auto key = run.keys.find(run.stepNumber); key != run.keys.end())
        run.state.send(key->second);

    ASSERT_EQ(run.diag.ShowDiag(), c.question);
    EXPECT_TRUE(run.diag.InStep());
    EXPECT_EQ(run.host.rows.size(), c.rowsWhileAsked);
    EXPECT_EQ(run.host.transmitterCalls, c.callsWhileAsked);
    // A tick while the question is open repeats it and changes nothing.
    const int32_t item = run.diag.ModelingItem;
    EXPECT_EQ(run.diag.ShowDiag(), c.question);
    EXPECT_EQ(run.diag.ModelingItem, item);
    EXPECT_EQ(run.host.transmitterCalls, c.callsWhileAsked);

    EXPECT_EQ(run.diag.resume(c.answer), StepOutcome::Done);
    EXPECT_FALSE(run.diag.InStep());
    EXPECT_EQ(run.host.rows.size(), c.askedAt);
    EXPECT_EQ(run.host.transmitterCalls, c.askedAt);
    EXPECT_EQ(run.state.now().RunActive, c.runActiveAfter);
    EXPECT_EQ(run.diag.ModelingItem, c.modelingItemAfter);
    EXPECT_EQ(run.state.now().InputVal[0], 1); // the input of this step, carried
}

const QString Esc(QChar(27));

INSTANTIATE_TEST_SUITE_P(
    Steps, StepQuestion,
    ::testing::Values(
        // The count passes the run length before anything else of the step.
        QuestionCase{"ContinueYes", 5, {}, 6, StepOutcome::AskContinue, true, 5, 5, FlagTrue, 1},
        QuestionCase{"ContinueNo", 5, {}, 6, StepOutcome::AskContinue, false, 5, 5, FlagFalse, 6},
        // The message and the fault dialog come before the transmitter.
        QuestionCase{"Message", 100, {{3, QStringLiteral("1")}}, 3, StepOutcome::ShowMessage, true, 2, 2, FlagTrue, 3},
        QuestionCase{"Faults", 100, {{4, QStringLiteral("F")}}, 4, StepOutcome::EditFaults, true, 3, 3, FlagTrue, 4},
        // The stop waits for the tenth step, after its row.
        QuestionCase{"EndOfRun", 100, {{7, Esc}}, 10, StepOutcome::EndOfRun, true, 10, 10, FlagTrue, 10}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
