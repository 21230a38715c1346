// Cost of the fixed-decimal format, which every stored computed value passes,
// against the former implementation kept as its reference.
//
//   bench_format [benchmark options]   ns a value, the format and its reference
//   bench_format --compare N           compares the two on N values (random and
//                                      every rounding edge); exit status 1 on a mismatch
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/format.h"
#include "core/format_cases.h"
#include "core/format_reference.h"

using namespace tessaro::core;

namespace {

// Proportions and contents as the solver writes them: two decimals, width 8.
template <std::string (*Format)(double, int, int)>
void formatTypical(benchmark::State& state) {
  double v = 12.345678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Format(v, 2, 8));
    v += 0.001;
  }
}

// The mixture of the comparison: random doubles and rounding edges.
template <std::string (*Format)(double, int, int)>
void formatMixed(benchmark::State& state) {
  reference::FixedCases cases(7);
  std::vector<reference::FixedCase> values(4096);
  for (auto& c : values) c = cases.next();
  std::size_t i = 0;
  for (auto _ : state) {
    const reference::FixedCase& c = values[i++ % values.size()];
    benchmark::DoNotOptimize(Format(c.value, c.decimals, c.width));
  }
}

std::string fast(double v, int decimals, int width) { return formatFixed(v, decimals, width); }
std::string former(double v, int decimals, int width) { return reference::formatFixed(v, decimals, width); }

BENCHMARK(formatTypical<fast>)->Name("FormatFixed");
BENCHMARK(formatTypical<former>)->Name("FormatFixedReference");
BENCHMARK(formatMixed<fast>)->Name("FormatFixedMixed");
BENCHMARK(formatMixed<former>)->Name("FormatFixedReferenceMixed");

bool sameNumber(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

// Text and number read back of N cases, the format against its reference.
int compare(long long count) {
  reference::FixedCases cases(20260101);
  long long mismatches = 0;
  for (long long i = 0; i < count; ++i) {
    const reference::FixedCase c = cases.next();
    std::string text;
    const double shown = formatFixedInto(text, c.value, c.decimals, c.width);
    const std::string expected = reference::formatFixed(c.value, c.decimals, c.width);
    const double expectedShown = std::isfinite(c.value) ? std::strtod(expected.c_str(), nullptr) : c.value;
    if (text != expected || !sameNumber(shown, expectedShown) ||
        !sameNumber(roundFixed(c.value, c.decimals), expectedShown)) {
      if (++mismatches <= 20) {
        std::printf("mismatch at case %lld: %a (%.17g), %d decimals, width %d: \"%s\" (%.17g), reference \"%s\" (%.17g)\n",
                    i, c.value, c.value, c.decimals, c.width, text.c_str(), shown, expected.c_str(), expectedShown);
      }
    }
    if ((i + 1) % 10000000 == 0) std::printf("%lld values, %lld mismatches\n", i + 1, mismatches);
  }
  std::printf("%lld values compared with the reference, %lld mismatches\n", count, mismatches);
  return mismatches == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--compare") == 0) return compare(std::atoll(argv[2]));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
