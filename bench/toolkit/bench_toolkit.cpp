// Speed of the toolkit core's containers and math, in operations per second.
#include <stdint.h>

#include <benchmark/benchmark.h>

#include "toolkit/geometry/geometry.h"
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

// ---- Scene graph and frame loop ---------------------------------------------------------------

namespace {

// Root bounds after moving one transform in a graph of 10,000 groups (100 groups of 100, each
// with a transform and a box).
void RootBoundsAfterOneMove(benchmark::State &state) {
  for (int level : {WTMSG_WARNING, WTMSG_INFO}) _WTmsg_setrouting(level, 0, nullptr);
  WTuniverse_new(512, 0);
  WTnode *root = WTuniverse_getrootnodes();
  WTnode *moved = nullptr;
  for (int i = 0; i < 100; i++) {
    WTnode *outer = WTgroupnode_new(root);
    for (int j = 0; j < 100; j++) {
      WTnode *g = WTgroupnode_new(outer);
      WTnode *x = WTxformnode_new(g);
      const WTp3 at = {float(i), float(j), 0};
      WTnode_settranslation(x, at);
      WTgeometrynode_new(g, WTgeometry_newblock(1, 1, 1, 0));
      if (i == 50 && j == 50) moved = x;
    }
  }
  WTnode_getradius(root);
  float step = 0.01f;
  for (auto _ : state) {
    const WTp3 v = {step, 0, 0};
    WTnode_translate(moved, v, WTFRAME_PARENT);
    benchmark::DoNotOptimize(WTnode_getradius(root));
    step = -step;
  }
  WTuniverse_delete();
}
BENCHMARK(RootBoundsAfterOneMove)->Unit(benchmark::kMicrosecond);

int counter;
void tick(void *) { counter++; }

// One headless frame with 1,000 tasks.
void FrameWithThousandTasks(benchmark::State &state) {
  for (int level : {WTMSG_WARNING, WTMSG_INFO}) _WTmsg_setrouting(level, 0, nullptr);
  WTuniverse_new(512, 0);
  static char objects[1000];
  for (int i = 0; i < 1000; i++) _WTtask_new(&objects[i], tick, float(i % 7));
  WTuniverse_go1();
  for (auto _ : state) WTuniverse_go1();
  benchmark::DoNotOptimize(counter);
  WTuniverse_delete();
}
BENCHMARK(FrameWithThousandTasks)->Unit(benchmark::kMicrosecond);

}  // namespace
