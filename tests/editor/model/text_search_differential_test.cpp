// FindPos against a plain reference that tries every character start of the
// range in order and compares character by character.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "editor/model/text_search.h"
#include "platform/rtl/cp932.h"

namespace corvida {
namespace {

struct Char {
  uint16_t code;  // folded form
  int width;      // text bytes covered
};

class Reference {
 public:
  Reference(const std::string& text, const std::string& pattern, TSearchOptions options)
      : options_(options) {
    text_ = text.substr(0, text.find('\0'));
    trail_.assign(text_.size() + 1, false);
    for (size_t i = 0; i + 1 < text_.size(); ++i)
      if (IsLeadByte(text_[i])) trail_[++i] = true;
    std::string p = pattern;
    if (!(options & sfMatchCase)) p = AnsiUpperCase(p);
    if (options & sfFullWidth) p = ToFullWidth(p);
    for (size_t i = 0; i < p.size(); ++i) {
      uint16_t code = static_cast<unsigned char>(p[i]);
      if (IsLeadByte(p[i]) && i + 1 < p.size()) code = static_cast<uint16_t>(code << 8 | static_cast<unsigned char>(p[++i]));
      pattern_.push_back(Fold(code));
      patternBytes_ += code > 0xFF ? 2 : 1;
    }
  }

  std::optional<TSearchPos> Find(TSearchPos pos) const {
    const int len = static_cast<int>(text_.size());
    if (pattern_.empty() || len == 0 || pos.Start < 0 || pos.Start > len || pos.Length < 0) return std::nullopt;
    const int need = (options_ & sfFullWidth) ? static_cast<int>(pattern_.size()) : patternBytes_;
    std::vector<int> candidates;
    if (options_ & sfDown) {
      long start = long{pos.Start} + pos.Length;
      if (start <= len && trail_[start]) ++start;
      for (long p = start; p <= len - need; ++p)
        if (!trail_[p]) candidates.push_back(static_cast<int>(p));
    } else {
      int start = pos.Start;
      if (options_ & sfFullWidth) {
        for (size_t k = 0; k < pattern_.size() && start >= 0; ++k) {
          --start;
          if (start > 0 && (trail_[start] || CombinesWithPrevious(start))) --start;
        }
      } else {
        start -= need;
      }
      if (start < 0 || start > len) return std::nullopt;
      if (trail_[start]) --start;
      for (int p = start; p >= 0; --p)
        if (!trail_[p]) candidates.push_back(p);
    }
    for (int p : candidates) {
      if ((options_ & sfWholeWord) && !(Word(p) && (p == 0 || !Word(p - 1)))) continue;
      if (const std::optional<int> length = MatchAt(p)) return TSearchPos{p, *length};
    }
    return std::nullopt;
  }

 private:
  uint16_t Fold(uint16_t code) const { return (options_ & sfMatchCase) ? code : DbcsUpper(code); }
  unsigned char Byte(int i) const { return i < static_cast<int>(text_.size()) ? text_[i] : 0; }
  bool Word(int i) const { return !IsSearchDelimiter(Byte(i)); }

  bool CombinesWithPrevious(int i) const {
    uint16_t combined;
    return !trail_[i - 1] && !(IsLeadByte(text_[i - 1]) && i < static_cast<int>(text_.size())) &&
           CombinedKana(Byte(i - 1), Byte(i), combined);
  }

  Char CharAt(int i) const {
    const unsigned char b = Byte(i);
    if (IsLeadByte(b) && i + 1 < static_cast<int>(text_.size()))
      return {Fold(static_cast<uint16_t>(b << 8 | Byte(i + 1))), 2};
    if (!(options_ & sfFullWidth)) {
      const std::string upper = (options_ & sfMatchCase) ? std::string(1, static_cast<char>(b))
                                                         : AnsiUpperCase(std::string(1, static_cast<char>(b)));
      return {static_cast<uint16_t>(static_cast<unsigned char>(upper[0])), 1};
    }
    uint16_t combined;
    if (i + 1 < static_cast<int>(text_.size()) && CombinedKana(b, Byte(i + 1), combined)) return {Fold(combined), 2};
    return {Fold(FullWidthOf(b)), 1};
  }

  std::optional<int> MatchAt(int p) const {
    const int len = static_cast<int>(text_.size());
    int at = p;
    for (size_t i = 0; i < pattern_.size();) {
      if (at >= len) return std::nullopt;
      const Char c = CharAt(at);
      if (c.code == pattern_[i]) {
        at += c.width;
        ++i;
        continue;
      }
      if (i == 0) return std::nullopt;
      const unsigned char b = Byte(at);
      if ((options_ & sfIgnoreBreaks) && (b == '\r' || b == '\n'))
        at += 1;
      else if ((options_ & sfIgnoreSpaces) && (b == ' ' || b == '\t'))
        at += 1;
      else if ((options_ & sfIgnoreSpaces) && c.width == 2 && b == 0x81 && Byte(at + 1) == 0x40)
        at += 2;
      else
        return std::nullopt;
    }
    if ((options_ & sfWholeWord) && Word(at)) return std::nullopt;
    return at - p;
  }

  std::string text_;
  std::vector<bool> trail_;
  std::vector<uint16_t> pattern_;
  int patternBytes_ = 0;
  TSearchOptions options_;
};

const std::vector<std::string> kPieces = {
    "a", "b", "A", "B", "z", " ", "\t", "\r", "\n", "_", ".", "1",
    "\xb6", "\xde", "\xdf", "\xca", "\xb3", "\xa1",         // half-width kana and marks
    "\x82\x81", "\x82\x60", "\x82\x82",                     // "ａ", "Ａ", "ｂ"
    "\x83\x4a", "\x83\x4b", "\x83\x70", "\x83\x94",         // "カ", "ガ", "パ", "ヴ"
    "\x81\x40", "\x83\xbf", "\x83\x9f", "\xee\xef", "\x87\x54",
    "\x83\x5c", "\x83\x41", "\x82\xa0",                     // trail bytes 0x5C, 'A', 0xA0
};

std::string RandomText(std::mt19937& rng, int pieces) {
  std::string s;
  std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
  for (int i = 0; i < pieces; ++i) s += kPieces[pick(rng)];
  if (rng() % 16 == 0) s += '\x83';  // a lead byte cut off at the end
  if (rng() % 32 == 0) s.insert(rng() % (s.size() + 1), 1, '\0');
  return s;
}

TEST(TextSearchDifferential, AgreesWithAPlainReference) {
  std::mt19937 rng(20261207);
  const TSearchOptions flags[] = {sfDown, sfMatchCase, sfWholeWord, sfFullWidth, sfIgnoreBreaks, sfIgnoreSpaces};
  int found = 0;
  for (int round = 0; round < 40000; ++round) {
    const std::string text = RandomText(rng, 1 + static_cast<int>(rng() % 24));
    std::string pattern;
    if (rng() % 2 && !text.empty()) {
      const size_t from = rng() % text.size();
      pattern = text.substr(from, 1 + rng() % 4);
    } else {
      pattern = RandomText(rng, 1 + static_cast<int>(rng() % 3));
    }
    TSearchOptions options = 0;
    for (TSearchOptions f : flags)
      if (rng() % 2) options |= f;
    const int len = static_cast<int>(text.size());
    TSearchPos pos{static_cast<int32_t>(rng() % (len + 2)) - (rng() % 20 == 0 ? 1 : 0),
                   static_cast<int32_t>(rng() % 4)};

    const std::optional<TSearchPos> expected = Reference(text, pattern, options).Find(pos);
    TSearchPos actual = pos;
    const bool ok = FindPos(text, actual, pattern, options);
    ASSERT_EQ(ok, expected.has_value()) << "round " << round;
    if (ok) {
      ++found;
      ASSERT_EQ(actual, *expected) << "round " << round;
    } else {
      ASSERT_EQ(actual, pos) << "round " << round;
    }
  }
  EXPECT_GT(found, 2000);
}

}  // namespace
}  // namespace corvida
