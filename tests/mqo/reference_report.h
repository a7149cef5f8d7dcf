#pragma once
// The report read the literal way: every token through the scanner, every
// object line put in place as it comes. The report itself reads through the
// tally and its fast path; tests and fuzz targets hold the two equal.
#include <cstdint>
#include <string>
#include <string_view>

#include "mqo/face_report.h"
#include "mqo/mqo_parser.h"
#include "platform/rtl/int_reading.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace corvida {

// The count of an object line: its first 8 bytes, the "%8d" field.
inline int32_t ReferenceLineCount(std::string_view line) { return StrToIntDef(line.substr(0, 8), 0); }

// Puts an object line into list by its count: at the end, or before the
// first line with a count not below (ascending) or not above (descending)
// its own, so equal counts come out latest first.
inline void InsertSorted(TStrings& list, const std::string& line, int sortMode) {
  if (sortMode == kSortAscending || sortMode == kSortDescending) {
    const int32_t count = ReferenceLineCount(line);
    for (int i = 0; i < list.Count(); ++i) {
      const int32_t other = ReferenceLineCount(list.Strings(i));
      if (sortMode == kSortAscending ? other >= count : other <= count) {
        list.Insert(i, line);
        return;
      }
    }
  }
  list.Add(line);
}

// Whether the document's header says "CodePage utf8". The header is all
// before the first chunk, object or face; the tokens passed over here are
// none that the report reacts to, and the value's token stays current.
inline bool HeaderSaysUtf8(TParser& parser) {
  for (uint8_t kind; (kind = parser.TokenKind()) != tkEnd && kind != '{'; parser.Advance()) {
    if (kind != tkSymbol) continue;
    const std::string_view text = parser.TokenView();
    if (text == "Object" || text == "face") return false;
    if (text == "CodePage") return parser.Advance() == tkSymbol && parser.TokenView() == "utf8";
  }
  return false;
}

// One object line per "face" keyword into result with InsertSorted; returns
// the total of the counts. Raises EParserError for malformed input.
inline int64_t CollectFaceLines(TStream& model, int sortMode, TStrings& result,
                                TReportSpelling spelling = rsCp932) {
  TParser parser(model);
  const bool utf8 = HeaderSaysUtf8(parser);
  std::string name;
  std::string shownName;
  // Counts are 32-bit, their sum is not: a total must not wrap negative.
  int64_t total = 0;
  while (parser.TokenKind() != tkEnd) {
    if (parser.TokenKind() == tkSymbol && parser.TokenView() == "Object") {
      parser.Advance();
      name.clear();
      // A "{" right after a lead byte is that character's trail byte (ボ is
      // 0x83 0x7B), so it belongs to the name. UTF-8 has no such bytes.
      bool leadPending = false;
      while (parser.TokenKind() != tkEnd && (leadPending || parser.TokenView() != "{")) {
        if (!utf8) leadPending = LeadPendingAfter(parser.TokenView(), leadPending);
        name += parser.TokenView();
        parser.Advance();
      }
      shownName = SpellName(name, utf8, spelling);
    }
    if (parser.TokenKind() == tkSymbol && parser.TokenView() == "face") {
      parser.Advance();
      const int32_t count = StrToIntDef(parser.TokenView(), 0);
      total += count;
      InsertSorted(result, ReportObjectLine(count, shownName), sortMode);
    }
    parser.Advance();
  }
  return total;
}

}  // namespace corvida
