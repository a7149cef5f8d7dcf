#include "support/string_utils.h"

#include <algorithm>

#include "platform/rtl/cp932.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

// The 1-based position where the character holding or following byte
// index begins, read from the start of s.
int CharStartAtOrAfter(std::string_view s, int index) {
  int i = 1;
  while (i < index) i += IsLeadByte(s[static_cast<size_t>(i - 1)]) ? 2 : 1;
  return i;
}

}  // namespace

int CountChar(std::string_view s, char c, int limit) {
  if (limit <= 0) return 0;
  size_t n = std::min(s.size(), static_cast<size_t>(limit));
  return static_cast<int>(std::count(s.begin(), s.begin() + static_cast<ptrdiff_t>(n), c));
}

bool IsLeadByteAt(std::string_view s, int index) {
  if (index < 1 || index > static_cast<int>(s.size())) return false;
  return CharStartAtOrAfter(s, index) == index && IsLeadByte(s[static_cast<size_t>(index - 1)]);
}

bool IsTrailByteAt(std::string_view s, int index) {
  int length = static_cast<int>(s.size());
  if (index < 2 || index > length + 1) return false;
  // A trail byte is one that the walk steps over.
  return CharStartAtOrAfter(s, index) != index;
}

char CharAt(std::string_view s, int pos) {
  return pos >= 1 && pos <= static_cast<int>(s.size()) ? s[static_cast<size_t>(pos - 1)] : '\0';
}

bool StrIncluded(std::string_view sub, std::string_view s) {
  if (sub.empty() || s.size() < sub.size()) return false;
  for (size_t i = 0; i + sub.size() <= s.size(); i += IsLeadByte(s[i]) ? 2 : 1)
    if (s.compare(i, sub.size(), sub) == 0) return true;
  return false;
}

void TextToStrings(std::string_view text, TStrings& strings) {
  TUpdateBracket update(strings);
  strings.Clear();
  if (text.empty()) return;
  int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  if (text.back() != '\n') ++lines;
  for (int i = 0; i < lines; ++i) strings.Add(std::string());
  size_t p = 0;
  int index = 0;
  while (p < text.size() && text[p] != '\0') {
    size_t q = text.find_first_of(std::string_view("\0\n\r", 3), p);
    if (q == std::string_view::npos) q = text.size();
    std::string line(text.substr(p, q - p));
    if (index < strings.Count()) {
      strings.Put(index, line);
    } else {
      strings.Add(line);
    }
    ++index;
    p = q;
    if (p < text.size() && text[p] == '\r') ++p;
    if (p < text.size() && text[p] == '\n') ++p;
  }
}

}  // namespace corvida
