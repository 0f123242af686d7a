#pragma once

#include "check/Finding.h"
#include "check/ModelLayout.h"
#include "model/ModelState.h"

#include <vector>

// The findings in the names and functions of a model: names that match no
// element (or only a look-alike), names run into "p" or into the next name,
// stray "-" and "*", empty terms, duplicate and unusable names, unused
// elements and functions that never change.
void CheckFunctions(const ModelDefinition &definition, const ModelLayout &layout, const QString &file,
                    std::vector<Finding> &findings);
