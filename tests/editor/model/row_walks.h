#pragma once
// The store's conversions between rows, lines and character offsets worked
// out the plain way, by walking the rows from the first, as the reference
// for the store's index.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/model/editor_screen_strings.h"
#include "platform/rtl/exceptions.h"

namespace corvida::testing {

inline int WalkLineCount(const TEditorScreenStrings& s) {
  int lines = 0;
  for (int r = 0; r < s.Count(); ++r)
    if (s.RowAttributes(r) != raWrapped) ++lines;
  if (s.Count() > 0 && s.RowAttributes(s.Count() - 1) == raWrapped) ++lines;
  return lines;
}

// -1 where the walk runs past the last row.
inline int WalkLineStartRow(const TEditorScreenStrings& s, int line) {
  int row = 0;
  for (int lines = 0; lines < line; ++row) {
    if (row >= s.Count()) return -1;
    if (s.RowAttributes(row) != raWrapped || row == s.Count() - 1) ++lines;
  }
  return row;
}

inline int WalkBreaksBefore(const TEditorScreenStrings& s, int row) {
  int breaks = 0;
  for (int r = 0; r < row && r < s.Count(); ++r)
    if (s.RowAttributes(r) == raCrlf) ++breaks;
  return breaks;
}

inline int WalkTextLength(const TEditorScreenStrings& s) {
  int length = 0;
  for (int r = 0; r < s.Count(); ++r)
    length += static_cast<int>(s.StringRef(r).size()) + (s.RowAttributes(r) == raCrlf ? 2 : 0);
  return length;
}

inline int WalkRowLength(const TEditorScreenStrings& s, int row) {
  const TRowAttribute a = s.RowAttributes(row);
  return static_cast<int>(s.StringRef(row).size()) + (a == raCrlf ? 2 : a == raEof ? 1 : 0);
}

inline int WalkRowOffset(const TEditorScreenStrings& s, int row) {
  int offset = 0;
  for (int r = 0; r < row && r < s.Count(); ++r) offset += WalkRowLength(s, r);
  return offset;
}

inline int WalkRowAtOffset(const TEditorScreenStrings& s, int row, int& offset) {
  for (row = std::max(row, 0); row < s.Count(); ++row) {
    const int length = WalkRowLength(s, row);
    if (length > offset || s.RowAttributes(row) == raEof) return row;
    offset -= length;
  }
  return s.Count();
}

inline void ExpectLineStartRow(const TEditorScreenStrings& s, int line, const std::string& where) {
  const int walked = WalkLineStartRow(s, line);
  if (walked < 0) {
    EXPECT_THROW(s.LineStartRow(line), EStringListError) << where << " line " << line;
  } else {
    EXPECT_EQ(s.LineStartRow(line), walked) << where << " line " << line;
  }
}

inline void ExpectRowAtOffset(const TEditorScreenStrings& s, int row, int offset, const std::string& where) {
  int walkedOffset = offset;
  const int walked = WalkRowAtOffset(s, row, walkedOffset);
  int indexedOffset = offset;
  ASSERT_EQ(s.RowAtOffset(row, indexedOffset), walked) << where << " from row " << row << " offset " << offset;
  if (walked < s.Count()) {
    ASSERT_EQ(indexedOffset, walkedOffset) << where << " from row " << row << " offset " << offset;
  }
}

// Every conversion at every row and line, and offsets at the ends of a few
// rows and at a few random places. The per-row references come from one walk.
inline void ExpectIndexMatchesWalks(const TEditorScreenStrings& s, std::mt19937& rng, const std::string& where) {
  SCOPED_TRACE(where);
  const int count = s.Count();
  std::vector<int> offsets{0};
  std::vector<int> breaks{0};
  std::vector<int> lineStarts{0};
  for (int r = 0; r < count; ++r) {
    offsets.push_back(offsets.back() + WalkRowLength(s, r));
    breaks.push_back(breaks.back() + (s.RowAttributes(r) == raCrlf ? 1 : 0));
    if (s.RowAttributes(r) != raWrapped || r == count - 1) lineStarts.push_back(r + 1);
  }
  ASSERT_EQ(s.TextLength(), WalkTextLength(s));
  ASSERT_EQ(s.LineCount(), WalkLineCount(s));
  ASSERT_EQ(s.LineCount() + 1, static_cast<int>(lineStarts.size()));
  for (int r = -1; r <= count + 1; ++r) {
    const size_t at = static_cast<size_t>(std::clamp(r, 0, count));
    ASSERT_EQ(s.BreaksBefore(r), breaks[at]) << "row " << r;
    ASSERT_EQ(s.RowOffset(r), offsets[at]) << "row " << r;
  }
  for (size_t line = 0; line < lineStarts.size(); ++line)
    ASSERT_EQ(s.LineStartRow(static_cast<int>(line)), lineStarts[line]) << "line " << line;
  ExpectLineStartRow(s, s.LineCount() + 1, where);
  if (count == 0) return;
  for (int i = 0; i < 8; ++i) {
    const size_t r = rng() % static_cast<uint32_t>(count);
    ExpectRowAtOffset(s, 0, offsets[r], where);
    ExpectRowAtOffset(s, 0, offsets[r + 1] - 1, where);
  }
  for (int i = 0; i < 16; ++i) {
    const int row = static_cast<int>(rng() % static_cast<uint32_t>(count + 3)) - 1;
    const int at = static_cast<int>(rng() % static_cast<uint32_t>(offsets.back() + 5)) - 2;
    ExpectRowAtOffset(s, row, at, where);
  }
}

}  // namespace corvida::testing
