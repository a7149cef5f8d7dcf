// The caret moved one row down at the bottom edge of the view on the 100 MB,
// 2,000,000-line text: the view scrolls its pixels by one row and repaints
// the uncovered row, until the pixels are on the headless screen. The peer
// repaints the whole view instead, what a move would cost without scrolling.
// Then paging down through a freshly loaded text, whose rows are highlighted
// as they are first shown, and the first jump to its end, which highlights
// every row above it unless the application was idle long enough before.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "bench_editor.h"
#include "figures.h"
#include "platform/toolkit/forms.h"

namespace corvida {
namespace {

// The median of runs timings of step, each after an untimed prepare.
template <typename Prepare, typename Step>
double MedianStepMicros(int runs, Prepare&& prepare, Step&& step) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    prepare();
    const auto t0 = std::chrono::steady_clock::now();
    step();
    samples.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

void BM_SetRowScroll(benchmark::State& state) {
  bench::TBenchEditor bench(false);
  TEditor& editor = bench.Editor();
  const int middle = bench.Store().Count() / 2;
  const auto atBottomEdge = [&] {
    editor.SetTopRow(middle);
    editor.SetRow(middle + editor.VisibleRows() - 1);
    bench.Settle();
  };
  for (auto _ : state) {
    bench::Figure("editor.setrow_scroll_us", MedianStepMicros(300, atBottomEdge, [&] {
                    editor.SetRow(editor.Row() + 1);
                    bench.Settle();
                  }),
                  "us");
    if (editor.TopRow() != middle + 1) state.SkipWithError("the view did not scroll by one row");
    bench::Figure("editor.peer_full_repaint_us", MedianStepMicros(300, atBottomEdge, [&] {
                    editor.Invalidate();
                    bench.Settle();
                  }),
                  "us");
  }
}

// The caret moved to the last row, until the pixels are shown.
double JumpToEndMillis(bench::TBenchEditor& bench) {
  const auto t0 = std::chrono::steady_clock::now();
  bench.Editor().SetRow(bench.Store().Count() - 1);
  bench.Settle();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void BM_FreshTextPaging(benchmark::State& state) {
  bench::TBenchEditor bench(false);
  TEditor& editor = bench.Editor();
  for (auto _ : state) {
    std::vector<double> pages;
    for (int i = 0; i < 41; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      editor.SetTopRow(editor.TopRow() + editor.VisibleRows());
      bench.Settle();
      pages.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(pages.begin(), pages.end());
    bench::Figure("editor.fresh_page_down_us", pages[pages.size() / 2], "us");
    bench::Figure("editor.fresh_page_down_max_us", pages.back(), "us");
    bench::Figure("editor.fresh_jump_to_end_ms", JumpToEndMillis(bench), "ms");
  }
}

// The first jump with word wrap on: rows that a wrap ends carry their
// state into the next row, so those are tokenized whole.
void BM_FreshJumpWrapped(benchmark::State& state) {
  bench::TBenchEditor bench(true);
  for (auto _ : state) bench::Figure("editor.fresh_jump_to_end_wrapped_ms", JumpToEndMillis(bench), "ms");
}

// The same jump after the application was left idle until every row was
// highlighted, and the longest idle step, which input may wait for.
void BM_JumpAfterIdle(benchmark::State& state) {
  bench::TBenchEditor bench(false);
  for (auto _ : state) {
    double longest = 0;
    for (bool more = true; more;) {
      const auto t0 = std::chrono::steady_clock::now();
      more = Application().DoIdle();
      const std::chrono::duration<double, std::milli> step = std::chrono::steady_clock::now() - t0;
      longest = std::max(longest, step.count());
    }
    bench::Figure("editor.idle_step_max_ms", longest, "ms");
    bench::Figure("editor.jump_to_end_after_idle_ms", JumpToEndMillis(bench), "ms");
  }
}

BENCHMARK(BM_SetRowScroll)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreshTextPaging)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreshJumpWrapped)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpAfterIdle)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvida
