#pragma once

#include "model/ModelState.h"

// Brings the run state to rest before a run: RunActive and ModelTime 0, and
// for the full capacity (not only the current counts) every two-column
// signal, both delay timers, every fault and the input set to 0.
void BringToRest(ModelState &state);

// The model just loaded into state becomes the one the run shows: the input
// column's caption, model time 0, and the report header due.
void BeginRunOfModel(ModelState &state);
