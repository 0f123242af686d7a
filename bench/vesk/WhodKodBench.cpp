#include "vesk/CodeTransmitter.h"
#include "vesk/Vesks.h"

#include <benchmark/benchmark.h>

// One modelling step of the transmitter, as the diagram window calls it once
// per step: the core algorithm, and the same through the library's class.

static void BM_CodeTransmitter_WhodKod(benchmark::State &state)
{
    const auto code = static_cast<int16_t>(state.range(0));
    CodeTransmitter t;
    for (auto _ : state) {
        t.WhodKod(code);
        benchmark::DoNotOptimize(t.Wuhod);
    }
}
BENCHMARK(BM_CodeTransmitter_WhodKod)->Arg(1)->Arg(2)->Arg(3);

static void BM_Vesks_WhodKod(benchmark::State &state)
{
    int16_t code = static_cast<int16_t>(state.range(0));
    Vesks v;
    for (auto _ : state) {
        v.WhodKod(code);
        benchmark::DoNotOptimize(v.Wuhod());
    }
}
BENCHMARK(BM_Vesks_WhodKod)->Arg(1)->Arg(2)->Arg(3);

BENCHMARK_MAIN();
