#pragma once

#include "ModelState.h"

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
};
