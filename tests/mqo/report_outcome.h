#pragma once
// What a report run gives for a model given as bytes: the object lines and
// the total, or the scanner's error. The literal scanner alone with
// InsertSorted is the reference; the fast path reads the same bytes handed
// out in pieces of a given size.
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "mqo/face_report.h"
#include "mqo/face_tally.h"
#include "mqo/fast_report.h"
#include "mqo/model_input.h"
#include "mqo/reference_report.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace corvida::testing {

struct TReportOutcome {
  std::vector<std::string> lines;
  int64_t total = 0;
  std::string error;
  bool operator==(const TReportOutcome&) const = default;
};

inline void PrintTo(const TReportOutcome& outcome, std::ostream* os) {
  *os << "total " << outcome.total << ", error \"" << outcome.error << "\", lines:";
  for (const std::string& line : outcome.lines) *os << " [" << line << "]";
}

// Bytes handed out step at a time; a step of 0 gives as many as asked for.
class TStringPieces : public TBytePieces {
 public:
  TStringPieces(std::string_view bytes, size_t step) : bytes_(bytes), step_(step) {}
  size_t ReadPiece(char* buffer, size_t capacity) override {
    const size_t n = std::min({step_ == 0 ? capacity : step_, capacity, bytes_.size() - pos_});
    bytes_.copy(buffer, n, pos_);
    pos_ += n;
    return n;
  }

 private:
  std::string_view bytes_;
  size_t step_;
  size_t pos_ = 0;
};

inline TReportOutcome ReferenceOutcome(std::string_view bytes, int sortMode, TReportSpelling spelling = rsCp932) {
  TMemoryStream model;
  model.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  model.SetPosition(0);
  TStringList lines;
  TReportOutcome outcome;
  try {
    outcome.total = CollectFaceLines(model, sortMode, lines, spelling);
  } catch (const EParserError& e) {
    return {{}, 0, e.Message()};
  }
  for (int i = 0; i < lines.Count(); ++i) outcome.lines.push_back(lines.Strings(i));
  return outcome;
}

inline TReportOutcome FastOutcome(std::string_view bytes, int sortMode, size_t step,
                                  size_t capacity = TModelInput::kCapacity, TReportSpelling spelling = rsCp932) {
  TStringPieces pieces(bytes, step);
  TModelInput input(pieces, capacity);
  TFaceCounts counts(spelling);
  try {
    CountFaces(input, counts);
  } catch (const EParserError& e) {
    return {{}, 0, e.Message()};
  }
  counts.Sort(sortMode);
  TReportOutcome outcome;
  counts.ForEachLine(
      [&](const TFaceCounts::TLine& line) { outcome.lines.push_back(ReportObjectLine(line.count, line.name)); });
  outcome.total = counts.Total();
  return outcome;
}

}  // namespace corvida::testing
