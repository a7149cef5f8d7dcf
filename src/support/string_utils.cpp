#include "support/string_utils.h"

#include <algorithm>

#include "platform/rtl/cp932.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"

namespace corvida {

bool StrIncluded(std::string_view sub, std::string_view s) {
  if (sub.empty() || s.size() < sub.size()) return false;
  for (size_t i = 0; i + sub.size() <= s.size(); i += IsLeadByte(s[i]) ? 2 : 1)
    if (s.compare(i, sub.size(), sub) == 0) return true;
  return false;
}

void TextToStrings(std::string_view text, TStrings& strings) {
  strings.BeginUpdate();
  ScopeGuard end([&strings] { strings.EndUpdate(); });
  strings.Clear();
  if (text.empty()) return;
  const auto feeds = std::count(text.begin(), text.end(), '\n');
  const auto lines = feeds + (text.back() != '\n' ? 1 : 0);
  for (long i = 0; i < lines; ++i) strings.Add(std::string());
  size_t at = 0;
  int index = 0;
  while (at < text.size() && text[at] != '\0') {
    const size_t stop = std::min(text.find_first_of(std::string_view("\0\n\r", 3), at), text.size());
    std::string line(text.substr(at, stop - at));
    if (index < strings.Count())
      strings.Put(index, line);
    else
      strings.Add(line);
    ++index;
    at = stop;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
  }
}

}  // namespace corvida
