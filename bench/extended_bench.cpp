// The extended type's hot operations, software against the x87 unit, on 1024 operands of
// the sizes the program meets (shares and profits, floats widened). Built, never run by
// ctest; the counter ns_per_op is the figure to compare.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "runtime/arith/extended_soft.h"
#include "runtime/arith/extended_x87.h"

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

// The two fused steps as a run meets them: interpolation and crossover blends with f in
// [0, 1), and a share moved by a draw in [-1, 1) times the amplitude 0.01.
template <class E>
void BM_Blend(benchmark::State& state) {
  std::vector<float> f = Operands(7), from = Operands(8), to = Operands(9), r(kCount);
  for (float& x : f) x *= 0x1p-10f;
  for (auto _ : state) {
    for (int i = 0; i < kCount; ++i) r[i] = E::Blend(f[i], from[i], to[i]);
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  PerOperation(state);
}

template <class E>
void BM_AddProduct(benchmark::State& state) {
  std::vector<float> x = Operands(10), r(kCount);
  std::vector<double> d(kCount);
  uint32_t seed = 11;
  for (double& draw : d) {
    seed = seed * 134775813u + 1u;
    draw = static_cast<double>(seed) * 0x1p-32 * 2.0 - 1.0;
  }
  for (auto _ : state) {
    for (int i = 0; i < kCount; ++i) r[i] = E::AddProduct(x[i], d[i], 0.01f);
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
BENCHMARK_TEMPLATE(BM_Blend, SoftExtended);
BENCHMARK_TEMPLATE(BM_Blend, X87);
BENCHMARK_TEMPLATE(BM_AddProduct, SoftExtended);
BENCHMARK_TEMPLATE(BM_AddProduct, X87);

}  // namespace

BENCHMARK_MAIN();
