#pragma once
// What a report run gives for a model given as bytes: the object lines and
// the total, or the scanner's error. The literal scanner alone with
// InsertSorted is the reference; the fast path reads the same bytes handed
// out in pieces of a given size.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/face_report.h"
#include "app/face_tally.h"
#include "app/fast_report.h"
#include "app/model_input.h"
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

// Bytes handed out step at a time; a step of 0 gives them in one piece.
class TStringPieces : public TBytePieces {
 public:
  TStringPieces(std::string_view bytes, size_t step) : bytes_(bytes), step_(step == 0 ? bytes.size() : step) {}
  std::string_view NextPiece() override {
    // Each piece is a copy, so that a reader keeping one too long is caught.
    const size_t n = std::min(step_, bytes_.size() - pos_);
    piece_.assign(bytes_.substr(pos_, n));
    pos_ += n;
    return piece_;
  }

 private:
  std::string_view bytes_;
  size_t step_;
  size_t pos_ = 0;
  std::string piece_;
};

inline TReportOutcome ReferenceOutcome(std::string_view bytes, int sortMode) {
  TMemoryStream model;
  model.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  model.SetPosition(0);
  TStringList lines;
  TReportOutcome outcome;
  try {
    outcome.total = CollectFaceLines(model, sortMode, lines);
  } catch (const EParserError& e) {
    return {{}, 0, e.Message()};
  }
  for (int i = 0; i < lines.Count(); ++i) outcome.lines.push_back(lines.Strings(i));
  return outcome;
}

inline TReportOutcome FastOutcome(std::string_view bytes, int sortMode, size_t step) {
  TStringPieces pieces(bytes, step);
  TModelInput input(pieces);
  TFaceCounts counts;
  try {
    CountFaces(input, counts);
  } catch (const EParserError& e) {
    return {{}, 0, e.Message()};
  }
  counts.Sort(sortMode);
  TReportOutcome outcome;
  for (size_t i = 0; i < counts.LineCount(); ++i) outcome.lines.push_back(counts.Line(i));
  outcome.total = counts.Total();
  return outcome;
}

}  // namespace corvida::testing
