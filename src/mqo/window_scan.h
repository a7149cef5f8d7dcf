#pragma once
// Finds the bytes of a model's window that the fast readings care about,
// with AVX2 or SSE2 where the processor has them.
#include <cstddef>
#include <cstdint>

namespace corvida {

inline constexpr size_t kMarkedBytes = 4096;

// One bit per byte, lowest first, for the bytes that were marked.
struct TWindowMarks {
  // Where the keywords a reading looks for may begin: 'f' or 'O' ("face",
  // "Object") for the report, 'E' ("Eof") for the statistics.
  uint64_t keywordStarts[kMarkedBytes / 64];
  uint64_t lineFeeds[kMarkedBytes / 64];
  // The count of line feeds in the blocks of 64 bytes before each block.
  uint32_t lineFeedsBefore[kMarkedBytes / 64 + 1];
  // The bytes a fast reading leaves to the literal one: NUL, single quote,
  // '#', '[' and bytes from 0x80 on for the report; NUL, double quote, '[',
  // ']', '{' and '}' for the statistics.
  uint64_t unusual[kMarkedBytes / 64];
  // Where the first unusual byte is, or the count of bytes marked when there
  // is none.
  size_t firstUnusual;
};

enum TScanLevel { slScalar, slSse2, slAvx2 };

// The best level this processor runs.
TScanLevel BestScanLevel();

// Marks the first n bytes of p, n at most kMarkedBytes, for the report; the
// bytes up to n rounded up to a multiple of 64 must be readable.
void ScanWindow(const char* p, size_t n, TWindowMarks& marks, TScanLevel level = BestScanLevel());
// The same for the statistics.
void ScanStatsWindow(const char* p, size_t n, TWindowMarks& marks, TScanLevel level = BestScanLevel());

// The count of line feeds marked before offset at.
uint32_t LineFeedsBefore(const TWindowMarks& marks, size_t at);

}  // namespace corvida
