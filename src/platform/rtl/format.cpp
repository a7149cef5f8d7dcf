#include "platform/rtl/format.h"

#include <vector>

#include "platform/rtl/exceptions.h"

namespace corvida {
namespace {

void Pad(std::string& out, std::string_view text, int width, bool left) {
  const int fill = width - static_cast<int>(text.size());
  if (fill > 0 && !left) out.append(fill, ' ');
  out.append(text);
  if (fill > 0 && left) out.append(fill, ' ');
}

std::string Hex(int64_t v) {
  static const char kDigits[] = "0123456789ABCDEF";
  uint32_t u = static_cast<uint32_t>(v);
  std::string s;
  do {
    s.insert(s.begin(), kDigits[u & 15]);
    u >>= 4;
  } while (u != 0);
  return s;
}

}  // namespace

std::string Format(std::string_view templ, std::initializer_list<FormatArg> args) {
  const std::vector<FormatArg> list(args);
  std::string out;
  size_t next = 0;
  size_t i = 0;
  auto bad = [&]() { return EConvertError("Format '" + std::string(templ) + "' invalid"); };
  while (i < templ.size()) {
    const char c = templ[i++];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (i < templ.size() && templ[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    // Optional "index:", then "-", then width, then the type letter.
    size_t start = i;
    int number = -1;
    while (i < templ.size() && templ[i] >= '0' && templ[i] <= '9') {
      number = (number < 0 ? 0 : number * 10) + (templ[i] - '0');
      ++i;
    }
    if (i < templ.size() && templ[i] == ':' && number >= 0) {
      next = static_cast<size_t>(number);
      ++i;
    } else {
      i = start;
    }
    bool left = false;
    if (i < templ.size() && templ[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    while (i < templ.size() && templ[i] >= '0' && templ[i] <= '9') width = width * 10 + (templ[i++] - '0');
    if (i >= templ.size() || next >= list.size()) throw bad();
    const char type = templ[i++];
    const auto& value = list[next++].Value();
    switch (type) {
      case 's':
      case 'S':
        if (!std::holds_alternative<std::string_view>(value)) throw bad();
        Pad(out, std::get<std::string_view>(value), width, left);
        break;
      case 'd':
      case 'D':
      case 'u':
        if (!std::holds_alternative<int64_t>(value)) throw bad();
        Pad(out, std::to_string(std::get<int64_t>(value)), width, left);
        break;
      case 'x':
      case 'X':
        if (!std::holds_alternative<int64_t>(value)) throw bad();
        Pad(out, Hex(std::get<int64_t>(value)), width, left);
        break;
      default:
        throw bad();
    }
  }
  return out;
}

}  // namespace corvida
