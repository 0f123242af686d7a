#include "model/CompiledFunctions.h"
#include "tests/model/LiteralFunctions.h"

#include <QStringList>

#include <functional>

#include <gtest/gtest.h>

namespace {

enum class Kind { Element, Output };

// One input combination: the device input, the contact states of the four
// elements, and the value expected of the function under test.
struct Row
{
    int p, e1, e2, e3, e4;
    int expected;
};

struct Case
{
    Kind kind;
    QString function; // of element 1 or output 1; other functions are empty
    std::vector<Row> rows;
    QStringList names = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"), QStringLiteral("Г")};
};

using Evaluator = std::function<void(RunState &, Kind)>;

void setFunction(int16_t &termCount, QString *terms, const QString &function)
{
    const QStringList parts = function.split(u'+');
    termCount = int16_t(parts.size());
    for (int t = 1; t <= termCount; ++t)
        terms[t] = parts[t - 1];
}

// The element states go into the column the routine under test reads; the
// other column holds their negation, so reading the wrong one shows.
int evaluate(const Evaluator &evaluator, const Case &c, const Row &row)
{
    RunState state;
    state.ElemCount = 4;
    state.OutCount = 1;
    for (int k = 1; k <= 4; ++k) {
        state.ElemName[k] = c.names[k - 1];
        setFunction(state.ElemTermCount[k], state.ElemTerm[k].data(), QString());
    }
    setFunction(c.kind == Kind::Element ? state.ElemTermCount[1] : state.OutTermCount[1],
                c.kind == Kind::Element ? state.ElemTerm[1].data() : state.OutTerm[1].data(), c.function);
    const int column = c.kind == Kind::Element ? 0 : 1;
    const int states[] = {row.e1, row.e2, row.e3, row.e4};
    for (int k = 1; k <= 4; ++k) {
        state.ElemState[k][column] = int16_t(states[k - 1]);
        state.ElemState[k][1 - column] = int16_t(1 - states[k - 1]);
    }
    state.InputVal[1] = int16_t(row.p);
    state.InputVal[0] = int16_t(1 - row.p);
    evaluator(state, c.kind);
    return c.kind == Kind::Element ? state.Excit[1][1] : state.OutState[1][1];
}

const std::vector<Case> &cases()
{
    const auto element = Kind::Element;
    const auto output = Kind::Output;
    //                                      p  А  Б  В  Г  result
    static const std::vector<Case> all = {
        {element, QString(), {{0, 0, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 1}}},
        {element, QStringLiteral("-p"), {{0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 0, 0}}},
        {element, QStringLiteral("Б*-В+А*Г"),
         {{0, 0, 1, 0, 0, 1}, {0, 1, 1, 1, 1, 1}, {0, 1, 1, 1, 0, 0}, {0, 1, 0, 0, 1, 1}, {0, 0, 0, 0, 1, 0}}},
        // The negation waits through the unmatched X and lands on p.
        {element, QStringLiteral("-X*p"), {{0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 0, 0}}},
        {output, QStringLiteral("-X*p"), {{0, 0, 0, 0, 0, 1}, {1, 0, 0, 0, 0, 0}}},
        // X stays in the buffer, the end of the term looks up "XБ": no operand.
        {element, QStringLiteral("-X*Б"), {{0, 0, 0, 0, 0, 1}, {0, 0, 1, 0, 0, 1}, {1, 1, 1, 1, 1, 1}}},
        // ... and reads the element that is called "XБ".
        {element, QStringLiteral("X*Б"), {{0, 0, 1, 0, 0, 0}, {0, 0, 0, 1, 0, 1}},
         {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("XБ"), QStringLiteral("Г")}},
        // A trailing "-" negates the first operand of the next term: Б OR NOT В.
        {element, QStringLiteral("Б*-+В"), {{0, 0, 1, 1, 0, 1}, {0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 1}}},
        {output, QStringLiteral("Б*-+В"), {{0, 0, 1, 1, 0, 1}, {0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 1}}},
        // An element function drops a name that runs into p; an output keeps it.
        {element, QStringLiteral("Бp"), {{1, 0, 0, 0, 0, 1}, {0, 0, 1, 0, 0, 0}, {1, 0, 1, 0, 0, 1}}},
        {output, QStringLiteral("Бp"), {{1, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0}, {1, 0, 1, 0, 0, 1}}},
        {output, QStringLiteral("pБ*-В"), {{1, 0, 1, 0, 0, 1}, {1, 0, 1, 1, 0, 0}, {0, 0, 1, 0, 0, 0}}},
        // "-" empties the buffer: the Б before it is lost.
        {element, QStringLiteral("Б-В"), {{0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 1}}},
        {element, QStringLiteral("--Б"), {{0, 0, 0, 0, 0, 1}, {0, 0, 1, 0, 0, 0}}},
        {element, QStringLiteral("Б"), {{0, 0, 1, 0, 0, 1}, {0, 0, 0, 1, 0, 0}},
         {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("Б"), QStringLiteral("Г")}},
        // " В" is not В: the term is Б alone.
        {element, QStringLiteral("Б* В"), {{0, 0, 1, 0, 0, 1}, {0, 0, 0, 1, 0, 0}, {0, 0, 1, 1, 0, 1}}},
        {element, QStringLiteral("Б*-Б"), {{0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0}}},
        // The self-holding contact reads its own previous state.
        {element, QStringLiteral("p+А*-Г"), {{0, 1, 0, 0, 0, 1}, {0, 1, 0, 0, 1, 0}, {1, 0, 0, 0, 1, 1}}},
        // With an element that has no name, the end of an empty term finds it.
        {element, QString(), {{0, 0, 1, 0, 0, 1}, {0, 0, 0, 0, 0, 0}},
         {QStringLiteral("А"), QString(), QStringLiteral("В"), QStringLiteral("Г")}},
    };
    return all;
}

void expectTruthTables(const Evaluator &evaluator)
{
    for (const Case &c : cases()) {
        SCOPED_TRACE((c.kind == Kind::Element ? "element " : "output ") + c.function.toStdString());
        for (const Row &row : c.rows)
            EXPECT_EQ(evaluate(evaluator, c, row), row.expected)
                << "p=" << row.p << " states " << row.e1 << row.e2 << row.e3 << row.e4;
    }
}

TEST(FunctionTruthTables, LiteralWalk)
{
    expectTruthTables([](RunState &state, Kind kind) {
        kind == Kind::Element ? Literal::EvalElements(state) : Literal::EvalOutputs(state);
    });
}

TEST(FunctionTruthTables, CompiledFunctions)
{
    expectTruthTables([](RunState &state, Kind kind) {
        CompiledFunctions functions;
        functions.compile(state);
        kind == Kind::Element ? functions.EvalElements(state) : functions.EvalOutputs(state);
    });
}

// A trailing "-" carries into the next term, never into the next element.
TEST(FunctionTruthTables, NegationStopsAtTheEndOfAnElement)
{
    RunState state;
    state.ElemCount = 2;
    state.ElemName[1] = QStringLiteral("А");
    state.ElemName[2] = QStringLiteral("Б");
    setFunction(state.ElemTermCount[1], state.ElemTerm[1].data(), QStringLiteral("А*-"));
    setFunction(state.ElemTermCount[2], state.ElemTerm[2].data(), QStringLiteral("А"));
    CompiledFunctions functions;
    functions.compile(state);
    for (const int16_t a : {0, 1}) {
        state.ElemState[1][0] = a;
        RunState literal = state;
        functions.EvalElements(state);
        Literal::EvalElements(literal);
        EXPECT_EQ(state.Excit[2][1], a);
        EXPECT_EQ(literal.Excit[2][1], a);
    }
}

} // namespace
