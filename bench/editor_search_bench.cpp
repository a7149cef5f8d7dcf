// Searching a shown editor: SearchText from the top of a 100 MB text of
// 2,000,000 lines to the one hit on its last row, beside a plain byte search
// of the same text in one piece.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "editor/control/editor.h"
#include "figures.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/toolkit/forms.h"

namespace corvida {
namespace {

constexpr int kLines = 2000000;
constexpr std::string_view kNeedle = "NEEDLE";

// Lines of 24 two-byte pieces (letters, digits, blanks, tabs, double-byte
// characters) and CR LF: 100 MB; the last line holds the needle.
std::string HundredMegabytes() {
  std::mt19937 rng(11);
  const char* pieces[] = {"ab", "cd", "12", "  ", "\x82\xa0", "\x88\x9f", "\x83\x4a", "xy", "\t ", "()"};
  std::string text;
  text.reserve(static_cast<size_t>(kLines) * 50);
  for (int i = 0; i < kLines; ++i) {
    const size_t start = text.size();
    for (int k = 0; k < 24; ++k) text += pieces[rng() % 10];
    if (i == kLines - 1) text.replace(start + 20, kNeedle.size(), kNeedle);
    text += "\r\n";
  }
  return text;
}

double Milliseconds(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// The processor time of this thread, which a loaded machine does not stretch.
double CpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_EditorFindLast(benchmark::State& state) {
  const std::string text = HundredMegabytes();
  THeadlessBackend backend;
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 640, 480);
  TEditor* editor = TEditor::Create(form.get());
  editor->SetParent(form.get());
  editor->SetAlign(alClient);
  editor->Lines()->SetText(text);
  form->Show();
  editor->SetFocus();
  backend.ProcessMessages();
  double best = 1e300;
  double bestCpu = 1e300;
  for (auto _ : state) {
    editor->SetSelLength(0);
    editor->SetRowCol(0, 0);
    const auto t0 = std::chrono::steady_clock::now();
    const double cpu0 = CpuMilliseconds();
    const bool found = editor->SearchText(std::string(kNeedle), sfDown | sfMatchCase);
    bestCpu = std::min(bestCpu, CpuMilliseconds() - cpu0);
    best = std::min(best, Milliseconds(t0));
    if (!found || editor->Row() != kLines - 1) state.SkipWithError("the needle was not found on the last row");
  }
  bench::Figure("search.editor_find_last_100mb_ms", best, "ms");
  bench::Figure("search.editor_find_last_100mb_cpu_ms", bestCpu, "ms");
}

// The peer: the standard library's byte search over the whole text at once.
void BM_PeerFindLast(benchmark::State& state) {
  const std::string text = HundredMegabytes();
  double best = 1e300;
  double bestCpu = 1e300;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const double cpu0 = CpuMilliseconds();
    const size_t at = std::string_view(text).find(kNeedle);
    bestCpu = std::min(bestCpu, CpuMilliseconds() - cpu0);
    best = std::min(best, Milliseconds(t0));
    benchmark::DoNotOptimize(at);
  }
  bench::Figure("search.peer_find_last_100mb_ms", best, "ms");
  bench::Figure("search.peer_find_last_100mb_cpu_ms", bestCpu, "ms");
}

BENCHMARK(BM_EditorFindLast)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerFindLast)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvida
