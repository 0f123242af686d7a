#include "CompiledFunctions.h"

#include <algorithm>

namespace {

// The element a function operand refers to: the first one with that exact
// name, or 0 when none has it.
int elementNamed(const ModelDefinition &definition, int elementCount, const QString &name)
{
    for (int k = 1; k <= elementCount; ++k)
        if (definition.ElemName[k] == name)
            return k;
    return 0;
}

int elementCountOf(const ModelDefinition &definition)
{
    return std::clamp<int>(definition.ElemCount, 0, MaxElements);
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

FunctionProgram::FunctionProgram(const ModelDefinition &definition)
{
    for (int i = 1; i <= elementCountOf(definition); ++i)
        m_elements.push_back(compileFunction(definition, &definition.ElemTerm[i][1],
                                             std::clamp<int>(definition.ElemTermCount[i], 0, MaxElemTerms),
                                             true));
    for (int j = 1; j <= std::clamp<int>(definition.OutCount, 0, MaxOutputs); ++j)
        m_outputs.push_back(compileFunction(definition, &definition.OutTerm[j][1],
                                            std::clamp<int>(definition.OutTermCount[j], 0, MaxOutTerms),
                                            false));
}

// Walks the term texts once, as the evaluation would at every step. Which
// operand a character sequence becomes never depends on signal values, so the
// walk can be done here and only the resulting operands kept. The negation
// flag lives across the terms of one function: a "-" left at the end of a
// term negates the first operand of the next one. A name that matches no
// element stays in the buffer and becomes the head of the next name.
FunctionProgram::Function FunctionProgram::compileFunction(const ModelDefinition &definition,
                                                          const QString *terms, int termCount,
                                                          bool inputEndsName)
{
    const int elementCount = elementCountOf(definition);
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
                if (const int k = elementNamed(definition, elementCount, name)) {
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

bool FunctionProgram::holds(const Function &function, Bits values) const
{
    const Term *term = m_terms.data() + function.first;
    for (const Term *end = term + function.count; term != end; ++term)
        if ((values & term->care) == term->want)
            return true;
    return false;
}

FunctionProgram::Bits FunctionProgram::evaluate(const std::vector<Function> &functions, Bits values) const
{
    Bits results = 0;
    for (std::size_t k = 0; k < functions.size(); ++k)
        if (holds(functions[k], values))
            results |= Bits(1) << (k + 1);
    return results;
}

CompiledFunctions::CompiledFunctions()
{
    // One empty program serves every object not yet compiled; it is never
    // written, so sharing it between threads is safe.
    static const auto empty = std::make_shared<const FunctionProgram>(ModelDefinition{});
    m_program = empty;
}

void CompiledFunctions::compile(const ModelState &state)
{
    use(std::make_shared<const FunctionProgram>(state));
}

void CompiledFunctions::use(std::shared_ptr<const FunctionProgram> program)
{
    m_program = std::move(program);
    m_elementMemo = {};
    m_outputMemo = {};
}

void CompiledFunctions::EvalElements(ModelState &state) const
{
    const int count = m_program->elementCount();
    const Bits values = signalBits(state, count, 0);
    if (values != m_elementMemo.values)
        m_elementMemo = {values, m_program->elementResults(values)};
    const Bits results = m_elementMemo.results;
    for (int i = 1; i <= count; ++i)
        state.Excit[i][1] = int16_t((results >> i) & 1);
}

void CompiledFunctions::EvalOutputs(ModelState &state) const
{
    const Bits values = signalBits(state, m_program->elementCount(), 1);
    if (values != m_outputMemo.values)
        m_outputMemo = {values, m_program->outputResults(values)};
    const Bits results = m_outputMemo.results;
    for (int j = 1; j <= m_program->outputCount(); ++j)
        state.OutState[j][1] = int16_t((results >> j) & 1);
}
