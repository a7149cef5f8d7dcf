#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
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
  if (const char* task = std::getenv("CORVIDA_BENCH_CHILD")) return corvida::bench::RunChildTask(task);
  const char* out = std::getenv("CORVIDA_BENCH_OUT");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // Without a place given, the figures go beside the executable, in its build folder.
  const std::filesystem::path beside = std::filesystem::path(argv[0]).parent_path() / "bench-results.tsv";
  std::ofstream tsv(out ? std::filesystem::path(out) : beside);
  for (const auto& [name, figure] : corvida::bench::Figures()) {
    tsv << name << '\t' << figure.first << '\t' << figure.second << '\n';
    std::cout << name << '\t' << figure.first << '\t' << figure.second << '\n';
  }
  return tsv ? 0 : 1;
}
