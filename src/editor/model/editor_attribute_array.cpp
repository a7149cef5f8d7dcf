#include "editor/model/editor_attribute_array.h"

#include "editor/model/column_map.h"

namespace corvida {

void TEditorAttributeArray::Init(std::string_view text, std::string_view map) {
  text_ = text;
  map_ = map;
  position_ = 0;
  byteIndex_ = 0;
  code_ = kColSingle;
  Next();
}

char TEditorAttributeArray::MapAt(int position) const {
  return position >= 1 && position <= ColumnCount() ? map_[static_cast<size_t>(position - 1)] : kPastEnd;
}

std::string_view TEditorAttributeArray::Bytes(int byteIndex, int count) const {
  const int from = byteIndex - 1;
  if (from < 0 || from >= static_cast<int>(text_.size())) return {};
  return text_.substr(static_cast<size_t>(from), static_cast<size_t>(count));
}

void TEditorAttributeArray::Next() {
  if (code_ == kPastEnd) return;
  ++position_;
  code_ = MapAt(position_);
  if (code_ != kColTab) ++byteIndex_;
}

void TEditorAttributeArray::Prev() {
  if (position_ <= 1) return;
  const char left = code_;
  --position_;
  code_ = MapAt(position_);
  if (left != kColTab) --byteIndex_;
}

void TEditorAttributeArray::StepBack() {
  Prev();
  if (code_ == kColLead) Prev();
}

std::string_view TEditorAttributeArray::Current() const {
  switch (code_) {
    case kPastEnd:
      return {};
    case kColLead:
      return Bytes(byteIndex_, 2);
    case kColTrail:
      return Bytes(byteIndex_ - 1, 2);
    default:
      return Bytes(byteIndex_, 1);
  }
}

std::string_view TEditorAttributeArray::PeekNext() {
  if (code_ == kPastEnd) return {};
  Next();
  const std::string_view next = Current();
  Prev();
  return next;
}

void TEditorAttributeArray::MoveTo(int position) {
  while (position_ < position && code_ != kPastEnd) Next();
  while (position_ > position && position_ > 1) Prev();
}

}  // namespace corvida
