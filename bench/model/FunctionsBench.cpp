// One evaluation step (elements, then outputs) of a model at full capacity:
// compiled functions against the literal walk over the term texts.

#include "model/CompiledFunctions.h"
#include "tests/model/LiteralFunctions.h"

#include <QStringList>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// A relay-like model: 20 elements named "Р1".."Р20" with 40 terms each and
// 5 outputs with 25 terms each, every term a product of three to five
// operands. Under the signals set here nearly every term is false, so the OR
// runs through all the terms, as it does in a device that is mostly at rest.
class FullModel
{
public:
    FullModel()
    {
        m_state.ElemCount = MaxElements;
        m_state.OutCount = MaxOutputs;
        m_state.InputVal[1] = 1;
        for (int k = 1; k <= MaxElements; ++k) {
            m_state.ElemName[k] = QStringLiteral("Р%1").arg(k);
            m_state.ElemState[k] = {int16_t(k % 3 == 0), int16_t(k % 4 == 0)};
        }
        for (int i = 1; i <= MaxElements; ++i)
            fillFunction(m_state.ElemTermCount[i], m_state.ElemTerm[i].data(), MaxElemTerms, 0);
        for (int j = 1; j <= MaxOutputs; ++j)
            fillFunction(m_state.OutTermCount[j], m_state.OutTerm[j].data(), MaxOutTerms, 1);
    }

    RunState &state() { return m_state; }

private:
    // Terms of random operands. The first operand of a term is false under
    // the signals set here and the others true, so every term is false and
    // costs a full walk; every fourth function ends in a term that is true.
    void fillFunction(int16_t &termCount, QString *terms, int count, int column)
    {
        termCount = int16_t(count);
        const bool endsTrue = ++m_functions % 4 == 0;
        for (int t = 1; t <= count; ++t) {
            const int operands = std::uniform_int_distribution<int>(3, 5)(m_random);
            QStringList parts;
            for (int n = 0; n < operands; ++n) {
                const int k = std::uniform_int_distribution<int>(0, MaxElements)(m_random);
                const bool value = (k == 0 ? m_state.InputVal[1] : m_state.ElemState[k][column]) == 1;
                const bool wantTrue = n > 0 || (endsTrue && t == count);
                parts << (value != wantTrue ? QStringLiteral("-") : QString())
                             + (k == 0 ? QStringLiteral("p") : m_state.ElemName[k]);
            }
            terms[t] = parts.join(u'*');
        }
    }

    RunState m_state;
    std::mt19937 m_random{1207};
    int m_functions = 0;
};

void BM_CompiledStep(benchmark::State &bench)
{
    FullModel model;
    CompiledFunctions functions;
    functions.compile(model.state());
    RunState literal = model.state();
    Literal::EvalElements(literal);
    Literal::EvalOutputs(literal);
    functions.EvalElements(model.state());
    functions.EvalOutputs(model.state());
    if (literal.Excit != model.state().Excit || literal.OutState != model.state().OutState)
        bench.SkipWithError("the compiled functions and the literal walk disagree on this model");
    // Signals that change at every step defeat the reuse of the last
    // results: element 20 toggles, which leaves nearly every term false.
    const bool changing = bench.range(0) != 0;
    int16_t &toggled = model.state().ElemState[MaxElements][0];
    for (auto _ : bench) {
        if (changing) {
            toggled = int16_t(1 - toggled);
            model.state().ElemState[MaxElements][1] = toggled;
        }
        functions.EvalElements(model.state());
        functions.EvalOutputs(model.state());
        benchmark::DoNotOptimize(model.state().Excit);
        benchmark::DoNotOptimize(model.state().OutState);
    }
}
// 0: a device at rest, the same signals step after step; 1: changing signals.
BENCHMARK(BM_CompiledStep)->Arg(0)->Arg(1);

void BM_LiteralStep(benchmark::State &bench)
{
    FullModel model;
    for (auto _ : bench) {
        Literal::EvalElements(model.state());
        Literal::EvalOutputs(model.state());
        benchmark::DoNotOptimize(model.state().Excit);
        benchmark::DoNotOptimize(model.state().OutState);
    }
}
BENCHMARK(BM_LiteralStep);

// The translation, done once per run.
void BM_Compile(benchmark::State &bench)
{
    FullModel model;
    CompiledFunctions functions;
    for (auto _ : bench) {
        functions.compile(model.state());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Compile);

// The translation with one contact welded, done once per run of a contact
// fault that a campaign cannot settle from the fault-free run.
void BM_CompileWithContactFault(benchmark::State &bench)
{
    FullModel model;
    const int contacts = int(ModelContacts(model.state()).size());
    int contact = 0;
    for (auto _ : bench) {
        const FunctionProgram program(model.state(), {{1 + contact++ % contacts, ContactWelded}});
        benchmark::DoNotOptimize(program.elementCount());
    }
}
BENCHMARK(BM_CompileWithContactFault);

} // namespace

BENCHMARK_MAIN();
