#pragma once

#include "model/RunState.h"

#include <utility>

// A moment of a run posed by hand: the test changes a copy of the run's
// signals, and the run goes on from it, as a run forked from another does.
template<class Change>
void PoseSignals(RunState &state, Change &&change)
{
    RunSignals posed = state.now();
    std::forward<Change>(change)(posed);
    state.resumeFrom(posed);
}
