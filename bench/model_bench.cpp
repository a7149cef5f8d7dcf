// The editor's row store on a generated 100 MB, 2,000,000-line CP932 text:
// loading (time and peak memory), typing one character, inserting a row at
// the top, and wrapping the whole text.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "editor/model/editor_screen_strings.h"
#include "editor/model/editor_strings.h"
#include "platform/rtl/streams.h"
#include "bench_text.h"
#include "bench_view.h"
#include "figures.h"

namespace corvida {
namespace {

constexpr int kLines = bench::kTextLines;
// A 1080-pixel screen of 13-pixel rows.
constexpr int kScreenHeight = 1080;

const std::string& TextFile() { return bench::HundredMegabyteText(); }

long FileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return static_cast<long>(in.tellg());
}

// The process's peak resident memory in kB.
long PeakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmHWM:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

double Millis(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_Load100Mb(benchmark::State& state) {
  const std::string& path = TextFile();
  double best = 1e300;
  for (auto _ : state) {
    bench::TBenchView view(kScreenHeight);
    const auto t0 = std::chrono::steady_clock::now();
    view.Lines().LoadFromFile(path);
    best = std::min(best, Millis(std::chrono::steady_clock::now() - t0));
    if (view.Store().Count() != kLines) state.SkipWithError("wrong line count");
  }
  bench::Figure("model.load_100mb_ms", best, "ms");
}

// The peer: the runtime's plain string list reading the same file.
void BM_PeerLoadStringList(benchmark::State& state) {
  const std::string& path = TextFile();
  double best = 1e300;
  for (auto _ : state) {
    TStringList list;
    const auto t0 = std::chrono::steady_clock::now();
    TFileStream file(path, fmOpenRead);
    list.LoadFromStream(file);
    best = std::min(best, Millis(std::chrono::steady_clock::now() - t0));
  }
  bench::Figure("model.peer_stringlist_load_100mb_ms", best, "ms");
}

// Loaded in a fresh run of this executable, so that nothing else of this
// program is counted in the peak.
void BM_LoadPeakRss(benchmark::State& state) {
  const std::string& path = TextFile();
  double ratio = 0;
  for (auto _ : state) {
    int fds[2];
    if (pipe(fds) != 0) state.SkipWithError("pipe");
    setenv("CORVIDA_BENCH_CHILD", "load-peak-rss", 1);
    setenv("CORVIDA_BENCH_TEXT", path.c_str(), 1);
    const pid_t child = fork();
    if (child == 0) {
      dup2(fds[1], 1);
      close(fds[0]);
      close(fds[1]);
      execl("/proc/self/exe", "corvida_bench", static_cast<char*>(nullptr));
      _exit(127);
    }
    unsetenv("CORVIDA_BENCH_CHILD");
    unsetenv("CORVIDA_BENCH_TEXT");
    close(fds[1]);
    std::string answer;
    char buffer[64];
    ssize_t n = 0;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) answer.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the loading run failed");
    ratio = std::atof(answer.c_str()) * 1024.0 / static_cast<double>(FileSize(path));
  }
  bench::Figure("model.load_peak_rss_ratio", ratio, "x");
}

double MedianMicros(std::vector<double>& samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

void BM_TypeChar(benchmark::State& state) {
  bench::TBenchView view(kScreenHeight);
  view.Lines().LoadFromFile(TextFile());
  TEditorScreenStrings& store = view.Store();
  std::vector<double> samples;
  for (auto _ : state) {
    for (const int row : {0, store.Count() / 2, store.Count() - 1}) {
      for (int i = 0; i < 200; ++i) {
        // What typing does: the caret row is rewritten with one more byte.
        std::string text(store.StringRef(row));
        text.insert(text.size() / 2, 1, 'k');
        if (store.RowAttributes(row) == raCrlf) text += "\r\n";
        const auto t0 = std::chrono::steady_clock::now();
        store.ChangeRows(row, 1, text);
        samples.push_back(Millis(std::chrono::steady_clock::now() - t0) * 1000.0);
      }
    }
  }
  bench::Figure("model.type_char_us", MedianMicros(samples), "us");
}

void BM_EnterRow0(benchmark::State& state) {
  bench::TBenchView view(kScreenHeight);
  view.Lines().LoadFromFile(TextFile());
  TEditorScreenStrings& store = view.Store();
  std::vector<double> samples;
  for (auto _ : state) {
    for (int i = 0; i < 200; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      store.ChangeRows(0, 0, "new row\r\n");
      samples.push_back(Millis(std::chrono::steady_clock::now() - t0) * 1000.0);
    }
  }
  bench::Figure("model.enter_row0_us", MedianMicros(samples), "us");
}

// A file of one 100 MB line without a break.
void BM_LoadSingleLine(benchmark::State& state) {
  const std::string path = "/tmp/corvida_bench_single_line.txt";
  {
    std::ofstream out(path, std::ios::binary);
    const std::string chunk = std::string(1000, 'a') + "\x82\xa0";
    for (long written = 0; written < 100L * 1024 * 1024; written += static_cast<long>(chunk.size())) out << chunk;
  }
  double best = 1e300;
  for (auto _ : state) {
    bench::TBenchView view(kScreenHeight);
    const auto t0 = std::chrono::steady_clock::now();
    view.Lines().LoadFromFile(path);
    best = std::min(best, Millis(std::chrono::steady_clock::now() - t0));
    if (view.Store().Count() != 1 || view.Store().RowAttributes(0) != raEof) state.SkipWithError("not one row");
  }
  std::remove(path.c_str());
  bench::Figure("model.load_single_line_100mb_ms", best, "ms");
}

void BM_WrapAll(benchmark::State& state) {
  double best = 1e300;
  for (auto _ : state) {
    bench::TBenchView view(kScreenHeight);
    view.Lines().LoadFromFile(TextFile());
    view.Store().WrapOption().SetWrapByte(80);
    const auto t0 = std::chrono::steady_clock::now();
    view.Store().SetWordWrap(true);
    best = std::min(best, Millis(std::chrono::steady_clock::now() - t0));
    if (view.Store().Count() <= kLines) state.SkipWithError("nothing wrapped");
  }
  bench::Figure("model.wrapall_ms", best, "ms");
}

BENCHMARK(BM_LoadPeakRss)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load100Mb)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerLoadStringList)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeChar)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnterRow0)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSingleLine)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrapAll)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

namespace bench {

int RunChildTask(const std::string& task) {
  const char* path = std::getenv("CORVIDA_BENCH_TEXT");
  if (task != "load-peak-rss" || path == nullptr) return 2;
  TBenchView view(kScreenHeight);
  view.Lines().LoadFromFile(path);
  std::printf("%ld\n", PeakRssKb());
  return 0;
}

}  // namespace bench
}  // namespace corvida
