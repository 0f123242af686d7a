// The run around the device: step count, model time, commands and their
// messages, the stop, the transmitter and the guard against nested steps.

#include "sim/Commands.h"
#include "sim/DiagramRow.h"
#include "tests/sim/StepHarness.h"
#include "tests/support/PoseSignals.h"
#include "vesk/CodeTransmitter.h"

#include <gtest/gtest.h>

namespace {

const QString ConstOne = QStringLiteral("На входе постоянно 1. Возврат A");
const QString ConstZero = QStringLiteral("На входе постоянно 0. Возврат A");
const QString Unknown = QStringLiteral("Неизвестная комбинация");
const QString Esc(QChar(27));

StepRun makeRun(int32_t runLength = 100000)
{
    return StepRun({{QStringLiteral("А"), QStringLiteral("p")}}, {{QStringLiteral("В"), QStringLiteral("А")}},
                   {0.0f}, {0.0f}, runLength);
}

TEST(Step, ContinuationIsAskedAfterRunLengthAndAgainAfterRunLengthMore)
{
    StepRun run = makeRun(100);
    run.host.continueAnswers = {true, false};
    run.runTo(100);
    EXPECT_EQ(run.host.continueQuestions, 0);
    run.step(); // 101
    EXPECT_EQ(run.host.continueQuestions, 1);
    EXPECT_EQ(run.diag.ModelingItem, 1);
    // Labels follow ModelingItem: step 110 is its 10th row after the Yes.
    run.runTo(110);
    EXPECT_TRUE(run.host.rows.last().second.endsWith("1,10"));
    EXPECT_EQ(run.host.rows[100].second.size(), 3 * CellWidth); // step 101: no label
    run.runTo(200);
    EXPECT_EQ(run.host.continueQuestions, 1);
    // The 100th step after the Yes asks again; No ends the run but the step
    // still finishes and its row still goes out.
    run.step(); // 201
    EXPECT_EQ(run.host.continueQuestions, 2);
    EXPECT_EQ(run.state.now().RunActive, FlagFalse);
    EXPECT_EQ(run.host.rows.last().first, 201);
    EXPECT_EQ(run.host.transmitterCalls, 201);
    // A tick after the end does no step: InitModel only.
    run.step();
    EXPECT_EQ(run.host.transmitterCalls, 201);
    EXPECT_EQ(run.host.rows.size(), 201);
    EXPECT_EQ(run.diag.ModelingItem, 0);
    EXPECT_EQ(run.host.timerEnables, 1);
}

TEST(Step, ModelTimeWrapsAtOneHundredSeconds)
{
    struct Case { float before; float after; QByteArray label; };
    // 99.99f + 0.01f rounds to exactly 100 in single precision; 99.98f + 0.01f
    // stays below.
    const Case cases[] = {{99.99f, 0.0f, "0,00"}, {99.98f, 99.99000549f, "99,99"}, {0.0f, 0.01f, "0,01"}};
    for (const Case &c : cases) {
        StepRun run = makeRun();
        PoseSignals(run.state, [&c](RunSignals &now) { now.ModelTime = c.before; });
        run.diag.ModelingItem = 9; // the next row carries a label
        run.step();
        EXPECT_EQ(run.state.now().ModelTime, c.after) << c.before;
        EXPECT_TRUE(run.host.rows.last().second.endsWith(c.label)) << c.before;
    }
}

TEST(Step, EscStopsAtTheNextMultipleOfTen)
{
    struct Case { int escAt; int stopAt; };
    for (const Case c : {Case{23, 30}, Case{40, 40}, Case{57, 60}, Case{1, 10}}) {
        StepRun run = makeRun();
        run.keys[c.escAt] = Esc;
        int16_t stopFlagAtEntry = -2;
        run.host.onEndOfRun = [&] {
            stopFlagAtEntry = run.diag.StopRequested;
            EXPECT_TRUE(run.state.now().KeyCmd.isEmpty());
            EXPECT_TRUE(run.diag.LastKey.isEmpty());
        };
        run.runTo(c.stopAt + 25);
        EXPECT_EQ(run.host.endOfRunSteps, QList<int>{c.stopAt}) << c.escAt;
        EXPECT_EQ(stopFlagAtEntry, FlagFalse);
        // "ESC" once; the emptied command brings no message afterwards.
        const QList<RecordingHost::Message> expected = {{c.escAt, QStringLiteral("ESC")}};
        EXPECT_EQ(run.host.messages, expected) << c.escAt;
    }
}

struct CommandCase
{
    const char *name;
    std::map<int, QString> keys;
    QList<RecordingHost::Message> messages;
    int16_t finalInput;  // InputVal(1) at the last step
    int16_t finalNkod;
};

class CommandTable : public testing::TestWithParam<CommandCase> {};

// The transmitter of these runs outputs 1 for any code but 0, so the input
// shows whether it comes from the transmitter or from a constant.
TEST_P(CommandTable, MessagesOncePerChange)
{
    const CommandCase &c = GetParam();
    StepRun run = makeRun();
    run.host.transmitter = [](int, int16_t Nkod) { return int16_t(Nkod != 0); };
    run.keys = c.keys;
    run.runTo(20);
    EXPECT_EQ(run.host.messages, c.messages);
    EXPECT_EQ(run.state.now().InputVal[1], c.finalInput);
    EXPECT_EQ(run.diag.Nkod, c.finalNkod);
    EXPECT_EQ(run.host.transmitterCalls, 20);
}

const QString S(const char *utf8) { return QString::fromUtf8(utf8); }

INSTANTIATE_TEST_SUITE_P(
    Step, CommandTable,
    testing::Values(
        CommandCase{"NoKeyNoMessage", {}, {}, 0, 0},
        CommandCase{"OneTwice", {{3, S("1")}, {8, S("1")}}, {{3, ConstOne}}, 1, 0},
        CommandCase{"SilentKeyRepeatsTheOldMessage", {{3, S("1")}, {8, S("q")}}, {{3, ConstOne}, {8, ConstOne}}, 1, 0},
        CommandCase{"Enter", {{3, S("\r")}}, {{3, Unknown}}, 0, 0},
        CommandCase{"EmptiedCommand", {{3, S("0")}, {8, QString()}}, {{3, ConstZero}, {8, Unknown}}, 0, 0},
        CommandCase{"LowerCaseIsAnotherKey", {{3, S("1")}, {8, S("Q")}}, {{3, ConstOne}, {8, Unknown}}, 1, 0},
        // "!" under a constant: the code changes, the input stays constant,
        // and after "a" the transmitter's input is used with code 1.
        CommandCase{"CodeUnderConstant", {{3, S("0")}, {6, S("!")}, {12, S("a")}},
                    {{3, ConstZero}, {6, S("Код 1")}, {12, S("Код  1")}}, 1, 1},
        CommandCase{"CodeUnderConstantStaysConstant", {{3, S("0")}, {6, S("!")}}, {{3, ConstZero}, {6, S("Код 1")}}, 0, 1},
        CommandCase{"CodeKeys", {{2, S("@")}, {4, S("#")}, {6, S(")")}, {8, S("!")}},
                    {{2, S("Код 2")}, {4, S("Код 3")}, {6, S("Нет кода")}, {8, S("Код 1")}}, 1, 1},
        CommandCase{"CyrillicTransmitterKey", {{3, S("1")}, {5, S("@")}, {9, S("ф")}},
                    {{3, ConstOne}, {5, S("Код 2")}, {9, S("Код  2")}}, 1, 2},
        CommandCase{"CapitalTransmitterKeys", {{3, S("1")}, {5, S("A")}, {7, S("Ф")}},
                    {{3, ConstOne}, {5, S("Код  0")}, {7, S("Код  0")}}, 0, 0},
        // The fault commands bring back the previous command and no message;
        // a silent key shows the fault message afterwards.
        CommandCase{"FaultAfterSilentKey", {{3, S("q")}, {6, S("F")}, {10, S("w")}},
                    {{3, Unknown}, {10, S("Задана неисправность")}}, 0, 0},
        // A restored command with a message of its own sets it again at the
        // next step, so the fault message is lost.
        CommandCase{"FaultAfterConstant", {{3, S("1")}, {6, S("F")}, {10, S("w")}},
                    {{3, ConstOne}, {10, ConstOne}}, 1, 0},
        CommandCase{"CyrillicFaultKeys", {{3, S("а")}, {6, S("А")}, {10, S("l")}}, {{10, Unknown}}, 0, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Step, TransmitterMessageShowsANegativeCodeWithItsSign)
{
    StepRun run = makeRun();
    run.diag.Nkod = -1;
    run.keys[2] = QStringLiteral("a");
    run.runTo(3);
    const QList<RecordingHost::Message> expected = {{2, QStringLiteral("Код -1")}};
    EXPECT_EQ(run.host.messages, expected);
    EXPECT_EQ(run.host.codesSeen.last(), -1); // passed on unchanged
}

TEST(Step, TransmitterRunsOnUnderAConstantInput)
{
    // Code 1 of the standard timing: 23 steps 1, 57 steps 0, period 80.
    // The input is held at 1 for steps 1 to 100; at 101 "a" hands back to a
    // train that has run on underneath: step 101 is step 21 of its cycle.
    for (const bool held : {true, false}) {
        StepRun run = makeRun();
        CodeTransmitter transmitter;
        AttachTransmitter(run.host, transmitter);
        run.diag.Nkod = 1;
        if (held)
            run.keys = {{1, QStringLiteral("1")}, {101, QStringLiteral("a")}};
        std::string input;
        run.runTo(100);
        for (int k = 101; k <= 105; ++k) {
            run.step();
            input += char('0' + run.state.now().InputVal[1]);
        }
        EXPECT_EQ(input, "11100") << "held " << held;
        EXPECT_EQ(run.host.transmitterCalls, 105);
    }
}

TEST(Step, NestedTickDuringADialogDoesNothing)
{
    StepRun run = makeRun();
    int nestedCalls = 0;
    auto tick = [&] {
        const int32_t item = run.diag.ModelingItem;
        const int calls = run.host.transmitterCalls;
        EXPECT_TRUE(run.diag.InStep());
        run.diag.ShowDiag();
        ++nestedCalls;
        EXPECT_EQ(run.diag.ModelingItem, item);
        EXPECT_EQ(run.host.transmitterCalls, calls);
    };
    run.host.onMessage = tick;
    run.host.onEndOfRun = tick;
    run.host.onFaults = tick;
    run.keys = {{3, QStringLiteral("1")}, {5, QStringLiteral("F")}, {7, Esc}};
    run.runTo(12);
    EXPECT_EQ(nestedCalls, 4); // "1", the fault dialog, "ESC", the stop at 10
    EXPECT_EQ(run.host.rows.size(), 12);
    EXPECT_EQ(run.host.transmitterCalls, 12);
    EXPECT_FALSE(run.diag.InStep());
}

TEST(Step, RestartKeepsFaultsCodeAndConstantInput)
{
    StepRun run = makeRun();
    run.keys[1] = QStringLiteral("1");
    run.diag.Nkod = 2;
    run.runTo(15);
    run.state.setFault(1, Fault::Break);
    run.diag.Restart();
    EXPECT_EQ(run.diag.ModelingItem, 0);
    EXPECT_EQ(run.state.now().ModelTime, 0.0f);
    EXPECT_EQ(run.state.now().ElemState[1][0], 0);
    EXPECT_EQ(run.state.now().Excit[1][0], 0);
    EXPECT_EQ(run.state.now().OutState[1][0], 0);
    EXPECT_EQ(run.state.now().InputVal[0], 0);
    EXPECT_EQ(run.state.now().ElemFault[1], Fault::Break);
    EXPECT_EQ(run.diag.Nkod, 2);
    // From rest again: the input rises anew at the first step after it.
    run.step();
    EXPECT_EQ(run.diag.RowDue, 1);
    EXPECT_EQ(run.state.now().InputVal[1], 1);
}

TEST(Commands, TableMatchesExactlyAndCaseSensitively)
{
    struct Case { QString key; CommandKind kind; int16_t code; };
    const Case cases[] = {
        {S("1"), CommandKind::ConstantOne, 0}, {S("0"), CommandKind::ConstantZero, 0},
        {S("r"), CommandKind::Silent, 0}, {S("o"), CommandKind::Silent, 0},
        {S("a"), CommandKind::FromTransmitter, 0}, {S("ф"), CommandKind::FromTransmitter, 0},
        {S("F"), CommandKind::Fault, 0}, {S("А"), CommandKind::Fault, 0},
        {S("f"), CommandKind::Silent, 0}, {S("#"), CommandKind::SetCode, 3},
        {S(")"), CommandKind::SetCode, 0}, {Esc, CommandKind::Escape, 0},
        {S("11"), CommandKind::Unknown, 0}, {QString(), CommandKind::Unknown, 0},
        {S("R"), CommandKind::Unknown, 0}, {S("Ф "), CommandKind::Unknown, 0},
    };
    for (const Case &c : cases) {
        const Command command = InterpretCommand(c.key);
        EXPECT_EQ(command.kind, c.kind) << c.key.toStdString();
        EXPECT_EQ(command.code, c.code) << c.key.toStdString();
    }
}

} // namespace
