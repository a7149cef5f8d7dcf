#pragma once
// TEditorAttributeArray: a cursor over a text and its column map, moving
// column by column and knowing which byte of the text each column belongs
// to. Positions and byte indexes are 1-based, as the wrap rules count them.
// The cursor refers to the text and map it was given; both must outlive it.
#include <string>
#include <string_view>

namespace corvida {

class TEditorAttributeArray {
 public:
  static constexpr char kPastEnd = '0';

  void Init(std::string_view text, std::string_view map);

  char Code() const { return code_; }
  int Position() const { return position_; }
  int ByteIndex() const { return byteIndex_; }
  int ColumnCount() const { return static_cast<int>(map_.size()); }

  void Next();
  void Prev();
  // Back one column, and over the lead column of a double-byte character.
  void StepBack();
  // The character at the cursor ('' past the end).
  std::string_view Current() const;
  // The character at the next column, without moving.
  std::string_view PeekNext();
  void MoveTo(int position);

 private:
  // The map letter at a 1-based position; kPastEnd beyond the map.
  char MapAt(int position) const;
  // count bytes of the text from a 1-based byte index, clipped to the text.
  std::string_view Bytes(int byteIndex, int count) const;

  char code_ = kPastEnd;
  std::string_view map_;
  int position_ = 0;
  std::string_view text_;
  int byteIndex_ = 0;
};

}  // namespace corvida
