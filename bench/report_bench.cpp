// The face-count report of a 200 MB model, side by side with an awk pipeline
// that extracts the same counts from the same file in the same run.
//
// The machine's two cores are shared, so wall time swings with whatever else
// runs; the headline figures use CPU time (user + system) instead: of this
// process around MakeReport, and of the awk child as the kernel accounts it
// once waited for. The best of several runs counts. Wall-time figures are
// given beside them. MB = 10^6 bytes.
//   report.mb_per_s           the file's size over the report's CPU time
//   report.vs_awk_ratio       awk's CPU time over the report's
//   report.wall_mb_per_s      the file's size over the report's wall time
//   report.vs_awk_wall_ratio  awk's wall time over the report's
//   report.awk_mb_per_s       the file's size over awk's CPU time
//   report.peak_rss_mb        the memory one report adds at its peak: a child
//                             forked from the benchmark runs it, and its
//                             kernel maxrss less what it held before (the
//                             other benchmarks' data, inherited) is counted
//   report.rss_base_mb        what that child held before the report started
//   report.file_mb            the model's size
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "app/face_report.h"
#include "figures.h"
#include "platform/rtl/strings.h"

namespace corvida::bench {
namespace {

constexpr int64_t kModelBytes = 200'000'000;
constexpr const char* kAwkProgram =
    "awk '$1==\"Object\"{n=$2} $1==\"face\"{print $2\" : \"n; t+=$2} END{print t}'";

// A deterministic generator of plausible coordinates.
class TRandom {
 public:
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint32_t state_ = 2463534242u;
};

// Appends a fixed-point number with the given decimals, as the modeller writes them.
void AppendFixed(std::string& out, int64_t scaled, int decimals) {
  if (scaled < 0) {
    out.push_back('-');
    scaled = -scaled;
  }
  char digits[24];
  int n = 0;
  do {
    if (n == decimals) digits[n++] = '.';
    digits[n++] = static_cast<char>('0' + scaled % 10);
    scaled /= 10;
  } while (scaled > 0 || n <= decimals);
  while (n > 0) out.push_back(digits[--n]);
}

// The 200 MB model, written once to a folder of its own and removed at exit.
class TBenchModel {
 public:
  static TBenchModel& Get() {
    static TBenchModel model;
    return model;
  }
  const std::string& Path() const { return path_; }
  int64_t Size() const { return size_; }
  int64_t Total() const { return total_; }

  ~TBenchModel() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

