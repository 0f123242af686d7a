#include "tests/model/LiteralFunctions.h"

namespace {

// One function: the OR of its terms, stopping at the first true one. The
// negation flag is set once here and survives from term to term.
int16_t walkFunction(const RunState &state, const QString *terms, int termCount, int column,
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
                    product = product & state.InputVal[1];
                } else {
                    negate = false;
                    product = product & (1 - state.InputVal[1]);
                }
                if (inputEndsName)
                    name.clear();
            } else if (endMark || ch == QLatin1Char('*')) {
                for (int k = 1; k <= state.ElemCount; ++k) {
                    if (state.ElemName[k] != name)
                        continue;
                    if (!negate) {
                        product = product & state.ElemState[k][column];
                    } else {
                        negate = false;
                        product = product & (1 - state.ElemState[k][column]);
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

void EvalElements(RunState &state)
{
    for (int i = 1; i <= state.ElemCount; ++i)
        state.Excit[i][1] = walkFunction(state, state.ElemTerm[i].data(), state.ElemTermCount[i], 0, true);
}

void EvalOutputs(RunState &state)
{
    for (int j = 1; j <= state.OutCount; ++j)
        state.OutState[j][1] = walkFunction(state, state.OutTerm[j].data(), state.OutTermCount[j], 1, false);
}

} // namespace Literal
