#pragma once

#include <benchmark/benchmark.h>

// How often each benchmark runs: timed runs repeat to give a median; a smoke run
// (BenchDocument::smokeRun) runs each once.
namespace BenchRuns {

// Five repetitions of at least 0.2 s each, in milliseconds of real time.
void timed(benchmark::internal::Benchmark* benchmark);

// Work that takes seconds (a whole batch): one iteration, three repetitions.
void whole(benchmark::internal::Benchmark* benchmark);

} // namespace BenchRuns
