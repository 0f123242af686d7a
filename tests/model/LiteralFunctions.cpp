#include "tests/model/LiteralFunctions.h"

namespace {

// One function: the OR of its terms, stopping at the first true one. The
// negation flag is set once here and survives from term to term.
int16_t walkFunction(const ModelDefinition &definition, const RunSignals &now, const QString *terms, int termCount, int column,
                     bool inputEndsName)
{
    int16_t result = 0;
    bool negate = false;
    for (int t = 1; t <= termCount; ++t) {
        const QString &text = terms[t];
        QString name;
        int16_t product = 1;
        for (qsizetype c = 0; c <= text.size(); ++c) {
            const bool endMark = c == text.size();
            const QChar ch = endMark ? QChar() : text[c];
            if (!endMark && ch == QLatin1Char('-')) {
                negate = true;
                name.clear();
            } else if (!endMark && ch == QLatin1Char('p')) {
                if (!negate) {
                    product = product & now.InputVal[1];
                } else {
                    negate = false;
                    product = product & (1 - now.InputVal[1]);
                }
                if (inputEndsName)
                    name.clear();
            } else if (endMark || ch == QLatin1Char('*')) {
                for (int k = 1; k <= definition.ElemCount; ++k) {
                    if (definition.ElemName[k] != name)
                        continue;
                    if (!negate) {
                        product = product & now.ElemState[k][column];
                    } else {
                        negate = false;
                        product = product & (1 - now.ElemState[k][column]);
                    }
                    name.clear();
                    break;
                }
            } else {
                name += ch;
            }
        }
        result = result | product;
        if (product == 1)
            break;
    }
    return result;
}

} // namespace

namespace Literal {

void EvalElements(const ModelDefinition &definition, RunSignals &now)
{
    for (int i = 1; i <= definition.ElemCount; ++i)
        now.Excit[i][1] =
            walkFunction(definition, now, definition.ElemTerm[i].data(), definition.ElemTermCount[i], 0, true);
}

void EvalOutputs(const ModelDefinition &definition, RunSignals &now)
{
    for (int j = 1; j <= definition.OutCount; ++j)
        now.OutState[j][1] =
            walkFunction(definition, now, definition.OutTerm[j].data(), definition.OutTermCount[j], 1, false);
}

RunSignals EvaluateBothWays(const CompiledFunctions &compiled, const ModelDefinition &definition, RunSignals &now)
{
    for (int i = 1; i <= definition.ElemCount; ++i)
        now.Excit[i][1] = 7;
    for (int j = 1; j <= definition.OutCount; ++j)
        now.OutState[j][1] = 7;
    RunSignals literal = now;
    compiled.EvalElements(now);
    compiled.EvalOutputs(now);
    EvalElements(definition, literal);
    EvalOutputs(definition, literal);
    return literal;
}

} // namespace Literal
