// Why the fast path reports what the literal scanner reports.
//
// The literal scanner reads in 4,096-byte windows. A window starts where the
// last one was cut; when it is full it is cut after its last line feed in
// bytes 2 to 4,095, and the last window is cut at the end of the input. No
// token spans a cut, and blanks are all a window leaves behind at its end.
// A new scanner started at a window's start, with the line number reached
// there and no binary block under way, reads from there on exactly what
// the first one reads (TParser::AtWindowEnd). The report's reading of the
// tokens (TFaceTally) carries over from one scanner to the other between
// any two tokens. So a run may go window by window, each window read by
// whichever side can, as long as each side takes the windows the literal
// scanner would cut: this file cuts them by the same rule, and hands every
// window it does not read itself to the literal scanner from its start.
//
// This file reads a window itself only when it is plain: no NUL (the end of
// the input, or an error), no single quote or '#' (strings, whose bytes are
// not tokens of their own), no '[' (binary blocks) and no byte from 0x80 on
// (names in Shift-JIS, which the literal scanner reads by its own rules);
// and only once the report's reading is past the header and no name waits
// for a trail byte (TFaceTally::KeywordsSuffice), as without bytes from 0x80
// on no name can come to wait for one.
// In a plain window every blank lies between tokens and every line feed is
// counted, so tokens can be cut anew after any blank with the scanner's own
// rules (PlainTokenEnd), and:
// - outside a name, only the identifiers "face" and "Object" matter; they
//   begin with 'f' or 'O', so only the tokens that begin at those bytes are
//   looked at, cut from the last blank or token end before them;
// - inside a name, every byte '{' is a token of its own, so the name takes
//   the bytes up to the first '{' without the blanks;
// - after "face", the next token is cut as the scanner cuts it.
#include "mqo/fast_report.h"

#include <bit>
#include <cstring>
#include <string_view>

#include "mqo/mqo_chars.h"
#include "mqo/mqo_parser.h"
#include "mqo/window_scan.h"

namespace corvida {
namespace {

constexpr size_t kWindow = TParser::kWindowSize;
static_assert(kWindow == kMarkedBytes);

// Where the literal scanner cuts a full window: after its last line feed in
// bytes 2 to 4,095; 0 when there is none.
size_t FullWindowLimit(const TWindowMarks& marks) {
  constexpr size_t kBlocks = kWindow / 64;
  for (size_t block = kBlocks; block-- > 0;) {
    uint64_t feeds = marks.lineFeeds[block];
    if (block == 0) feeds &= ~uint64_t{1};
    if (block == kBlocks - 1) feeds &= ~(uint64_t{1} << 63);
    if (feeds != 0) return block * 64 + static_cast<size_t>(63 - std::countl_zero(feeds)) + 1;
  }
  return 0;
}

// No NUL is in a plain window, so this is the scanner's blank.
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

class TFastCount {
 public:
  TFastCount(TModelInput& input, TFaceTally& tally) : input_(input), tally_(tally) {}

  void Run() {
    for (;;) {
      if (!tally_.KeywordsSuffice()) {
        if (!Literal()) return;
        continue;
      }
      const std::string_view held = input_.Hold(start_, kWindow);
      const char* p = held.data();
      const bool last = held.size() < kWindow;
      if (last) {
        // The input's end is the literal scanner's sentinel, a NUL.
        std::memcpy(last_, held.data(), held.size());
        std::memset(last_ + held.size(), 0, sizeof last_ - held.size());
        p = last_;
      }
      ScanWindow(p, last ? held.size() : kWindow, marks_);
      const size_t limit = last ? held.size() : FullWindowLimit(marks_);
      if ((!last && limit == 0) || marks_.firstUnusual < limit) {
        if (!Literal()) return;
        continue;
      }
      Plain(p, limit);
      line_ += LineFeedsBefore(marks_, limit);
      if (last) {
        tally_.End();
        return;
      }
      start_ += limit;
    }
  }

 private:
  // Reads from start_ with the literal scanner up to the end of a window
  // where it may stop; false when it read to the end of the input.
  bool Literal() {
    TModelInputStream stream(input_, start_);
    TParser parser(stream, static_cast<int>(line_));
    for (; parser.TokenKind() != tkEnd; parser.Advance()) {
      tally_.Token(parser.TokenKind(), parser.TokenView());
      if (parser.AtWindowEnd()) {
        start_ += static_cast<uint64_t>(parser.WindowEnd());
        line_ = static_cast<uint32_t>(parser.LineNumber());
        return true;
      }
    }
    tally_.End();
    return false;
  }

  void Plain(const char* p, size_t limit) {
    size_t done = 0;
    if (tally_.State() == TFaceTally::fsName) done = Name(p, 0, limit);
    else if (tally_.State() == TFaceTally::fsCount) done = CountToken(p, 0, limit);
    for (size_t block = 0; block * 64 < limit; ++block) {
      for (uint64_t bits = marks_.keywordStarts[block]; bits != 0; bits &= bits - 1) {
        const size_t at = block * 64 + static_cast<size_t>(std::countr_zero(bits));
        // The marks run on past the cut, to the window's full length.
        if (at >= limit) return;
        if (at < done) continue;
        // Tokens follow each other without blanks from the last blank
        // before at, or from the end of the last token taken.
        size_t from = at;
        while (from > done && !IsBlank(p[from - 1])) --from;
        uint8_t kind;
        const char* token = p + from;
        const char* end = PlainTokenEnd(token, kind);
        while (end <= p + at) {
          token = end;
          end = PlainTokenEnd(token, kind);
        }
        done = static_cast<size_t>(end - p);
        if (token != p + at) continue;
        const std::string_view text(token, static_cast<size_t>(end - token));
        if (text == "face") {
          tally_.AwaitCount();
          done = CountToken(p, done, limit);
        } else if (text == "Object") {
          tally_.BeginName();
          done = Name(p, done, limit);
        }
      }
    }
  }

  // The name's bytes from from up to the first '{', blanks left out; where
  // reading goes on.
  size_t Name(const char* p, size_t from, size_t limit) {
    const void* brace = std::memchr(p + from, '{', limit - from);
    const size_t end = brace != nullptr ? static_cast<size_t>(static_cast<const char*>(brace) - p) : limit;
    for (size_t i = from; i < end;) {
      size_t run = i;
      while (run < end && !IsBlank(p[run])) ++run;
      if (run > i) tally_.AppendName(std::string_view(p + i, run - i));
      while (run < end && IsBlank(p[run])) ++run;
      i = run;
    }
    if (brace == nullptr) return limit;
    tally_.EndName();
    return end + 1;
  }

  // The count after "face", unless only blanks are left in the window.
  size_t CountToken(const char* p, size_t from, size_t limit) {
    while (from < limit && IsBlank(p[from])) ++from;
    if (from == limit) return limit;
    uint8_t kind;
    const char* end = PlainTokenEnd(p + from, kind);
    tally_.Count(std::string_view(p + from, static_cast<size_t>(end - (p + from))));
    return static_cast<size_t>(end - p);
  }

  TModelInput& input_;
  TFaceTally& tally_;
  uint64_t start_ = 0;
  // Counted without a sign, as the literal scanner counts, so that billions
  // of line feeds wrap the same way.
  uint32_t line_ = 1;
  TWindowMarks marks_;
  // The last window, with room for the marking to read whole blocks.
  char last_[kWindow + 64];
};

}  // namespace

void CountFaces(TModelInput& input, TFaceTally& tally) { TFastCount(input, tally).Run(); }

}  // namespace corvida
