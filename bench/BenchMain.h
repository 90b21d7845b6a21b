#pragma once
// The main function of a benchmark program: the heap is set up as the programs set it up
// before anything is measured.

#include "archive/HeapReuse.h"

#include <benchmark/benchmark.h>

#define ORVANEL_BENCHMARK_MAIN()                                                                             \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        orvanel::KeepFreedMemoryForReuse();                                                                  \
        ::benchmark::Initialize(&argc, argv);                                                                \
        if (::benchmark::ReportUnrecognizedArguments(argc, argv))                                            \
            return 1;                                                                                        \
        ::benchmark::RunSpecifiedBenchmarks();                                                               \
        ::benchmark::Shutdown();                                                                             \
        return 0;                                                                                            \
    }
