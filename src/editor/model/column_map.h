#pragma once
// The display layout of one row of text, shared by the view and the row
// store: the column map (one code letter per display column) and the display
// width. A double-byte character covers two columns; a tab covers the
// columns up to the next tab stop and, with word wrap, never crosses the
// wrap margin.
#include <bitset>
#include <string>
#include <string_view>

namespace corvida {

using TCharSet = std::bitset<256>;

// Column map letters.
inline constexpr char kColSingle = '1';     // a single-byte character that is not a delimiter
inline constexpr char kColDelimiter = '2';  // a single-byte delimiter (a tab itself included)
inline constexpr char kColTab = '3';        // a filler column of a tab
inline constexpr char kColLead = '4';       // first column of a double-byte character
inline constexpr char kColTrail = '5';      // second column of a double-byte character

// The letter of map at col; '\0' outside the map.
inline char MapLetter(const std::string& map, int col) {
  return col >= 0 && col < static_cast<int>(map.size()) ? map[static_cast<size_t>(col)] : '\0';
}

// The string index of display column col: columns of a tab's filler map to
// the tab itself, columns past the map past the end of the text.
inline int ColToIndex(const std::string& map, int col) {
  int fillers = 0;
  for (int c = 0; c <= col && c < static_cast<int>(map.size()); ++c)
    if (map[static_cast<size_t>(c)] == kColTab) ++fillers;
  return col - fillers;
}

// The string index of the first character that begins at or right of
// display column col (off the second half of a double-byte character and
// past a tab's filler); past the map, the end of the text plus the missing
// columns.
inline int IndexAtOrRightOfCol(const std::string& map, int col) {
  if (MapLetter(map, col) == kColTrail) ++col;
  while (MapLetter(map, col) == kColTab) ++col;
  return ColToIndex(map, col);
}

// Columns are limited to this many without word wrap.
inline constexpr int kMaxColumns = 1000;

// The view's default delimiters: controls, blank, ASCII punctuation except
// '_', 0x7F-0x80, the half-width ideographic punctuation and 0xFD-0xFF.
TCharSet DefaultDelimiters();

struct TColumnLayout {
  TCharSet delimiters = DefaultDelimiters();
  int tabSpaceCount = 8;
  bool wordWrap = false;
  int wrapByte = 80;
};

// The map of text; it stops growing at wrapByte + 3 columns (word wrap) or
// kMaxColumns columns.
std::string ColumnMap(std::string_view text, const TColumnLayout& layout);

// The length ColumnMap(text, layout) has, without building it.
int MapLength(std::string_view text, const TColumnLayout& layout);

// The display width of text, without a cap.
int StrColumns(std::string_view text, const TColumnLayout& layout);

}  // namespace corvida
