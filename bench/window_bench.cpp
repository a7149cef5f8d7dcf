// The main window at scale, on the headless backend, beside its peers in the
// same run. MB = 10^6 bytes.
//   window.report_1500k_objects_ms   a model of 1,500,000 objects (about
//                                    64 MB) reported into the pane of a shown
//                                    window, through the first paint
//   window.report_cli_ms             the command line's whole process for the
//                                    same file ("corvida --report --raw")
//   window.byte_copy_ms              a plain byte copy of the file ("cat")
//   window.report_vs_cli_ratio       the window's time over the command line's
//   window.pane_bytes_per_text_byte  the memory the report's rows added to
//                                    the process (resident pages), over the
//                                    bytes of the pane's text
//   window.close_2m_lines_ms         closing the window with the 100 MB,
//                                    2,000,000-line text in its pane, through
//                                    the window's destruction
//   window.close_peer_free_2m_strings_ms  the peer: freeing the same lines
//                                    as 2,000,000 strings, one by one
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "bench_text.h"
#include "figures.h"
#include "model_files.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/rtl/strings.h"
#include "platform/winsys/window_system.h"
#include "processes.h"

namespace corvida::bench {
namespace {

constexpr int kObjects = 1'500'000;
constexpr int kRounds = 3;

double Millis(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A folder of its own holding the model of many small objects, as scanned
// scenes and particle setups give them, and the window's settings file.
class TBenchFolder {
 public:
  static TBenchFolder& Get() {
    static TBenchFolder folder;
    return folder;
  }
  const std::string& Dir() const { return dir_; }
  const std::string& Model() const { return model_; }
  bool Ready() const { return ready_; }

  ~TBenchFolder() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

 private:
  TBenchFolder() {
    char dir[] = "/tmp/corvida-window-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr) return;
    dir_ = dir;
    model_ = dir_ + "/objects.mqo";
    std::ofstream out(model_, std::ios::binary);
    TRandom random;
    out << "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n";
    std::string chunk;
    for (int object = 0; object < kObjects; ++object) {
      chunk += "Object \"obj" + std::to_string(object) + "\" {\r\n\tface " + std::to_string(random.Below(5000)) +
               " {\r\n\t}\r\n}\r\n";
      if (chunk.size() > (1 << 20)) {
        out << chunk;
        chunk.clear();
      }
    }
    out << chunk << "Eof\r\n";
    ready_ = static_cast<bool>(out.flush());
  }

  std::string dir_;
  std::string model_;
  bool ready_ = false;
};

// The bytes of the process's pages in memory: what the pane costs, not what
// its blocks reserve and never touch.
double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

// The main window shown on the headless backend, its settings file in the
// benchmark's folder.
class TBenchWindow {
 public:
  TBenchWindow() {
    WindowSystem().ResetInput();
    Application().Initialize();
    Application().SetExeName(TBenchFolder::Get().Dir() + "/corvida");
    form_ = std::make_unique<TForm1>(nullptr);
    Application().SetMainForm(form_.get());
    form_->Show();
    Settle();
  }
  ~TBenchWindow() {
    form_.reset();
    Application().SetExeName("");
    WindowSystem().ResetInput();
  }
  TForm1& Form() { return *form_; }
  // Handles what is queued and paints what is invalid, as the message loop
  // does before the next input.
  void Settle() {
    Application().ProcessMessages();
    form_->Editor1->Window()->Update();
  }
  // Closes the window as its Close button does, and destroys it as the
  // program does once its message loop has ended.
  void Close() {
    form_->Close();
    form_.reset();
  }

 private:
  THeadlessBackend backend_;
  std::unique_ptr<TForm1> form_;
};

void BM_WindowReport(benchmark::State& state) {
  const TBenchFolder& folder = TBenchFolder::Get();
  if (!folder.Ready()) return state.SkipWithError("the model could not be written");
  double window = 1e9, cli = 1e9, copy = 1e9, bytesPerTextByte = 0;
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      const TRun command = RunProcess({CORVIDA_EXE, "--report", "--raw", folder.Model()}, false);
      const TRun cat = RunProcess({"cat", folder.Model()}, false);
      if (!command.ok || !cat.ok) return state.SkipWithError("a peer failed");
      cli = std::min(cli, command.wall);
      copy = std::min(copy, cat.wall);

      TBenchWindow bench;
      const double resident = ResidentBytes();
      const auto t0 = std::chrono::steady_clock::now();
      bench.Form().OpenFiles({folder.Model()});
      bench.Settle();
      window = std::min(window, Millis(std::chrono::steady_clock::now() - t0));
      TStrings& lines = *bench.Form().Editor1->Lines();
      if (lines.Count() != kObjects + 3) return state.SkipWithError("the report is not in the pane");
      const double added = ResidentBytes() - resident;
      // The most of the rounds: a later round may reuse pages an earlier one
      // left to the process.
      bytesPerTextByte = std::max(bytesPerTextByte, added / static_cast<double>(lines.Text().size()));
    }
  }
  Figure("window.report_1500k_objects_ms", window, "ms");
  Figure("window.report_cli_ms", cli * 1000, "ms");
  Figure("window.byte_copy_ms", copy * 1000, "ms");
  Figure("window.report_vs_cli_ratio", window / (cli * 1000), "x");
  Figure("window.pane_bytes_per_text_byte", bytesPerTextByte, "x");
}

void BM_WindowClose(benchmark::State& state) {
  double close = 1e9, peer = 1e9;
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      {
        TBenchWindow bench;
        bench.Form().Editor1->Lines()->LoadFromFile(HundredMegabyteText());
        bench.Settle();
        if (bench.Form().Editor1->Lines()->Count() != kTextLines) return state.SkipWithError("the text is not loaded");
        const auto t0 = std::chrono::steady_clock::now();
        bench.Close();
        close = std::min(close, Millis(std::chrono::steady_clock::now() - t0));
      }
      auto strings = std::make_unique<TStringList>();
      {
        std::ifstream in(HundredMegabyteText(), std::ios::binary);
        for (std::string line; std::getline(in, line);) strings->Add(line);
      }
      const auto t0 = std::chrono::steady_clock::now();
      strings.reset();
      peer = std::min(peer, Millis(std::chrono::steady_clock::now() - t0));
    }
  }
  Figure("window.close_2m_lines_ms", close, "ms");
  Figure("window.close_peer_free_2m_strings_ms", peer, "ms");
}

BENCHMARK(BM_WindowReport)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowClose)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace corvida::bench
