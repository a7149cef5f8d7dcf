#pragma once
// Byte-string tests that respect double-byte (CP932) characters, and the
// splitter that turns a text into the lines of a string list. Positions are
// 1-based, as the editor's algorithms state them.
#include <cstdint>
#include <string_view>

namespace corvida {

class TStrings;

// The number of bytes equal to c among the first Min(length, limit) bytes.
int CountChar(std::string_view s, char c, int limit);
// Byte index is the first byte of a double-byte character, reading s from
// its start; a lead byte at the very end still counts.
bool IsLeadByteAt(std::string_view s, int index);
// Byte index is the second byte of a double-byte character; index =
// length + 1 is one when the last byte is a lead byte without its trail.
bool IsTrailByteAt(std::string_view s, int index);
// Byte pos of s, or NUL outside 1..length.
char CharAt(std::string_view s, int pos);
// sub occurs in s starting at a character boundary.
bool StrIncluded(std::string_view sub, std::string_view s);

inline int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }
inline int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

// Fills strings with the lines of text (CR LF, LF or a lone CR ends a line;
// a final break makes no empty line; a NUL ends the text), in one update.
void TextToStrings(std::string_view text, TStrings& strings);

}  // namespace corvida
