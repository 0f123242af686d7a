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

using Evaluator = std::function<void(const ModelDefinition &, RunSignals &, Kind)>;

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
    ModelDefinition definition;
    definition.ElemCount = 4;
    definition.OutCount = 1;
    for (int k = 1; k <= 4; ++k) {
        definition.ElemName[k] = c.names[k - 1];
        setFunction(definition.ElemTermCount[k], definition.ElemTerm[k].data(), QString());
    }
    setFunction(c.kind == Kind::Element ? definition.ElemTermCount[1] : definition.OutTermCount[1],
                c.kind == Kind::Element ? definition.ElemTerm[1].data() : definition.OutTerm[1].data(), c.function);
    const int column = c.kind == Kind::Element ? 0 : 1;
    const int states[] = {row.e1, row.e2, row.e3, row.e4};
    RunSignals now;
    for (int k = 1; k <= 4; ++k) {
        now.ElemState[k][column] = int16_t(states[k - 1]);
        now.ElemState[k][1 - column] = int16_t(1 - states[k - 1]);
    }
    now.InputVal[1] = int16_t(row.p);
    now.InputVal[0] = int16_t(1 - row.p);
    evaluator(definition, now, c.kind);
    return c.kind == Kind::Element ? now.Excit[1][1] : now.OutState[1][1];
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
    expectTruthTables([](const ModelDefinition &definition, RunSignals &now, Kind kind) {
        kind == Kind::Element ? Literal::EvalElements(definition, now) : Literal::EvalOutputs(definition, now);
    });
}

TEST(FunctionTruthTables, CompiledFunctions)
{
    expectTruthTables([](const ModelDefinition &definition, RunSignals &now, Kind kind) {
        CompiledFunctions functions;
        functions.compile(definition);
        kind == Kind::Element ? functions.EvalElements(now) : functions.EvalOutputs(now);
    });
}

// A trailing "-" carries into the next term, never into the next element.
TEST(FunctionTruthTables, NegationStopsAtTheEndOfAnElement)
{
    ModelDefinition definition;
    definition.ElemCount = 2;
    definition.ElemName[1] = QStringLiteral("А");
    definition.ElemName[2] = QStringLiteral("Б");
    setFunction(definition.ElemTermCount[1], definition.ElemTerm[1].data(), QStringLiteral("А*-"));
    setFunction(definition.ElemTermCount[2], definition.ElemTerm[2].data(), QStringLiteral("А"));
    CompiledFunctions functions;
    functions.compile(definition);
    for (const int16_t a : {0, 1}) {
        RunSignals now;
        now.ElemState[1][0] = a;
        RunSignals literal = now;
        functions.EvalElements(now);
        Literal::EvalElements(definition, literal);
        EXPECT_EQ(now.Excit[2][1], a);
        EXPECT_EQ(literal.Excit[2][1], a);
    }
}

} // namespace
