#include "check/LoadedBench.h"

#include "check/BenchParser.h"
#include "check/NearestNames.h"
#include "model/ContactFault.h"
#include "sim/RunSession.h"

namespace {

// The element a fault names.
std::expected<int, QString> faultElement(const BenchFault &fault, const ModelDefinition &definition)
{
    if (const int element = BenchElement(definition, fault.element))
        return element;
    return std::unexpected(QStringLiteral("элемента «%1» нет в модели").arg(fault.element));
}

QString inScenario(const QString &message, const BenchScenario &scenario)
{
    return QStringLiteral("%1 (сценарий «%2», строка %3)").arg(message, scenario.name).arg(scenario.place.line);
}

// Runs one scenario and keeps its signals at every step.
std::expected<SignalTrace, QString> record(const LoadedBench &bench, const BenchScenario &scenario,
                                           const RunScenario &run)
{
    RunSession session(bench.model);
    if (const auto prepared = session.setUp(run, false); !prepared)
        return std::unexpected(inScenario(prepared.error().message, scenario));
    if (session.lastStep() > MaxBenchSteps)
        return std::unexpected(BenchErrorAt(bench.bench.file, scenario.place,
                                            QStringLiteral("прогон в %1 шагов слишком длинный: не больше %2; задайте «шагов»")
                                                .arg(session.lastStep())
                                                .arg(MaxBenchSteps))
                                   .message);
    SignalTrace trace;
    trace.values.reserve(size_t(session.lastStep()) + 1);
    session.start();
    trace.values.push_back(SignalsOf(session.state()));
    while (session.step())
        trace.values.push_back(SignalsOf(session.state()));
    return trace;
}

} // namespace

int BenchElement(const ModelDefinition &definition, const QString &name)
{
    for (int i = 1; i <= definition.ElemCount; ++i)
        if (definition.ElemName[i] == name)
            return i;
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    return isNumber && number >= 1 && number <= definition.ElemCount ? number : 0;
}

uint32_t SignalsOf(const RunState &state)
{
    const RunSignals &now = state.now();
    uint32_t bits = now.InputVal[1] != 0 ? 1u : 0u;
    for (int i = 1; i <= state.ElemCount; ++i)
        bits |= uint32_t(now.ElemState[i][1] != 0) << i;
    for (int j = 1; j <= state.OutCount; ++j)
        bits |= uint32_t(now.OutState[j][1] != 0) << (MaxElements + j);
    return bits;
}

std::expected<OutputLevels, QString> ResolveLevels(const Bench &bench, const ModelDefinition &definition)
{
    QStringList outputs;
    for (int j = 1; j <= definition.OutCount; ++j)
        outputs.append(definition.OutName[j]);
    OutputLevels levels;
    for (const IndicationLevel &indication : bench.indications) {
        const qsizetype j = outputs.indexOf(indication.output);
        if (j >= 0) {
            levels.of[size_t(j + 1)] = int8_t(indication.level);
            continue;
        }
        const QStringList nearest = NearestNames(indication.output, outputs);
        QStringList quoted;
        for (const QString &name : nearest)
            quoted.append(QStringLiteral("«%1»").arg(name));
        const QString hint = nearest.isEmpty()
                                 ? QStringLiteral(" (есть: %1)").arg(outputs.join(QStringLiteral(", ")))
                                 : QStringLiteral("; может быть, %1?").arg(quoted.join(QStringLiteral(" или ")));
        return std::unexpected(
            BenchErrorAt(bench.file, indication.place,
                         QStringLiteral("выхода «%1» нет в модели%2").arg(indication.output, hint))
                .message);
    }
    return levels;
}

