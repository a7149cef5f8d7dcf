#pragma once
// Code page 932 (Shift-JIS) services. Every text inside the program is CP932
// bytes in a std::string; UTF-8 appears only at a backend or terminal edge.
#include <cstdint>
#include <string>
#include <string_view>

namespace corvida {

// Lead bytes of the code page: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// Upper-cases ASCII letters; the second byte of a double-byte character is
// never touched, even when it looks like a letter.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);

// Case-ignoring and case-sensitive comparisons: <0, 0, >0. Used for sorted
// lists and look-ups of names.
int AnsiCompareText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// CP932 to UTF-8. A byte that is not part of a valid character maps to the
// private-use code point U+F700 + byte, so conversion back is lossless.
std::string Cp932ToUtf8(std::string_view cp932);
// UTF-8 to CP932. A character with no CP932 form becomes '?'.
std::string Utf8ToCp932(std::string_view utf8);

// Line ends between our own text (CR LF) and the desktop's (LF): text going
// out loses the CR of each CR LF; text coming in has CR LF, a lone LF and a
// lone CR each turned into CR LF.
std::string CrLfToLf(std::string_view text);
std::string LineEndsToCrLf(std::string_view text);

// The Unicode code point of one CP932 character (a single byte or lead<<8 |
// trail), or 0 when it has none.
char32_t Cp932CharToUnicode(uint16_t code);
// The CP932 character of a code point (a single byte or lead<<8 | trail),
// or -1 when the code page has none.
int UnicodeToCp932(char32_t c);

// Shift-JIS double-byte code to JIS X 0208 (row and cell each + 0x20) and
// back. Codes outside the 94×94 plane give 0.
uint16_t SjisToJis(uint16_t sjis);
uint16_t JisToSjis(uint16_t jis);

}  // namespace corvida
