#include "CompiledFunctions.h"

#include <algorithm>

namespace {

// The element a function operand refers to: the first one with that exact
// name, or 0 when none has it.
int elementNamed(const ModelState &state, int elementCount, const QString &name)
{
    for (int k = 1; k <= elementCount; ++k)
        if (state.ElemName[k] == name)
            return k;
    return 0;
}

int elementCountOf(const ModelState &state)
{
    return std::clamp<int>(state.ElemCount, 0, MaxElements);
}

// The input and the chosen column of every element's contact state as bits:
// bit 0 the input, bit k element k.
uint32_t signalBits(const ModelState &state, int elementCount, int column)
{
    uint32_t bits = state.InputVal[1] != 0 ? 1u : 0u;
    for (int k = 1; k <= elementCount; ++k)
        if (state.ElemState[k][column] != 0)
            bits |= 1u << k;
    return bits;
}

} // namespace

void CompiledFunctions::compile(const ModelState &state)
{
    m_terms.clear();
    m_elements.clear();
    m_outputs.clear();
    m_elementMemo = {};
    m_outputMemo = {};
    for (int i = 1; i <= elementCountOf(state); ++i)
        m_elements.push_back(compileFunction(state, &state.ElemTerm[i][1],
                                             std::clamp<int>(state.ElemTermCount[i], 0, MaxElemTerms),
                                             true));
    for (int j = 1; j <= std::clamp<int>(state.OutCount, 0, MaxOutputs); ++j)
        m_outputs.push_back(compileFunction(state, &state.OutTerm[j][1],
                                            std::clamp<int>(state.OutTermCount[j], 0, MaxOutTerms),
                                            false));
}

// Walks the term texts once, as the evaluation would at every step. Which
// operand a character sequence becomes never depends on signal values, so the
// walk can be done here and only the resulting operands kept. The negation
// flag lives across the terms of one function: a "-" left at the end of a
// term negates the first operand of the next one. A name that matches no
// element stays in the buffer and becomes the head of the next name.
CompiledFunctions::Function CompiledFunctions::compileFunction(const ModelState &state,
                                                               const QString *terms, int termCount,
                                                               bool inputEndsName)
{
    const int elementCount = elementCountOf(state);
    Function function{int(m_terms.size()), 0};
    bool negate = false;
    for (int t = 0; t < termCount; ++t) {
        Bits mustBeOne = 0;
        Bits mustBeZero = 0;
        auto useOperand = [&](Bits bit) {
            (negate ? mustBeZero : mustBeOne) |= bit;
            negate = false;
        };
        QString name;
        const QString &text = terms[t];
        for (qsizetype c = 0; c <= text.size(); ++c) {
            const QChar ch = c < text.size() ? text[c] : QChar();
            if (c == text.size() || ch == QLatin1Char('*')) {
                if (const int k = elementNamed(state, elementCount, name)) {
                    useOperand(Bits(1) << k);
                    name.clear();
                }
            } else if (ch == QLatin1Char('-')) {
                negate = true;
                name.clear();
            } else if (ch == QLatin1Char('p')) {
                useOperand(1);
                if (inputEndsName)
                    name.clear();
            } else {
                name += ch;
            }
        }
        if (mustBeOne & mustBeZero)
            continue; // X AND NOT X: never true
        m_terms.push_back(Term{mustBeOne | mustBeZero, mustBeOne});
        ++function.count;
        if (mustBeOne == 0 && mustBeZero == 0)
            break; // always true: the terms after it are never reached
    }
    return function;
}

bool CompiledFunctions::holds(const Function &function, Bits values) const
{
    const Term *term = m_terms.data() + function.first;
    for (const Term *end = term + function.count; term != end; ++term)
        if ((values & term->care) == term->want)
            return true;
    return false;
}

CompiledFunctions::Bits CompiledFunctions::evaluate(const std::vector<Function> &functions, Memo &memo,
                                                    Bits values) const
{
    if (values != memo.values) {
        Bits results = 0;
        for (std::size_t k = 0; k < functions.size(); ++k)
            if (holds(functions[k], values))
                results |= Bits(1) << (k + 1);
        memo = {values, results};
    }
    return memo.results;
}

void CompiledFunctions::EvalElements(ModelState &state) const
{
    const int count = int(m_elements.size());
    const Bits results = evaluate(m_elements, m_elementMemo, signalBits(state, count, 0));
    for (int i = 1; i <= count; ++i)
        state.Excit[i][1] = int16_t((results >> i) & 1);
}

void CompiledFunctions::EvalOutputs(ModelState &state) const
{
    const Bits results = evaluate(m_outputs, m_outputMemo, signalBits(state, int(m_elements.size()), 1));
    for (int j = 1; j <= int(m_outputs.size()); ++j)
        state.OutState[j][1] = int16_t((results >> j) & 1);
}
