#pragma once

#include "check/Finding.h"
#include "check/ModelLayout.h"
#include "model/LoadedModel.h"

#include <vector>

// Runs the device under a constant input 0 and then 1 and reports, for
// each, the first step after 10 × the longest delay (longestDelay seconds)
// where its state still changes, at the line of what changed.
void CheckSettling(const SharedModel &model, const QString &timingFile, double longestDelay,
                   const ModelLayout &layout, const QString &file, std::vector<Finding> &findings);
