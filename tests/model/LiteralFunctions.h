#pragma once

#include "model/CompiledFunctions.h"
#include "model/ModelState.h"
#include "model/RunSignals.h"

// The function evaluation done the slow, literal way: every step walks the
// term texts character by character and looks names up as it meets them.
// The compiled functions must agree with it for every text and every input.
namespace Literal {

// Excit(i,1) for elements 1..ElemCount, from InputVal(1) and ElemState(.,0).
void EvalElements(const ModelDefinition &definition, RunSignals &now);
// OutState(j,1) for outputs 1..OutCount, from InputVal(1) and ElemState(.,1).
void EvalOutputs(const ModelDefinition &definition, RunSignals &now);

// Evaluates now with the compiled functions and a copy of it by the literal
// walk, both over results that neither side may leave in place; returns the
// copy.
RunSignals EvaluateBothWays(const CompiledFunctions &compiled, const ModelDefinition &definition, RunSignals &now);

} // namespace Literal
