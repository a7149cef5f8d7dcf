// Highlighting costs: tokenizing one screen as painting does, the initial
// scan of a very long text, and an edit whose scan state below is unchanged.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

#include "editor/highlight/editor_fountain.h"
#include "editor/model/editor_screen_strings.h"
#include "editor/model/editor_strings.h"
#include "bench_view.h"
#include "figures.h"

namespace corvida {
namespace {

// A 768-pixel screen of 13-pixel rows: the scan window is 118 rows.
constexpr int kScreenHeight = 768;

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::time_point t0) {
  return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

// The report pane's fountain plus a block comment and hex numbers.
std::unique_ptr<TEditorFountain> CodeFountain() {
  std::unique_ptr<TEditorFountain> fountain(TFountain::Create<TEditorFountain>(nullptr));
  fountain->SetCommenter("//");
  fountain->SetQuotation("\"");
  fountain->SetHexPrefix("0x");
  TFountainBracketItem* item = fountain->Brackets()->Add();
  item->SetLeftBracket("/*");
  item->SetRightBracket("*/");
  for (const char* word : {"total", "if", "else", "return", "int"}) fountain->ReserveWordList()->Add(word);
  return fountain;
}

// A row of exactly columns bytes of code-like text, cut between pieces and
// padded with spaces.
std::string CodeRow(std::mt19937& rng, size_t columns) {
  static const char* const kPieces[] = {
      "int ", "total", " = ", "12.5e3", "; ", "if (", "x_1", ") ", "return ", "0x1F", "\"str\\\"ing\" ",
      "\x8a\xbf\x8e\x9a", "\x82\xa0\x82\xa2", "\x83\x4a\x83\x5e", "\xb1\xb2 ", "{ ", "} ", "\t", "/* c */ ", "// note"};
  std::string s;
  for (;;) {
    const std::string piece = kPieces[rng() % std::size(kPieces)];
    if (s.size() + piece.size() > columns) break;
    s += piece;
  }
  s.resize(columns, ' ');
  return s;
}

void BM_ScreenTokenize(benchmark::State& state) {
  auto fountain = CodeFountain();
  std::mt19937 rng(11);
  std::vector<std::string> screen;
  for (int i = 0; i < 50; ++i) screen.push_back(CodeRow(rng, 80));
  TRowAttributeData data;
  data.BracketIndex = -1;
  double best = 1e300;
  int tokens = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    auto parser = fountain->CreateParser();
    for (const std::string& row : screen) {
      parser->StartRow(row, data);
      while (parser->ScanToken() != ttEnd) {
        benchmark::DoNotOptimize(parser->TokenColor());
        ++tokens;
      }
    }
    best = std::min(best, Microseconds(t0));
  }
  benchmark::DoNotOptimize(tokens);
  state.counters["us"] = best;
  bench::Figure("highlight.screen_tokenize_us", best, "us");
}


std::string CodeText(int rows) {
  std::mt19937 rng(5);
  std::string text;
  for (int i = 0; i < rows; ++i) {
    text += CodeRow(rng, 40);
    text += "\r\n";
  }
  return text;
}

void BM_InitScan2M(benchmark::State& state) {
  auto fountain = CodeFountain();
  bench::TBenchView view(kScreenHeight, fountain.get());
  view.Lines().SetText(CodeText(2'000'000));
  double best = 1e300;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    view.Store().InitScan();
    best = std::min(best, Microseconds(t0));
  }
  state.counters["us"] = best;
  bench::Figure("highlight.initscan_2m_us", best, "us");
}

void BM_RescanEdit(benchmark::State& state) {
  auto fountain = CodeFountain();
  bench::TBenchView view(kScreenHeight, fountain.get());
  view.Lines().SetText(CodeText(200'000));
  // Scan everything, as if the whole text had been shown.
  for (int r = 0; r < view.Store().Count(); r += 100) view.Store().RescanRows(r, false);
  double best = 1e300;
  int rows = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    view.Store().ChangeRows(100'000, 0, "x");  // a letter typed at the start of a row
    best = std::min(best, Microseconds(t0));
    rows = view.lastScanCount;
  }
  state.counters["rows"] = rows;
  state.counters["us"] = best;
  bench::Figure("highlight.rescan_edit_rows", rows, "rows");
  bench::Figure("highlight.rescan_edit_us", best, "us");
}

BENCHMARK(BM_ScreenTokenize)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InitScan2M)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RescanEdit)->Iterations(50)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvida
