// Speed of the toolkit core's containers and math, in operations per second.
#include <stdint.h>

#include <benchmark/benchmark.h>

#include "toolkit/wt.h"

namespace {

const intptr_t kKeys = 1000000;

void *key(intptr_t k) { return reinterpret_cast<void *>(k); }

void setrate(benchmark::State &state, int64_t perIteration) {
  state.counters["ops/s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * perIteration), benchmark::Counter::kIsRate);
}

WThashtable *filledtable() {
  WThashtable *t = _WThashtable_new(_WThashtable_picksize(kKeys), _WThashtable_inthash,
                                    _WThashtable_intcompare);
  for (intptr_t k = 1; k <= kKeys; k++) _WThashtable_insert(t, key(k), key(k));
  return t;
}

void HashTableInsert(benchmark::State &state) {
  for (auto _ : state) {
    WThashtable *t = filledtable();
    benchmark::DoNotOptimize(t);
    state.PauseTiming();
    _WThashtable_delete(t, 0, 0);
    state.ResumeTiming();
  }
  setrate(state, kKeys);
}
BENCHMARK(HashTableInsert)->Unit(benchmark::kMillisecond);

void HashTableLookup(benchmark::State &state) {
  WThashtable *t = filledtable();
  for (auto _ : state)
    for (intptr_t k = 1; k <= kKeys; k++) benchmark::DoNotOptimize(WThashtable_find(t, key(k)));
  setrate(state, kKeys);
  _WThashtable_delete(t, 0, 0);
}
BENCHMARK(HashTableLookup)->Unit(benchmark::kMillisecond);

WTm4 sample = {{0.8f, 0.1f, -0.2f, 0}, {-0.1f, 0.9f, 0.3f, 0}, {0.2f, -0.3f, 0.7f, 0}, {1, 2, 3, 1}};

void Matrix4Multiply(benchmark::State &state) {
  WTm4 out;
  for (auto _ : state) {
    _WTm4_multiply(sample, sample, out);
    benchmark::DoNotOptimize(out);
  }
  setrate(state, 1);
}
BENCHMARK(Matrix4Multiply);

void Matrix4Invert(benchmark::State &state) {
  WTm4 out;
  for (auto _ : state) {
    benchmark::DoNotOptimize(WTm4_invert(sample, out));
    benchmark::DoNotOptimize(out);
  }
  setrate(state, 1);
}
BENCHMARK(Matrix4Invert);

void QuaternionSlerp(benchmark::State &state) {
  WTq a = {0, 0, 0, 1}, b, out;
  WTp3 axis = {0.3f, 0.5f, 0.8f};
  _WTaxisangle_2q(axis, 2.0f, b);
  float t = 0;
  for (auto _ : state) {
    _WTq_slerp(a, b, t, out);
    benchmark::DoNotOptimize(out);
    t = t < 1 ? t + 0.001f : 0;
  }
  setrate(state, 1);
}
BENCHMARK(QuaternionSlerp);

}  // namespace

BENCHMARK_MAIN();
