#pragma once

#include "check/Finding.h"

#include <QString>

#include <optional>
#include <vector>

// The findings in a timing file for a model of elementCount elements: values
// that are not numbers, times under one step, values left over. Returns the
// longest pickup or release time in seconds, or nothing when the file cannot
// be read as the run would read it.
std::optional<double> CheckTiming(const QString &timingFile, const QString &text, int elementCount,
                                  std::vector<Finding> &findings);
