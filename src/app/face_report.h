#pragma once
// The face-count report: for one model file, a header line with its path,
// one line per object with the face count its face chunk declares, a total
// line and a separator, appended to a line store (the editor's Lines, or a
// plain list for the command line).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/rtl/events.h"

namespace corvida {

class TFaceCounts;
class TStream;
class TStrings;

// Item indexes of the window's sort choice.
inline constexpr int kSortNone = 0;
inline constexpr int kSortAscending = 1;
inline constexpr int kSortDescending = 2;

inline constexpr const char* kReportSeparator = "------------------------------";

// shownPath is the path as the pane shows it, CP932.
std::string ReportHeaderLine(std::string_view shownPath);
std::string ReportObjectLine(int32_t count, std::string_view name);
std::string ReportTotalLine(int64_t total, std::string_view shownPath);

// Puts an object line into list by its count (the line's first 8 bytes):
// at the end, or before the first line with a count not below (ascending) or
// not above (descending) its own, so equal counts come out latest first.
void InsertSorted(TStrings& list, const std::string& line, int sortMode);

// Walks the tokens of a model with the literal scanner alone and puts one
// object line per "face" keyword into result with InsertSorted; returns the
// total of the counts. Raises EParserError for malformed input. The report
// itself reads faster with CountFaces, which must agree with this.
int64_t CollectFaceLines(TStream& model, int sortMode, TStrings& result);

// The face lines of the model file at path, in the order of sortMode.
// Raises EFOpenError or EParserError.
void CountFacesOfFile(const std::string& path, int sortMode, TFaceCounts& counts);

// The whole report of the file at path (the real path, UTF-8; the pane shows
// it in CP932). A path that is missing, a folder, or dated outside 1980 to
// 2107 does nothing and gives false. Once the header is appended, an error
// (EFOpenError, EParserError) leaves it alone in lines and passes on; else
// the object lines, total and separator follow and takeFocus is called.
bool MakeReport(const std::string& path, int sortMode, TStrings& lines, TEvent<> takeFocus);

// The same report handed to addLine one line at a time as it is made, so
// that no more than the names and counts is held.
bool WriteReport(const std::string& path, int sortMode, const std::function<void(std::string_view)>& addLine);

}  // namespace corvida
