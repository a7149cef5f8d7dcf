// corvida --watch as a script follows it, run as a process:
//   watch.settle_to_report_ms   from the rename that saves a 20 MB model to
//                               its changes record on the watcher's output:
//                               the 200 ms settling plus the report (best
//                               of 5 saves)
//   watch.bare_report_ms        beside it, the peer: "corvida --report" of
//                               the same model as a whole process
//   watch.idle_cpu_ms_1000_files  CPU time of a watcher of 1,000 models over
//                               10 s in which none changes (no polling
//                               where events arrive: about 0)
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "figures.h"
#include "processes.h"

namespace corvida::bench {
namespace {

// A model of about bytes in objects of faces quads, its last objects'
// faces one more when grown, so that each save changes it.
std::string Model(int64_t bytes, int faces, bool grown) {
  std::string text = "Metasequoia Document\r\nFormat Text Ver 1.1\r\n";
  const std::string face = "\t\t4 V(0 1 2 3) M(0) UV(0.00000 0.00000 1.00000 0.00000 1.00000 1.00000 0.00000 1.00000)\r\n";
  for (int object = 0; static_cast<int64_t>(text.size()) < bytes; ++object) {
    const int count = faces + (grown && static_cast<int64_t>(text.size() + 2 * faces * face.size()) >= bytes ? 1 : 0);
    text += "Object \"part" + std::to_string(object) + "\" {\r\n\tvertex 4 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t1 1 0\r\n"
            "\t\t0 1 0\r\n\t}\r\n\tface " + std::to_string(count) + " {\r\n";
    for (int i = 0; i < count; ++i) text += face;
    text += "\t}\r\n}\r\n";
  }
  return text + "Eof\r\n";
}

void Save(const std::string& path, const std::string& text) {
  {
    std::ofstream out(path + ".tmp", std::ios::binary);
    out << text;
  }
  std::filesystem::rename(path + ".tmp", path);
}

// A watcher process whose output is read line by line.
class TWatcher {
 public:
  explicit TWatcher(const std::vector<std::string>& files) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(fds[1], 1);
      ::close(fds[0]);
      ::close(fds[1]);
      std::vector<char*> argv = {const_cast<char*>(CORVIDA_EXE), const_cast<char*>("--watch"),
                                 const_cast<char*>("--format"), const_cast<char*>("jsonl")};
      for (const std::string& file : files) argv.push_back(const_cast<char*>(file.c_str()));
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(fds[1]);
    out_ = ::fdopen(fds[0], "r");
  }
  ~TWatcher() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    if (out_) std::fclose(out_);
  }
  // Reads up to and with the count-th line holding kind; false at the end.
  bool ReadUntil(const char* kind, int count = 1) {
    const std::string wanted = std::string("\"kind\":\"") + kind + "\"";
    char line[4096];
    while (count > 0 && out_ && std::fgets(line, sizeof line, out_) != nullptr)
      if (std::string(line).find(wanted) != std::string::npos) --count;
    return count == 0;
  }
  // User and system time so far, in ms.
  double CpuMs() const {
    std::FILE* stat = std::fopen(("/proc/" + std::to_string(pid_) + "/stat").c_str(), "r");
    unsigned long user = 0, system = 0;
    if (stat) {
      [[maybe_unused]] const int n =
          std::fscanf(stat, "%*d %*s %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system);
      std::fclose(stat);
    }
    return static_cast<double>(user + system) * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
  }

 private:
  pid_t pid_ = -1;
  std::FILE* out_ = nullptr;
};

void BM_WatchSettleToReport(benchmark::State& state) {
  char dir[] = "/tmp/corvida-watch-bench-XXXXXX";
  if (::mkdtemp(dir) == nullptr) return state.SkipWithError("no temporary folder");
  const std::string path = std::string(dir) + "/model.mqo";
  const std::string texts[2] = {Model(20'000'000, 1000, false), Model(20'000'000, 1000, true)};
  Save(path, texts[0]);
  double best = 1e9;
  double bare = 1e9;
  for (auto _ : state) {
    TWatcher watcher({path});
    if (!watcher.ReadUntil("total")) return state.SkipWithError("the watcher printed no report");
    for (int save = 1; save <= 5; ++save) {
      const auto start = std::chrono::steady_clock::now();
      Save(path, texts[save % 2]);
      if (!watcher.ReadUntil("changes")) return state.SkipWithError("the watcher printed no changes");
      best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      bare = std::min(bare, RunProcess({CORVIDA_EXE, "--report", "--format", "jsonl", path}, false).wall * 1000);
    }
  }
  std::filesystem::remove_all(dir);
  Figure("watch.settle_to_report_ms", best, "ms");
  Figure("watch.bare_report_ms", bare, "ms");
}
BENCHMARK(BM_WatchSettleToReport)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_WatchIdleCpu(benchmark::State& state) {
  char dir[] = "/tmp/corvida-watch-bench-XXXXXX";
  if (::mkdtemp(dir) == nullptr) return state.SkipWithError("no temporary folder");
  std::vector<std::string> files;
  for (int i = 0; i < 1000; ++i) {
    files.push_back(std::string(dir) + "/model" + std::to_string(i) + ".mqo");
    Save(files.back(), Model(1, 10, false));
  }
  double idle = 0;
  for (auto _ : state) {
    TWatcher watcher(files);
    if (!watcher.ReadUntil("total", 1000)) return state.SkipWithError("the watcher printed no reports");
    const double before = watcher.CpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    idle = watcher.CpuMs() - before;
  }
  std::filesystem::remove_all(dir);
  Figure("watch.idle_cpu_ms_1000_files", idle, "ms");
}
BENCHMARK(BM_WatchIdleCpu)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace corvida::bench
