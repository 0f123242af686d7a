// Steps per second of a full-capacity model (20 elements of 40 terms, 5
// outputs of 25 terms), rows composed but written to no device.

#include "sim/DiagramStep.h"
#include "model/RunState.h"
#include "vesk/CodeTransmitter.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

class SilentHost : public CodeInput
{
public:
    CodeTransmitter transmitter;

    int16_t WhodKod(int16_t Nkod) override
    {
        transmitter.WhodKod(Nkod);
        return transmitter.Wuhod;
    }
};

// One step, every question answered Yes: past the run length the
// continuation question comes, and the step waits until it is answered.
void step(DiagramStep &diag)
{
    for (StepOutcome outcome = diag.ShowDiag(); outcome != StepOutcome::Done; outcome = diag.resume()) {
    }
}

QString elementName(int i) { return QStringLiteral("Р%1").arg(i); }

// A term of three operands over the input and the elements, each negated at
// random: most terms are false, so the OR runs through many of them.
QString randomTerm(std::mt19937 &random, int elemCount)
{
    std::uniform_int_distribution<int> operand(0, elemCount);
    std::bernoulli_distribution negate(0.5);
    QStringList operands;
    for (int k = 0; k < 3; ++k) {
        const int which = operand(random);
        const QString name = which == 0 ? QStringLiteral("p") : elementName(which);
        operands.append(negate(random) ? QStringLiteral("-") + name : name);
    }
    return operands.join(QLatin1Char('*'));
}

void fullCapacityModel(RunState &state)
{
    std::mt19937 random(20261207);
    state.ElemCount = MaxElements;
    state.OutCount = MaxOutputs;
    for (int i = 1; i <= MaxElements; ++i) {
        state.ElemName[i] = elementName(i);
        state.ElemTermCount[i] = MaxElemTerms;
        for (int t = 1; t <= MaxElemTerms; ++t)
            state.ElemTerm[i][t] = randomTerm(random, MaxElements);
        state.Tpr[i] = 0.01f * float(i % 7);
        state.Totp[i] = 0.01f * float(i % 5 + 1);
    }
    for (int j = 1; j <= MaxOutputs; ++j) {
        state.OutName[j] = QStringLiteral("В%1").arg(j);
        state.OutTermCount[j] = MaxOutTerms;
        for (int t = 1; t <= MaxOutTerms; ++t)
            state.OutTerm[j][t] = randomTerm(random, MaxElements);
    }
}

void runSteps(benchmark::State &bench, int16_t changeMode)
{
    RunState state;
    state.bringToRest();
    fullCapacityModel(state);
    state.RunLength = 1000000;
    state.ChangeMode = changeMode;
    SilentHost host;
    DiagramStep diag(state, host);
    diag.CompileModel();
    diag.Start(3);

    int64_t rows = 0;
    for (auto _ : bench) {
        step(diag);
        rows += diag.RowDue;
        benchmark::DoNotOptimize(diag.RowText.data());
    }
    bench.SetItemsProcessed(bench.iterations());
    bench.counters["changes"] = benchmark::Counter(double(rows) / double(bench.iterations()));
}

// The functions alone on the same model and states, to tell how much of a
// step is the evaluation of the functions.
void FunctionsOfAStep(benchmark::State &bench)
{
    RunState state;
    state.bringToRest();
    fullCapacityModel(state);
    state.RunLength = 1000000;
    SilentHost host;
    DiagramStep diag(state, host);
    diag.CompileModel();
    diag.Start(3);
    for (int k = 0; k < 1000; ++k) // states of a device that has run a while
        step(diag);
    CompiledFunctions functions;
    functions.compile(state);
    RunSignals now = state.now();
    for (auto _ : bench) {
        functions.EvalElements(now);
        functions.EvalOutputs(now);
        benchmark::DoNotOptimize(now.OutState.data());
    }
    bench.SetItemsProcessed(bench.iterations());
}

void TimingDiagramSteps(benchmark::State &bench) { runSteps(bench, FlagFalse); }
void ChangeDiagramSteps(benchmark::State &bench) { runSteps(bench, FlagTrue); }

} // namespace

BENCHMARK(FunctionsOfAStep);
BENCHMARK(TimingDiagramSteps);
BENCHMARK(ChangeDiagramSteps);
BENCHMARK_MAIN();
