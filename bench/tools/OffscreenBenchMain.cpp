// The main() of the benchmarks that draw: text needs fonts, and fonts need
// a GUI application, on the offscreen platform.

#include "wave/OffscreenGui.h"

#include <benchmark/benchmark.h>

int main(int argc, char **argv)
{
    OffscreenGui gui(argv[0]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
