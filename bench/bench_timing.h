// Timing helpers shared by the side-by-side benchmarks: each contender runs a
// batch in turn inside one iteration, and the medians (or the fastest) of the
// batches are compared. Time is the thread's processor time, so that other
// programs taking the core away do not count against whoever was running.
#pragma once
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

inline double thread_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Seconds per run of f, over `reps` runs.
template <typename F>
double timed(int reps, F f) {
  double t0 = thread_seconds();
  for (int r = 0; r < reps; ++r) {
    f();
    benchmark::ClobberMemory();
  }
  return (thread_seconds() - t0) / reps;
}

// Times one batch of f as the iteration's own time and keeps it in `times`.
template <typename F>
double time_iteration(benchmark::State& state, std::vector<double>& times, int reps, F f) {
  double t = timed(reps, f);
  state.SetIterationTime(t);
  times.push_back(t);
  return t;
}

// Registers a benchmark timed by time_iteration, reported in microseconds.
template <typename Fn, typename... Args>
benchmark::internal::Benchmark* register_timed(const std::string& name, double min_time, Fn&& fn, Args&&... args) {
  return benchmark::RegisterBenchmark(name.c_str(), std::forward<Fn>(fn), std::forward<Args>(args)...)
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond)
      ->MinTime(min_time);
}

// The fastest batch: the one a busy machine disturbed least.
inline double fastest(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}
