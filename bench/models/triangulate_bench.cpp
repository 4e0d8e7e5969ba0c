// Triangulation speed, the current code beside the code as it was before its speed-up (kept in
// triangulate_baseline.cpp): random star-shaped polygons of 100 and 1,000 vertices, without
// holes and with n / 50 small square holes. Every run first checks that both give n - 2 + 2h
// triangles covering the polygon's area, then prints microseconds per polygon (median of the
// repetitions) and the speed-up. The goal is 2.5 times the baseline's speed in all four cases.
// The repetitions of all cases run interleaved in random order, so that a change of the
// machine's load in the course of the run falls on the baseline and the new code alike.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "star_polygon.h"
#include "models/triangulate.h"

namespace triangulate_baseline {
int TriangulatePolygon(int contourCount, const int contourSizes[], const double (*vertices)[2],
                       int (*triangles)[3], int maxTriangles);
}

namespace {

constexpr double kGoal = 2.5;
const int kSizes[] = {100, 1000};

using TriangulateFn = int (*)(int, const int[], const double (*)[2], int (*)[3], int);

using Polygon = StarPolygon;

Polygon RandomPolygon(int n, bool withHoles) { return MakeStarPolygon(n, 7, withHoles); }

double Cross(const double* a, const double* b, const double* c) {
  return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// Twice the polygon's area, holes taken off (they run clockwise).
double DoubleArea(const Polygon& p) {
  double sum = 0.0;
  int first = 1;
  for (int size : p.sizes) {
    for (int i = 0; i < size; ++i) {
      const double* a = &p.xy[2 * (first + i)];
      const double* b = &p.xy[2 * (first + (i + 1) % size)];
      sum += a[0] * b[1] - b[0] * a[1];
    }
    first += size;
  }
  return sum;
}

// Empty when the triangles are exact, else what is wrong.
std::string CheckTriangles(const Polygon& p, const std::vector<int>& triangles, int count) {
  if (count != p.total - 2 + 2 * p.Holes())
    return "wrong number of triangles";
  double sum = 0.0;
  for (int t = 0; t < count; ++t)
    sum += Cross(&p.xy[2 * triangles[3 * t]], &p.xy[2 * triangles[3 * t + 1]], &p.xy[2 * triangles[3 * t + 2]]);
  const double expected = DoubleArea(p);
  if (std::fabs(sum - expected) > 1e-9 * std::fabs(expected))
    return "triangle areas do not sum to the polygon's";
  return {};
}

int Run(TriangulateFn fn, const Polygon& p, std::vector<int>& triangles) {
  const int capacity = 2 * p.total + 1;
  triangles.resize(3 * static_cast<size_t>(capacity));
  return fn(static_cast<int>(p.sizes.size()), p.sizes.data(), p.Vertices(),
            reinterpret_cast<int(*)[3]>(triangles.data()), capacity);
}

void BM_Triangulate(benchmark::State& state, TriangulateFn fn, int n, bool holes) {
  const Polygon p = RandomPolygon(n, holes);
  std::vector<int> triangles;
  const std::string fault = CheckTriangles(p, triangles, Run(fn, p, triangles));
  if (!fault.empty())
    state.SkipWithError(fault.c_str());
  for (auto _ : state) {
    benchmark::DoNotOptimize(Run(fn, p, triangles));
    benchmark::ClobberMemory();
  }
}

std::string CaseName(const char* code, int n, bool holes) {
  return std::string("Triangulate/") + code + "/n:" + std::to_string(n) + (holes ? "/holes" : "/no_holes");
}

// Prints as the console reporter does and keeps the median time of every case.
class MedianKeeper : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred)
        medians[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  std::map<std::string, double> medians;
};

void PrintComparison(const std::map<std::string, double>& medians) {
  std::printf("\n%-6s %-9s %12s %12s %9s  (goal %.1fx)\n", "n", "holes", "baseline us", "new us", "speed-up", kGoal);
  for (int n : kSizes)
    for (bool holes : {false, true}) {
      const auto base = medians.find(CaseName("baseline", n, holes));
      const auto now = medians.find(CaseName("new", n, holes));
      if (base == medians.end() || now == medians.end())
        continue;
      const double ratio = base->second / now->second;
      std::printf("%-6d %-9s %12.1f %12.1f %8.2fx  %s\n", n, holes ? "n/50" : "none", base->second,
                  now->second, ratio, ratio >= kGoal ? "met" : "NOT MET");
    }
}

}  // namespace

int main(int argc, char** argv) {
  for (int n : kSizes)
    for (bool holes : {false, true})
      for (const auto& [code, fn] : {std::pair<const char*, TriangulateFn>{"baseline", triangulate_baseline::TriangulatePolygon},
                                     std::pair<const char*, TriangulateFn>{"new", TriangulatePolygon}})
        benchmark::RegisterBenchmark(CaseName(code, n, holes).c_str(), BM_Triangulate, fn, n, holes)
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
  // Flags given on the command line come later and win.
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  MedianKeeper reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintComparison(reporter.medians);
  return 0;
}