 private:
  TBenchModel() {
    char dir[] = "/tmp/corvida-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr) return;
    dir_ = dir;
    path_ = dir_ + "/large.mqo";
    std::ofstream file(path_, std::ios::binary);
    TRandom random;
    std::string chunk =
        "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\nScene {\r\n\tpos 0.0000 0.0000 1500.0000\r\n"
        "\tlookat 0.0000 0.0000 0.0000\r\n\thead -0.5236\r\n\tpich 0.5236\r\n\tortho 0\r\n\tzoom2 5.0000\r\n"
        "\tamb 0.250 0.250 0.250\r\n}\r\nMaterial 1 {\r\n\t\"mat1\" col(0.800 0.800 0.800 1.000) dif(0.800) "
        "amb(0.600) emi(0.000) spc(0.000) power(5.00)\r\n}\r\n";
    for (int object = 0; size_ + static_cast<int64_t>(chunk.size()) < kModelBytes; ++object) {
      const int vertices = 4000 + static_cast<int>(random.Below(8000));
      const int faces = vertices - 2 - static_cast<int>(random.Below(100));
      chunk += "Object \"part" + std::to_string(object) +
               "\" {\r\n\tdepth 0\r\n\tfolding 0\r\n\tscale 1.000000 1.000000 1.000000\r\n"
               "\trotation 0.000000 0.000000 0.000000\r\n\ttranslation 0.000000 0.000000 0.000000\r\n"
               "\tvisible 15\r\n\tlocking 0\r\n\tshading 1\r\n\tfacet 59.5\r\n\tcolor 0.898 0.498 0.698\r\n"
               "\tcolor_type 0\r\n\tvertex " +
               std::to_string(vertices) + " {\r\n";
      for (int v = 0; v < vertices; ++v) {
        chunk += "\t\t";
        for (int axis = 0; axis < 3; ++axis) {
          AppendFixed(chunk, static_cast<int64_t>(random.Below(4'000'000)) - 2'000'000, 4);
          chunk += axis < 2 ? " " : "\r\n";
        }
      }
      chunk += "\t}\r\n\tface " + std::to_string(faces) + " {\r\n";
      for (int f = 0; f < faces; ++f) {
        chunk += "\t\t4 V(";
        for (int corner = 0; corner < 4; ++corner) {
          chunk += std::to_string(random.Below(static_cast<uint32_t>(vertices)));
          chunk += corner < 3 ? " " : ") M(0) UV(";
        }
        for (int uv = 0; uv < 8; ++uv) {
          AppendFixed(chunk, random.Below(100'000), 5);
          chunk += uv < 7 ? " " : ")\r\n";
        }
      }
      chunk += "\t}\r\n}\r\n";
      total_ += faces;
      file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      size_ += static_cast<int64_t>(chunk.size());
      chunk.clear();
    }
    file << "Eof\r\n";
    size_ += 5;
    if (!file.flush()) size_ = 0;
  }

  std::string dir_;
  std::string path_;
  int64_t size_ = 0;
  int64_t total_ = 0;
};

struct TTimes {
  double cpu = std::numeric_limits<double>::infinity();
  double wall = std::numeric_limits<double>::infinity();
};

TTimes& ReportTimes() {
  static TTimes times;
  return times;
}

TTimes& AwkTimes() {
  static TTimes times;
  return times;
}

double CpuSeconds(int who) {
  struct rusage usage {};
  ::getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Times one run of work, keeping the best CPU and wall times in times.
template <typename Work>
void Timed(TTimes& times, int who, Work work) {
  const double cpu = CpuSeconds(who);
  const auto start = std::chrono::steady_clock::now();
  work();
  times.wall = std::min(times.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  times.cpu = std::min(times.cpu, CpuSeconds(who) - cpu);
}

// The report's total line holds the sum that awk prints last.
int64_t ReportTotal(const TStrings& lines) {
  return lines.Count() >= 2 ? std::atoll(lines.Strings(lines.Count() - 2).c_str()) : -1;
}

void BM_ReportLargeModel(benchmark::State& state) {
  const TBenchModel& model = TBenchModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  for (auto _ : state) {
    TStringList lines;
    Timed(ReportTimes(), RUSAGE_SELF, [&] { MakeReport(model.Path(), kSortNone, lines, {}); });
    if (ReportTotal(lines) != model.Total()) return state.SkipWithError("wrong total");
  }
  state.SetBytesProcessed(state.iterations() * model.Size());
}

void BM_AwkPipelineLargeModel(benchmark::State& state) {
  const TBenchModel& model = TBenchModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  const std::string command = std::string(kAwkProgram) + " '" + model.Path() + "'";
  for (auto _ : state) {
    std::string last;
    int status = -1;
    Timed(AwkTimes(), RUSAGE_CHILDREN, [&] {
      FILE* pipe = ::popen(command.c_str(), "r");
      if (pipe == nullptr) return;
      // Read awk's output as the report keeps its lines; the last line is the total.
      char line[256];
      while (std::fgets(line, sizeof line, pipe) != nullptr) last = line;
      status = ::pclose(pipe);
    });
    if (status != 0 || std::atoll(last.c_str()) != model.Total()) return state.SkipWithError("awk failed");
  }
  state.SetBytesProcessed(state.iterations() * model.Size());
}

void BM_ReportPeakMemory(benchmark::State& state) {
  const TBenchModel& model = TBenchModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  for (auto _ : state) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return state.SkipWithError("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
      // The child's resident memory before the report, in pages.
      long pages = 0;
      if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        long size = 0;
        if (std::fscanf(statm, "%ld %ld", &size, &pages) != 2) pages = 0;
        std::fclose(statm);
      }
      const long baseKb = pages * (::sysconf(_SC_PAGESIZE) / 1024);
      TStringList lines;
      MakeReport(model.Path(), kSortNone, lines, {});
      const bool ok = ReportTotal(lines) == model.Total();
      if (::write(pipeFds[1], &baseKb, sizeof baseKb) != sizeof baseKb) ::_exit(2);
      ::_exit(ok ? 0 : 1);
    }
    ::close(pipeFds[1]);
    long baseKb = 0;
    const bool gotBase = ::read(pipeFds[0], &baseKb, sizeof baseKb) == sizeof baseKb;
    ::close(pipeFds[0]);
    int status = 0;
    struct rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || !gotBase)
      return state.SkipWithError("the child's report failed");
    Figure("report.peak_rss_mb", static_cast<double>(usage.ru_maxrss - baseKb) * 1024.0 / 1e6, "MB");
    Figure("report.rss_base_mb", static_cast<double>(baseKb) * 1024.0 / 1e6, "MB");
  }
  const double mb = static_cast<double>(model.Size()) / 1e6;
  const TTimes& report = ReportTimes();
  const TTimes& awk = AwkTimes();
  Figure("report.file_mb", mb, "MB");
  if (std::isfinite(report.cpu)) {
    Figure("report.mb_per_s", mb / report.cpu, "MB/s");
    Figure("report.wall_mb_per_s", mb / report.wall, "MB/s");
  }
  if (std::isfinite(awk.cpu)) Figure("report.awk_mb_per_s", mb / awk.cpu, "MB/s");
  if (std::isfinite(report.cpu) && std::isfinite(awk.cpu)) {
    Figure("report.vs_awk_ratio", awk.cpu / report.cpu, "x");
    Figure("report.vs_awk_wall_ratio", awk.wall / report.wall, "x");
  }
}

// Wall time for all three: awk's work happens in a child process.
BENCHMARK(BM_ReportLargeModel)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_AwkPipelineLargeModel)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReportPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace corvida::bench
