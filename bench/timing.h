// What the benchmarks measure with: the time a piece of work takes, and the median of
// several runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace dh::bench {

inline double millisOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

inline double median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

} // namespace dh::bench
