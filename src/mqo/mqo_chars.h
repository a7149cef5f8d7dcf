#pragma once
// How the model-file scanner cuts tokens that are not strings: which byte
// starts what, and where identifiers, hexadecimal and decimal numbers end.
// The literal scanner and the report's fast path both cut with these.
#include <array>
#include <cstdint>

#include "mqo/mqo_parser.h"

namespace corvida {

// What the first byte of a token starts; blanks and NUL never get here.
enum TCharClass : uint8_t { ccOther, ccLetter, ccString, ccHex, ccNumber };

// Bit flags of the bytes that continue a token.
inline constexpr uint8_t kIdentChar = 1;
inline constexpr uint8_t kHexChar = 2;
inline constexpr uint8_t kFloatChar = 4;
inline constexpr uint8_t kSuffixChar = 8;
// The bytes of a number's tail that are not digits: they make it a float.
inline constexpr uint8_t kFloatMark = 16;

namespace chars_detail {

constexpr bool InRange(int c, char lo, char hi) { return c >= lo && c <= hi; }

constexpr std::array<uint8_t, 256> MakeStartClasses() {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    if (InRange(c, 'A', 'Z') || InRange(c, 'a', 'z') || c == '_') {
      t[c] = ccLetter;
    } else if (c == '#' || c == '\'') {
      t[c] = ccString;
    } else if (c == '$') {
      t[c] = ccHex;
    } else if (c == '-' || InRange(c, '0', '9')) {
      t[c] = ccNumber;
    }
  }
  return t;
}

constexpr std::array<uint8_t, 256> MakeCharFlags() {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    const bool letter = InRange(c, 'A', 'Z') || InRange(c, 'a', 'z');
    const bool digit = InRange(c, '0', '9');
    if (letter || digit || c == '_') t[c] |= kIdentChar;
    if (digit || InRange(c, 'A', 'F') || InRange(c, 'a', 'f')) t[c] |= kHexChar;
    if (digit || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e') t[c] |= kFloatChar;
    if (c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e') t[c] |= kFloatMark;
    if (c == 'C' || c == 'D' || c == 'S' || c == 'c' || c == 'd' || c == 's') t[c] |= kSuffixChar;
  }
  return t;
}

}  // namespace chars_detail

inline constexpr std::array<uint8_t, 256> kStartClass = chars_detail::MakeStartClasses();
inline constexpr std::array<uint8_t, 256> kCharFlags = chars_detail::MakeCharFlags();

inline bool HasFlag(const char* p, uint8_t flag) { return (kCharFlags[static_cast<unsigned char>(*p)] & flag) != 0; }

// The end of a number whose first byte is before p. The digits after that
// byte and then its float bytes form one run of bytes from "0-9+-.Ee", taken
// in one loop; a byte other than a digit in it, or one of "CDScds" right
// after it, makes the number a float.
inline const char* NumberEnd(const char* p, uint8_t& kind) {
  bool isFloat = false;
  uint8_t flags;
  while ((flags = kCharFlags[static_cast<unsigned char>(*p)]) & kFloatChar) {
    if (flags & kFloatMark) isFloat = true;
    ++p;
  }
  if (flags & kSuffixChar) {
    kind = tkFloat;
    return p + 1;
  }
  kind = isFloat ? tkFloat : tkInteger;
  return p;
}

// The end of the token that starts at p, whose first byte is not a blank, NUL
// or the start of a string; kind is set as the scanner sets it.
inline const char* PlainTokenEnd(const char* p, uint8_t& kind) {
  const auto c = static_cast<unsigned char>(*p);
  switch (kStartClass[c]) {
    case ccNumber:
      return NumberEnd(p + 1, kind);
    case ccLetter:
      do ++p;
      while (HasFlag(p, kIdentChar));
      kind = tkSymbol;
      return p;
    case ccHex:
      do ++p;
      while (HasFlag(p, kHexChar));
      kind = tkInteger;
      return p;
    default:
      kind = c;
      return p + 1;
  }
}

}  // namespace corvida
