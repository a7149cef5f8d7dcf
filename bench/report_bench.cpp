// The face-count report side by side with its peers, all run as processes
// in the same benchmark on the same generated 200 MB model, each taking its
// turn in every round; the best round counts. MB = 10^6 bytes.
//   report.cli_wall_mb_per_s      the model's size over the wall time of the
//                                 whole "corvida --report --raw" process
//   report.vs_awk_wall_ratio      an awk one-liner's wall time over ours
//   report.vs_wc_ratio            our wall time over "wc -l"'s
//   report.cli_cpu_mb_per_s       the same process, user + system time
//   report.awk_wall_mb_per_s, report.wc_wall_mb_per_s  the peers themselves
//   report.peak_anon_mb           peak anonymous resident memory of the
//                                 process (mapped file pages do not count),
//                                 sampled from /proc every millisecond or so
//   report.peak_anon_3gb_mb       the same for a 3 GB model, written to a
//                                 temporary file and removed at once
//   report.cli_3gb_wall_mb_per_s  and its speed
//   report.peak_anon_long_name_mb the same for a model whose one name runs
//                                 100 KB and recurs in 5,000 face lines
//   report.long_name_output_mb    what that report prints
//   report.mb_per_s               MakeReport in this process, CPU time
//   report.sort_60k_objects_ms    the process's CPU time for 60,000 objects sorted
//   report.unsorted_60k_objects_ms  and in file order
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "figures.h"
#include "model_files.h"
#include "mqo/face_report.h"
#include "platform/rtl/strings.h"
#include "processes.h"

