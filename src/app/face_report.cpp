#include "app/face_report.h"

#include "app/face_tally.h"
#include "app/fast_report.h"
#include "app/model_input.h"
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

namespace {

// The reference reading: every line goes into the list as it is found.
class TListTally : public TFaceTally {
 public:
  TListTally(TStrings& list, int sortMode) : list_(list), sortMode_(sortMode) {}

 protected:
  void FaceLine(int32_t count) override { InsertSorted(list_, ReportObjectLine(count, Name()), sortMode_); }

 private:
  TStrings& list_;
  int sortMode_;
};

}  // namespace

int64_t CollectFaceLines(TStream& model, int sortMode, TStrings& result) {
  TListTally tally(result, sortMode);
  TParser parser(model);
  for (; parser.TokenKind() != tkEnd; parser.Advance()) tally.Token(parser.TokenKind(), parser.TokenView());
  tally.End();
  return tally.Total();
}

void CountFacesOfFile(const std::string& path, int sortMode, TFaceCounts& counts) {
  TFilePieces pieces(path);
  TModelInput input(pieces);
  CountFaces(input, counts);
  counts.Sort(sortMode);
}

bool MakeReport(const std::string& path, int sortMode, TStrings& lines, TEvent<> takeFocus) {
  if (!FileAge(path)) return false;
  const std::string shownPath = Utf8ToCp932(path);
  lines.Add(ReportHeaderLine(shownPath));
  TFaceCounts counts;
  CountFacesOfFile(path, sortMode, counts);
  TStringList result;
  for (size_t i = 0; i < counts.LineCount(); ++i) result.Add(counts.Line(i));
  lines.AddStrings(result);
  lines.Add(ReportTotalLine(counts.Total(), shownPath));
  lines.Add(kReportSeparator);
  if (takeFocus) takeFocus();
  return true;
}

bool WriteReport(const std::string& path, int sortMode, const std::function<void(std::string_view)>& addLine) {
  if (!FileAge(path)) return false;
  const std::string shownPath = Utf8ToCp932(path);
  addLine(ReportHeaderLine(shownPath));
  TFaceCounts counts;
  CountFacesOfFile(path, sortMode, counts);
  for (size_t i = 0; i < counts.LineCount(); ++i) addLine(counts.Line(i));
  addLine(ReportTotalLine(counts.Total(), shownPath));
  addLine(kReportSeparator);
  return true;
}

}  // namespace corvida
