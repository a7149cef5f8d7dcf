#include "mqo/face_tally.h"

#include <algorithm>
#include <cstdio>

#include "mqo/mqo_parser.h"
#include "platform/rtl/int_reading.h"

namespace corvida {

void TFaceTally::Token(uint8_t kind, std::string_view text) {
  switch (state_) {
    case fsHeader:
      if (kind == tkSymbol && text == "CodePage") {
        state_ = fsCodePage;
        return;
      }
      if (kind != '{' && !(kind == tkSymbol && (text == "Object" || text == "face"))) return;
      break;
    case fsCodePage:
      // Whatever follows "CodePage" ends the header and is read as usual.
      utf8_ = kind == tkSymbol && text == "utf8";
      break;
    case fsName:
      if (text == "{" && !leadPending_) {
        EndName();
      } else {
        // UTF-8 has no lead bytes whose trail could be a "{".
        if (!utf8_) leadPending_ = LeadPendingAfter(text, leadPending_);
        AppendName(text);
      }
      return;
    case fsCount:
      Count(text);
      return;
    case fsOutside:
      break;
  }
  state_ = fsOutside;
  if (kind != tkSymbol) return;
  if (text == "Object") BeginName();
  else if (text == "face") AwaitCount();
}

void TFaceTally::End() {
  if (state_ == fsCount) Count({});
}

void TFaceTally::BeginName() {
  name_.clear();
  leadPending_ = false;
  state_ = fsName;
  NameBegun();
}

void TFaceTally::Count(std::string_view text) {
  const int32_t count = StrToIntDef(text, 0);
  total_ += count;
  state_ = fsOutside;
  FaceLine(count);
}

int32_t SortKey(int32_t count) {
  // "%8d" is never cut: a count of more than 8 characters is compared by
  // its first 8 only.
  if (count >= -9'999'999 && count <= 99'999'999) return count;
  char text[16];
  std::snprintf(text, sizeof text, "%d", count);
  return StrToIntDef(std::string_view(text, 8), 0);
}

void TFaceCounts::FaceLine(int32_t count) {
  if (!nameKept_) {
    // An object named as the one before it shares its name.
    std::string name = SpellName(Name(), Utf8Document(), spelling_);
    if (names_.empty() || names_.back() != name) names_.push_back(std::move(name));
    nameKept_ = true;
  }
  const auto name = static_cast<uint32_t>(names_.size() - 1);
  if (!runs_.empty() && runs_.back().count == count && runs_.back().name == name) {
    ++runs_.back().length;
  } else {
    runs_.push_back({count, name, lineCount_, 1});
  }
  ++lineCount_;
}

void TFaceCounts::Sort(int sortMode) {
  if (sortMode != kSortAscending && sortMode != kSortDescending) return;
  // Inserting before the first line whose count is not below (not above)
  // the new one puts equal counts latest first: a stable sort of the lines
  // in reverse order. The lines of a run share their count, so they stay
  // together and the runs can be sorted whole.
  std::reverse(runs_.begin(), runs_.end());
  reversed_ = !reversed_;
  if (sortMode == kSortAscending) {
    std::stable_sort(runs_.begin(), runs_.end(),
                     [](const TRun& a, const TRun& b) { return SortKey(a.count) < SortKey(b.count); });
  } else {
    std::stable_sort(runs_.begin(), runs_.end(),
                     [](const TRun& a, const TRun& b) { return SortKey(a.count) > SortKey(b.count); });
  }
}

}  // namespace corvida
