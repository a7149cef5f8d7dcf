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
#include "figures.h"

namespace corvida {
namespace {

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

// A view without a window: a 768-pixel screen of 13-pixel rows, so the scan
// window is 118 rows.
class BenchView : public TEditorView {
 public:
  explicit BenchView(TFountain* fountain) : fountain_(fountain), store_(new TEditorScreenStrings), lines_(this) {
    store_->AddView(this);
  }
  ~BenchView() override { store_->RemoveView(this); }

  TEditorStrings& Lines() { return lines_; }
  TEditorScreenStrings& Store() { return *store_; }
  int lastScanCount = 0;

  TEditorScreenStrings* ScreenStrings() const override { return store_; }
  int Row() const override { return 0; }
  int Col() const override { return 0; }
  void SetRow(int) override {}
  void SetCol(int) override {}
  int TopRow() const override { return 0; }
  void SetTopRow(int) override {}
  void PlaceCaretAtOffset(int, int) override {}
  void UpdateCaret() override {}
  void CaretBeginUpdate() override {}
  void CaretEndUpdate() override {}
  void UnderlineBeginUpdate() override {}
  void UnderlineEndUpdate() override {}
  bool Selected() const override { return false; }
  void CleanSelection() override {}
  int GetTextLen() const override { return 0; }
  TRowAttribute GetRowAttribute(int row) const override {
    return row >= 0 && row < store_->Count() ? store_->RowAttributes(row) : raEof;
  }
  void StringsChange() override { lastScanCount = store_->UpdateScanCount(); }
  bool Modified() const override { return false; }
  void SetModified(bool) override {}
  void SetLinesUpdating(bool) override {}
  bool Loading() const override { return false; }
  bool Destroying() const override { return false; }
  bool Focused() const override { return false; }
  bool Showing() const override { return false; }
  void SetRedraw(bool) override {}
  void RefreshView() override {}
  void InvalidateRow(int) override {}
  int TabSpaceCount() const override { return 8; }
  const TCharSet& Delimiters() const override { return delimiters_; }
  int ScreenHeight() const override { return 768; }
  int RowHeight() const override { return 13; }
  bool InitBracketsFull() const override { return false; }
  std::unique_ptr<TRowScanner> CreateRowScanner() override { return fountain_->CreateParser(); }

 private:
  TFountain* fountain_;
  TEditorScreenStrings* store_;
  TEditorStrings lines_;
  TCharSet delimiters_ = DefaultDelimiters();
};

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
  BenchView view(fountain.get());
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
  BenchView view(fountain.get());
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
