#pragma once

#include "analysis/SweepAxis.h"

#include <QList>
#include <QString>

#include <atomic>
#include <expected>
#include <functional>
#include <optional>
#include <vector>

// The expectation that decided a point of a sweep against the device.
struct SweepFailure
{
    QString scenario;
    QString expectation; // as written
    int line = 0;        // in the bench file
    qint64 step = 0;
    QString detail;
};

// One point of a sweep: the index of its value on each axis, and the
// expectation broken first (in the first scenario, in bench order, that
// breaks one; in it, at the earliest step). None: the point passes.
struct SweepPoint
{
    QList<int> at;
    std::optional<SweepFailure> failure;
};

struct SweepPlan
{
    QList<SweepAxis> axes; // one (a line) or two (a grid), bound to the bench
    int jobs = 1;
    int shard = 0; // as in a fault campaign: consecutive slices of the points
    int shards = 1;
};

// The points of the whole sweep: a line, or a grid with the first axis
// outermost.
qint64 SweepPointCount(const QList<SweepAxis> &axes);
QList<int> SweepPointAt(const QList<SweepAxis> &axes, qint64 index);

// Runs the bench at every point of the plan's slice, in point order whatever
// the number of jobs; a message when the bench cannot be checked.
std::expected<std::vector<SweepPoint>, QString>
RunMarginSweep(const LoadedBench &bench, const SweepPlan &plan,
               const std::function<void(qint64 done, qint64 total)> &progress = {},
               const std::atomic<bool> *cancel = nullptr);

// How far one axis can move from its nominal value: along the line through
// the grid at the other axis's value nearest its nominal.
struct SweepMargin
{
    int axis = 0;
    std::optional<int> along;     // the index on the other axis, in a grid
    std::optional<int> nominalFails; // the point at the nominal value, by its index, when it fails
    std::optional<int> below;     // the nearest failing point under nominal, by its index on the axis
    std::optional<int> above;     // the same over nominal
    bool noneBelow = false;       // no point of the range lies under nominal
    bool noneAbove = false;
};

// The margin of axis `axis`; nothing when the axis has no nominal value.
std::optional<SweepMargin> MarginOf(const QList<SweepAxis> &axes, const std::vector<SweepPoint> &points, int axis);
