#include "model/CompiledFunctions.h"

#include "model/TermWalk.h"

#include <algorithm>
#include <utility>

namespace {

int elementCountOf(const ModelDefinition &definition)
{
    return std::clamp<int>(definition.ElemCount, 0, MaxElements);
}

// The input and the chosen column of every element's contact state as bits:
// bit 0 the input, bit k element k.
uint32_t signalBits(const RunSignals &now, int elementCount, int column)
{
    uint32_t bits = now.InputVal[1] != 0 ? 1u : 0u;
    for (int k = 1; k <= elementCount; ++k)
        if (now.ElemState[k][column] != 0)
            bits |= 1u << k;
    return bits;
}

} // namespace

FunctionProgram::FunctionProgram(const ModelDefinition &definition) : FunctionProgram(definition, {}) {}

FunctionProgram::FunctionProgram(const ModelDefinition &definition, const std::vector<ContactFault> &faults)
{
    int contactsBefore = 0;
    for (int i = 1; i <= elementCountOf(definition); ++i)
        m_elements.push_back(compileFunction(definition, &definition.ElemTerm[i][1],
                                             std::clamp<int>(definition.ElemTermCount[i], 0, MaxElemTerms),
                                             true, faults, contactsBefore));
    for (int j = 1; j <= std::clamp<int>(definition.OutCount, 0, MaxOutputs); ++j)
        m_outputs.push_back(compileFunction(definition, &definition.OutTerm[j][1],
                                            std::clamp<int>(definition.OutTermCount[j], 0, MaxOutTerms),
                                            false, faults, contactsBefore));
    m_contactCount = contactsBefore;
}

// Walks the term texts once, as the evaluation would at every step. Which
// operand a character sequence becomes never depends on signal values, so the
// walk can be done here and only the resulting operands kept.
FunctionProgram::Function FunctionProgram::compileFunction(const ModelDefinition &definition,
                                                          const QString *terms, int termCount,
                                                          bool inputEndsName,
                                                          const std::vector<ContactFault> &faults,
                                                          int &contactsBefore)
{
    struct Operand
    {
        qsizetype from;
        int element;
        bool negated;
    };
    struct Translation final : TermVisitor
    {
        std::vector<Term> &terms;
        const std::vector<ContactFault> &faults;
        int &contactsBefore;
        Function function;
        std::vector<Operand> operands;
        bool alwaysTrue = false;

        Translation(std::vector<Term> &into, const std::vector<ContactFault> &faults, int &contactsBefore)
            : terms(into), faults(faults), contactsBefore(contactsBefore), function{int(into.size()), 0}
        {
        }

        void operand(int, int element, bool negated, qsizetype from, qsizetype) override
        {
            operands.push_back({from, element, negated});
        }
        void termEnd(int, bool) override
        {
            // Contacts are numbered in the order of the text.
            const int first = std::exchange(contactsBefore, contactsBefore + int(operands.size()));
            if (!faults.empty())
                std::ranges::stable_sort(operands, {}, &Operand::from);
            Bits one = 0;
            Bits zero = 0;
            bool open = false;
            for (size_t k = 0; k < operands.size(); ++k) {
                const uint8_t fault = faults.empty() ? 0 : ContactFaultOf(faults, first + int(k) + 1);
                if (fault == ContactWelded)
                    continue;
                open |= fault == ContactOpen;
                (operands[k].negated ? zero : one) |= Bits(1) << operands[k].element;
            }
            operands.clear();
            if (alwaysTrue || open || (one & zero))
                return; // after an always true term, or X AND NOT X: never reached or never true
            terms.push_back(Term{one | zero, one});
            ++function.count;
            alwaysTrue = one == 0 && zero == 0;
        }
    } translation(m_terms, faults, contactsBefore);
    WalkTerms(definition, terms, termCount, inputEndsName, translation);
    return translation.function;
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
    use(empty);
}

void CompiledFunctions::compile(const ModelDefinition &definition)
{
    use(std::make_shared<const FunctionProgram>(definition));
}

void CompiledFunctions::use(std::shared_ptr<const FunctionProgram> program)
{
    m_program = std::move(program);
    m_elementCount = m_program->elementCount();
    m_outputCount = m_program->outputCount();
    m_elementMemo = {};
    m_outputMemo = {};
}

void CompiledFunctions::EvalElements(RunSignals &now) const
{
    const int count = m_elementCount;
    const Bits values = signalBits(now, count, 0);
    if (values != m_elementMemo.values)
        m_elementMemo = {values, m_program->elementResults(values)};
    const Bits results = m_elementMemo.results;
    for (int i = 1; i <= count; ++i)
        now.Excit[i][1] = int16_t((results >> i) & 1);
}

void CompiledFunctions::EvalOutputs(RunSignals &now) const
{
    const Bits values = signalBits(now, m_elementCount, 1);
    if (values != m_outputMemo.values)
        m_outputMemo = {values, m_program->outputResults(values)};
    const Bits results = m_outputMemo.results;
    for (int j = 1, count = m_outputCount; j <= count; ++j)
        now.OutState[j][1] = int16_t((results >> j) & 1);
}
