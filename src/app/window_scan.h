#pragma once
// Finds the bytes of a scanner window that the report's fast path cares
// about, with AVX2 or SSE2 where the processor has them.
#include <cstddef>
#include <cstdint>

namespace corvida {

inline constexpr size_t kMarkedBytes = 4096;

struct TWindowMarks {
  // The window holds a NUL, a single quote, '#', '[' or a byte from 0x80 on.
  bool unusual;
  uint32_t lineFeeds;
  // One bit per byte, lowest first: 'f' or 'O', where "face" and "Object" begin.
  uint64_t keywordStarts[kMarkedBytes / 64];
};

enum TScanLevel { slScalar, slSse2, slAvx2 };

// The best level this processor runs.
TScanLevel BestScanLevel();

// Marks the first n bytes of p, n at most kMarkedBytes; the bytes up to n
// rounded up to a multiple of 64 must be readable.
void ScanWindow(const char* p, size_t n, TWindowMarks& marks, TScanLevel level = BestScanLevel());

}  // namespace corvida
