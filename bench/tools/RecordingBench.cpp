// A recorded run of 1,000,000 steps of the full-capacity model under code 2:
// the time the recording adds to the steps, the memory it holds, and the
// time to draw a window's worth of its traces at several zooms.

#include "bench/tools/FullCapacityModel.h"
#include "sim/RunRecording.h"
#include "wave/TracePainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

constexpr qint64 Steps = 1000000;

// Runs the model to its end, recording every step when recording is given.
bool runFull(RunRecording *recording)
{
    return RunFullCapacity(Steps, [recording](qint64 step, const RunState &state) {
        if (!recording)
            return;
        if (step == 0)
            recording->begin(state);
        else
            recording->record(state);
    });
}

void RunRecorded(benchmark::State &state)
{
    const bool recorded = state.range(0) != 0;
    size_t bytes = 0, changes = 0;
    for (auto _ : state) {
        RunRecording recording;
        if (!runFull(recorded ? &recording : nullptr))
            state.SkipWithError("the run failed");
        bytes = recording.memoryBytes();
        changes = 0;
        for (const RunRecording::Lane &lane : recording.lanes())
            changes += lane.steps.size();
    }
    state.counters["steps/s"] = benchmark::Counter(double(Steps), benchmark::Counter::kIsIterationInvariantRate);
    if (recorded) {
        state.counters["MB held"] = double(bytes) / 1e6;
        state.counters["changes"] = double(changes);
    }
    state.SetLabel(recorded ? "recorded" : "not recorded");
}
BENCHMARK(RunRecorded)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

// A window 1600 pixels wide showing the given number of steps, ending in
// the middle of the run, every signal of the model.
void RedrawVisibleRange(benchmark::State &state)
{
    static RunRecording recording;
    static const bool recorded = runFull(&recording);
    if (!recorded) {
        state.SkipWithError("the run failed");
        return;
    }
    TraceView view = TraceView::wholeRun(recording);
    view.lastStep = std::min<qint64>(Steps, Steps / 2 + state.range(0) - 1);
    view.firstStep = view.lastStep + 1 - state.range(0);
    view.cursorA = view.firstStep + state.range(0) / 3;
    view.cursorB = view.firstStep + state.range(0) / 2;
    const TracePainter painter(recording);
    const QSize size = painter.pictureSize(QFontMetrics(QFont()), view, 1600);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        painter.paint(p, image.rect(), view);
    }
    state.SetLabel(QStringLiteral("%1 steps visible, %2 rows").arg(state.range(0)).arg(view.rows.size()).toStdString());
}
BENCHMARK(RedrawVisibleRange)->Arg(Steps + 1)->Arg(100000)->Arg(1000)->Arg(20)->Unit(benchmark::kMillisecond);

} // namespace
