#include "mqo/window_scan.h"

#include <array>
#include <bit>

#if defined(__x86_64__)
#include <immintrin.h>
#define CORVIDA_X86 1
#endif

namespace corvida {
namespace {

constexpr uint8_t kKeyword = 1;
constexpr uint8_t kUnusual = 2;
constexpr uint8_t kLineFeed = 4;

// The bytes of the report: "face" and "Object", and what its fast path
// cannot read (strings, binary blocks, Shift-JIS names, NUL).
struct TReportBytes {
  static constexpr std::array<uint8_t, 256> kKinds = [] {
    std::array<uint8_t, 256> t{};
    t['f'] = t['O'] = kKeyword;
    t[0] = t['\''] = t['#'] = t['['] = kUnusual;
    for (int c = 0x80; c < 256; ++c) t[c] = kUnusual;
    t['\n'] = kLineFeed;
    return t;
  }();
#ifdef CORVIDA_X86
  static __m128i Keywords(__m128i x) {
    return _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('f')), _mm_cmpeq_epi8(x, _mm_set1_epi8('O')));
  }
  // Only the top bit of each byte counts, so a byte from 0x80 on is itself.
  static __m128i Unusual(__m128i x) {
    const __m128i bad = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, _mm_setzero_si128()), _mm_cmpeq_epi8(x, _mm_set1_epi8('\''))),
                                     _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('#')), _mm_cmpeq_epi8(x, _mm_set1_epi8('['))));
    return _mm_or_si128(bad, x);
  }
  __attribute__((target("avx2"))) static __m256i Keywords(__m256i x) {
    return _mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('f')), _mm256_cmpeq_epi8(x, _mm256_set1_epi8('O')));
  }
  __attribute__((target("avx2"))) static __m256i Unusual(__m256i x) {
    const __m256i bad =
        _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_setzero_si256()), _mm256_cmpeq_epi8(x, _mm256_set1_epi8('\''))),
                        _mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('#')), _mm256_cmpeq_epi8(x, _mm256_set1_epi8('['))));
    return _mm256_or_si256(bad, x);
  }
#endif
};

// The bytes of the statistics: "Eof", and the chunk structure and what may
// hide it (strings, binary blocks, NUL).
struct TStatsBytes {
  static constexpr std::array<uint8_t, 256> kKinds = [] {
    std::array<uint8_t, 256> t{};
    t['E'] = kKeyword;
    t[0] = t['"'] = t['['] = t[']'] = t['{'] = t['}'] = kUnusual;
    t['\n'] = kLineFeed;
    return t;
  }();
#ifdef CORVIDA_X86
  static __m128i Keywords(__m128i x) { return _mm_cmpeq_epi8(x, _mm_set1_epi8('E')); }
  static __m128i Unusual(__m128i x) {
    const __m128i braces = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('{')), _mm_cmpeq_epi8(x, _mm_set1_epi8('}')));
    const __m128i brackets = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('[')), _mm_cmpeq_epi8(x, _mm_set1_epi8(']')));
    const __m128i other = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_setzero_si128()), _mm_cmpeq_epi8(x, _mm_set1_epi8('"')));
    return _mm_or_si128(_mm_or_si128(braces, brackets), other);
  }
  __attribute__((target("avx2"))) static __m256i Keywords(__m256i x) {
    return _mm256_cmpeq_epi8(x, _mm256_set1_epi8('E'));
  }
  __attribute__((target("avx2"))) static __m256i Unusual(__m256i x) {
    const __m256i braces =
        _mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('{')), _mm256_cmpeq_epi8(x, _mm256_set1_epi8('}')));
    const __m256i brackets =
        _mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('[')), _mm256_cmpeq_epi8(x, _mm256_set1_epi8(']')));
    const __m256i other =
        _mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_setzero_si256()), _mm256_cmpeq_epi8(x, _mm256_set1_epi8('"')));
    return _mm256_or_si256(_mm256_or_si256(braces, brackets), other);
  }
#endif
};

// The bits of the 64-byte block at index block that lie before n.
uint64_t BlockMask(size_t block, size_t n) {
  const size_t left = n - block * 64;
  return left >= 64 ? ~uint64_t{0} : (uint64_t{1} << left) - 1;
}

