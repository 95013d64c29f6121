// The extended type's hot operations, software against the x87 unit, on 1024 operands of
// the sizes the program meets (shares and profits, floats widened). Built, never run by
// ctest; the counter ns_per_op is the figure to compare.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "runtime/number/extended_soft.h"
#include "runtime/number/extended_x87.h"

namespace {

using X87 = X87Extended;

constexpr int kCount = 1024;

// Floats in [1/1024, 1024), from a fixed sequence.
std::vector<float> Operands(uint32_t seed) {
  std::vector<float> values(kCount);
  for (float& x : values) {
    seed = seed * 1664525 + 1013904223;
    x = static_cast<float>(seed >> 8) * 0x1p-14f;
  }
  return values;
}

template <class E>
std::vector<E> Widened(uint32_t seed) {
  std::vector<E> values;
  for (float x : Operands(seed)) values.push_back(E(x));
  return values;
}

void PerOperation(benchmark::State& state) {
  state.counters["ns_per_op"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kCount,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <class E>
void BM_Multiply(benchmark::State& state) {
  std::vector<E> a = Widened<E>(1), b = Widened<E>(2), r(kCount);
  for (auto _ : state) {
    for (int i = 0; i < kCount; ++i) r[i] = a[i] * b[i];
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  PerOperation(state);
}

template <class E>
void BM_Add(benchmark::State& state) {
  std::vector<E> a = Widened<E>(3), b = Widened<E>(4), r(kCount);
  for (auto _ : state) {
    for (int i = 0; i < kCount; ++i) r[i] = a[i] + b[i];
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  PerOperation(state);
}

// Products of two floats rounded back to float: the double rounding of every store.
template <class E>
void BM_ToFloat(benchmark::State& state) {
  std::vector<E> a = Widened<E>(5), b = Widened<E>(6), p(kCount);
  for (int i = 0; i < kCount; ++i) p[i] = a[i] * b[i];
  std::vector<float> r(kCount);
  for (auto _ : state) {
    for (int i = 0; i < kCount; ++i) r[i] = p[i].RoundToFloat();
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  PerOperation(state);
}

BENCHMARK_TEMPLATE(BM_Multiply, SoftExtended);
BENCHMARK_TEMPLATE(BM_Multiply, X87);
BENCHMARK_TEMPLATE(BM_Add, SoftExtended);
BENCHMARK_TEMPLATE(BM_Add, X87);
BENCHMARK_TEMPLATE(BM_ToFloat, SoftExtended);
BENCHMARK_TEMPLATE(BM_ToFloat, X87);

}  // namespace

BENCHMARK_MAIN();
