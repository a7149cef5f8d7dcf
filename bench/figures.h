#pragma once
// Benchmarks report their headline numbers as named figures; main writes them
// to build/bench-results.tsv once every benchmark has run.
#include <string>

namespace corvida::bench {

void Figure(const std::string& name, double value, const std::string& unit);

}  // namespace corvida::bench
