#pragma once
// The spellings of outside texts in the output forms: names decoded from a
// model's code page, paths as UTF-8, JSON strings, CSV fields, and the
// width a text takes on a terminal.
#include <cstddef>
#include <string>
#include <string_view>

namespace corvida {

struct TDecodedText {
  std::string utf8;
  // Some bytes could not be decoded and became U+FFFD.
  bool lossy = false;
};

// Bytes of a Shift-JIS (CP932) or UTF-8 document as UTF-8.
TDecodedText DecodeText(std::string_view bytes, bool utf8Document);
// A name as a table or a CSV field shows it: decoded as DecodeText does,
// with the escapes of EscapedText; lossy when it no longer spells the
// name's characters exactly, so that the bytes may go beside it.
TDecodedText ShownName(std::string_view bytes, bool utf8Document);
// Bytes that should be UTF-8, such as a path, with each byte that is not
// part of a valid character as U+FFFD.
std::string ValidUtf8(std::string_view bytes);
// Lower-case hexadecimal digits of the bytes.
std::string HexBytes(std::string_view bytes);

// A JSON string, quotes included, of valid UTF-8. Besides what JSON must
// escape, the characters EscapedText escapes are written as \uXXXX, so
// that none reaches a terminal.
std::string JsonString(std::string_view utf8);
// A CSV field as RFC 4180 writes it: quoted when it holds a comma, a quote
// or a line break, its quotes doubled.
std::string CsvField(std::string_view text);
// The columns UTF-8 text takes on a terminal: two for wide East Asian
// characters, none for combining marks.
size_t DisplayWidth(std::string_view utf8);

}  // namespace corvida
