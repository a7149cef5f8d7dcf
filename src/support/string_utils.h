#pragma once
// Byte-string helpers that respect double-byte (code page 932) characters.
#include <string_view>

namespace corvida {

class TStrings;

// True when sub is not empty and occurs in s starting at a character
// boundary, so that the trail byte of one character never matches the lead
// byte of the next.
bool StrIncluded(std::string_view sub, std::string_view s);

// Fills strings with the lines of text, inside one update bracket: a line
// ends at CR LF, LF or a lone CR, a final break makes no empty line, and a
// NUL ends the text (lines counted before it stay empty).
void TextToStrings(std::string_view text, TStrings& strings);

}  // namespace corvida
