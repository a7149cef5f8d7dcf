#pragma once
// Finds the bytes of a scanner window that the report's fast path cares
// about, with AVX2 or SSE2 where the processor has them.
#include <cstddef>
#include <cstdint>

namespace corvida {

inline constexpr size_t kMarkedBytes = 4096;

// One bit per byte, lowest first, for the bytes that were marked.
struct TWindowMarks {
  // 'f' or 'O', where "face" and "Object" begin.
  uint64_t keywordStarts[kMarkedBytes / 64];
  uint64_t lineFeeds[kMarkedBytes / 64];
  // The count of line feeds in the blocks of 64 bytes before each block.
  uint32_t lineFeedsBefore[kMarkedBytes / 64 + 1];
  // Where the first NUL, single quote, '#', '[' or byte from 0x80 on is, or
  // the count of bytes marked when there is none.
  size_t firstUnusual;
};

enum TScanLevel { slScalar, slSse2, slAvx2 };

// The best level this processor runs.
TScanLevel BestScanLevel();

// Marks the first n bytes of p, n at most kMarkedBytes; the bytes up to n
// rounded up to a multiple of 64 must be readable.
void ScanWindow(const char* p, size_t n, TWindowMarks& marks, TScanLevel level = BestScanLevel());

}  // namespace corvida
