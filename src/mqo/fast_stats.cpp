// Why the fast path counts what the literal reader counts.
//
// The literal reader (TStatsReader) reads any piece of input from where it
// stopped; right after a line feed, outside a binary block, what the next
// line means depends only on the chunk it stands in (TStatsReader::Place).
// There this file may read whole lines itself, in windows of up to 4,096
// bytes that start at a line start and end after their last line feed, and
// hand the reader the first line it does not read. It reads only lines
// without NUL, '"', '[', ']', '{' or '}': such a line holds one statement,
// in no string, announcing no binary block, opening or closing no chunk.
// - In a chunk whose statements count for nothing, such a line matters
//   only when its first word is "Eof" (an error there), and a first word
//   can be that only where an 'E' is the line's first byte after blanks:
//   those lines go to the reader.
// - In a face chunk, a line whose statement reads "N V(...)" with N a count
//   of at most 15 digits followed by a blank, and words without brackets in
//   the V(...), is a face line this file reads by the reader's own rules:
//   blanks are bytes up to ' ', words run up to a blank or a bracket, V
//   and M groups count only outside other brackets, and the first M(...)
//   gives the material by its first word (a number of at most 15 digits
//   here). Any other face line goes to the reader.
#include "mqo/fast_stats.h"

#include <bit>
#include <cstring>
#include <string_view>

#include "mqo/model_file.h"
#include "mqo/stats_reader.h"
#include "mqo/window_scan.h"

namespace corvida {
namespace {

constexpr size_t kWindow = kMarkedBytes;
// The most digits a number read here has: its value is far below kMaxCount.
constexpr ptrdiff_t kMostDigits = 15;

inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool EndsWord(char c) { return IsBlank(c) || c == '(' || c == ')'; }

// Where the line that holds the byte at offset at begins: after the last
// line feed before it.
size_t LineStartOf(const TWindowMarks& marks, size_t at) {
  size_t block = at / 64;
  uint64_t feeds = at % 64 != 0 ? marks.lineFeeds[block] & ((uint64_t{1} << (at % 64)) - 1) : 0;
  while (feeds == 0) {
    if (block == 0) return 0;
    feeds = marks.lineFeeds[--block];
  }
  return block * 64 + static_cast<size_t>(63 - std::countl_zero(feeds)) + 1;
}

// Reads "-?digits" ending a word at p; false when the word has another
// shape or too many digits for this file to read.
bool ReadNumber(const char*& p, const char* end, bool& isNumber, int64_t& value) {
  const char* s = p;
  const bool negative = s < end && *s == '-';
  if (negative) ++s;
  const char* digits = s;
  uint64_t v = 0;
  while (s < end && IsDigit(*s)) v = v * 10 + static_cast<uint64_t>(*s++ - '0');
  const char* wordEnd = s;
  while (wordEnd < end && !EndsWord(*wordEnd)) ++wordEnd;
  p = wordEnd;
  isNumber = s > digits && s == wordEnd;
  if (!isNumber) return true;
  if (s - digits > kMostDigits) return false;
  value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
  return true;
}

class TFastStats {
 public:
  explicit TFastStats(TModelInput& input) : input_(input), reader_(tally_) {}

  TModelStats Run() {
    while (!reader_.Done()) {
      const std::string_view held = input_.Hold(start_, kWindow);
      if (held.empty()) break;
      size_t taken = 0;
      if (reader_.AtLineStart()) {
        const TStatsReader::TPlace place = reader_.Place();
        if (place != TStatsReader::rpCounting) taken = Lines(held, place);
      }
      if (taken == 0) taken = Literal(held);
      start_ += taken;
    }
    return reader_.Finish();
  }

 private:
  // Hands the reader its next line, or all that is held when no line feed
  // is in sight (a long line, or a binary block).
  size_t Literal(std::string_view held) {
    size_t n = held.size();
    if (!reader_.InBinary()) {
      if (const void* feed = std::memchr(held.data(), '\n', held.size()))
        n = static_cast<size_t>(static_cast<const char*>(feed) - held.data()) + 1;
    }
    reader_.Feed(held.substr(0, n));
    return n;
  }

