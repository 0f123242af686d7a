// The two engines of modelrun prove side by side (the explicit search also
// on two threads): the decoder under every
// code sequence with and without single faults, with relay bands of 20 %,
// and with contact faults (where the explicit search outgrows memory and
// is stopped at ten million states, as it is with the bands), the search
// over codes itself
// (bounded, for its states per second), and the full-capacity device under
// codes with a latency that cannot break. Counters: states, states per
// second, bytes per stored state, MiB of stored states (explicit search).

#include "bench/tools/FullCapacityModel.h"
#include "check/LoadedBench.h"
#include "proof/ProofBench.h"
#include "proof/ProofEngines.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

ProofQuestion Question(const QString &benchFile, const ProofChoices &choices)
{
    const auto bench = LoadBench(benchFile);
    if (!bench)
        qFatal("%s", qPrintable(bench.error()));
    const auto question = QuestionFromBench(*bench, choices);
    if (!question)
        qFatal("%s", qPrintable(question.error()));
    return *question;
}

void Measure(benchmark::State &state, const ProofQuestion &question, ProofEngine engine = ProofEngine::Explicit)
{
    ProofAnswer answer;
    for (auto _ : state) {
        const auto answered = ProveWith(engine, question);
        if (!answered)
            qFatal("%s", qPrintable(answered.error()));
        answer = *answered;
    }
    // ABC's own memory is not seen from here (a forked child's peak counts
    // this process's pages too); /usr/bin/time on berkeley-abc gives it.
    if (engine == ProofEngine::Explicit) {
        state.counters["states"] = double(answer.states);
        state.counters["states/s"] = benchmark::Counter(double(answer.states), benchmark::Counter::kIsIterationInvariantRate);
        state.counters["bytes/state"] = answer.bytesPerState;
        state.counters["MiB"] = double(answer.states) * answer.bytesPerState / (1 << 20);
    }
    static const char *verdicts[] = {"proved", "refuted", "not proved"};
    state.SetLabel(verdicts[int(answer.verdict)]);
}

const QString Decoder = QStringLiteral(EXAMPLES_DIR "/decoder-prove.bench");

void DecoderEveryCode(benchmark::State &state)
{
    ProofChoices choices;
    choices.faults = ProofQuestion::Faults::None;
    Measure(state, Question(Decoder, choices));
}
BENCHMARK(DecoderEveryCode)->Unit(benchmark::kMillisecond)->UseRealTime();

void DecoderEveryCodeSingleFaults(benchmark::State &state, ProofEngine engine)
{
    Measure(state, Question(Decoder, {}), engine);
}

// The same on two threads; the answer is the same, only sooner.
void DecoderEveryCodeSingleFaultsTwoJobs(benchmark::State &state)
{
    ProofChoices choices;
    choices.jobs = 2;
    Measure(state, Question(Decoder, choices));
}
BENCHMARK(DecoderEveryCodeSingleFaultsTwoJobs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(DecoderEveryCodeSingleFaults, explicit, ProofEngine::Explicit)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(DecoderEveryCodeSingleFaults, abc, ProofEngine::Abc)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void DecoderBands20(benchmark::State &state, ProofEngine engine)
{
    ProofChoices choices;
    choices.faults = ProofQuestion::Faults::None;
    choices.tolerancePercent = 20;
    choices.maxStates = 10'000'000;
    choices.timeSeconds = 300;
    Measure(state, Question(Decoder, choices), engine);
}
BENCHMARK_CAPTURE(DecoderBands20, explicit, ProofEngine::Explicit)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(DecoderBands20, abc, ProofEngine::Abc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void DecoderContactFaults(benchmark::State &state, ProofEngine engine)
{
    ProofChoices choices;
    choices.contacts = true;
    choices.maxStates = 10'000'000;
    Measure(state, Question(Decoder, choices), engine);
}
BENCHMARK_CAPTURE(DecoderContactFaults, explicit, ProofEngine::Explicit)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(DecoderContactFaults, abc, ProofEngine::Abc)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// A latency property is about codes, so the search runs over the codes and
// the transmitter; stopped after two million states.
void DecoderCodesLatency(benchmark::State &state)
{
    ProofChoices choices;
    choices.minChangeSteps = 100;
    choices.faults = ProofQuestion::Faults::None;
    choices.latencySteps = 200;
    choices.maxStates = 2'000'000;
    Measure(state, Question(Decoder, choices));
}
BENCHMARK(DecoderCodesLatency)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void FullCapacityCodes(benchmark::State &state, ProofEngine engine)
{
    const QString bench = FullCapacityFolder().filePath(QStringLiteral("full.bench"));
    QFile file(bench);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QStringLiteral("модель full.mod\nвремена full.tim\nпоказание В1 0\n"
                                     "запаздывание показания 2с\n").toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(bench));
    file.close();
    ProofChoices choices;
    choices.maxStates = 2'000'000;
    choices.timeSeconds = 120;
    Measure(state, Question(bench, choices), engine);
}
BENCHMARK_CAPTURE(FullCapacityCodes, explicit, ProofEngine::Explicit)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(FullCapacityCodes, abc, ProofEngine::Abc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
