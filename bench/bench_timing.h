// Timing helpers the comparison benchmarks share: batches of runs timed on
// the steady clock, and the median or the fastest of the batches.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

// Seconds per run of f, over `reps` runs.
template <typename F>
double timed(int reps, F f) {
  auto t0 = std::chrono::steady_clock::now();
  for (int r = 0; r < reps; ++r) {
    f();
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / reps;
}

// The fastest batch: the one a busy machine disturbed least.
inline double fastest(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}
