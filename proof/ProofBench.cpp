#include "proof/ProofBench.h"

#include <QRegularExpression>

#include "analysis/SafetyJudgement.h"
#include "proof/CounterexampleBreach.h"
#include "proof/DeviceCircuit.h"
#include "model/ContactFault.h"
#include "model/StepTime.h"
#include "sim/RunSession.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace {

// The steps a delay of so many hundredths of a second takes.
std::expected<int, QString> BandEnd(qint64 hundredths)
{
    return DelaySteps(float(double(hundredths) / StepTime::StepsPerSecond));
}

using Bands = std::array<std::array<DelayBand, 2>, MaxElements + 1>;

// Every delay's band: ± percent around the nominal time, whole hundredths
// outward, or the nominal steps alone; then the bands the bench gives per
// element in their place.
std::expected<Bands, QString> BandsOf(const LoadedBench &loaded, const TimingValues &timing,
                                      std::optional<double> percent)
{
    const ModelDefinition &definition = loaded.model->definition;
    const QString &file = loaded.bench.file;
    Bands bands{};
    const double p = percent.value_or(0) / 100;
    for (int i = 1; i <= definition.ElemCount; ++i)
        for (int side = 0; side < 2; ++side) {
            const double nominal = double(side == 0 ? timing.Tpr[size_t(i)] : timing.Totp[size_t(i)]);
            const double low = std::floor((1 - p) * nominal * StepTime::StepsPerSecond + 1e-6);
            const double high = std::ceil((1 + p) * nominal * StepTime::StepsPerSecond - 1e-6);
            const auto first = BandEnd(qint64(std::max(0.0, low)));
            const auto last = BandEnd(qint64(high));
            if (!first || !last)
                return std::unexpected(QStringLiteral("Файл %1: элемент %2: %3")
                                           .arg(file, definition.ElemName[i], (first ? last : first).error()));
            bands[size_t(i)][size_t(side)] = {*first, *last};
        }
    for (const BenchProof::ElementBand &band : loaded.bench.proof.bands) {
        const int i = BenchElement(definition, band.element);
        if (i == 0)
            return std::unexpected(
                BenchErrorAt(file, band.place, QStringLiteral("элемента «%1» нет в модели").arg(band.element)).message);
        const std::optional<BenchProof::Band> sides[2] = {band.pickup, band.release};
        for (int side = 0; side < 2; ++side) {
            if (!sides[side])
                continue;
            const auto first = BandEnd(sides[side]->first);
            const auto last = BandEnd(sides[side]->last);
            if (!first || !last)
                return std::unexpected(BenchErrorAt(file, band.place, (first ? last : first).error()).message);
            bands[size_t(i)][size_t(side)] = {*first, *last};
        }
    }
    return bands;
}

// A time the command line gives, else the bench's; both in steps.
std::optional<int> StepsChosen(std::optional<qint64> chosen, std::optional<qint64> benchSteps)
{
    const std::optional<qint64> steps = chosen ? chosen : benchSteps;
    return steps ? std::optional<int>(int(*steps)) : std::nullopt;
}

QString CodeKey(int16_t code)
{
    static const QString keys[4] = {QStringLiteral(")"), QStringLiteral("!"), QStringLiteral("@"), QStringLiteral("#")};
    return keys[std::clamp<int>(code, 0, 3)];
}

} // namespace

