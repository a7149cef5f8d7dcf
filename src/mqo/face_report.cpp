#include "mqo/face_report.h"

#include "mqo/face_tally.h"
#include "mqo/fast_report.h"
#include "mqo/model_input.h"
#include "mqo/mqo_parser.h"
#include "mqo/mqoz_reader.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

std::string SpellPath(std::string_view path, TReportSpelling spelling) {
  return spelling == rsUtf8 ? std::string(path) : Utf8ToCp932(path);
}

// An archive is known by its name, or by the bytes every zip archive begins
// with: a pipe has no name to go by.
constexpr std::string_view kZipSignature("PK\x03\x04", 4);

// The model's bytes as they come: from the file, or out of the archive.
void CountFacesOfPieces(TBytePieces& pieces, int sortMode, TFaceCounts& counts) {
  TModelInput input(pieces);
  CountFaces(input, counts);
  counts.Sort(sortMode);
}

}  // namespace

bool LeadPendingAfter(std::string_view text, bool pending) {
  for (const char c : text) pending = !pending && IsLeadByte(c);
  return pending;
}

std::string SpellName(const std::string& name, bool utf8Document, TReportSpelling spelling) {
  if (utf8Document == (spelling == rsUtf8)) return name;
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
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  std::string head(kZipSignature.size(), '\0');
  head.resize(static_cast<size_t>(file.Read(head.data(), static_cast<int64_t>(head.size()))));
  if (!IsMqozPath(path) && head != kZipSignature) {
    TStreamPieces pieces(file, std::move(head));
    CountFacesOfPieces(pieces, sortMode, counts);
    return;
  }
  // Reading an archive needs seeking: one that arrives through a pipe is
  // held in memory.
  TMemoryStream held;
  TStream* archive = &file;
  if (file.Seek(0, soBeginning) != 0) {
    held.WriteBuffer(head.data(), static_cast<int64_t>(head.size()));
    char piece[1 << 16];
    for (int64_t n; (n = file.Read(piece, sizeof piece)) > 0;) held.WriteBuffer(piece, n);
    held.SetPosition(0);
    archive = &held;
  }
  TMqozModelStream model(*archive, path);
  TStreamPieces pieces(model);
  CountFacesOfPieces(pieces, sortMode, counts);
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
  TStringList rest;
  bool headerAdded = false;
  const auto add = [&](std::string_view line) {
    (headerAdded ? static_cast<TStrings&>(rest) : lines).Add(std::string(line));
    headerAdded = true;
  };
  if (!WriteReport(path, sortMode, add, spelling)) return false;
  lines.AddStrings(rest);
  if (takeFocus) takeFocus();
  return true;
}

}  // namespace corvida
