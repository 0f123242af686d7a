#include "BenchRun.h"

#include "BenchEvaluate.h"
#include "BenchParser.h"
#include "LoadedModel.h"
#include "RunSession.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// The element a fault names: its name as the model spells it, or its number.
std::expected<int, QString> faultElement(const BenchFault &fault, const ModelDefinition &definition)
{
    for (int i = 1; i <= definition.ElemCount; ++i)
        if (definition.ElemName[i] == fault.element)
            return i;
    bool isNumber = false;
    const int number = fault.element.toInt(&isNumber);
    if (isNumber && number >= 1 && number <= definition.ElemCount)
        return number;
    return std::unexpected(QStringLiteral("элемента «%1» нет в модели").arg(fault.element));
}

uint32_t signalsOf(const ModelState &state)
{
    uint32_t bits = state.InputVal[1] != 0 ? 1u : 0u;
    for (int i = 1; i <= state.ElemCount; ++i)
        bits |= uint32_t(state.ElemState[i][1] != 0) << i;
    for (int j = 1; j <= state.OutCount; ++j)
        bits |= uint32_t(state.OutState[j][1] != 0) << (MaxElements + j);
    return bits;
}

// Runs one scenario and keeps its signals at every step.
std::expected<SignalTrace, QString> record(const SharedModel &model, const Bench &bench, const BenchScenario &scenario)
{
    RunScenario run = scenario.run;
    for (const BenchFault &fault : scenario.faults) {
        const std::expected<int, QString> element = faultElement(fault, model->definition);
        if (!element)
            return std::unexpected(BenchErrorAt(bench.file, fault.place, element.error()).message);
        run.faults.append(RunScenario::FaultAt{fault.step, *element, fault.kind});
    }
    SessionHost host;
    RunSession session(model, host);
    if (const auto prepared = session.setUp(run, false); !prepared)
        return std::unexpected(QStringLiteral("%1 (сценарий «%2», строка %3)")
                                   .arg(prepared.error().message, scenario.name)
                                   .arg(scenario.place.line));
    if (session.lastStep() > MaxBenchSteps)
        return std::unexpected(BenchErrorAt(bench.file, scenario.place,
                                            QStringLiteral("прогон в %1 шагов слишком длинный: не больше %2; задайте «шагов»")
                                                .arg(session.lastStep())
                                                .arg(MaxBenchSteps))
                                   .message);
    SignalTrace trace;
    trace.values.reserve(size_t(session.lastStep()) + 1);
    session.start();
    trace.values.push_back(signalsOf(session.state()));
    while (session.step())
        trace.values.push_back(signalsOf(session.state()));
    return trace;
}

BenchResult runBench(const QString &fileName)
{
    BenchResult result;
    result.file = fileName;
    const std::expected<Bench, BenchError> bench = ReadBenchFile(fileName);
    if (!bench) {
        result.error = bench.error().message;
        return result;
    }
    QString modelPath = bench->modelFile;
    if (modelPath.endsWith(QLatin1String(".mod")))
        modelPath.chop(4);
    const std::expected<SharedModel, QString> model = LoadSharedModel(modelPath);
    if (!model) {
        result.error = model.error();
        return result;
    }
    // Every name is checked before anything runs: a misspelt signal is a
    // fault of the bench, never a failure of the device.
    const SignalNames names((*model)->definition);
    for (const BenchScenario &scenario : bench->scenarios)
        for (const Expectation &expectation : scenario.expectations)
            if (const auto known = CheckSignalNames(expectation, names, fileName); !known) {
                result.error = known.error().message;
                return result;
            }

    for (const BenchScenario &scenario : bench->scenarios) {
        const std::expected<SignalTrace, QString> trace = record(*model, *bench, scenario);
        if (!trace) {
            result.error = trace.error();
            return result;
        }
        for (const Expectation &expectation : scenario.expectations) {
            std::expected<ExpectationResult, BenchError> outcome = Evaluate(expectation, *trace, names, fileName);
            if (!outcome) {
                result.error = outcome.error().message;
                return result;
            }
            outcome->scenario = scenario.name;
            result.results.append(*outcome);
        }
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
