// Copying 200,000 lines (about 10 MB) of the 100 MB text to the clipboard
// and pasting them back at the top of the text, each until the pixels are on
// the headless screen; the peer copies the same bytes with memcpy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "bench_editor.h"
#include "figures.h"
#include "platform/winsys/clipboard.h"

namespace corvida {
namespace {

constexpr int kLines = 200'000;
constexpr int kRuns = 5;

double Millis(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void BM_Clipboard(benchmark::State& state) {
  bench::TBenchEditor bench(false);
  TEditor& editor = bench.Editor();
  const int first = bench.Store().Count() / 2;
  for (auto _ : state) {
    std::vector<double> copy, paste, peer;
    size_t bytes = 0;
    for (int i = 0; i < kRuns; ++i) {
      editor.SetRowCol(first, 0);
      editor.StartSelection();
      editor.SetRowCol(first + kLines, 0);
      editor.UpdateSelection();
      bench.Settle();
      auto t0 = std::chrono::steady_clock::now();
      editor.CopyToClipboard();
      copy.push_back(Millis(t0));

      const std::string text = GetClipboardText();
      bytes = text.size();
      std::vector<char> target(text.size());
      t0 = std::chrono::steady_clock::now();
      std::memcpy(target.data(), text.data(), text.size());
      benchmark::DoNotOptimize(target.data());
      peer.push_back(Millis(t0));

      editor.CleanSelection();
      editor.SetRowCol(0, 0);
      bench.Settle();
      t0 = std::chrono::steady_clock::now();
      editor.PasteFromClipboard();
      bench.Settle();
      paste.push_back(Millis(t0));
      bench.Store().Undo();
      bench.Settle();
    }
    bench::Figure("clipboard.copy_10mb_ms", Median(copy), "ms");
    bench::Figure("clipboard.paste_10mb_ms", Median(paste), "ms");
    // The first paste also grows the row array, later ones reuse its room.
    bench::Figure("clipboard.first_paste_10mb_ms", paste.front(), "ms");
    bench::Figure("clipboard.peer_memcpy_10mb_ms", Median(peer), "ms");
    bench::Figure("clipboard.bytes_mb", bytes / 1e6, "MB");
  }
}

BENCHMARK(BM_Clipboard)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvida
