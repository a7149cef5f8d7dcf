// One key typed into the 100 MB, 2,000,000-line text, from the WM_CHAR until
// the repaint is on the headless screen: a character at the top, the middle
// and the end with word wrap off and on, Enter at the top with wrap on, and a
// Backspace joining two lines in the middle. Each step is taken back through
// the store's undo, untimed. The peer repaints the whole view, which a
// keystroke that walked or redrew everything would cost at least.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench_editor.h"
#include "figures.h"

namespace corvida {
namespace {

template <typename Prepare, typename Step, typename Restore>
double MedianMicros(int runs, Prepare&& prepare, Step&& step, Restore&& restore) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    prepare();
    const auto t0 = std::chrono::steady_clock::now();
    step();
    samples.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    restore();
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

constexpr int kRuns = 200;

void KeystrokeFigures(bool wordWrap, double& worst) {
  bench::TBenchEditor bench(wordWrap);
  TEditor& editor = bench.Editor();
  TEditorScreenStrings& store = bench.Store();
  const std::string mode = wordWrap ? ".wrap" : ".nowrap";
  const auto key = [&](char code) {
    editor.Window()->Perform(WM_CHAR, static_cast<unsigned char>(code), 0);
    bench.Settle();
  };
  const auto undo = [&] {
    store.Undo();
    bench.Settle();
  };
  const int rows = store.Count();
  const std::pair<const char*, int> places[] = {{"row0", 0}, {"middle", rows / 2}, {"end", rows - 2}};
  for (const auto& [where, row] : places) {
    const double us = MedianMicros(kRuns, [&] { bench.ShowRow(row); }, [&] { key('x'); }, undo);
    worst = std::max(worst, us);
    bench::Figure(std::string("editor.keystroke_to_pixels_us.") + where + mode, us, "us");
  }
  bench::Figure("editor.keystroke_peer_full_repaint_us" + mode, MedianMicros(kRuns, [&] { bench.ShowRow(rows / 2); }, [&] {
                  editor.Invalidate();
                  bench.Settle();
                }, [] {}),
                "us");
  if (!wordWrap) return;
  bench::Figure("editor.enter_to_pixels_us", MedianMicros(kRuns, [&] { bench.ShowRow(0); }, [&] { key('\r'); }, undo),
                "us");
  const int lineStart = store.FirstRowOfLine(rows / 2);
  bench::Figure("editor.backspace_join_us",
                MedianMicros(kRuns, [&] {
                  bench.ShowRow(lineStart);
                  editor.SetCol(0);
                }, [&] { key('\b'); }, undo), "us");
}

void BM_Keystroke(benchmark::State& state) {
  for (auto _ : state) {
    double worst = 0;
    KeystrokeFigures(false, worst);
    KeystrokeFigures(true, worst);
    bench::Figure("editor.keystroke_to_pixels_max_us", worst, "us");
  }
}

BENCHMARK(BM_Keystroke)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvida
