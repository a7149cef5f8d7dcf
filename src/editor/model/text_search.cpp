#include "editor/model/text_search.h"

#include <array>
#include <cstring>
#include <vector>

#include "platform/rtl/cp932.h"

namespace corvida {
namespace {

// Full-width forms of printable ASCII 0x20-0x7E. The double quote, the
// apostrophe, the backslash and the tilde take the forms of the system's
// character table (0x8168, 0x8166, the yen sign 0x818F, the overline 0x8150).
constexpr uint16_t kAsciiFull[95] = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816A, 0x8196, 0x817B,
    0x8143, 0x817C, 0x8144, 0x815E, 0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197, 0x8260, 0x8261, 0x8262,
    0x8263, 0x8264, 0x8265, 0x8266, 0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277, 0x8278, 0x8279, 0x816D,
    0x818F, 0x816E, 0x814F, 0x8151, 0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, 0x8290, 0x8291, 0x8292, 0x8293,
    0x8294, 0x8295, 0x8296, 0x8297, 0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150};

// Half-width punctuation 0xA1-0xA5 and katakana 0xA6-0xDF.
constexpr uint16_t kKanaFull[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8144, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B};

constexpr uint16_t kVu = 0x8394;
constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;
constexpr uint16_t kFullWidthSpace = 0x8140;

struct Tables {
  std::array<bool, 256> delimiter{};
  std::array<unsigned char, 256> upper{};
  std::array<uint16_t, 256> full{};
};

const Tables& SearchTables() {
  static const Tables tables = [] {
    Tables t;
    for (int c = 0; c < 256; ++c) {
      t.delimiter[c] = c <= 0x2F || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
                       (c >= 0x7B && c <= 0x80) || (c >= 0xA0 && c <= 0xA5) || c >= 0xFD;
      t.upper[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
      if (c >= 0x20 && c <= 0x7E)
        t.full[c] = kAsciiFull[c - 0x20];
      else if (c >= 0xA1 && c <= 0xDF)
        t.full[c] = kKanaFull[c - 0xA1];
      else
        t.full[c] = static_cast<uint16_t>(c);
    }
    return t;
  }();
  return tables;
}

bool IsVoiceable(unsigned char c) { return (c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE); }
bool IsHaRow(unsigned char c) { return c >= 0xCA && c <= 0xCE; }

enum ByteKind : unsigned char { bkSingle, bkLead, bkTrail };

// One code per character: a single byte as itself, a double-byte character
// as lead << 8 | trail (never below 0x8100, so the two never collide).
uint16_t Code2(unsigned char lead, unsigned char trail) { return static_cast<uint16_t>(lead << 8 | trail); }

enum class Mode { kExact, kCaseFree, kWidth, kWidthCaseFree };

class Search {
 public:
  Search(std::string_view text, size_t len, TSearchOptions options)
      : text_(reinterpret_cast<const unsigned char*>(text.data())),
        len_(static_cast<int64_t>(len)),
        kind_(len + 1, bkSingle),
        options_(options),
        tables_(SearchTables()) {
    for (size_t i = 0; i < len; ++i) {
      if (IsLeadByte(text_[i]) && i + 1 < len) {
        kind_[i] = bkLead;
        kind_[++i] = bkTrail;
      }
    }
  }

  bool IsTrail(int64_t i) const { return i >= 0 && i <= len_ && kind_[static_cast<size_t>(i)] == bkTrail; }
  unsigned char ByteAt(int64_t i) const { return i >= 0 && i < len_ ? text_[i] : 0; }
  bool Delimiter(int64_t i) const { return tables_.delimiter[ByteAt(i)]; }

  // The sound mark at i is taken together with the kana before it.
  bool CombinesWithPrevious(int64_t i) const {
    uint16_t combined;
    return i > 0 && i < len_ && kind_[static_cast<size_t>(i - 1)] == bkSingle &&
           CombinedKana(text_[i - 1], text_[i], combined);
  }

  void NextWordStart(bool down, int64_t& cursor, int64_t& remaining) const {
    if (down) {
      const bool wordStart = !Delimiter(cursor) && (cursor == 0 || Delimiter(cursor - 1));
      if (!wordStart) {
        while (remaining > 0 && !Delimiter(cursor)) ++cursor, --remaining;
        while (remaining > 0 && Delimiter(cursor)) ++cursor, --remaining;
      }
    } else {
      while (remaining > 0 && Delimiter(cursor)) --cursor, --remaining;
      while (remaining > 0 && !Delimiter(cursor)) --cursor, --remaining;
      if (Delimiter(cursor)) ++cursor, ++remaining;
    }
    if (IsTrail(cursor)) cursor += down ? 1 : -1, --remaining;
  }

  bool WordStartAt(int64_t i) const { return !Delimiter(i) && (i == 0 || Delimiter(i - 1)); }

  template <Mode M>
  bool Same(uint16_t p, int64_t q, int& width) const {
    const unsigned char b = text_[q];
    if (kind_[static_cast<size_t>(q)] == bkLead) {
      width = 2;
      const uint16_t t = Code2(b, text_[q + 1]);
      if constexpr (M == Mode::kExact || M == Mode::kWidth)
        return t == p;
      else
        return SameDbcsChar(p, t);
    }
    width = 1;
    if constexpr (M == Mode::kExact) return b == p;
    if constexpr (M == Mode::kCaseFree) return tables_.upper[b] == p;
    uint16_t form = tables_.full[b];
    uint16_t combined;
    if (q + 1 < len_ && CombinedKana(b, text_[q + 1], combined)) {
      form = combined;
      width = 2;
    }
    if constexpr (M == Mode::kWidth)
      return form == p;
    else
      return SameDbcsChar(p, form);
  }

  // Whether the pattern matches at cursor; length is the bytes it covers.
  template <Mode M>
  bool MatchAt(const std::vector<uint16_t>& pattern, int64_t cursor, int64_t& length) const {
    const bool ignoreBreaks = options_ & sfIgnoreBreaks;
    const bool ignoreSpaces = options_ & sfIgnoreSpaces;
    size_t i = 0;
    int64_t t = 0;
    int64_t skipped = 0;
    for (;;) {
      const int64_t q = cursor + t + skipped;
      int width = 0;
      if (q < len_ && Same<M>(pattern[i], q, width)) {
        t += width;
        if (++i == pattern.size()) {
          if ((options_ & sfWholeWord) && !Delimiter(q + width)) return false;
          length = t + skipped;
          return true;
        }
        continue;
      }
      if (i == 0 || q >= len_) return false;
      const unsigned char b = text_[q];
      if (ignoreBreaks && (b == '\r' || b == '\n')) {
        ++skipped;
      } else if (ignoreSpaces && (b == ' ' || b == '\t')) {
        ++skipped;
      } else if (ignoreSpaces && kind_[static_cast<size_t>(q)] == bkLead && Code2(b, text_[q + 1]) == kFullWidthSpace) {
        skipped += 2;
      } else {
        return false;
      }
    }
  }

  template <Mode M>
  const char* Run(const std::vector<uint16_t>& pattern, int64_t start, int64_t remaining, TSearchPos& pos) const {
    const bool down = options_ & sfDown;
    const bool wholeWord = options_ & sfWholeWord;
    const int64_t step = down ? 1 : -1;
    int64_t cursor = start;
    while (remaining >= 0) {
      if (wholeWord && remaining > 0) NextWordStart(down, cursor, remaining);
      int64_t length = 0;
      // A whole word starts at a word start also at the last candidate.
      if ((!wholeWord || WordStartAt(cursor)) && cursor >= 0 && MatchAt<M>(pattern, cursor, length)) {
        pos.Length = static_cast<int32_t>(length);
        return reinterpret_cast<const char*>(text_ + cursor);
      }
      cursor += step;
      --remaining;
      if (IsTrail(cursor)) cursor += step, --remaining;
    }
    return nullptr;
  }

 private:
  const unsigned char* text_;
  int64_t len_;
  std::vector<unsigned char> kind_;
  TSearchOptions options_;
  const Tables& tables_;
};

// The pattern as character codes, in the form the text is compared against.
std::vector<uint16_t> PatternCodes(std::string_view pattern, TSearchOptions options) {
  std::string p(pattern);
  const bool caseFree = !(options & sfMatchCase);
  if (caseFree) p = AnsiUpperCase(p);
  if (options & sfFullWidth) p = ToFullWidth(p);
  std::vector<uint16_t> codes;
  codes.reserve(p.size());
  for (size_t i = 0; i < p.size(); ++i) {
    const auto b = static_cast<unsigned char>(p[i]);
    if (IsLeadByte(b) && i + 1 < p.size()) {
      const uint16_t code = Code2(b, static_cast<unsigned char>(p[++i]));
      // A lower-case pattern letter finds both cases too.
      codes.push_back(caseFree ? DbcsUpper(code) : code);
    } else {
      codes.push_back(b);
    }
  }
  return codes;
}

int64_t PatternBytes(const std::vector<uint16_t>& codes) {
  int64_t bytes = 0;
  for (uint16_t code : codes) bytes += code > 0xFF ? 2 : 1;
  return bytes;
}

}  // namespace

bool IsSearchDelimiter(unsigned char c) { return SearchTables().delimiter[c]; }

uint16_t FullWidthOf(unsigned char c) { return SearchTables().full[c]; }

bool CombinedKana(unsigned char kana, unsigned char mark, uint16_t& combined) {
  if (kana == 0xB3 && mark == kVoicedMark) {
    combined = kVu;
    return true;
  }
  // Only the ha row has semi-voiced forms; any other kana keeps the mark as
  // a character of its own.
  const bool voiced = mark == kVoicedMark && IsVoiceable(kana);
  const bool semiVoiced = mark == kSemiVoicedMark && IsHaRow(kana);
  if (!voiced && !semiVoiced) return false;
  combined = JisToSjis(static_cast<uint16_t>(SjisToJis(FullWidthOf(kana)) + (voiced ? 1 : 2)));
  return true;
}

std::string ToFullWidth(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  auto put = [&out](uint16_t code) {
    if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  };
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (IsLeadByte(b) && i + 1 < s.size()) {
      out.push_back(s[i]);
      out.push_back(s[++i]);
      continue;
    }
    uint16_t combined;
    if (i + 1 < s.size() && CombinedKana(b, static_cast<unsigned char>(s[i + 1]), combined)) {
      put(combined);
      ++i;
    } else {
      put(FullWidthOf(b));
    }
  }
  return out;
}

