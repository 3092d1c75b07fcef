// What every benchmark shares: its size from the command line, the clocks,
// and the machine's load beside the figures, so that a run on a busy
// machine reads as one.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace kolvar::bench {

using Clock = std::chrono::steady_clock;

// Wall seconds since `start`.
inline double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of this process, user and system, in seconds: steadier than
// wall time on a machine other work shares.
inline double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The machine's load averages over 1, 5 and 15 minutes.
inline std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

inline void PrintLoadAverage(const char* when) {
  std::printf("load average at the %s: %s\n", when, LoadAverage().c_str());
}

// The run's size: the first argument, else `fallback`; printed with what it
// counts and the load average at the start.
template <class Size>
Size SizeArgument(int argc, char** argv, Size fallback, const char* unit) {
  const Size size = argc > 1 ? static_cast<Size>(std::stod(argv[1])) : fallback;
  std::ostringstream text;
  text << size;
  std::printf("size: %s %s\n", text.str().c_str(), unit);
  PrintLoadAverage("start");
  return size;
}

// A figure beside its anchor (raw engine doing the same work) and their ratio.
inline void PrintBesideAnchor(const char* what, double figure, double anchor, const char* unit) {
  std::printf("%-44s %10.2f %s   raw %10.2f %s   ratio %.1f\n", what, figure, unit, anchor, unit,
              anchor > 0 ? figure / anchor : 0.0);
}

}  // namespace kolvar::bench