std::expected<LoadedBench, QString> LoadBench(const QString &fileName, const QString &modelPath)
{
    std::expected<Bench, BenchError> bench = ReadBenchFile(fileName);
    if (!bench)
        return std::unexpected(bench.error().message);
    QString benchModel = bench->modelFile;
    if (benchModel.endsWith(QLatin1String(".mod")))
        benchModel.chop(4);
    const std::expected<SharedModel, QString> model = LoadSharedModel(modelPath.isEmpty() ? benchModel : modelPath);
    if (!model)
        return std::unexpected(model.error());

    LoadedBench loaded;
    loaded.model = *model;
    const ModelDefinition &definition = loaded.model->definition;
    // Every name is checked before anything runs: a misspelt signal is a
    // fault of the bench, never a failure of the device.
    loaded.names = std::make_shared<const SignalNames>(definition);
    const std::expected<OutputLevels, QString> levels = ResolveLevels(*bench, definition);
    if (!levels)
        return std::unexpected(levels.error());
    loaded.levels = *levels;
    const std::vector<Contact> contacts = ModelContacts(definition);
    for (const BenchScenario &scenario : bench->scenarios) {
        for (const Expectation &expectation : scenario.expectations)
            if (const auto known = CheckSignalNames(expectation, *loaded.names, fileName); !known)
                return std::unexpected(known.error().message);
        std::expected<RunScenario, QString> run = ReadScenarioFiles(scenario.run, definition.ElemCount);
        if (!run)
            return std::unexpected(inScenario(run.error(), scenario));
        if (run->timing && !run->timingFile.isEmpty())
            for (const QString &warning :
                 TimingFileWarnings(run->timingFile, *run->timing, definition.ElemCount, !run->steps))
                if (!loaded.warnings.contains(warning))
                    loaded.warnings.append(warning);
        // A key or fault after the last step would never happen, and the
        // device would be judged on a scenario other than the one written.
        const qint64 length = RunLengthOf(*run);
        const auto pastTheEnd = [&](qint64 step, const BenchPlace &place) {
            return BenchErrorAt(fileName, place, QStringLiteral("шаг %1 за концом прогона (шагов: %2)").arg(step).arg(length))
                .message;
        };
        for (qsizetype k = 0; k < run->keys.size(); ++k)
            if (run->keys[k].step > length)
                return std::unexpected(pastTheEnd(run->keys[k].step, scenario.keyPlaces[k]));
        for (const BenchFault &fault : scenario.faults) {
            if (fault.contact) {
                const std::expected<int, QString> contact = FindContact(definition, contacts, fault.element);
                if (!contact)
                    return std::unexpected(BenchErrorAt(fileName, fault.place, contact.error()).message);
                if (fault.step > length)
                    return std::unexpected(pastTheEnd(fault.step, fault.stepPlace));
                run->faults.append(
                    RunScenario::FaultAt{fault.step, contacts[size_t(*contact - 1)].relay, fault.kind, *contact});
                continue;
            }
            const std::expected<int, QString> element = faultElement(fault, definition);
            if (!element)
                return std::unexpected(BenchErrorAt(fileName, fault.place, element.error()).message);
            if (fault.step > length)
                return std::unexpected(pastTheEnd(fault.step, fault.stepPlace));
            run->faults.append(RunScenario::FaultAt{fault.step, *element, fault.kind});
        }
        loaded.runs.append(*run);
    }
    loaded.bench = std::move(*bench);
    return loaded;
}

std::expected<QList<ExpectationResult>, QString> CheckBenchScenario(const LoadedBench &bench, int index,
                                                                    const RunScenario &run)
{
    const BenchScenario &scenario = bench.bench.scenarios[index];
    const std::expected<SignalTrace, QString> trace = record(bench, scenario, run);
    if (!trace)
        return std::unexpected(trace.error());
    QList<ExpectationResult> results;
    for (const Expectation &expectation : scenario.expectations) {
        std::expected<ExpectationResult, BenchError> outcome = Evaluate(expectation, *trace, *bench.names,
                                                                        bench.bench.file);
        if (!outcome)
            return std::unexpected(outcome.error().message);
        outcome->scenario = scenario.name;
        results.append(*outcome);
    }
    return results;
}

std::optional<ExpectationResult> FirstFailure(const QList<ExpectationResult> &results)
{
    std::optional<ExpectationResult> first;
    for (const ExpectationResult &result : results)
        if (!result.passed && (!first || result.step < first->step))
            first = result;
    return first;
}
