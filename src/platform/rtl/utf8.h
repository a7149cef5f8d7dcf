#pragma once
// UTF-8 as the file system and terminals spell text: one character at a
// time, strictly (no overlong forms, no surrogates, nothing past U+10FFFF).
#include <string>
#include <string_view>

namespace corvida {

// What NextUtf8Char answers for a byte that starts no valid character.
inline constexpr char32_t kNotUtf8 = 0x110000;

// The character at s[i], moving i past it; kNotUtf8 for a byte that starts
// no valid character, which i passes alone.
char32_t NextUtf8Char(std::string_view s, size_t& i);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace corvida