std::expected<ProofQuestion, QString> QuestionFromBench(const LoadedBench &loaded, const ProofChoices &choices)
{
    const Bench &bench = loaded.bench;
    const BenchProof &proof = bench.proof;
    const ModelDefinition &definition = loaded.model->definition;
    ProofQuestion question;
    question.benchFile = bench.file;
    question.model = loaded.model;

    const std::expected<RunScenario, QString> run = ReadScenarioFiles(bench.everyRun, definition.ElemCount);
    if (!run)
        return std::unexpected(run.error());
    question.timing = run->timing ? *run->timing : DefaultTiming(definition.ElemCount);
    question.timingFile = run->timingFile;
    question.whdFile = run->whdFile;
    question.kpt = run->whdFile.isEmpty() ? run->kpt : 0;
    question.codeTiming = run->codeTiming ? *run->codeTiming : run->kpt == 7 ? CodeTiming::Kpt7() : CodeTiming::Kpt5();

    question.input = choices.freeInput.value_or(proof.freeInput) ? ProofQuestion::Input::Free
                                                                 : ProofQuestion::Input::Codes;
    if (choices.codes)
        question.codes = *choices.codes;
    else if (proof.codes)
        question.codes = std::vector<int16_t>(proof.codes->begin(), proof.codes->end());
    if (question.input == ProofQuestion::Input::Codes && question.codes.empty())
        return std::unexpected(QStringLiteral("Файл %1: не задано ни одного кода").arg(bench.file));
    question.minChangeSteps = StepsChosen(choices.minChangeSteps, proof.minChangeSteps).value_or(0);

    question.faults = choices.faults.value_or(ProofQuestion::Faults(proof.faults.value_or(0)));
    question.contacts = choices.contacts.value_or(proof.contacts);

    const std::optional<double> percent = choices.tolerancePercent ? choices.tolerancePercent : proof.tolerancePercent;
    if (percent && !(*percent >= 0 && *percent < 100))
        return std::unexpected(QStringLiteral("Допуск %1%: нужно от 0 до 100%").arg(*percent));
    if (percent || !proof.bands.isEmpty()) {
        const auto bands = BandsOf(loaded, question.timing, percent);
        if (!bands)
            return std::unexpected(bands.error());
        question.bands = *bands;
    }

    for (const Expectation &expectation : bench.everyScenario) {
        const bool invariant = expectation.kind == Expectation::Kind::Never || expectation.kind == Expectation::Kind::Always;
        // An expectation over part of a run says when, which a proof over
        // every run has no step for.
        if (!invariant || expectation.range.first != 1 || expectation.range.last)
            continue;
        if (const auto known = CheckSignalNames(expectation, *loaded.names, bench.file); !known)
            return std::unexpected(known.error().message);
        question.invariants.push_back({expectation.signal, expectation.kind == Expectation::Kind::Never,
                                       expectation.text, expectation.place});
    }
    question.names = loaded.names;
    question.levels = loaded.levels;

    const std::optional<int> latency = StepsChosen(choices.latencySteps, proof.latencySteps);
    const std::optional<int> response = StepsChosen(choices.responseSteps, proof.responseSteps);
    if (response && *response < 1)
        return std::unexpected(QStringLiteral("Отклик: нужно не меньше одного шага"));
    question.latencySteps = latency;
    question.responseSteps = response;
    for (const auto &[asked, fromBench, place, what] :
         {std::tuple{latency, proof.latencySteps, proof.latencyPlace, QStringLiteral("запаздывание показания")},
          std::tuple{response, proof.responseSteps, proof.responsePlace, QStringLiteral("отклик")}}) {
        if (!asked)
            continue;
        QString why;
        if (!loaded.levels.any())
            why = QStringLiteral("%1 проверяется по уровням показаний, а в стенде нет строк «показание ВЫХОД УРОВЕНЬ»")
                      .arg(what);
        else if (question.input == ProofQuestion::Input::Free)
            why = QStringLiteral("%1 сравнивает показание с кодами, а вход задан свободным").arg(what);
        if (why.isEmpty())
            continue;
        return std::unexpected(choices.latencySteps || choices.responseSteps || !fromBench
                                   ? QStringLiteral("Файл %1: %2").arg(bench.file, why)
                                   : BenchErrorAt(bench.file, place, why).message);
    }
    if (question.invariants.empty() && !question.latencySteps && !question.responseSteps)
        return std::unexpected(QStringLiteral("Файл %1: нечего доказывать: нет ни «ожидать никогда/всегда» до первого "
                                              "сценария, ни запаздывания показания, ни отклика")
                                   .arg(bench.file));

    question.jobs = choices.jobs;
    question.maxStates = choices.maxStates;
    question.memoryBytes = choices.memoryBytes;
    question.timeSeconds = choices.timeSeconds;
    return question;
}

RunScenario CounterexampleScenario(const ProofQuestion &question, const Counterexample &counterexample)
{
    RunScenario run;
    run.timing = counterexample.timing;
    run.codeTiming = question.codeTiming;
    run.kpt = question.kpt == 7 ? 7 : 5;
    run.whdFile = question.whdFile;
    run.steps = counterexample.steps();
    const std::vector<int16_t> &inputs = counterexample.inputs;
    const bool free = question.input == ProofQuestion::Input::Free;
    run.code = free || inputs.empty() ? 0 : inputs.front();
    for (size_t s = 0; s < inputs.size(); ++s) {
        // A free input is a constant from the first step on.
        const bool change = s == 0 ? free : inputs[s] != inputs[s - 1];
        if (change)
            run.keys.append({qint64(s) + 1, free ? QString::number(inputs[s] != 0) : CodeKey(inputs[s])});
    }
    run.faults = QList<RunScenario::FaultAt>(counterexample.faults.begin(), counterexample.faults.end());
    return run;
}

