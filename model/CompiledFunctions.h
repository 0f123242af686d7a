#pragma once

#include "ModelState.h"

#include <cstdint>
#include <vector>

// The excitation and output functions of a loaded model, translated once per
// run into a form that evaluates with a few mask operations per term. Gives
// the same result as walking the term texts character by character, for
// every text, including names that match no element and leftover negations.
class CompiledFunctions
{
public:
    // Translates the functions of state's definition (names, terms, counts).
    void compile(const ModelState &state);

    // Excit(i,1) for every element, from InputVal(1) and ElemState(.,0).
    void EvalElements(ModelState &state) const;
    // OutState(j,1) for every output, from InputVal(1) and ElemState(.,1).
    void EvalOutputs(ModelState &state) const;

private:
    // Signal values packed as bits: bit 0 the input, bit k element k.
    using Bits = uint32_t;

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

    // The values a group of functions was last evaluated for and its
    // results (bit k for function k). A device at rest presents the same
    // values step after step, so most steps reuse the results.
    struct Memo
    {
        Bits values = kNoValues;
        Bits results = 0;
    };
    // No signal sets bit 31, so these values never occur.
    static constexpr Bits kNoValues = Bits(1) << 31;

    Function compileFunction(const ModelState &state, const QString *terms, int termCount,
                             bool inputEndsName);
    bool holds(const Function &function, Bits values) const;
    // Results of functions for values, through memo.
    Bits evaluate(const std::vector<Function> &functions, Memo &memo, Bits values) const;

    std::vector<Term> m_terms;
    std::vector<Function> m_elements; // element i at index i - 1
    std::vector<Function> m_outputs;  // output j at index j - 1
    mutable Memo m_elementMemo;
    mutable Memo m_outputMemo;
};
