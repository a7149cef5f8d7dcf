#pragma once
// Programs measured as whole processes, each beside its peers in the same
// benchmark: wall and CPU time, peak anonymous memory, what they print.
#include <cstdint>
#include <string>
#include <vector>

namespace corvida::bench {

// One run of a process whose standard output is read to its end.
struct TRun {
  bool ok = false;
  double wall = 0;
  double cpu = 0;
  long peakAnonKb = 0;
  uint64_t outBytes = 0;
  // The last lines of the output.
  std::string tail;
};

// Runs args[0] with the arguments after it, reading its standard output to
// the end; with sampleMemory its anonymous resident memory is sampled from
// /proc every millisecond or so, from its exec on.
TRun RunProcess(const std::vector<std::string>& args, bool sampleMemory);

// MB = 10^6 bytes.
inline double Mb(double bytes) { return bytes / 1e6; }

}  // namespace corvida::bench
