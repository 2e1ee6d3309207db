#include "benchruns.h"
#include "benchdocument.h"

namespace BenchRuns {

namespace {

// Once each: the benchmark is set up, run and checked, and nothing is timed.
bool once(benchmark::internal::Benchmark* benchmark) {
    if (!BenchDocument::smokeRun())
        return false;
    benchmark->Iterations(1)->Repetitions(1);
    return true;
}

} // namespace

void timed(benchmark::internal::Benchmark* benchmark) {
    benchmark->UseRealTime()->Unit(benchmark::kMillisecond);
    if (!once(benchmark))
        benchmark->Repetitions(5)->MinTime(0.2);
}

void whole(benchmark::internal::Benchmark* benchmark) {
    benchmark->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);
    if (!once(benchmark))
        benchmark->Repetitions(3);
}

} // namespace BenchRuns
