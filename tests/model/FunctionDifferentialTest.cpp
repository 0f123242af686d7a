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

    void fill(ModelDefinition &definition)
    {
        definition.ElemCount = int16_t(pick(1, 6));
        definition.OutCount = int16_t(pick(1, MaxOutputs));
        for (int i = 1; i <= definition.ElemCount; ++i) {
            definition.ElemName[i] = names()[pick(0, int(names().size()) - 1)];
            fillFunction(definition.ElemTermCount[i], definition.ElemTerm[i].data(), MaxElemTerms);
        }
        for (int j = 1; j <= definition.OutCount; ++j)
            fillFunction(definition.OutTermCount[j], definition.OutTerm[j].data(), MaxOutTerms);
    }

    void randomSignals(int elemCount, RunSignals &now)
    {
        now.InputVal[1] = int16_t(pick(0, 1));
        for (int k = 1; k <= elemCount; ++k)
            now.ElemState[k] = {int16_t(pick(0, 1)), int16_t(pick(0, 1))};
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
        ModelDefinition definition;
        models.fill(definition);
        CompiledFunctions compiled;
        compiled.compile(definition);
        RunSignals now;
        for (int sample = 0; sample < 8; ++sample) {
            // Every other sample repeats the signals of the one before, as a
            // device at rest does; the results must be written again all the
            // same, over whatever a fault or the carry left there.
            if (sample % 2 == 0)
                models.randomSignals(definition.ElemCount, now);
            const RunSignals literal = Literal::EvaluateBothWays(compiled, definition, now);
            for (int i = 1; i <= definition.ElemCount; ++i) {
                ASSERT_EQ(now.Excit[i][1], literal.Excit[i][1])
                    << "model " << model << " element " << i << ": "
                    << QStringList(&definition.ElemTerm[i][1], &definition.ElemTerm[i][1] + definition.ElemTermCount[i])
                           .join(u'+').toStdString();
                (literal.Excit[i][1] ? ones : zeros) += 1;
            }
            for (int j = 1; j <= definition.OutCount; ++j) {
                ASSERT_EQ(now.OutState[j][1], literal.OutState[j][1])
                    << "model " << model << " output " << j << ": "
                    << QStringList(&definition.OutTerm[j][1], &definition.OutTerm[j][1] + definition.OutTermCount[j])
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
