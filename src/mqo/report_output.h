#pragma once
// The face-count report in the forms scripts read: CSV, one JSON document
// for the call, or JSON lines. The figures are the report's own: one entry
// per face line with the name as the report joins it, decoded from the
// file's code page, and the total. The text form is the report's lines.
#include <memory>
#include <ostream>
#include <string>

#include "mqo/stats_output.h"

namespace corvida {

class TFaceCounts;

struct TReportFile {
  // The file's real path, the file system's bytes.
  std::string path;
  // The lines, spelled as the file holds them (rsFile); null when the file
  // failed.
  const TFaceCounts* counts = nullptr;
  // UTF-8; empty when the file was read.
  std::string error;
};

class TReportWriter {
 public:
  virtual ~TReportWriter() = default;
  virtual void File(const TReportFile& file) = 0;
  virtual void End() {}
};

// form is one of foCsv, foJson and foJsonLines.
std::unique_ptr<TReportWriter> MakeReportWriter(TOutputForm form, std::ostream& out);

}  // namespace corvida
