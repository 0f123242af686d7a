#pragma once

#include "sim/RunScenario.h"

#include <QString>

#include <functional>

struct RunState;

// Runs the example examples/NAME.mod under scenario, with the example's
// timing file, as the windows run it: watch sees the state after the start
// (step 0) and after every step. A model that does not load or a scenario
// that does not set up fails the test.
void RunExample(const QString &name, RunScenario scenario,
                const std::function<void(qint64 step, const RunState &state)> &watch);
