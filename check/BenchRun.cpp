#include "check/BenchRun.h"

#include "check/LoadedBench.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

BenchResult runBench(const QString &fileName)
{
    BenchResult result;
    result.file = fileName;
    const std::expected<LoadedBench, QString> bench = LoadBench(fileName);
    if (!bench) {
        result.error = bench.error();
        return result;
    }
    result.warnings = bench->warnings;
    for (int s = 0; s < bench->bench.scenarios.size(); ++s) {
        const std::expected<QList<ExpectationResult>, QString> checked = CheckBenchScenario(*bench, s, bench->runs[s]);
        if (!checked) {
            result.error = checked.error();
            return result;
        }
        result.results += *checked;
    }
    return result;
}

} // namespace

int BenchResult::failures() const
{
    return int(std::ranges::count_if(results, [](const ExpectationResult &r) { return !r.passed; }));
}

BenchResult RunBenchFile(const QString &fileName)
{
    QElapsedTimer timer;
    timer.start();
    BenchResult result = runBench(fileName);
    result.seconds = double(timer.nsecsElapsed()) / 1e9;
    return result;
}
