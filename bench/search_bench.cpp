// Text search throughput: FindPos over 8 KB blocks of a generated CP932
// text for a pattern that does not occur, so every block is scanned whole.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <string>

#include "editor/model/text_search.h"
#include "figures.h"

namespace corvida {
namespace {

constexpr size_t kBlock = 8192;

std::string GeneratedText(size_t bytes) {
  std::mt19937 rng(7);
  const char* pieces[] = {"abc ", "def\r\n", "XYZ\t", "\x82\xa0\x82\xa2", "\x83\x4a\x83\x4b", "\xb6\xde\xb1",
                          "12345 ", "\x8a\xbf\x8e\x9a"};
  std::string s;
  s.reserve(bytes + 16);
  while (s.size() < bytes) s += pieces[rng() % 8];
  s.resize(bytes);
  return s;
}

// Megabytes per second of one pass over the text in 8 KB blocks.
double Pass(const std::string& text, const std::string& pattern, TSearchOptions options, int& hits) {
  const auto t0 = std::chrono::steady_clock::now();
  for (size_t at = 0; at + kBlock <= text.size(); at += kBlock) {
    TSearchPos pos{0, 0};
    if (FindPos(std::string_view(text).substr(at, kBlock), pos, pattern, options)) ++hits;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return static_cast<double>(text.size()) / (1024.0 * 1024.0) / seconds;
}

void Run(benchmark::State& state, TSearchOptions options, const char* figure) {
  const std::string text = GeneratedText(32 * 1024 * 1024);
  const std::string pattern = "qqq";
  double best = 0;
  int hits = 0;
  for (auto _ : state) {
    best = std::max(best, Pass(text, pattern, options, hits));
    benchmark::DoNotOptimize(hits);
  }
  state.counters["MB/s"] = best;
  bench::Figure(figure, best, "MB/s");
}

void BM_SearchPlain(benchmark::State& state) { Run(state, sfDown | sfMatchCase, "search.plain_mb_per_s"); }
void BM_SearchFullWidthNoCase(benchmark::State& state) {
  Run(state, sfDown | sfFullWidth, "search.fullwidth_nocase_mb_per_s");
}

BENCHMARK(BM_SearchPlain)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchFullWidthNoCase)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvida
