#pragma once
// Finds a pattern in a code page 932 text, forward or backward from a
// position, with options for case, whole words, half-width/full-width
// equivalence and for blanks or line breaks inside a match. Candidate
// positions are character starts only, so a double-byte character is never
// split. The text ends at its first NUL byte (or at the end of the view).
#include <cstdint>
#include <string>
#include <string_view>

namespace corvida {

// A set of search options, bit n for option n.
using TSearchOptions = uint16_t;
inline constexpr TSearchOptions sfDown = 1u << 0;
inline constexpr TSearchOptions sfMatchCase = 1u << 1;
inline constexpr TSearchOptions sfWholeWord = 1u << 2;
inline constexpr TSearchOptions sfFullWidth = 1u << 3;
inline constexpr TSearchOptions sfIgnoreBreaks = 1u << 7;
inline constexpr TSearchOptions sfIgnoreSpaces = 1u << 8;

// A byte range of the text: the current selection or caret on entry, the
// match on success.
struct TSearchPos {
  int32_t Start = 0;
  int32_t Length = 0;
  bool operator==(const TSearchPos&) const = default;
};

// True and Pos set to the match when Pattern occurs; Pos is untouched
// otherwise. Forward searches begin after Pos; backward ones end at or before
// Pos.Start.
bool FindPos(std::string_view text, TSearchPos& pos, std::string_view pattern, TSearchOptions options);

// The first byte of the match inside text, or null. On success pos.Length is
// the number of text bytes the match covers (skipped blanks included).
const char* FindMatch(std::string_view text, TSearchPos& pos, std::string_view pattern, TSearchOptions options);

// The full-width form of s: half-width katakana, ASCII and half-width
// punctuation become their double-byte forms; a voiceable kana followed by a
// sound mark becomes one voiced kana.
std::string ToFullWidth(std::string_view s);

// A pattern character p against a double-byte text character t, case
// ignored: equal, or t is the lower member of a case pair and p its upper.
bool SameDbcsChar(uint16_t p, uint16_t t);

// The upper member of a double-byte case pair, or code itself.
uint16_t DbcsUpper(uint16_t code);

// Search delimiters: bytes that end a word. Everything else, lead bytes and
// half-width katakana included, is a word character.
bool IsSearchDelimiter(unsigned char c);

// The full-width form of one single byte (itself when it has none).
uint16_t FullWidthOf(unsigned char c);

// Whether the sound mark (0xDE voiced, 0xDF semi-voiced) combines with the
// half-width kana before it into one full-width character; when it does,
// the combined character.
bool CombinedKana(unsigned char kana, unsigned char mark, uint16_t& combined);

}  // namespace corvida
