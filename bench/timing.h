#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/child_process.h"

// What the benchmarks share: timing a program's run, and the median of several runs.
namespace tolvane::bench {

// Runs a program to its end, its output thrown away, and returns the seconds it took; a run
// that fails ends the benchmark (exit 2).
inline double TimeRun(const std::string& program, const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment = {}) {
  const auto start = std::chrono::steady_clock::now();
  testing::ChildProcess child(program, arguments, environment, "/dev/null");
  const std::optional<int> code = child.WaitFor(std::chrono::minutes(10));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (code != 0) {
    std::fprintf(stderr, "%s failed\n", program.c_str());
    std::exit(2);
  }
  return seconds;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace tolvane::bench