namespace corvida::bench {
namespace {

constexpr int64_t kModelBytes = 200'000'000;
constexpr int kCopiesFor3Gb = 15;
constexpr const char* kAwkProgram = "$1==\"Object\"{n=$2} $1==\"face\"{print $2\" : \"n; t+=$2} END{print t}";

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

// The total a report printed: its line before the separator.
int64_t PrintedTotal(const std::string& tail) {
  const size_t separator = tail.rfind("\n------------------------------\n");
  if (separator == std::string::npos) return -1;
  const size_t line = tail.rfind('\n', separator - 1);
  return std::atoll(tail.c_str() + (line == std::string::npos ? 0 : line + 1));
}

std::vector<std::string> ReportCommand(const std::string& path) { return {CORVIDA_EXE, "--report", "--raw", path}; }

void BM_ReportCliSideBySide(benchmark::State& state) {
  const TBenchModel& model = TBenchModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  double cliWall = 1e9, cliCpu = 1e9, awkWall = 1e9, wcWall = 1e9;
  for (auto _ : state) {
    const TRun cli = RunProcess(ReportCommand(model.Path()), false);
    if (!cli.ok || PrintedTotal(cli.tail) != model.Total()) return state.SkipWithError("the report failed");
    const TRun awk = RunProcess({"awk", kAwkProgram, model.Path()}, false);
    if (!awk.ok || std::atoll(awk.tail.c_str() + awk.tail.rfind('\n', awk.tail.size() - 2) + 1) != model.Total())
      return state.SkipWithError("awk failed");
    const TRun wc = RunProcess({"wc", "-l", model.Path()}, false);
    if (!wc.ok) return state.SkipWithError("wc failed");
    cliWall = std::min(cliWall, cli.wall);
    cliCpu = std::min(cliCpu, cli.cpu);
    awkWall = std::min(awkWall, awk.wall);
    wcWall = std::min(wcWall, wc.wall);
  }
  const double mb = Mb(static_cast<double>(model.Size()));
  Figure("report.file_mb", mb, "MB");
  Figure("report.cli_wall_mb_per_s", mb / cliWall, "MB/s");
  Figure("report.cli_cpu_mb_per_s", mb / cliCpu, "MB/s");
  Figure("report.awk_wall_mb_per_s", mb / awkWall, "MB/s");
  Figure("report.wc_wall_mb_per_s", mb / wcWall, "MB/s");
  Figure("report.vs_awk_wall_ratio", awkWall / cliWall, "x");
  Figure("report.vs_wc_ratio", cliWall / wcWall, "x");
}

void BM_ReportPeakMemory(benchmark::State& state) {
  const TBenchModel& model = TBenchModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  const std::string folder = std::filesystem::path(model.Path()).parent_path().string();
  for (auto _ : state) {
    const TRun run = RunProcess(ReportCommand(model.Path()), true);
    if (!run.ok || PrintedTotal(run.tail) != model.Total()) return state.SkipWithError("the report failed");
    Figure("report.peak_anon_mb", run.peakAnonKb * 1024.0 / 1e6, "MB");

    // The long name: 100 KB over lines of 100 bytes, then 5,000 faces.
    {
      TScratchFile file(folder + "/long-name.mqo");
      std::ofstream out(file.Path(), std::ios::binary);
      out << "Object \"";
      for (int line = 0; line < 1000; ++line) out << std::string(99, static_cast<char>('a' + line % 26)) << '\n';
      out << "\" {\n";
      for (int face = 0; face < 5000; ++face) out << "\tface 3 {\n\t}\n";
      out.close();
      const TRun named = RunProcess(ReportCommand(file.Path()), true);
      if (!named.ok || PrintedTotal(named.tail) != 15000) return state.SkipWithError("the long-name report failed");
      Figure("report.peak_anon_long_name_mb", named.peakAnonKb * 1024.0 / 1e6, "MB");
      Figure("report.long_name_output_mb", Mb(static_cast<double>(named.outBytes)), "MB");
    }

    // 3 GB: the model written 15 times over, read once, removed.
    const double bigBytes = static_cast<double>(model.Size()) * kCopiesFor3Gb;
    if (!HasRoomFor(folder, bigBytes)) return state.SkipWithError("no room for the 3 GB model");
    TScratchFile big(folder + "/big.mqo");
    {
      std::ifstream in(model.Path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      std::ofstream out(big.Path(), std::ios::binary);
      for (int copy = 0; copy < kCopiesFor3Gb; ++copy) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      if (!out.flush()) return state.SkipWithError("the 3 GB model could not be written");
    }
    const TRun huge = RunProcess(ReportCommand(big.Path()), true);
    if (!huge.ok || PrintedTotal(huge.tail) != model.Total() * kCopiesFor3Gb)
      return state.SkipWithError("the 3 GB report failed");
    Figure("report.peak_anon_3gb_mb", huge.peakAnonKb * 1024.0 / 1e6, "MB");
    Figure("report.cli_3gb_wall_mb_per_s", Mb(bigBytes) / huge.wall, "MB/s");
  }
}

double CpuSeconds() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The report's total line holds the sum.
int64_t ReportTotal(const TStrings& lines) {
  return lines.Count() >= 2 ? std::atoll(lines.Strings(lines.Count() - 2).c_str()) : -1;
}

void BM_ReportInProcess(benchmark::State& state) {
  const TBenchModel& model = TBenchModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  double best = 1e9;
  for (auto _ : state) {
    TStringList lines;
    const double cpu = CpuSeconds();
    MakeReport(model.Path(), kSortNone, lines, {});
    best = std::min(best, CpuSeconds() - cpu);
    if (ReportTotal(lines) != model.Total()) return state.SkipWithError("wrong total");
  }
  Figure("report.mb_per_s", Mb(static_cast<double>(model.Size())) / best, "MB/s");
}

void BM_ReportSort60k(benchmark::State& state) {
  const TBenchModel& model = TBenchModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  TScratchFile file(std::filesystem::path(model.Path()).parent_path().string() + "/objects.mqo");
  {
    std::ofstream out(file.Path(), std::ios::binary);
    TRandom random;
    for (int object = 0; object < 60000; ++object)
      out << "Object \"o" << object << "\" {\r\n\tface " << random.Below(5000) << " {\r\n\t}\r\n}\r\n";
  }
  double sorted = 1e9, unsorted = 1e9;
  for (auto _ : state) {
    for (const char* order : {"asc", "none"}) {
      const TRun run = RunProcess({CORVIDA_EXE, "--report", "--raw", "--sort", order, file.Path()}, false);
      if (!run.ok || run.outBytes < 60000 * 12) return state.SkipWithError("the report failed");
      double& best = order[0] == 'a' ? sorted : unsorted;
      best = std::min(best, run.cpu * 1000);
    }
  }
  Figure("report.sort_60k_objects_ms", sorted, "ms");
  Figure("report.unsorted_60k_objects_ms", unsorted, "ms");
}

BENCHMARK(BM_ReportCliSideBySide)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_ReportInProcess)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReportSort60k)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReportPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace corvida::bench
