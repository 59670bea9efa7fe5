// A benchmark figure, printed the one way the benchmark report reads it:
//   FIGURE <name> | <median> | <p99> | <unit> | <goal>
// (the same lines as figures.py prints for the Python benchmarks).
#pragma once

#include <cstdio>

namespace pv::bench {

// A p99 below zero prints "-": the figure is one average over many calls.
inline void PrintFigure(const char* name, double median, double p99, const char* unit, const char* goal) {
  if (p99 < 0) {
    std::printf("FIGURE %s | %.3f | - | %s | %s\n", name, median, unit, goal);
  } else {
    std::printf("FIGURE %s | %.3f | %.3f | %s | %s\n", name, median, p99, unit, goal);
  }
  std::fflush(stdout);
}

}  // namespace pv::bench
