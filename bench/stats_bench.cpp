// The model statistics side by side with an awk program that computes the
// same per-object triangles, both run as processes in the same benchmark on
// the same generated 200 MB model of quads, triangles and n-gons, hidden and
// mirrored objects, each taking its turn in every round; the best round
// counts. MB = 10^6 bytes.
//   stats.cli_wall_mb_per_s   the model's size over the wall time of the
//                             whole "corvida --stats --format csv" process
//   stats.vs_awk_wall_ratio   the awk program's wall time over ours
//   stats.cli_cpu_mb_per_s    the same process, user + system time
//   stats.awk_wall_mb_per_s   the peer itself
//   stats.peak_anon_mb        peak anonymous resident memory of the process
//   stats.peak_anon_3gb_mb    the same for a 3 GB model (the 200 MB model's
//                             objects 15 times over), removed at once
//   stats.cli_3gb_wall_mb_per_s  and its speed
//   stats.mb_per_s            the fast reading in this process, CPU time
//   stats.literal_mb_per_s    the literal reader alone on the same bytes
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "figures.h"
#include "model_files.h"
#include "mqo/fast_stats.h"
#include "mqo/model_input.h"
#include "mqo/stats_reader.h"
#include "platform/rtl/streams.h"
#include "processes.h"

namespace corvida::bench {
namespace {

constexpr int64_t kModelBytes = 200'000'000;
constexpr int kCopiesFor3Gb = 15;
constexpr const char* kEof = "Eof\r\n";

// Per object, the triangles of its face lines; the sum over all objects at
// the end. The lines end in CR LF, which awk does not split off.
constexpr const char* kAwkProgram =
    "$1==\"Object\"{n=$2} $1==\"face\"{f=1; t=0; next} f&&$1~/^}/{f=0; print n, t; s+=t; next} "
    "f{c=$1+0; if (c>2) t+=c-2} END{print s}";

// Written once to a folder of its own and removed at exit; its objects end
// before kEof, so copies of them make a larger model.
class TStatsModel {
 public:
  static TStatsModel& Get() {
    static TStatsModel model;
    return model;
  }
  const std::string& Path() const { return path_; }
  const std::string& Folder() const { return dir_; }
  int64_t Size() const { return size_; }
  int64_t Triangles() const { return triangles_; }
  int64_t VisibleExported() const { return visibleExported_; }

  ~TStatsModel() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

