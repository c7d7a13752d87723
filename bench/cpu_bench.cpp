// The probe's identification steps on the real processor, without the
// one-second clock measurement.

#include <benchmark/benchmark.h>

#include "cpu/cpu_probe.h"

namespace {

void BM_IdentifyProcessor(benchmark::State& state) {
    for (auto _ : state) {
        if (!quendel::cpu_has_cpuid()) state.SkipWithError("no CPUID");
        quendel::cpu_check_vendor();
        quendel::cpu_read_brand();
        quendel::cpu_read_max_extended();
        quendel::cpu_read_caches();
        benchmark::DoNotOptimize(quendel::cpu_brand());
    }
}
BENCHMARK(BM_IdentifyProcessor)->Unit(benchmark::kMicrosecond);

}  // namespace
