// What the report file costs a step: one diagram row sent to the devices
// with file output off, and with it on, where each row reaches the file
// before the step ends (so a killed run loses no row it has shown).

#include "report/ReportOutput.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class NoDevices : public OutputDevices
{
public:
    void ScreenRow(const QByteArray &row) override { benchmark::DoNotOptimize(row.constData()); }
    void ScreenHeading(const QByteArray &) override {}
    void ReportError(const QString &) override { std::abort(); }
};

// A row of a model with 20 elements and 5 outputs, as the diagram writes it.
QByteArray fullRow()
{
    QByteArray row;
    for (int cell = 0; cell < 26; ++cell)
        row += "\xB3    ";
    return row + "12,30";
}

// The report in the folder given by MODEL_BENCH_DIR, or in the temporary
// folder: the cost depends on the file system beneath it.
void writeRows(benchmark::State &bench, bool toFile)
{
    const QString base = qEnvironmentVariable("MODEL_BENCH_DIR", QDir::tempPath());
    QTemporaryDir dir(base + QStringLiteral("/report-bench-XXXXXX"));
    RunState state;
    NoDevices devices;
    ReportOutput output(state, devices);
    output.setReportFileName(dir.filePath(QStringLiteral("bench.out")));
    state.ToScreen = FlagTrue;
    state.ToFile = toFile ? FlagTrue : FlagFalse;
    const QByteArray row = fullRow();
    for (auto _ : bench)
        output.WriteRow(row);
    bench.SetItemsProcessed(bench.iterations());
    bench.SetLabel(QDir(base).absolutePath().toStdString());
}

void BM_RowScreenOnly(benchmark::State &bench) { writeRows(bench, false); }
void BM_RowScreenAndFile(benchmark::State &bench) { writeRows(bench, true); }

} // namespace

BENCHMARK(BM_RowScreenOnly);
BENCHMARK(BM_RowScreenAndFile);
BENCHMARK_MAIN();
