#include "app/face_report.h"

#include "app/mqo_parser.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/int_reading.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

// The count of an object line: its first 8 bytes, the "%8d" field.
int32_t LineCount(std::string_view line) { return StrToIntDef(line.substr(0, 8), 0); }

}  // namespace

std::string ReportHeaderLine(std::string_view shownPath) { return "// " + std::string(shownPath); }

std::string ReportObjectLine(int32_t count, std::string_view name) {
  return Format("%8d : %s", {count, name});
}

std::string ReportTotalLine(int64_t total, std::string_view shownPath) {
  return Format("%8d : Total // %s", {static_cast<long long>(total), ExtractFileName(shownPath)});
}

void InsertSorted(TStrings& list, const std::string& line, int sortMode) {
  if (sortMode == kSortAscending || sortMode == kSortDescending) {
    const int32_t count = LineCount(line);
    for (int i = 0; i < list.Count(); ++i) {
      const int32_t other = LineCount(list.Strings(i));
      if (sortMode == kSortAscending ? other >= count : other <= count) {
        list.Insert(i, line);
        return;
      }
    }
  }
  list.Add(line);
}

int64_t CollectFaceLines(TStream& model, int sortMode, TStrings& result) {
  TParser parser(model);
  std::string name;
  // Counts are 32-bit, their sum is not: a total must not wrap negative.
  int64_t total = 0;
  while (parser.TokenKind() != tkEnd) {
    if (parser.TokenKind() == tkSymbol && parser.TokenView() == "Object") {
      parser.Advance();
      name.clear();
      while (parser.TokenKind() != tkEnd && parser.TokenView() != "{") {
        name += parser.TokenView();
        parser.Advance();
      }
    }
    if (parser.TokenKind() == tkSymbol && parser.TokenView() == "face") {
      parser.Advance();
      const int32_t count = StrToIntDef(parser.TokenView(), 0);
      total += count;
      InsertSorted(result, ReportObjectLine(count, name), sortMode);
    }
    parser.Advance();
  }
  return total;
}

bool MakeReport(const std::string& path, int sortMode, TStrings& lines, TEvent<> takeFocus) {
  if (!FileAge(path)) return false;
  const std::string shownPath = Utf8ToCp932(path);
  TStringList result;
  lines.Add(ReportHeaderLine(shownPath));
  int64_t total = 0;
  {
    TMemoryStream model;
    model.LoadFromFile(path);
    model.SetPosition(0);
    total = CollectFaceLines(model, sortMode, result);
  }
  lines.AddStrings(result);
  lines.Add(ReportTotalLine(total, shownPath));
  lines.Add(kReportSeparator);
  if (takeFocus) takeFocus();
  return true;
}

}  // namespace corvida
