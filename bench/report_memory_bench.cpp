// The report's memory where the face lines never end: the peak anonymous
// resident memory of the "corvida --report" process (sampled from /proc
// every millisecond or so). MB = 10^6 bytes.
//   report.peak_anon_face_stream_mb   10 s of "face 1" lines through a pipe,
//                                     in the file's order
//   report.peak_anon_archive_bomb_mb  a small archive holding 2 GiB of
//                                     "face 1" lines, sorted
//   report.archive_bomb_mb            the archive's size
//   report.face_stream_mb             what the pipe carried in the 10 s
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "figures.h"
#include "model_files.h"
#include "processes.h"

namespace corvida::bench {
namespace {

constexpr const char* kFaceLine = "face 1\n";
constexpr uint64_t kBombBytes = uint64_t{2} << 30;

// The bytes of kFaceLine repeated, made as libzip asks for them.
struct TFaceLineSource {
  uint64_t size;
  uint64_t done = 0;

  static zip_int64_t Call(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto& source = *static_cast<TFaceLineSource*>(self);
    switch (command) {
      case ZIP_SOURCE_OPEN:
        source.done = 0;
        return 0;
      case ZIP_SOURCE_READ: {
        const uint64_t n = std::min<uint64_t>(length, source.size - source.done);
        auto* out = static_cast<char*>(data);
        const size_t lineLength = std::strlen(kFaceLine);
        for (uint64_t i = 0; i < n; ++i) out[i] = kFaceLine[(source.done + i) % lineLength];
        source.done += n;
        return static_cast<zip_int64_t>(n);
      }
      case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = source.size;
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
      }
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
      default:
        return 0;
    }
  }
};

bool WriteArchiveBomb(const std::string& path) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) return false;
  TFaceLineSource lines{kBombBytes};
  zip_source_t* source = zip_source_function(archive, &TFaceLineSource::Call, &lines);
  if (source == nullptr || zip_file_add(archive, "bomb.mqo", source, 0) < 0) {
    if (source != nullptr) zip_source_free(source);
    zip_discard(archive);
    return false;
  }
  return zip_close(archive) == 0;
}

void BM_ReportFaceStreamMemory(benchmark::State& state) {
  const std::string folder = std::filesystem::temp_directory_path() / "corvida-face-stream";
  std::filesystem::create_directories(folder);
  for (auto _ : state) {
    // A writer that never ends its model until 10 s have passed.
    TScratchFile fifo(folder + "/stream.mqo");
    if (::mkfifo(fifo.Path().c_str(), 0600) != 0) return state.SkipWithError("no FIFO");
    std::atomic<uint64_t> carried = 0;
    std::thread writer([&] {
      const int fd = ::open(fifo.Path().c_str(), O_WRONLY);
      if (fd < 0) return;
      std::string block;
      while (block.size() < (1 << 20)) block += kFaceLine;
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (std::chrono::steady_clock::now() < end) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        if (n <= 0) break;
        carried += static_cast<uint64_t>(n);
      }
      ::close(fd);
    });
    const TRun stream = RunProcess({CORVIDA_EXE, "--report", "--raw", fifo.Path()}, true);
    writer.join();
    if (!stream.ok) return state.SkipWithError("the report of the stream failed");
    Figure("report.peak_anon_face_stream_mb", stream.peakAnonKb * 1024.0 / 1e6, "MB");
    Figure("report.face_stream_mb", Mb(static_cast<double>(carried)), "MB");

    TScratchFile bomb(folder + "/bomb.mqoz");
    if (!WriteArchiveBomb(bomb.Path())) return state.SkipWithError("the archive could not be written");
    const TRun sorted = RunProcess({CORVIDA_EXE, "--report", "--raw", "--sort", "asc", bomb.Path()}, true);
    if (!sorted.ok) return state.SkipWithError("the report of the archive failed");
    Figure("report.peak_anon_archive_bomb_mb", sorted.peakAnonKb * 1024.0 / 1e6, "MB");
    Figure("report.archive_bomb_mb", Mb(static_cast<double>(std::filesystem::file_size(bomb.Path()))), "MB");
  }
  std::filesystem::remove_all(folder);
}

BENCHMARK(BM_ReportFaceStreamMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace corvida::bench
