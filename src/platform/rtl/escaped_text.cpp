#include "platform/rtl/escaped_text.h"

#include <cstdio>

#include "platform/rtl/cp932.h"
#include "platform/rtl/utf8.h"

namespace corvida {
namespace {

// The code point of the CP932 character at text[i], moving i past it, with
// its bytes in bytes; kNotUtf8 for a byte that starts no character.
char32_t NextCp932Char(std::string_view text, size_t& i, std::string_view& bytes) {
  const size_t start = i;
  const auto lead = static_cast<unsigned char>(text[i++]);
  char32_t c = lead;
  if (lead >= 0x80) {
    if (IsLeadByte(lead) && i < text.size()) {
      c = Cp932CharToUnicode(static_cast<uint16_t>(lead << 8 | static_cast<unsigned char>(text[i])));
      i += c != 0;
    } else {
      c = IsLeadByte(lead) ? 0 : Cp932CharToUnicode(lead);
    }
    if (c == 0) c = kNotUtf8;
  }
  bytes = text.substr(start, i - start);
  return c;
}

void AppendEscape(std::string& out, char32_t c) {
  static constexpr char kNamed[] = "abtnvfr";
  char escape[12];
  if (c >= 0x07 && c <= 0x0D) {
    out += '\\';
    out += kNamed[c - 0x07];
    return;
  }
  if (c < 0x80)
    std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned>(c));
  else if (c < 0x10000)
    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
  else
    std::snprintf(escape, sizeof escape, "\\U%08x", static_cast<unsigned>(c));
  out += escape;
}

void AppendByteEscape(std::string& out, unsigned char b) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\x%02x", b);
  out += escape;
}

}  // namespace

bool IsEscapedCharacter(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string EscapedText(std::string_view text, TTextCoding from, TTextCoding to) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    std::string_view bytes;
    const char32_t c = from == tcUtf8 ? NextUtf8Char(text, i) : NextCp932Char(text, i, bytes);
    if (from == tcUtf8) bytes = text.substr(start, i - start);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == kNotUtf8) {
      // The report's names may end in a lead byte whose trail was "{".
      if (from == tcCp932 && to == tcCp932 && i == text.size())
        out += bytes;
      else
        AppendByteEscape(out, static_cast<unsigned char>(bytes[0]));
    } else if (IsEscapedCharacter(c)) {
      AppendEscape(out, c);
    } else if (from == to) {
      out += bytes;
    } else if (to == tcUtf8) {
      AppendUtf8(out, c);
    } else if (const int code = UnicodeToCp932(c); code < 0) {
      AppendEscape(out, c);
    } else {
      if (code > 0xFF) out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
  }
  return out;
}

}  // namespace corvida
