#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <utility>

#include "figures.h"

namespace corvida::bench {
namespace {

std::map<std::string, std::pair<double, std::string>>& Figures() {
  static std::map<std::string, std::pair<double, std::string>> figures;
  return figures;
}

}  // namespace

void Figure(const std::string& name, double value, const std::string& unit) {
  Figures()[name] = {value, unit};
}

}  // namespace corvida::bench

int main(int argc, char** argv) {
  const char* out = std::getenv("CORVIDA_BENCH_OUT");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::ofstream tsv(out ? out : "bench-results.tsv");
  for (const auto& [name, figure] : corvida::bench::Figures()) {
    tsv << name << '\t' << figure.first << '\t' << figure.second << '\n';
    std::cout << name << '\t' << figure.first << '\t' << figure.second << '\n';
  }
  return tsv ? 0 : 1;
}