namespace {

// Whether the counterexample is one of the runs the question allows: a run
// outside them proves nothing about the device.
std::expected<void, QString> WithinQuestion(const ProofQuestion &question, const Counterexample &counterexample)
{
    const bool free = question.input == ProofQuestion::Input::Free;
    // The first code starts at step 1, which counts as a change.
    qint64 lastChange = 1;
    for (size_t s = 0; s < counterexample.inputs.size(); ++s) {
        const int16_t input = counterexample.inputs[s];
        const bool allowed = free ? (input == 0 || input == 1) : std::ranges::find(question.codes, input) != question.codes.end();
        if (!allowed)
            return std::unexpected(QStringLiteral("на шаге %1 вход %2, которого нет среди возможных").arg(s + 1).arg(input));
        if (s > 0 && !free && input != counterexample.inputs[s - 1]) {
            if (qint64(s) + 1 - lastChange < question.minChangeSteps)
                return std::unexpected(QStringLiteral("смена кода на шаге %1 раньше, чем через %2 шагов после предыдущей")
                                           .arg(s + 1).arg(question.minChangeSteps));
            lastChange = qint64(s) + 1;
        }
    }
    const size_t allowedFaults = question.faults == ProofQuestion::Faults::None ? 0
                                 : question.faults == ProofQuestion::Faults::Single ? 1 : 2;
    if (counterexample.faults.size() > allowedFaults)
        return std::unexpected(QStringLiteral("неисправностей %1, а допускается %2").arg(counterexample.faults.size()).arg(allowedFaults));
    for (const RunScenario::FaultAt &fault : counterexample.faults)
        if (IsContactFaultKind(fault.kind) && !question.contacts)
            return std::unexpected(QStringLiteral("неисправность контакта, а контакты не перебираются"));
    const ModelDefinition &definition = question.model->definition;
    for (int i = 1; i <= definition.ElemCount; ++i)
        for (int side = 0; side < 2; ++side) {
            const float time = side == 0 ? counterexample.timing.Tpr[size_t(i)] : counterexample.timing.Totp[size_t(i)];
            const float nominal = side == 0 ? question.timing.Tpr[size_t(i)] : question.timing.Totp[size_t(i)];
            const auto steps = DelaySteps(time);
            const auto nominalSteps = DelaySteps(nominal);
            const DelayBand band = question.bands ? (*question.bands)[size_t(i)][size_t(side)]
                                                  : DelayBand{nominalSteps.value_or(0), nominalSteps.value_or(0)};
            if (!steps || *steps < band.first || *steps > band.last)
                return std::unexpected(QStringLiteral("время %1 элемента %2 (%3 с) вне допуска")
                                           .arg(side == 0 ? QStringLiteral("срабатывания") : QStringLiteral("отпускания"),
                                                definition.ElemName[i]).arg(double(time)));
        }
    return {};
}

} // namespace

std::expected<SignalTrace, QString> RunCounterexample(const ProofQuestion &question, const Counterexample &counterexample,
                                                      StepObserver *observer)
{
    RunSession session(question.model);
    if (const auto prepared = session.setUp(CounterexampleScenario(question, counterexample), false); !prepared)
        return std::unexpected(prepared.error().message);
    if (observer)
        session.addObserver(*observer);
    SignalTrace trace;
    session.start();
    trace.values.push_back(SignalsOf(session.state()));
    while (session.step())
        trace.values.push_back(SignalsOf(session.state()));
    if (trace.lastStep() != counterexample.steps())
        return std::unexpected(QStringLiteral("прогон кончился на шаге %1, а не на %2").arg(trace.lastStep()).arg(counterexample.steps()));
    return trace;
}

std::expected<std::optional<Breach>, QString> FirstBreach(const ProofQuestion &question,
                                                          const Counterexample &counterexample)
{
    const auto run = RunCounterexample(question, counterexample);
    if (!run)
        return std::unexpected(run.error());
    const SignalTrace &trace = *run;
    // The first step each invariant breaks at.
    std::vector<qint64> broken;
    for (const ProofQuestion::Invariant &invariant : question.invariants) {
        Expectation expectation;
        expectation.kind = invariant.never ? Expectation::Kind::Never : Expectation::Kind::Always;
        expectation.signal = invariant.expression;
        expectation.text = invariant.text;
        expectation.place = invariant.place;
        const auto result = Evaluate(expectation, trace, *question.names, question.benchFile);
        if (!result)
            return std::unexpected(result.error().message);
        broken.push_back(result->passed ? std::numeric_limits<qint64>::max() : result->step);
    }
    const std::vector<int16_t> &inputs = counterexample.inputs;
    for (qint64 t = 1; t <= trace.lastStep(); ++t) {
        const bool faulty = std::ranges::any_of(counterexample.faults, [t](const auto &f) { return f.step <= t; });
        for (size_t k = 0; k < broken.size(); ++k)
            if (broken[k] == t)
                return Breach{Breach::Kind::Invariant, int(k), t, -1, -1, t};
        const int shown = ShownLevel(question.levels, trace.values[size_t(t)] >> MaxElements);
        if (question.latencySteps) {
            const qint64 from = std::max<qint64>(1, t - *question.latencySteps);
            int warranted = 0;
            for (qint64 u = from; u <= t; ++u)
                warranted = std::max<int>(warranted, CodeLevel(inputs[size_t(u - 1)], false));
            if (shown > warranted)
                return Breach{Breach::Kind::Latency, -1, t, shown, warranted, from};
        }
        if (question.responseSteps && t >= *question.responseSteps) {
            const int16_t code = inputs[size_t(t - 1)];
            const qint64 from = t - *question.responseSteps + 1;
            bool steady = true;
            for (qint64 u = from; u < t; ++u)
                steady = steady && inputs[size_t(u - 1)] == code;
            const int warranted = CodeLevel(code, false);
            if (steady && (faulty ? shown > warranted : shown != warranted))
                return Breach{Breach::Kind::Response, -1, t, shown, warranted, from};
        }
    }
    return std::nullopt;
}

