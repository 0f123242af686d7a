#pragma once

#include "model/ContactFault.h"
#include "model/ModelState.h"
#include "model/RunSignals.h"

#include <cstdint>
#include <memory>
#include <vector>

// The excitation and output functions of a model, translated into a form that
// evaluates with a few mask operations per term. Gives the same result as
// walking the term texts character by character, for every text, including
// names that match no element and leftover negations. Read-only once built,
// so any number of runs of the model, on any threads, can share one.
class FunctionProgram
{
public:
    // Signal values packed as bits: bit 0 the input, bit k element k.
    using Bits = uint32_t;

    // Translates the functions of a definition (names, terms, counts).
    explicit FunctionProgram(const ModelDefinition &definition);
    // The same with contacts failed (numbered as ModelContacts numbers
    // them): a welded contact is left out of its term, a term with an open
    // contact never holds.
    FunctionProgram(const ModelDefinition &definition, const std::vector<ContactFault> &faults);

    int elementCount() const { return int(m_elements.size()); }
    int outputCount() const { return int(m_outputs.size()); }
    // The contacts the functions were read with (see ModelContacts).
    int contactCount() const { return m_contactCount; }

    // Bit i set when the function of element i (output i) holds for values.
    Bits elementResults(Bits values) const { return evaluate(m_elements, values); }
    Bits outputResults(Bits values) const { return evaluate(m_outputs, values); }

private:
    // A product term: true when the values under care equal want.
    struct Term
    {
        Bits care;
        Bits want;
    };

    // A function: its terms, a range of m_terms.
    struct Function
    {
        int first;
        int count;
    };

    Function compileFunction(const ModelDefinition &definition, const QString *terms, int termCount,
                             bool inputEndsName, const std::vector<ContactFault> &faults, int &contactsBefore);
    bool holds(const Function &function, Bits values) const;
    Bits evaluate(const std::vector<Function> &functions, Bits values) const;

    std::vector<Term> m_terms;
    std::vector<Function> m_elements; // element i at index i - 1
    std::vector<Function> m_outputs;  // output j at index j - 1
    int m_contactCount = 0;
};

// The functions as one run evaluates them: a program, possibly shared with
// other runs, and the results this run last computed.
class CompiledFunctions
{
public:
    // No functions until compile() or use().
    CompiledFunctions();

    // Translates the functions of a definition into a program of its own.
    void compile(const ModelDefinition &definition);
    // Uses a program translated before, typically shared by many runs.
    void use(std::shared_ptr<const FunctionProgram> program);

    // Excit(i,1) for every element, from InputVal(1) and ElemState(.,0).
    void EvalElements(RunSignals &now) const;
    // OutState(j,1) for every output, from InputVal(1) and ElemState(.,1).
    void EvalOutputs(RunSignals &now) const;

private:
    using Bits = FunctionProgram::Bits;

    // The values a group of functions was last evaluated for and its
    // results. A device at rest presents the same values step after step, so
    // most steps reuse the results.
    struct Memo
    {
        Bits values = kNoValues;
        Bits results = 0;
    };
    // No signal sets bit 31, so these values never occur.
    static constexpr Bits kNoValues = Bits(1) << 31;

    std::shared_ptr<const FunctionProgram> m_program;
    // The program's counts, kept here: the step reads them twice per step.
    int m_elementCount = 0;
    int m_outputCount = 0;
    mutable Memo m_elementMemo;
    mutable Memo m_outputMemo;
};
