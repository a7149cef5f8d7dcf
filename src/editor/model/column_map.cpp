#include "editor/model/column_map.h"

#include <algorithm>

#include "platform/rtl/cp932.h"

namespace corvida {
namespace {

// Filler columns after a tab at 0-based column p.
int TabFill(int p, const TColumnLayout& layout) {
  const int tab = std::max(1, layout.tabSpaceCount);
  int fill = tab - p % tab - 1;
  if (layout.wordWrap && layout.wrapByte > 0) fill = std::min(fill, layout.wrapByte - p % layout.wrapByte - 1);
  return fill;
}

}  // namespace

TCharSet DefaultDelimiters() {
  // Built once: every column layout starts from it, one per wrapped line.
  static const TCharSet kDefault = [] {
    TCharSet set;
    for (int c = 0; c < 256; ++c)
      set[c] = c <= 0x2F || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x5E) || c == 0x60 ||
               (c >= 0x7B && c <= 0x80) || (c >= 0xA0 && c <= 0xA5) || c >= 0xFD;
    return set;
  }();
  return kDefault;
}

std::string ColumnMap(std::string_view text, const TColumnLayout& layout) {
  const size_t cap = layout.wordWrap ? static_cast<size_t>(layout.wrapByte) + 3 : kMaxColumns;
  std::string map;
  map.reserve(std::min(cap + 8, text.size() + 8));
  for (size_t i = 0; i < text.size() && map.size() < cap; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c)) {
      map += "45";
      ++i;
    } else if (c == '\t') {
      const int p = static_cast<int>(map.size());
      map += layout.delimiters[c] ? kColDelimiter : kColSingle;
      map.append(static_cast<size_t>(TabFill(p, layout)), kColTab);
    } else {
      map += layout.delimiters[c] ? kColDelimiter : kColSingle;
    }
  }
  return map;
}

int MapLength(std::string_view text, const TColumnLayout& layout) {
  const int cap = layout.wordWrap ? layout.wrapByte + 3 : kMaxColumns;
  int columns = 0;
  for (size_t i = 0; i < text.size() && columns < cap; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c)) {
      columns += 2;
      ++i;
    } else if (c == '\t') {
      columns += 1 + TabFill(columns, layout);
    } else {
      ++columns;
    }
  }
  return columns;
}

int StrColumns(std::string_view text, const TColumnLayout& layout) {
  if (text.find('\t') == std::string_view::npos) return static_cast<int>(text.size());
  int columns = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c)) {
      columns += 2;
      ++i;
    } else if (c == '\t') {
      columns += 1 + TabFill(columns, layout);
    } else {
      ++columns;
    }
  }
  return columns;
}

}  // namespace corvida
