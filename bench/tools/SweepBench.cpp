// Margin sweeps of the decoder example: a line of 21 points of the code
// times and a grid of 11 × 11 of the code times and Д's release, each point
// the whole bench, on every core. The exact-step bench (9 scenarios) stops
// at its first broken scenario far more often than the tolerance bench (7
// scenarios, each run to its end where the point passes).

#include "analysis/MarginSweep.h"

#include <QThread>

#include <benchmark/benchmark.h>

namespace {

void Sweep(benchmark::State &state)
{
    const QString bench = state.range(0) == 0 ? QStringLiteral(EXAMPLES_DIR "/decoder-tolerance.bench")
                                              : QStringLiteral(EXAMPLES_DIR "/decoder.bench");
    const LoadedBench loaded = *LoadBench(bench);
    QStringList vary = {QStringLiteral("code-times=50..150/5")};
    if (state.range(1) == 2)
        vary = {QStringLiteral("code-times=50..150/10"), QStringLiteral("release:Д=0.05..0.55/0.05s")};
    SweepPlan plan;
    for (const QString &text : vary) {
        SweepAxis axis = *ParseSweepAxis(text);
        if (!BindSweepAxis(axis, loaded))
            state.SkipWithError("the axis does not fit the bench");
        plan.axes.append(axis);
    }
    plan.jobs = QThread::idealThreadCount();
    qint64 passing = 0;
    for (auto _ : state) {
        const auto points = RunMarginSweep(loaded, plan);
        if (!points)
            state.SkipWithError("the sweep failed");
        else
            passing = std::ranges::count_if(*points, [](const SweepPoint &p) { return !p.failure; });
    }
    state.counters["points"] = double(SweepPointCount(plan.axes));
    state.counters["passing"] = double(passing);
    state.SetLabel((state.range(0) == 0 ? std::string("tolerance bench, ") : std::string("exact bench, "))
                   + (state.range(1) == 2 ? "11 x 11 grid" : "line of 21"));
}
BENCHMARK(Sweep)->ArgsProduct({{0, 1}, {1, 2}})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
