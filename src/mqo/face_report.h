#pragma once
// The face-count report: for one model file, a header line with its path,
// one line per object with the face count its face chunk declares, a total
// line and a separator, appended to a line store (the editor's Lines, or a
// plain list for the command line).
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/rtl/events.h"

namespace corvida {

class TFaceCounts;
class TStrings;

// Item indexes of the window's sort choice.
inline constexpr int kSortNone = 0;
inline constexpr int kSortAscending = 1;
inline constexpr int kSortDescending = 2;

inline constexpr const char* kReportSeparator = "------------------------------";

// How the report spells the texts it takes from outside, the file's path and
// the objects' names: in CP932 as the pane holds them, or in UTF-8 for a
// terminal, both with the escapes of EscapedText (controls, and in CP932
// the characters it lacks); or as the file holds them, for the output forms
// that decode them themselves.
enum TReportSpelling { rsCp932, rsUtf8, rsFile };

// shownPath and fileName are spelled as the lines are.
std::string ReportHeaderLine(std::string_view shownPath);
std::string ReportObjectLine(int32_t count, std::string_view name);
std::string ReportTotalLine(int64_t total, std::string_view fileName);

// The spelling of a name taken from a document that is UTF-8 (or Shift-JIS)
// in the report's spelling.
std::string SpellName(const std::string& name, bool utf8Document, TReportSpelling spelling);

// Whether text, following a name that ended in a lone lead byte or not
// (pending), leaves the name ending in a lead byte still without its trail.
bool LeadPendingAfter(std::string_view text, bool pending);

// The face lines of the file at path (the file system's bytes):
// a model, or an archive (named ".mqoz", or starting as zip archives do)
// whose model is read out of it, in the order of sortMode. Raises
// EFOpenError, EReadError or EParserError, and EAbort once stop is
// requested.
void CountFacesOfFile(const std::string& path, int sortMode, TFaceCounts& counts, std::stop_token stop = {});

// A report in two steps, so that the reading can be done apart from the
// pane: the header line, which goes in at once, and the lines after it.
// A path that is missing, a folder, or dated outside 1980 to 2107 has no
// report: no header.
std::optional<std::string> ReportHeader(const std::string& path, TReportSpelling spelling = rsCp932);
// The object lines, total and separator, each followed by CR LF. Raises as
// CountFacesOfFile.
std::string ReportRest(const std::string& path, int sortMode, std::stop_token stop = {},
                       TReportSpelling spelling = rsCp932);

// The whole report of the file at path, or nothing and false for a path
// that has no report. Once the header is appended, an error (EFOpenError,
// EReadError, EParserError; messages in CP932) leaves it alone in lines and
// passes on; else the other lines follow, as one change of lines, and
// takeFocus is called.
bool MakeReport(const std::string& path, int sortMode, TStrings& lines, TEvent<> takeFocus,
                TReportSpelling spelling = rsCp932);

// The same report handed to addLine one line at a time as it is made, so
// that no more than the names and counts is held. The header names
// shownPath: the file's absolute path where path, the one opened, is
// relative and its absolute form too long to open.
bool WriteReport(const std::string& path, const std::string& shownPath, int sortMode,
                 const std::function<void(std::string_view)>& addLine, TReportSpelling spelling = rsCp932);

}  // namespace corvida