  // The whole lines of the window at held that this file reads itself.
  size_t Lines(std::string_view held, TStatsReader::TPlace place) {
    const char* p = held.data();
    const size_t n = std::min(held.size(), kWindow);
    if (n < kWindow) {
      // The marking reads whole blocks of 64 bytes.
      std::memcpy(last_, held.data(), n);
      std::memset(last_ + n, 0, sizeof last_ - n);
      p = last_;
    }
    ScanStatsWindow(p, n, marks_);
    const size_t end = LineStartOf(marks_, n);
    if (end == 0) return 0;
    const size_t taken = place == TStatsReader::rpFaces ? FaceLines(p, end) : PassingLines(p, end);
    reader_.PassLines(LineFeedsBefore(marks_, taken));
    return taken;
  }

  size_t PassingLines(const char* p, size_t end) {
    size_t limit = marks_.firstUnusual < end ? LineStartOf(marks_, marks_.firstUnusual) : end;
    for (size_t block = 0; block * 64 < limit; ++block) {
      for (uint64_t bits = marks_.keywordStarts[block]; bits != 0; bits &= bits - 1) {
        const size_t at = block * 64 + static_cast<size_t>(std::countr_zero(bits));
        if (at >= limit) return limit;
        size_t before = at;
        while (before > 0 && p[before - 1] != '\n' && IsBlank(p[before - 1])) --before;
        if (before == 0 || p[before - 1] == '\n') return before;
      }
    }
    return limit;
  }

  size_t FaceLines(const char* p, size_t end) {
    size_t start = 0;
    uint64_t line = reader_.Line();
    for (size_t block = 0; block * 64 < end; ++block) {
      for (uint64_t bits = marks_.lineFeeds[block]; bits != 0; bits &= bits - 1) {
        const size_t feed = block * 64 + static_cast<size_t>(std::countr_zero(bits));
        if (feed >= end || marks_.firstUnusual < feed || !FaceLine(p + start, p + feed, line)) return start;
        start = feed + 1;
        ++line;
      }
    }
    return start;
  }

  // One face line from s to its line feed at e; false when the reader is
  // to read it.
  bool FaceLine(const char* s, const char* e, uint64_t line) {
    while (s < e && IsBlank(*s)) ++s;
    if (s == e) return true;
    const char* digits = s;
    uint64_t corners = 0;
    while (IsDigit(*s)) corners = corners * 10 + static_cast<uint64_t>(*s++ - '0');
    if (s == digits || s - digits > kMostDigits || s == e || !IsBlank(*s)) return false;
    while (s < e && IsBlank(*s)) ++s;
    if (e - s < 2 || s[0] != 'V' || s[1] != '(') return false;
    s += 2;
    uint64_t listed = 0;
    for (;;) {
      while (s < e && IsBlank(*s)) ++s;
      if (s == e || *s == '(') return false;
      if (*s == ')') break;
      while (s < e && !EndsWord(*s)) ++s;
      ++listed;
    }
    int64_t material = -1;
    if (!Material(s + 1, e, material)) return false;
    tally_.Face(corners, listed, material, line);
    return true;
  }

  // The first M(...) outside brackets in the rest of a face line.
  static bool Material(const char* s, const char* e, int64_t& material) {
    uint64_t depth = 0;
    while (s < e) {
      if (IsBlank(*s)) {
        ++s;
      } else if (*s == '(') {
        ++depth;
        ++s;
      } else if (*s == ')') {
        if (depth > 0) --depth;
        ++s;
      } else {
        const char* word = s;
        while (s < e && !EndsWord(*s)) ++s;
        if (depth > 0 || s - word != 1 || *word != 'M') continue;
        const char* t = s;
        while (t < e && IsBlank(*t)) ++t;
        if (t == e || *t != '(') continue;
        ++t;
        while (t < e && IsBlank(*t)) ++t;
        if (t == e || *t == '(') return false;
        if (*t == ')') return true;
        bool isNumber;
        int64_t value = -1;
        if (!ReadNumber(t, e, isNumber, value)) return false;
        if (isNumber) material = value;
        return true;
      }
    }
    return true;
  }

  TModelInput& input_;
  TStatsTally tally_;
  TStatsReader reader_;
  uint64_t start_ = 0;
  TWindowMarks marks_;
  // A last window, with room for the marking to read whole blocks.
  char last_[kWindow + 64];
};

}  // namespace

TModelStats ReadModelStats(TModelInput& input) { return TFastStats(input).Run(); }

TModelStats ModelStatsOfFile(const std::string& path, std::stop_token stop) {
  TModelStats stats;
  ReadModelFile(
      path,
      [&](TBytePieces& pieces) {
        TModelInput input(pieces);
        stats = ReadModelStats(input);
      },
      std::move(stop));
  return stats;
}

}  // namespace corvida
