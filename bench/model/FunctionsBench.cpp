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
        m_definition.ElemCount = MaxElements;
        m_definition.OutCount = MaxOutputs;
        m_now.InputVal[1] = 1;
        for (int k = 1; k <= MaxElements; ++k) {
            m_definition.ElemName[k] = QStringLiteral("Р%1").arg(k);
            m_now.ElemState[k] = {int16_t(k % 3 == 0), int16_t(k % 4 == 0)};
        }
        for (int i = 1; i <= MaxElements; ++i)
            fillFunction(m_definition.ElemTermCount[i], m_definition.ElemTerm[i].data(), MaxElemTerms, 0);
        for (int j = 1; j <= MaxOutputs; ++j)
            fillFunction(m_definition.OutTermCount[j], m_definition.OutTerm[j].data(), MaxOutTerms, 1);
    }

    const ModelDefinition &definition() const { return m_definition; }
    RunSignals &now() { return m_now; }

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
                const bool value = (k == 0 ? m_now.InputVal[1] : m_now.ElemState[k][column]) == 1;
                const bool wantTrue = n > 0 || (endsTrue && t == count);
                parts << (value != wantTrue ? QStringLiteral("-") : QString())
                             + (k == 0 ? QStringLiteral("p") : m_definition.ElemName[k]);
            }
            terms[t] = parts.join(u'*');
        }
    }

    ModelDefinition m_definition;
    RunSignals m_now;
    std::mt19937 m_random{1207};
    int m_functions = 0;
};

void BM_CompiledStep(benchmark::State &bench)
{
    FullModel model;
    CompiledFunctions functions;
    functions.compile(model.definition());
    RunSignals literal = model.now();
    Literal::EvalElements(model.definition(), literal);
    Literal::EvalOutputs(model.definition(), literal);
    functions.EvalElements(model.now());
    functions.EvalOutputs(model.now());
    if (literal.Excit != model.now().Excit || literal.OutState != model.now().OutState)
        bench.SkipWithError("the compiled functions and the literal walk disagree on this model");
    // Signals that change at every step defeat the reuse of the last
    // results: element 20 toggles, which leaves nearly every term false.
    const bool changing = bench.range(0) != 0;
    int16_t &toggled = model.now().ElemState[MaxElements][0];
    for (auto _ : bench) {
        if (changing) {
            toggled = int16_t(1 - toggled);
            model.now().ElemState[MaxElements][1] = toggled;
        }
        functions.EvalElements(model.now());
        functions.EvalOutputs(model.now());
        benchmark::DoNotOptimize(model.now().Excit);
        benchmark::DoNotOptimize(model.now().OutState);
    }
}
// 0: a device at rest, the same signals step after step; 1: changing signals.
BENCHMARK(BM_CompiledStep)->Arg(0)->Arg(1);

void BM_LiteralStep(benchmark::State &bench)
{
    FullModel model;
    for (auto _ : bench) {
        Literal::EvalElements(model.definition(), model.now());
        Literal::EvalOutputs(model.definition(), model.now());
        benchmark::DoNotOptimize(model.now().Excit);
        benchmark::DoNotOptimize(model.now().OutState);
    }
}
BENCHMARK(BM_LiteralStep);

// The translation, done once per run.
void BM_Compile(benchmark::State &bench)
{
    FullModel model;
    CompiledFunctions functions;
    for (auto _ : bench) {
        functions.compile(model.definition());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Compile);

// The translation with one contact welded, done once per run of a contact
// fault that a campaign cannot settle from the fault-free run.
void BM_CompileWithContactFault(benchmark::State &bench)
{
    FullModel model;
    const int contacts = int(ModelContacts(model.definition()).size());
    int contact = 0;
    for (auto _ : bench) {
        const FunctionProgram program(model.definition(), {{1 + contact++ % contacts, ContactWelded}});
        benchmark::DoNotOptimize(program.elementCount());
    }
}
BENCHMARK(BM_CompileWithContactFault);

} // namespace

BENCHMARK_MAIN();
