#include "mqo/face_report.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "mqo/face_tally.h"
#include "mqo/fast_report.h"
#include "mqo/model_file.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/escaped_text.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/huge_pages.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

// The most room a report's text is given before its lines are known.
constexpr uintmax_t kMostReservedForReport = uintmax_t{256} << 20;

std::string SpellPath(std::string_view path, TReportSpelling spelling) {
  return EscapedText(path, tcUtf8, spelling == rsCp932 ? tcCp932 : tcUtf8);
}

// Hands each face line on as it is read: a report in the file's order
// holds no line, however long the model.
class TFaceLinePrinter : public TFaceTally {
 public:
  TFaceLinePrinter(TReportSpelling spelling, const std::function<void(std::string_view)>& addLine)
      : spelling_(spelling), addLine_(addLine) {}

 protected:
  void FaceLine(int32_t count) override {
    if (!nameSpelled_) {
      shownName_ = SpellName(Name(), Utf8Document(), spelling_);
      nameSpelled_ = true;
    }
    addLine_(ReportObjectLine(count, shownName_));
  }
  void NameBegun() override { nameSpelled_ = false; }

 private:
  TReportSpelling spelling_;
  const std::function<void(std::string_view)>& addLine_;
  std::string shownName_;
  bool nameSpelled_ = false;
};

// The face lines of the file at path, handed to tally as they are read.
void TallyFacesOfFile(const std::string& path, TFaceTally& tally, std::stop_token stop) {
  ReadModelFile(
      path,
      [&](TBytePieces& pieces) {
        TModelInput input(pieces);
        CountFaces(input, tally);
      },
      std::move(stop));
}

}  // namespace

bool LeadPendingAfter(std::string_view text, bool pending) {
  for (const char c : text) pending = !pending && IsLeadByte(c);
  return pending;
}

std::string SpellName(const std::string& name, bool utf8Document, TReportSpelling spelling) {
  if (spelling == rsFile) return name;
  return EscapedText(name, utf8Document ? tcUtf8 : tcCp932, spelling == rsCp932 ? tcCp932 : tcUtf8);
}

std::string ReportHeaderLine(std::string_view shownPath) { return "// " + std::string(shownPath); }

std::string ReportObjectLine(int32_t count, std::string_view name) {
  return Format("%8d : %s", {count, name});
}

std::string ReportTotalLine(int64_t total, std::string_view fileName) {
  return Format("%8d : Total // %s", {static_cast<long long>(total), fileName});
}

void CountFacesOfFile(const std::string& path, int sortMode, TFaceCounts& counts, std::stop_token stop) {
  TallyFacesOfFile(path, counts, std::move(stop));
  counts.Sort(sortMode);
}

namespace {

// Hands the lines after the header to addLine, one at a time as they are
// made; the total names the file by shownPath's last part.
void WriteReportRest(const std::string& path, const std::string& shownPath, int sortMode,
                     const std::function<void(std::string_view)>& addLine, TReportSpelling spelling,
                     const std::stop_token& stop) {
  int64_t total = 0;
  if (sortMode == kSortAscending || sortMode == kSortDescending) {
    TFaceCounts counts(spelling);
    CountFacesOfFile(path, sortMode, counts, stop);
    counts.ForEachLine([&](const TFaceCounts::TLine& line) {
      if (stop.stop_requested()) throw EAbort("");
      addLine(ReportObjectLine(line.count, line.name));
    });
    total = counts.Total();
  } else {
    TFaceLinePrinter printer(spelling, addLine);
    TallyFacesOfFile(path, printer, stop);
    total = printer.Total();
  }
  // The path is UTF-8 here: its name follows the last '/' byte.
  addLine(ReportTotalLine(total, SpellPath(shownPath.substr(shownPath.rfind('/') + 1), spelling)));
  addLine(kReportSeparator);
}

}  // namespace

std::optional<std::string> ReportHeader(const std::string& path, TReportSpelling spelling) {
  if (!FileAge(path)) return std::nullopt;
  return ReportHeaderLine(SpellPath(path, spelling));
}

std::string ReportRest(const std::string& path, int sortMode, std::stop_token stop, TReportSpelling spelling) {
  std::string rest;
  // A report's lines take fewer bytes than the chunks they come from: room
  // for a file's size, never touched beyond what the lines fill, spares
  // growing the text again and again.
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (!error) ReserveInHugePages(rest, std::min<uintmax_t>(size, kMostReservedForReport));
  WriteReportRest(
      path, path, sortMode,
      [&rest](std::string_view line) {
        AppendInHugePages(rest, line);
        AppendInHugePages(rest, "\r\n");
      },
      spelling, stop);
  return rest;
}

bool WriteReport(const std::string& path, const std::string& shownPath, int sortMode,
                 const std::function<void(std::string_view)>& addLine, TReportSpelling spelling) {
  if (!FileAge(path)) return false;
  addLine(ReportHeaderLine(SpellPath(shownPath, spelling)));
  WriteReportRest(path, shownPath, sortMode, addLine, spelling, {});
  return true;
}

bool MakeReport(const std::string& path, int sortMode, TStrings& lines, TEvent<> takeFocus,
                TReportSpelling spelling) {
  const std::optional<std::string> header = ReportHeader(path, spelling);
  if (!header) return false;
  // The header goes in at once, so that it stays when the model turns out
  // bad; the rest goes in together, as one change of the lines.
  lines.Add(*header);
  lines.AddText(ReportRest(path, sortMode, {}, spelling));
  if (takeFocus) takeFocus();
  return true;
}

}  // namespace corvida