std::expected<std::vector<int16_t>, QString> ParseCodeList(const QString &what, const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    std::vector<int16_t> codes;
    const QStringList words = text.split(separators, Qt::SkipEmptyParts);
    for (const QString &word : words) {
        bool ok = false;
        const int code = word.toInt(&ok);
        if (!ok || code < 0 || code > 3 || std::ranges::find(codes, int16_t(code)) != codes.end())
            break;
        codes.push_back(int16_t(code));
    }
    if (codes.empty() || codes.size() != size_t(words.size()))
        return std::unexpected(
            QStringLiteral("%1: «%2» — нужны разные коды 0, 1, 2, 3 через запятую или пробел").arg(what, text));
    return codes;
}

std::expected<double, QString> ParseTolerance(const QString &what, const QString &text)
{
    static const QRegularExpression percent(QStringLiteral("^([0-9]+(?:[.,][0-9]*)?)\\s*%?$"));
    const QRegularExpressionMatch m = percent.match(text.trimmed());
    const double number = m.hasMatch() ? m.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble() : -1;
    if (!(number >= 0 && number < 100))
        return std::unexpected(
            QStringLiteral("%1: «%2» — нужно число процентов от 0 до 100, например 10%").arg(what, text));
    return number;
}

void SetDelaySteps(TimingValues &timing, int element, int side, int steps)
{
    (side == 0 ? timing.Tpr : timing.Totp)[size_t(element)] = float(double(steps) / StepTime::StepsPerSecond);
}

QString LatencyProperty(const ProofQuestion &question)
{
    return QStringLiteral("показание не выше кодов последних %1 с")
        .arg(double(question.latencySteps.value_or(0)) / StepTime::StepsPerSecond);
}

QString ResponseProperty(const ProofQuestion &question)
{
    return QStringLiteral("показание кода через %1 с после его начала")
        .arg(double(question.responseSteps.value_or(0)) / StepTime::StepsPerSecond);
}

QString BreachProperty(const ProofQuestion &question, const Breach &breach)
{
    switch (breach.kind) {
    case Breach::Kind::Invariant:
        return question.invariants[size_t(breach.invariant)].text;
    case Breach::Kind::Latency:
        return LatencyProperty(question);
    case Breach::Kind::Response:
        return ResponseProperty(question);
    }
    return {};
}

std::expected<void, QString> ReplayCounterexample(const ProofQuestion &question, const Counterexample &counterexample)
{
    const auto fail = [](const QString &why) {
        return std::unexpected(QStringLiteral("Контрпример не воспроизводится: %1").arg(why));
    };
    if (counterexample.inputs.empty())
        return fail(QStringLiteral("в нём нет ни одного шага"));
    if (const auto within = WithinQuestion(question, counterexample); !within)
        return fail(within.error());
    const auto breach = FirstBreach(question, counterexample);
    if (!breach)
        return fail(breach.error());
    if (!*breach)
        return fail(QStringLiteral("за %1 шагов обычного прогона ни одно свойство не нарушено").arg(counterexample.steps()));
    const Breach &found = **breach;
    if (found.step != counterexample.steps())
        return fail(QStringLiteral("обычный прогон нарушает «%1» уже на шаге %2, а не на %3")
                        .arg(BreachProperty(question, found)).arg(found.step).arg(counterexample.steps()));
    if (counterexample.shown >= 0 && (found.shown != counterexample.shown || found.warranted != counterexample.warranted))
        return fail(QStringLiteral("на шаге %1 показан уровень %2 при допустимом %3, а не %4 при %5")
                        .arg(found.step).arg(found.shown).arg(found.warranted).arg(counterexample.shown).arg(counterexample.warranted));
    return {};
}
