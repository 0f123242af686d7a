#include "model/CompiledFunctions.h"
#include "tests/model/LiteralFunctions.h"

#include <QStringList>

#include <random>

#include <gtest/gtest.h>

namespace {

// Pieces a function text is made of: element names, names that match no
// element (alone or as the head of a joined name), p, negations, products,
// blanks, and names running straight into p.
const QStringList &pieces()
{
    static const QStringList all = {
        QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"), QStringLiteral("АБ"),
        QStringLiteral("А*"), QStringLiteral("Б*"), QStringLiteral("-В*"), QStringLiteral("p*"),
        QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("p"), QStringLiteral("-"),
        QStringLiteral("-"), QStringLiteral("*"), QStringLiteral("*"), QStringLiteral(" "),
        QStringLiteral("Бp"), QStringLiteral("Xp"), QStringLiteral("-p"),
    };
    return all;
}

// Element names drawn with repeats, so duplicates, an empty name and a name
// that only a joined buffer can match all occur.
const QStringList &names()
{
    static const QStringList all = {
        QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"), QStringLiteral("АБ"),
        QStringLiteral("XБ"), QStringLiteral("Б В"), QString(), QStringLiteral("А"),
    };
    return all;
}

class RandomModels
{
public:
    explicit RandomModels(unsigned seed) : m_random(seed) {}

    void fill(RunState &state)
    {
        state.ElemCount = int16_t(pick(1, 6));
        state.OutCount = int16_t(pick(1, MaxOutputs));
        for (int i = 1; i <= state.ElemCount; ++i) {
            state.ElemName[i] = names()[pick(0, int(names().size()) - 1)];
            fillFunction(state.ElemTermCount[i], state.ElemTerm[i].data(), MaxElemTerms);
        }
        for (int j = 1; j <= state.OutCount; ++j)
            fillFunction(state.OutTermCount[j], state.OutTerm[j].data(), MaxOutTerms);
    }

    void randomSignals(RunState &state)
    {
        state.InputVal[1] = int16_t(pick(0, 1));
        for (int k = 1; k <= state.ElemCount; ++k)
            state.ElemState[k] = {int16_t(pick(0, 1)), int16_t(pick(0, 1))};
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    void fillFunction(int16_t &termCount, QString *terms, int capacity)
    {
        // Mostly short functions, now and then a long one.
        termCount = int16_t(pick(0, 9) == 0 ? pick(1, capacity) : pick(1, 3));
        for (int t = 1; t <= termCount; ++t) {
            terms[t].clear();
            for (int n = pick(0, 9) == 0 ? 0 : pick(1, 6); n > 0; --n)
                terms[t] += pieces()[pick(0, int(pieces().size()) - 1)];
        }
    }

    std::mt19937 m_random;
};

TEST(FunctionDifferential, CompiledAgreesWithTheLiteralWalk)
{
    RandomModels models(20261207);
    int ones = 0;
    int zeros = 0;
    for (int model = 0; model < 6000; ++model) {
        RunState state;
        models.fill(state);
        CompiledFunctions compiled;
        compiled.compile(state);
        for (int sample = 0; sample < 8; ++sample) {
            // Every other sample repeats the signals of the one before, as a
            // device at rest does; the results must be written again all the
            // same, over whatever a fault or the carry left there.
            if (sample % 2 == 0)
                models.randomSignals(state);
            for (int i = 1; i <= state.ElemCount; ++i)
                state.Excit[i][1] = 7;
            for (int j = 1; j <= state.OutCount; ++j)
                state.OutState[j][1] = 7;
            RunState literal = state;
            compiled.EvalElements(state);
            compiled.EvalOutputs(state);
            Literal::EvalElements(literal);
            Literal::EvalOutputs(literal);
            for (int i = 1; i <= state.ElemCount; ++i) {
                ASSERT_EQ(state.Excit[i][1], literal.Excit[i][1])
                    << "model " << model << " element " << i << ": "
                    << QStringList(&state.ElemTerm[i][1], &state.ElemTerm[i][1] + state.ElemTermCount[i])
                           .join(u'+').toStdString();
                (literal.Excit[i][1] ? ones : zeros) += 1;
            }
            for (int j = 1; j <= state.OutCount; ++j) {
                ASSERT_EQ(state.OutState[j][1], literal.OutState[j][1])
                    << "model " << model << " output " << j << ": "
                    << QStringList(&state.OutTerm[j][1], &state.OutTerm[j][1] + state.OutTermCount[j])
                           .join(u'+').toStdString();
                (literal.OutState[j][1] ? ones : zeros) += 1;
            }
        }
    }
    // Both results must be common, or the comparison says little.
    EXPECT_GT(ones, 20000);
    EXPECT_GT(zeros, 20000);
}

} // namespace
