#include "mqo/text_forms.h"

#include <cstdint>
#include <cstdio>

#include "platform/rtl/cp932.h"
#include "platform/rtl/escaped_text.h"
#include "platform/rtl/utf8.h"

namespace corvida {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character at i, which moves past it; kReplacement for a byte that
// starts no valid character, which is passed alone.
char32_t NextChar(std::string_view s, size_t& i) {
  const char32_t c = NextUtf8Char(s, i);
  return c == kNotUtf8 ? kReplacement : c;
}

bool InRanges(char32_t c, std::initializer_list<std::pair<char32_t, char32_t>> ranges) {
  for (const auto& [first, last] : ranges)
    if (c >= first && c <= last) return true;
  return false;
}

}  // namespace

TDecodedText DecodeText(std::string_view bytes, bool utf8Document) {
  TDecodedText out;
  out.utf8.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    char32_t c;
    if (utf8Document) {
      c = NextChar(bytes, i);
    } else {
      const auto b = static_cast<unsigned char>(bytes[i++]);
      if (b < 0x80) {
        c = b;
      } else if (IsLeadByte(b) && i < bytes.size()) {
        c = Cp932CharToUnicode(static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(bytes[i])));
        i += c != 0;
      } else {
        c = IsLeadByte(b) ? 0 : Cp932CharToUnicode(b);
      }
      if (c == 0) c = kReplacement;
    }
    out.lossy = out.lossy || c == kReplacement;
    AppendUtf8(out.utf8, c);
  }
  return out;
}

TDecodedText ShownName(std::string_view bytes, bool utf8Document) {
  TDecodedText name = DecodeText(bytes, utf8Document);
  std::string shown = EscapedText(name.utf8, tcUtf8, tcUtf8);
  name.lossy = name.lossy || shown != name.utf8;
  name.utf8 = std::move(shown);
  return name;
}

std::string ValidUtf8(std::string_view bytes) { return DecodeText(bytes, true).utf8; }

std::string HexBytes(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const char b : bytes) {
    out.push_back(kDigits[static_cast<unsigned char>(b) >> 4]);
    out.push_back(kDigits[static_cast<unsigned char>(b) & 15]);
  }
  return out;
}

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (size_t i = 0; i < utf8.size();) {
    const size_t start = i;
    const char32_t c = NextUtf8Char(utf8, i);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c != kNotUtf8 && IsEscapedCharacter(c)) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out.append(utf8, start, i - start);
        }
    }
  }
  return out + "\"";
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  return out + "\"";
}

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t i = 0; i < utf8.size();) {
    const char32_t c = NextChar(utf8, i);
    if (InRanges(c, {{0x0300, 0x036F}, {0x200B, 0x200F}, {0xFE00, 0xFE0F}})) continue;
    const bool wide = InRanges(c, {{0x1100, 0x115F},
                                   {0x2E80, 0x303E},
                                   {0x3041, 0x33FF},
                                   {0x3400, 0x4DBF},
                                   {0x4E00, 0x9FFF},
                                   {0xA000, 0xA4CF},
                                   {0xAC00, 0xD7A3},
                                   {0xF900, 0xFAFF},
                                   {0xFE30, 0xFE4F},
                                   {0xFF00, 0xFF60},
                                   {0xFFE0, 0xFFE6},
                                   {0x1F300, 0x1F64F},
                                   {0x1F900, 0x1F9FF},
                                   {0x20000, 0x3FFFD}});
    width += wide ? 2 : 1;
  }
  return width;
}

}  // namespace corvida
