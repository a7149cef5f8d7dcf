#pragma once
// Benchmarks report their headline numbers as named figures; main writes them
// to build/bench-results.tsv once every benchmark has run.
#include <string>

namespace corvida::bench {

void Figure(const std::string& name, double value, const std::string& unit);

// A figure of a whole process (peak memory) is measured in a fresh run of
// this executable with CORVIDA_BENCH_CHILD naming the task; main hands the
// run to this, which prints the result and answers the exit status.
int RunChildTask(const std::string& task);

}  // namespace corvida::bench