 private:
  TStatsModel() {
    char dir[] = "/tmp/corvida-stats-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr) return;
    dir_ = dir;
    path_ = dir_ + "/stats.mqo";
    std::ofstream file(path_, std::ios::binary);
    TRandom random;
    std::string chunk =
        "Metasequoia Document\r\nFormat Text Ver 1.1\r\n\r\nScene {\r\n\tpos 0.0000 0.0000 1500.0000\r\n"
        "\tlookat 0.0000 0.0000 0.0000\r\n\thead -0.5236\r\n\tpich 0.5236\r\n}\r\nMaterial 4 {\r\n"
        "\t\"skin\" col(0.800 0.800 0.800 1.000) dif(0.800)\r\n\t\"hair\" col(0.2 0.2 0.2 1.000) dif(0.800)\r\n"
        "\t\"eye\" col(0.1 0.1 0.9 1.000) dif(0.800)\r\n\t\"cloth\" col(0.9 0.1 0.1 1.000) dif(0.800)\r\n}\r\n";
    for (int object = 0; size_ + static_cast<int64_t>(chunk.size()) < kModelBytes; ++object) {
      const int vertices = 4000 + static_cast<int>(random.Below(8000));
      const bool hidden = object % 5 == 4;
      const int mirror = object % 6 == 1 ? 1 : object % 11 == 3 ? 2 : 0;
      chunk += "Object \"part" + std::to_string(object) + "\" {\r\n\tdepth 0\r\n\tfolding 0\r\n\tscale 1 1 1\r\n"
               "\trotation 0 0 0\r\n\ttranslation 0 0 0\r\n\tvisible " + (hidden ? "0" : "15") +
               "\r\n\tlocking 0\r\n\tshading 1\r\n\tfacet 59.5\r\n\tcolor 0.898 0.498 0.698\r\n\tcolor_type 0\r\n";
      if (mirror != 0) chunk += "\tmirror " + std::to_string(mirror) + "\r\n\tmirror_axis " + (mirror == 1 ? "1" : "3") + "\r\n";
      chunk += "\tvertex " + std::to_string(vertices) + " {\r\n";
      for (int v = 0; v < vertices; ++v) {
        chunk += "\t\t";
        for (int axis = 0; axis < 3; ++axis) {
          AppendFixed(chunk, static_cast<int64_t>(random.Below(4'000'000)) - 2'000'000, 4);
          chunk += axis < 2 ? " " : "\r\n";
        }
      }
      const int faces = vertices - 2 - static_cast<int>(random.Below(100));
      chunk += "\t}\r\n\tface " + std::to_string(faces) + " {\r\n";
      int64_t triangles = 0;
      for (int f = 0; f < faces; ++f) {
        const uint32_t shape = random.Below(10);
        const int corners = shape < 6 ? 4 : shape < 9 ? 3 : 5 + static_cast<int>(random.Below(4));
        triangles += corners - 2;
        chunk += "\t\t" + std::to_string(corners) + " V(";
        for (int corner = 0; corner < corners; ++corner) {
          chunk += std::to_string(random.Below(static_cast<uint32_t>(vertices)));
          chunk += corner + 1 < corners ? " " : ")";
        }
        if (object % 7 != 0) chunk += " M(" + std::to_string(object % 4) + ")";
        chunk += " UV(";
        for (int uv = 0; uv < 2 * corners; ++uv) {
          AppendFixed(chunk, random.Below(100'000), 5);
          chunk += uv + 1 < 2 * corners ? " " : ")\r\n";
        }
      }
      chunk += "\t}\r\n}\r\n";
      triangles_ += triangles;
      if (!hidden) visibleExported_ += triangles << (mirror == 1 ? 1 : mirror == 2 ? 2 : 0);
      file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      size_ += static_cast<int64_t>(chunk.size());
      chunk.clear();
    }
    file << kEof;
    size_ += 5;
    if (!file.flush()) size_ = 0;
  }

  std::string dir_;
  std::string path_;
  int64_t size_ = 0;
  int64_t triangles_ = 0;
  int64_t visibleExported_ = 0;
};

std::vector<std::string> StatsCommand(const std::string& path) { return {CORVIDA_EXE, "--stats", "--format", "csv", path}; }

// The visible objects' exported triangles that the CSV printed.
int64_t PrintedVisibleExported(const std::string& tail) {
  size_t at = tail.rfind(",visible_total,");
  if (at == std::string::npos) return -1;
  // path,kind,index,name,name_hex,objects,faces,triangles,vertices,materials,exported_triangles
  for (int comma = 0; comma < 9 && at != std::string::npos; ++comma) at = tail.find(',', at + 1);
  return at == std::string::npos ? -1 : std::atoll(tail.c_str() + at + 1);
}

void BM_StatsCliSideBySide(benchmark::State& state) {
  const TStatsModel& model = TStatsModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  double cliWall = 1e9, cliCpu = 1e9, awkWall = 1e9;
  for (auto _ : state) {
    const TRun cli = RunProcess(StatsCommand(model.Path()), false);
    if (!cli.ok || PrintedVisibleExported(cli.tail) != model.VisibleExported())
      return state.SkipWithError("the statistics failed");
    const TRun awk = RunProcess({"awk", kAwkProgram, model.Path()}, false);
    if (!awk.ok || std::atoll(awk.tail.c_str() + awk.tail.rfind('\n', awk.tail.size() - 2) + 1) != model.Triangles())
      return state.SkipWithError("awk failed");
    cliWall = std::min(cliWall, cli.wall);
    cliCpu = std::min(cliCpu, cli.cpu);
    awkWall = std::min(awkWall, awk.wall);
  }
  const double mb = Mb(static_cast<double>(model.Size()));
  Figure("stats.file_mb", mb, "MB");
  Figure("stats.cli_wall_mb_per_s", mb / cliWall, "MB/s");
  Figure("stats.cli_cpu_mb_per_s", mb / cliCpu, "MB/s");
  Figure("stats.awk_wall_mb_per_s", mb / awkWall, "MB/s");
  Figure("stats.vs_awk_wall_ratio", awkWall / cliWall, "x");
}

void BM_StatsPeakMemory(benchmark::State& state) {
  const TStatsModel& model = TStatsModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  for (auto _ : state) {
    const TRun run = RunProcess(StatsCommand(model.Path()), true);
    if (!run.ok || PrintedVisibleExported(run.tail) != model.VisibleExported())
      return state.SkipWithError("the statistics failed");
    Figure("stats.peak_anon_mb", run.peakAnonKb * 1024.0 / 1e6, "MB");

    const double bigBytes = static_cast<double>(model.Size()) * kCopiesFor3Gb;
    if (!HasRoomFor(model.Folder(), bigBytes)) return state.SkipWithError("no room for the 3 GB model");
    TScratchFile big(model.Folder() + "/big.mqo");
    {
      std::ifstream in(model.Path(), std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      bytes.resize(bytes.size() - std::string(kEof).size());
      std::ofstream out(big.Path(), std::ios::binary);
      for (int copy = 0; copy < kCopiesFor3Gb; ++copy) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      out << kEof;
      if (!out.flush()) return state.SkipWithError("the 3 GB model could not be written");
    }
    const TRun huge = RunProcess(StatsCommand(big.Path()), true);
    if (!huge.ok || PrintedVisibleExported(huge.tail) != model.VisibleExported() * kCopiesFor3Gb)
      return state.SkipWithError("the 3 GB statistics failed");
    Figure("stats.peak_anon_3gb_mb", huge.peakAnonKb * 1024.0 / 1e6, "MB");
    Figure("stats.cli_3gb_wall_mb_per_s", Mb(bigBytes) / huge.wall, "MB/s");
  }
}

double CpuSeconds() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_StatsInProcess(benchmark::State& state) {
  const TStatsModel& model = TStatsModel::Get();
  if (model.Size() == 0) return state.SkipWithError("the model could not be written");
  double fast = 1e9, literal = 1e9;
  for (auto _ : state) {
    double cpu = CpuSeconds();
    const TModelStats stats = ModelStatsOfFile(model.Path());
    fast = std::min(fast, CpuSeconds() - cpu);
    if (static_cast<int64_t>(stats.visible.exportedTriangles) != model.VisibleExported())
      return state.SkipWithError("wrong figures");

    TFileStream file(model.Path(), fmOpenRead);
    TStatsTally tally;
    TStatsReader reader(tally);
    static char piece[1 << 18];
    cpu = CpuSeconds();
    for (int64_t n; (n = file.Read(piece, sizeof piece)) > 0;) reader.Feed(std::string_view(piece, static_cast<size_t>(n)));
    const TModelStats read = reader.Finish();
    literal = std::min(literal, CpuSeconds() - cpu);
    if (!(read == stats)) return state.SkipWithError("the literal reader disagrees");
  }
  const double mb = Mb(static_cast<double>(model.Size()));
  Figure("stats.mb_per_s", mb / fast, "MB/s");
  Figure("stats.literal_mb_per_s", mb / literal, "MB/s");
}

BENCHMARK(BM_StatsCliSideBySide)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_StatsInProcess)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_StatsPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace corvida::bench
