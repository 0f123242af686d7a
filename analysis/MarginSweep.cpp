#include "analysis/MarginSweep.h"

#include "analysis/ParallelRuns.h"

#include <cmath>

namespace {

// Sweep values come from FROM + i·STEP in binary, the nominal from a
// decimal: equal when they differ only in the last bits.
int compareToNominal(double value, double nominal)
{
    if (std::abs(value - nominal) <= 1e-9 * std::max(1.0, std::abs(nominal)))
        return 0;
    return value < nominal ? -1 : 1;
}

int nearestIndex(const SweepAxis &axis, double value)
{
    const int index = int(std::lround((value - axis.from) / axis.step));
    return std::clamp(index, 0, axis.count - 1);
}

// The point of the bench at these values: every scenario in bench order up
// to the first that breaks an expectation.
std::expected<SweepPoint, QString> checkPoint(const LoadedBench &bench, const QList<SweepAxis> &axes,
                                              const QList<int> &at)
{
    SweepPoint point;
    point.at = at;
    const int elemCount = bench.model->definition.ElemCount;
    for (int s = 0; s < bench.runs.size() && !point.failure; ++s) {
        RunScenario run = bench.runs[s];
        FillSweptTiming(run, elemCount);
        for (qsizetype a = 0; a < axes.size(); ++a)
            ApplySweepValue(axes[a], axes[a].value(at[a]), elemCount, run);
        const auto checked = CheckBenchScenario(bench, s, run);
        if (!checked)
            return std::unexpected(checked.error());
        if (const std::optional<ExpectationResult> failure = FirstFailure(*checked))
            point.failure = SweepFailure{failure->scenario, failure->expectation.text, failure->expectation.place.line,
                                         failure->step, failure->detail};
    }
    return point;
}

} // namespace

qint64 SweepPointCount(const QList<SweepAxis> &axes)
{
    qint64 count = 1;
    for (const SweepAxis &axis : axes)
        count *= axis.count;
    return count;
}

QList<int> SweepPointAt(const QList<SweepAxis> &axes, qint64 index)
{
    QList<int> at(axes.size());
    for (qsizetype a = axes.size() - 1; a >= 0; --a) {
        at[a] = int(index % axes[a].count);
        index /= axes[a].count;
    }
    return at;
}

std::expected<std::vector<SweepPoint>, QString>
RunMarginSweep(const LoadedBench &bench, const SweepPlan &plan, const std::function<void(qint64, qint64)> &progress,
               const std::atomic<bool> *cancel)
{
    const RunSlice slice = ShardSlice(SweepPointCount(plan.axes), plan.shard, plan.shards);
    return CollectInParallel<SweepPoint>(slice.end - slice.first, plan.jobs, cancel, progress, [&](qint64 task) {
        return checkPoint(bench, plan.axes, SweepPointAt(plan.axes, slice.first + task));
    });
}

std::optional<SweepMargin> MarginOf(const QList<SweepAxis> &axes, const std::vector<SweepPoint> &points, int axis)
{
    const SweepAxis &swept = axes[axis];
    if (!swept.nominal)
        return std::nullopt;
    SweepMargin margin;
    margin.axis = axis;
    QList<int> at(axes.size());
    if (axes.size() == 2) {
        const SweepAxis &other = axes[1 - axis];
        margin.along = nearestIndex(other, other.nominal.value_or(other.value(other.count / 2)));
        at[1 - axis] = *margin.along;
    }
    margin.noneBelow = margin.noneAbove = true;
    for (int i = 0; i < swept.count; ++i) {
        at[axis] = i;
        qint64 index = 0;
        for (qsizetype a = 0; a < axes.size(); ++a)
            index = index * axes[a].count + at[a];
        const bool fails = points[size_t(index)].failure.has_value();
        switch (compareToNominal(swept.value(i), *swept.nominal)) {
        case -1:
            margin.noneBelow = false;
            if (fails)
                margin.below = i; // the last one under nominal is the nearest
            break;
        case 0:
            if (fails)
                margin.nominalFails = i;
            break;
        default:
            margin.noneAbove = false;
            if (fails && !margin.above)
                margin.above = i;
            break;
        }
    }
    return margin;
}
