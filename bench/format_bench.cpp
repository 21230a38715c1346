// Cost of the fixed-decimal format, which every stored computed value passes.
#include <benchmark/benchmark.h>

#include "core/format.h"

static void BM_FormatFixed(benchmark::State& state) {
  double v = 12.345678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tessaro::core::formatFixed(v, 2));
    v += 0.001;
  }
}
BENCHMARK(BM_FormatFixed);

BENCHMARK_MAIN();
