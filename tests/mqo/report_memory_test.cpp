// What a report holds while it reads grows with what it must keep (names,
// and lines to sort that differ), not with the face lines that pass.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "mqo/face_report.h"
#include "mqo/face_tally.h"
#include "mqo/fast_report.h"
#include "mqo/model_input.h"
#include "mqo/zip_builder.h"

namespace corvida::testing {
namespace {

// The bytes of line repeated count times, made piece by piece.
class TRepeatedLine : public TBytePieces {
 public:
  TRepeatedLine(std::string line, size_t count) : line_(std::move(line)), left_(line_.size() * count) {}
  size_t ReadPiece(char* buffer, size_t capacity) override {
    const size_t n = std::min(capacity, left_);
    for (size_t i = 0; i < n; ++i) buffer[i] = line_[(done_ + i) % line_.size()];
    done_ += n;
    left_ -= n;
    return n;
  }

 private:
  std::string line_;
  size_t left_;
  size_t done_ = 0;
};

// Bytes handed out, the large blocks the allocator maps apart included.
size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

#if defined(__SANITIZE_ADDRESS__)
#define SKIP_WITHOUT_HEAP_FIGURES() GTEST_SKIP() << "the sanitizer's allocator keeps no such figures"
#else
#define SKIP_WITHOUT_HEAP_FIGURES() (void)0
#endif

constexpr size_t kLines = 3'000'000;
constexpr size_t kMegabyte = 1 << 20;

TEST(ReportMemory, RepeatedFaceLinesToSortAreHeldOnce) {
  SKIP_WITHOUT_HEAP_FIGURES();
  for (const int sortMode : {kSortAscending, kSortDescending}) {
    TRepeatedLine model("Object \"same\" {\nface 1 {\n", kLines);
    TModelInput input(model);
    const size_t before = HeapInUse();
    TFaceCounts counts;
    CountFaces(input, counts);
    counts.Sort(sortMode);
    EXPECT_LT(HeapInUse() - before, kMegabyte);
    EXPECT_EQ(counts.LineCount(), kLines);
    uint64_t lines = 0;
    counts.ForEachLine([&](const TFaceCounts::TLine& line) { lines += line.name == "\"same\"" && line.count == 1; });
    EXPECT_EQ(lines, kLines);
  }
}

// The report of bytes written into a pipe by another thread, in the file's
// order; the most heap its reading took beyond what it had at the start.
size_t HeapOfAReportThroughAPipe(const std::string& bytes, size_t repeats, uint64_t& lines) {
  int fds[2];
  if (::pipe(fds) != 0) return SIZE_MAX;
  std::thread writer([&] {
    for (size_t r = 0; r < repeats; ++r) {
      for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fds[1], bytes.data() + done, bytes.size() - done);
        if (n <= 0) return ::close(fds[1]), void();
        done += static_cast<size_t>(n);
      }
    }
    ::close(fds[1]);
  });
  const size_t before = HeapInUse();
  size_t most = 0;
  lines = 0;
  const std::string pipe = "/dev/fd/" + std::to_string(fds[0]);
  WriteReport(pipe, pipe, kSortNone, [&](std::string_view) {
    if (++lines % 100'000 == 0) most = std::max(most, HeapInUse() - before);
  });
  writer.join();
  ::close(fds[0]);
  return most;
}

TEST(ReportMemory, AReportInTheFilesOrderHandsOnItsLinesAsTheyAreRead) {
  SKIP_WITHOUT_HEAP_FIGURES();
  std::string block;
  for (int i = 0; i < 1000; ++i) block += "face " + std::to_string(i % 7) + "\n";
  uint64_t lines = 0;
  EXPECT_LT(HeapOfAReportThroughAPipe(block, kLines / 1000, lines), 4 * kMegabyte);
  // The header, every face line, the total and the separator.
  EXPECT_EQ(lines, kLines + 3);
}

TEST(ReportMemory, ALargeArchiveThroughAPipeIsReadWhole) {
  // Larger than what is held in memory: the rest waits in a file without a
  // name, which goes with the reading.
  std::string model;
  for (int i = 0; i < 2'500'000; ++i) model += "face 1\n";
  const std::string archive = ZipArchive({{"m.mqo", model + "Object \"last\" {\nface 5 {\n", false}});
  uint64_t lines = 0;
  HeapOfAReportThroughAPipe(archive, 1, lines);
  EXPECT_EQ(lines, 2'500'001u + 3);
}

}  // namespace
}  // namespace corvida::testing
