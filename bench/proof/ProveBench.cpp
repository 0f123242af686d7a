// The exhaustive search of modelrun prove: the decoder under every code
// sequence with and without single faults, the search over codes itself
// (bounded, for its states per second), and the full-capacity device under
// codes with a latency that cannot break, so that the search runs to its
// bound. Counters: states, states per second, bytes per
// stored state.

#include "bench/tools/FullCapacityModel.h"
#include "check/LoadedBench.h"
#include "proof/ProofBench.h"

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

void Measure(benchmark::State &state, const ProofQuestion &question)
{
    ProofAnswer answer;
    for (auto _ : state)
        answer = *Prove(question);
    state.counters["states"] = double(answer.states);
    state.counters["states/s"] = benchmark::Counter(double(answer.states), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes/state"] = answer.bytesPerState;
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

void DecoderEveryCodeSingleFaults(benchmark::State &state) { Measure(state, Question(Decoder, {})); }
BENCHMARK(DecoderEveryCodeSingleFaults)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

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

void FullCapacityCodes(benchmark::State &state)
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
    Measure(state, Question(bench, choices));
}
BENCHMARK(FullCapacityCodes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

BENCHMARK_MAIN();
