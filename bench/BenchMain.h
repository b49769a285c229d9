#pragma once
// The end of a benchmark program's main: runs the benchmarks the command
// line selects, after refusing arguments that no one recognised.  Returns
// the program's exit code.

#include <benchmark/benchmark.h>

inline int RunBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