// Stores the masks of one block; the first unusual byte is kept once found.
inline void Store(size_t block, size_t n, uint64_t keywords, uint64_t feeds, uint64_t odd, TWindowMarks& marks) {
  const uint64_t mask = BlockMask(block, n);
  marks.keywordStarts[block] = keywords & mask;
  marks.lineFeeds[block] = feeds & mask;
  marks.lineFeedsBefore[block + 1] =
      marks.lineFeedsBefore[block] + static_cast<uint32_t>(std::popcount(feeds & mask));
  odd &= mask;
  marks.unusual[block] = odd;
  if (odd != 0 && marks.firstUnusual == n) marks.firstUnusual = block * 64 + static_cast<size_t>(std::countr_zero(odd));
}

template <class Bytes>
void ScanScalar(const char* p, size_t n, TWindowMarks& marks) {
  for (size_t block = 0; block * 64 < n; ++block) {
    uint64_t keywords = 0, feeds = 0, odd = 0;
    const size_t end = block * 64 + 64 < n ? block * 64 + 64 : n;
    for (size_t i = block * 64; i < end; ++i) {
      const uint8_t kind = Bytes::kKinds[static_cast<unsigned char>(p[i])];
      keywords |= static_cast<uint64_t>((kind & kKeyword) != 0) << (i % 64);
      feeds |= static_cast<uint64_t>((kind & kLineFeed) != 0) << (i % 64);
      odd |= static_cast<uint64_t>((kind & kUnusual) != 0) << (i % 64);
    }
    Store(block, n, keywords, feeds, odd, marks);
  }
}

#ifdef CORVIDA_X86

// Bit i of the result is the top bit of byte i of the 16 bytes.
inline uint64_t Bits16(__m128i v, int at) {
  return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(v))) << at;
}

template <class Bytes>
void ScanSse2(const char* p, size_t n, TWindowMarks& marks) {
  const __m128i lf = _mm_set1_epi8('\n');
  for (size_t block = 0; block * 64 < n; ++block) {
    uint64_t keywords = 0, feeds = 0, odd = 0;
    for (int part = 0; part < 4; ++part) {
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + block * 64 + part * 16));
      keywords |= Bits16(Bytes::Keywords(x), part * 16);
      feeds |= Bits16(_mm_cmpeq_epi8(x, lf), part * 16);
      odd |= Bits16(Bytes::Unusual(x), part * 16);
    }
    Store(block, n, keywords, feeds, odd, marks);
  }
}

__attribute__((target("avx2"))) inline uint64_t Bits32(__m256i v, int at) {
  return static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(v))) << at;
}

template <class Bytes>
__attribute__((target("avx2,popcnt"))) void ScanAvx2(const char* p, size_t n, TWindowMarks& marks) {
  const __m256i lf = _mm256_set1_epi8('\n');
  for (size_t block = 0; block * 64 < n; ++block) {
    uint64_t keywords = 0, feeds = 0, odd = 0;
    for (int part = 0; part < 2; ++part) {
      const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + block * 64 + part * 32));
      keywords |= Bits32(Bytes::Keywords(x), part * 32);
      feeds |= Bits32(_mm256_cmpeq_epi8(x, lf), part * 32);
      odd |= Bits32(Bytes::Unusual(x), part * 32);
    }
    Store(block, n, keywords, feeds, odd, marks);
  }
}

#endif

template <class Bytes>
void Scan(const char* p, size_t n, TWindowMarks& marks, TScanLevel level) {
  marks.firstUnusual = n;
  marks.lineFeedsBefore[0] = 0;
#ifdef CORVIDA_X86
  if (level == slAvx2 && __builtin_cpu_supports("avx2")) return ScanAvx2<Bytes>(p, n, marks);
  if (level != slScalar) return ScanSse2<Bytes>(p, n, marks);
#endif
  ScanScalar<Bytes>(p, n, marks);
}

}  // namespace

TScanLevel BestScanLevel() {
#ifdef CORVIDA_X86
  static const TScanLevel level = __builtin_cpu_supports("avx2") ? slAvx2 : slSse2;
  return level;
#else
  return slScalar;
#endif
}

void ScanWindow(const char* p, size_t n, TWindowMarks& marks, TScanLevel level) {
  Scan<TReportBytes>(p, n, marks, level);
}

void ScanStatsWindow(const char* p, size_t n, TWindowMarks& marks, TScanLevel level) {
  Scan<TStatsBytes>(p, n, marks, level);
}

uint32_t LineFeedsBefore(const TWindowMarks& marks, size_t at) {
  const size_t block = at / 64;
  const size_t left = at % 64;
  if (left == 0) return marks.lineFeedsBefore[block];
  const uint64_t before = marks.lineFeeds[block] & ((uint64_t{1} << left) - 1);
  return marks.lineFeedsBefore[block] + static_cast<uint32_t>(std::popcount(before));
}

}  // namespace corvida
