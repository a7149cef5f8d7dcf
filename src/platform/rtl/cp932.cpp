#include "platform/rtl/cp932.h"

#include <iconv.h>

#include <array>
#include <algorithm>
#include <memory>
#include <unordered_map>

namespace corvida {
namespace {

constexpr char32_t kEscapeBase = 0xF700;

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

template <char (*Map)(char)>
std::string MapLetters(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    if (IsLeadByte(out[i])) {
      ++i;
      continue;
    }
    out[i] = Map(out[i]);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at s[i]; returns 0xFFFD for a malformed one.
char32_t NextUtf8(std::string_view s, size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i++]);
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (c >= 0x80 && extra == 0) return 0xFFFD;
  char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
  while (extra-- > 0) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return cp;
}

// The two directions of the code page as tables, built once from iconv.
class Cp932Tables {
 public:
  Cp932Tables() : toUnicode_(std::make_unique<std::array<char32_t, 65536>>()) {
    toUnicode_->fill(0);
    iconv_t cd = iconv_open("UTF-32LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    auto convert = [&](const char* in, size_t len) -> char32_t {
      char buf[4];
      char* inp = const_cast<char*>(in);
      size_t inLeft = len;
      char* outp = buf;
      size_t outLeft = sizeof buf;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || outLeft != 0) return 0;
      return static_cast<unsigned char>(buf[0]) | static_cast<unsigned char>(buf[1]) << 8 |
             static_cast<unsigned char>(buf[2]) << 16 | static_cast<char32_t>(static_cast<unsigned char>(buf[3])) << 24;
    };
    for (int b = 0; b < 256; ++b) {
      if (IsLeadByte(static_cast<unsigned char>(b))) continue;
      const char in[1] = {static_cast<char>(b)};
      (*toUnicode_)[b] = convert(in, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        (*toUnicode_)[lead << 8 | trail] = convert(in, 2);
      }
    }
    iconv_close(cd);
    // Characters with several codes convert back as Windows does: the
    // lowest code wins (JIS X 0208 before NEC row 13 before the IBM
    // extensions), except that the NEC-selected IBM extensions (lead bytes
    // 0xED and 0xEE) give way to the IBM extensions.
    auto necSelected = [](int code) { return code >> 8 == 0xED || code >> 8 == 0xEE; };
    for (const bool secondPass : {false, true}) {
      for (int code = 0; code < 65536; ++code) {
        const char32_t cp = (*toUnicode_)[code];
        if (cp != 0 && necSelected(code) == secondPass) fromUnicode_.emplace(cp, code);
      }
    }
    fromUnicode_[0] = 0;
  }

  char32_t ToUnicode(uint16_t code) const { return (*toUnicode_)[code]; }
  int FromUnicode(char32_t cp) const {
    auto it = fromUnicode_.find(cp);
    return it == fromUnicode_.end() ? -1 : it->second;
  }

 private:
  std::unique_ptr<std::array<char32_t, 65536>> toUnicode_;
  std::unordered_map<char32_t, int> fromUnicode_;
};

const Cp932Tables& Tables() {
  static const Cp932Tables tables;
  return tables;
}

}  // namespace

std::string AnsiUpperCase(std::string_view s) { return MapLetters<AsciiUpper>(s); }
std::string AnsiLowerCase(std::string_view s) { return MapLetters<AsciiLower>(s); }

int AnsiCompareText(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  bool trail = false;
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (!trail) {
      x = static_cast<unsigned char>(AsciiUpper(static_cast<char>(x)));
      y = static_cast<unsigned char>(AsciiUpper(static_cast<char>(y)));
    }
    if (x != y) return x < y ? -1 : 1;
    trail = !trail && IsLeadByte(x);
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

char32_t Cp932CharToUnicode(uint16_t code) { return Tables().ToUnicode(code); }

int UnicodeToCp932(char32_t c) { return c < 0x80 ? static_cast<int>(c) : Tables().FromUnicode(c); }

std::string Cp932ToUtf8(std::string_view s) {
  const Cp932Tables& t = Tables();
  std::string out;
  out.reserve(s.size() * 3 / 2);
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char32_t cp = 0;
    if (IsLeadByte(c) && i + 1 < s.size()) {
      cp = t.ToUnicode(static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(s[i + 1])));
      if (cp != 0) ++i;
    } else if (!IsLeadByte(c)) {
      cp = t.ToUnicode(c);
    }
    AppendUtf8(out, cp != 0 ? cp : kEscapeBase + c);
  }
  return out;
}

std::string Utf8ToCp932(std::string_view s) {
  const Cp932Tables& t = Tables();
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const char32_t cp = NextUtf8(s, i);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    if (cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
      out.push_back(static_cast<char>(cp - kEscapeBase));
      continue;
    }
    const int code = t.FromUnicode(cp);
    if (code < 0) {
      out.push_back('?');
    } else if (code > 0xFF) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.push_back(static_cast<char>(code));
    }
  }
  return out;
}

uint16_t SjisToJis(uint16_t sjis) {
  unsigned lead = sjis >> 8;
  unsigned trail = sjis & 0xFF;
  if (!IsLeadByte(static_cast<unsigned char>(lead)) || trail < 0x40 || trail > 0xFC || trail == 0x7F) return 0;
  if (lead >= 0xF0) return 0;  // user-defined and vendor areas lie outside JIS X 0208
  unsigned row = (lead <= 0x9F ? lead - 0x70 : lead - 0xB0) * 2;
  if (trail < 0x9F) {
    row -= 1;
    if (trail > 0x7F) trail -= 1;
    trail -= 0x1F;
  } else {
    trail -= 0x7E;
  }
  return static_cast<uint16_t>(row << 8 | trail);
}

uint16_t JisToSjis(uint16_t jis) {
  unsigned row = jis >> 8;
  unsigned cell = jis & 0xFF;
  if (row < 0x21 || row > 0x7E || cell < 0x21 || cell > 0x7E) return 0;
  unsigned lead = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
  unsigned trail = (row & 1) ? cell + 0x1F + (cell >= 0x60 ? 1 : 0) : cell + 0x7E;
  return static_cast<uint16_t>(lead << 8 | trail);
}

std::string CrLfToLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

std::string LineEndsToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace corvida
