// «Схема» of the full-capacity model (20 elements × 40 terms, 5 outputs × 25
// terms): laying it out, one live redraw of a window's worth of it, and the
// exports. The live state is the one after 1000 steps under code 2, so that
// contacts are open and closed and paths conduct.

#include "bench/tools/FullCapacityModel.h"
#include "model/LoadedModel.h"
#include "model/TimingFile.h"
#include "schematic/SchematicPages.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace schematic;

struct FullDevice
{
    SharedModel model;
    RelayTimes times;
    LiveState live;
};

const FullDevice &fullDevice()
{
    static const FullDevice device = [] {
        FullDevice d;
        const QString base = FullCapacityFolder().filePath(QStringLiteral("full"));
        d.model = LoadSharedModel(base).value_or(nullptr);
        if (!d.model)
            return d;
        const FileResult<TimingValues> timing = ReadTimingFile(base + QStringLiteral(".tim"), d.model->definition.ElemCount);
        if (timing)
            d.times = RelayTimes{timing->Tpr, timing->Totp};
        RunFullCapacity(1000, [&d](qint64, const RunState &state) { d.live = LiveState::of(state); });
        return d;
    }();
    return device;
}

void Layout(benchmark::State &state)
{
    const FullDevice &device = fullDevice();
    if (!device.model) {
        state.SkipWithError("the full-capacity model was not written");
        return;
    }
    for (auto _ : state) {
        const Schematic schematic = BuildSchematic(device.model->definition, device.times);
        const SchematicPainter painter(schematic);
        benchmark::DoNotOptimize(painter.size());
    }
}
BENCHMARK(Layout)->Unit(benchmark::kMillisecond);

// Arg 0: a window of 1020 × 800 over the middle of the picture; 1: the whole picture.
void LiveRedraw(benchmark::State &state)
{
    const FullDevice &device = fullDevice();
    const Schematic schematic = BuildSchematic(device.model->definition, device.times);
    const SchematicPainter painter(schematic);
    const bool whole = state.range(0) == 1;
    const QSizeF size = painter.size();
    const QRectF exposed = whole ? QRectF(QPointF(0, 0), size) : QRectF(0, size.height() / 2, SchematicPainter::Width, 800);
    QImage image(exposed.size().toSize(), QImage::Format_RGB32);
    const SchematicPainter::View view{&device.live, 3};
    for (auto _ : state) {
        QPainter imagePainter(&image);
        imagePainter.fillRect(image.rect(), Qt::white);
        imagePainter.translate(-exposed.topLeft());
        painter.paint(imagePainter, view, exposed);
    }
    state.counters["picture_height_px"] = size.height();
}
BENCHMARK(LiveRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// First arg: 0 SVG, 1 PDF, 2 PNG; second: 1 with the live state and a
// highlight, as the window exports it. The time is the wall clock's; the CPU
// time counts every thread.
void Export(benchmark::State &state)
{
    const FullDevice &device = fullDevice();
    const Schematic schematic = BuildSchematic(device.model->definition, device.times);
    const SchematicPainter painter(schematic);
    static const char *const suffixes[] = {"svg", "pdf", "png"};
    const QString fileName = FullCapacityFolder().filePath(QStringLiteral("full.") + QLatin1String(suffixes[state.range(0)]));
    const bool live = state.range(1) == 1;
    const SchematicPainter::View view = live ? SchematicPainter::View{&device.live, 3} : SchematicPainter::View{};
    for (auto _ : state) {
        if (!ExportSchematic(painter, fileName, view)) {
            state.SkipWithError("the export failed");
            return;
        }
    }
    state.SetLabel(std::string(suffixes[state.range(0)]) + (live ? " live" : ""));
}
BENCHMARK(Export)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