uint16_t DbcsUpper(uint16_t c) {
  if (c >= 0x8281 && c <= 0x829A) return static_cast<uint16_t>(c - 0x21);
  if (c >= 0x83BF && c <= 0x83D6) return static_cast<uint16_t>(c - 0x20);
  if (c >= 0x8470 && c <= 0x847E) return static_cast<uint16_t>(c - 0x30);
  if (c >= 0x8480 && c <= 0x8491) return static_cast<uint16_t>(c - 0x31);
  if (c >= 0xEEEF && c <= 0xEEF8) return static_cast<uint16_t>(c - 0xEEEF + 0x8754);
  return c;
}

bool SameDbcsChar(uint16_t p, uint16_t t) { return p == t || (DbcsUpper(t) != t && DbcsUpper(t) == p); }

const char* FindMatch(std::string_view text, TSearchPos& pos, std::string_view pattern, TSearchOptions options) {
  const size_t nul = text.find('\0');
  const size_t len = nul == std::string_view::npos ? text.size() : nul;
  if (len > INT32_MAX || pos.Start < 0 || pos.Start > static_cast<int64_t>(len) || pos.Length < 0) return nullptr;
  const std::vector<uint16_t> codes = PatternCodes(pattern, options);
  if (codes.empty()) return nullptr;
  const bool fullWidth = options & sfFullWidth;
  // A full-width pattern character may stand for one half-width text byte,
  // so the pattern needs at least one text byte per character; otherwise one
  // per pattern byte.
  const int64_t needed = fullWidth ? static_cast<int64_t>(codes.size()) : PatternBytes(codes);
  const Search search(text, len, options);
  int64_t start;
  int64_t remaining;
  if (options & sfDown) {
    start = int64_t{pos.Start} + pos.Length;
    if (search.IsTrail(start)) ++start;
    remaining = static_cast<int64_t>(len) - start - needed;
    if (remaining < 0) return nullptr;
  } else {
    if (fullWidth) {
      start = pos.Start;
      for (size_t k = 0; k < codes.size() && start >= 0; ++k) {
        --start;
        if (start > 0 && (search.IsTrail(start) || search.CombinesWithPrevious(start))) --start;
      }
    } else {
      start = int64_t{pos.Start} - needed;
    }
    if (start < 0 || start > static_cast<int64_t>(len)) return nullptr;
    if (search.IsTrail(start)) --start;
    remaining = start;
  }
  const bool caseFree = !(options & sfMatchCase);
  if (fullWidth)
    return caseFree ? search.Run<Mode::kWidthCaseFree>(codes, start, remaining, pos)
                    : search.Run<Mode::kWidth>(codes, start, remaining, pos);
  return caseFree ? search.Run<Mode::kCaseFree>(codes, start, remaining, pos)
                  : search.Run<Mode::kExact>(codes, start, remaining, pos);
}

bool FindPos(std::string_view text, TSearchPos& pos, std::string_view pattern, TSearchOptions options) {
  if (pattern.empty() || text.empty() || text.front() == '\0') return false;
  TSearchPos found = pos;
  const char* match = FindMatch(text, found, pattern, options);
  if (!match) return false;
  pos.Start = static_cast<int32_t>(match - text.data());
  pos.Length = found.Length;
  return true;
}

}  // namespace corvida
