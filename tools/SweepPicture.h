#pragma once

#include "tools/SweepReport.h"

// The pass region of a grid sweep as an SVG picture: a cell per point, green
// where every expectation holds and red where one breaks, the first axis
// across and the second up, the nominal point ringed, axes titled in
// Russian in per cent or seconds. Needs a GUI application for its fonts.
std::expected<void, QString> WriteSweepPicture(const SweepReport &report, const QString &fileName);
