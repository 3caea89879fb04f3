// Small timing helpers for the benchmark table: medians over repeated runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace freqsmith::bench {

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median over `runs` batches of the time one call of `work` takes, in microseconds.
// `prepare` runs before each call, outside the timing.
template <class Prepare, class Work>
double medianMicros(int runs, int perBatch, Prepare prepare, Work work) {
  std::vector<double> batches;
  batches.reserve(static_cast<std::size_t>(runs));
  for (int r = 0; r < runs; ++r) {
    std::chrono::nanoseconds spent{0};
    for (int i = 0; i < perBatch; ++i) {
      prepare(i);
      const auto start = std::chrono::steady_clock::now();
      work();
      spent += std::chrono::steady_clock::now() - start;
    }
    batches.push_back(std::chrono::duration<double, std::micro>(spent).count() / perBatch);
  }
  return median(std::move(batches));
}

}  // namespace freqsmith::bench
