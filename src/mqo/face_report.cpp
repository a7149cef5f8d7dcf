#include "mqo/face_report.h"

#include "mqo/face_tally.h"
#include "mqo/fast_report.h"
#include "mqo/model_file.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

std::string SpellPath(std::string_view path, TReportSpelling spelling) {
  return spelling == rsCp932 ? Utf8ToCp932(path) : std::string(path);
}

}  // namespace

bool LeadPendingAfter(std::string_view text, bool pending) {
  for (const char c : text) pending = !pending && IsLeadByte(c);
  return pending;
}

std::string SpellName(const std::string& name, bool utf8Document, TReportSpelling spelling) {
  if (spelling == rsFile || utf8Document == (spelling == rsUtf8)) return name;
  return utf8Document ? Utf8ToCp932(name) : Cp932ToUtf8(name);
}

std::string ReportHeaderLine(std::string_view shownPath) { return "// " + std::string(shownPath); }

std::string ReportObjectLine(int32_t count, std::string_view name) {
  return Format("%8d : %s", {count, name});
}

std::string ReportTotalLine(int64_t total, std::string_view fileName) {
  return Format("%8d : Total // %s", {static_cast<long long>(total), fileName});
}

void CountFacesOfFile(const std::string& path, int sortMode, TFaceCounts& counts) {
  ReadModelFile(path, [&](TBytePieces& pieces) {
    TModelInput input(pieces);
    CountFaces(input, counts);
    counts.Sort(sortMode);
  });
}

bool WriteReport(const std::string& path, int sortMode, const std::function<void(std::string_view)>& addLine,
                 TReportSpelling spelling) {
  if (!FileAge(path)) return false;
  addLine(ReportHeaderLine(SpellPath(path, spelling)));
  TFaceCounts counts(spelling);
  CountFacesOfFile(path, sortMode, counts);
  for (size_t i = 0; i < counts.LineCount(); ++i) addLine(counts.Line(i));
  // The path is UTF-8 here: its name follows the last '/' byte.
  addLine(ReportTotalLine(counts.Total(), SpellPath(path.substr(path.rfind('/') + 1), spelling)));
  addLine(kReportSeparator);
  return true;
}

bool MakeReport(const std::string& path, int sortMode, TStrings& lines, TEvent<> takeFocus,
                TReportSpelling spelling) {
  // The header goes in at once, so that it stays when the model turns out
  // bad; the rest goes in together, as one change of the lines.
  std::string rest;
  bool headerAdded = false;
  const auto add = [&](std::string_view line) {
    if (headerAdded)
      rest.append(line).append("\r\n");
    else
      lines.Add(std::string(line));
    headerAdded = true;
  };
  if (!WriteReport(path, sortMode, add, spelling)) return false;
  lines.AddText(rest);
  if (takeFocus) takeFocus();
  return true;
}

}  // namespace corvida
