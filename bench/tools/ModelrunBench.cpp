// modelrun on a full-capacity model for 1,000,000 steps under code 2, the
// diagram rows written to a file: in process (RunModel, as the program
// calls it) and as the program itself, started with its standard output
// sent to a file.

#include "bench/tools/FullCapacityModel.h"
#include "tools/BatchRun.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr qint64 Steps = 1000000;

void RunModelToFile(benchmark::State &state)
{
    RunOptions options;
    options.modelPath = FullCapacityFolder().filePath(QStringLiteral("full"));
    options.timingFile = options.modelPath + QStringLiteral(".tim");
    options.code = 2;
    options.encoding = state.range(0) ? RunOptions::Encoding::Cp866 : RunOptions::Encoding::Utf8;
    const QByteArray outName = FullCapacityFolder().filePath(QStringLiteral("rows.txt")).toLocal8Bit();
    long bytes = 0;
    for (auto _ : state) {
        std::FILE *out = std::fopen(outName.constData(), "wb");
        if (!out || RunModel(options, out, stderr) != ExitSuccess)
            state.SkipWithError("the run failed");
        bytes = out ? std::ftell(out) : 0;
        if (out)
            std::fclose(out);
    }
    state.counters["steps/s"] = benchmark::Counter(double(Steps), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB written"] = double(bytes) / 1e6;
    state.SetLabel(state.range(0) ? "code page 866" : "UTF-8");
}
BENCHMARK(RunModelToFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void ModelrunProgramToFile(benchmark::State &state)
{
    const QString model = FullCapacityFolder().filePath(QStringLiteral("full.mod"));
    const QStringList arguments{model, QStringLiteral("--timing"), FullCapacityFolder().filePath(QStringLiteral("full.tim")),
                                QStringLiteral("--code"), QStringLiteral("2"), QStringLiteral("--steps"),
                                QString::number(Steps)};
    for (auto _ : state) {
        QProcess process;
        process.setStandardOutputFile(FullCapacityFolder().filePath(QStringLiteral("rows.txt")));
        process.start(QStringLiteral(MODELRUN_PATH), arguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0)
            state.SkipWithError("modelrun failed");
    }
}
BENCHMARK(ModelrunProgramToFile)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
