#pragma once
// TRowAttributeStringList: typed access to the packed attribute words of a
// TqdStringList row: how the row ends, the highlighter's carried scan state
// and the row's marks.
//
//   Attributes:  bits 0-1 RowAttributes, 2-3 PrevRowAttributes,
//                4-7 BracketIndexes + 2, 8-15 ElementIndexes,
//                16-23 WrappedBytes, 24-31 Remains
//   Attributes2: bits 0-7 PrevTokens, 8-15 StartTokens, 16-31 RowMarks
#include <cstdint>
#include <initializer_list>
#include <string>

#include "editor/model/qd_string_list.h"

namespace corvida {

// How a screen row ends.
enum TRowAttribute : uint8_t {
  raCrlf = 0,     // a line break (CR LF) follows
  raWrapped = 1,  // word wrap broke the line; it goes on in the next row
  raEof = 2,      // the last row of the text, no line break
  raInvalid = 3,  // the answer for a row that does not exist
};

// The set of marks 0 to 15 on one row; bit n is mark n.
class TRowMarks {
 public:
  constexpr TRowMarks() = default;
  constexpr explicit TRowMarks(uint16_t bits) : bits_(bits) {}
  constexpr TRowMarks(std::initializer_list<int> marks) {
    for (int m : marks) Include(m);
  }

  constexpr bool Contains(int mark) const { return mark >= 0 && mark < 16 && (bits_ >> mark & 1) != 0; }
  constexpr void Include(int mark) {
    if (mark >= 0 && mark < 16) bits_ = static_cast<uint16_t>(bits_ | 1u << mark);
  }
  constexpr void Exclude(int mark) {
    if (mark >= 0 && mark < 16) bits_ = static_cast<uint16_t>(bits_ & ~(1u << mark));
  }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint16_t Bits() const { return bits_; }
  constexpr bool operator==(const TRowMarks&) const = default;

 private:
  uint16_t bits_ = 0;
};

// One row's attribute and scan state, unpacked.
struct TRowAttributeData {
  TRowAttribute RowAttribute = raCrlf;
  TRowAttribute PrevRowAttribute = raCrlf;
  int32_t BracketIndex = 0;
  int32_t ElementIndex = 0;
  int32_t WrappedByte = 0;
  int32_t Remain = 0;
  uint8_t PrevToken = 0;
  uint8_t StartToken = 0;
  std::string DataStr;

  bool operator==(const TRowAttributeData&) const = default;
};

class TRowAttributeStringList : public TqdStringList {
 public:
  CORVIDA_CLASS_NAME(TRowAttributeStringList)

  // The RowAttributes field of an Attributes word.
  static TRowAttribute RowAttributeOf(uint32_t attributes);
  // Sets how a row not yet in a list ends.
  static void SetRowAttributeOf(TqdStringItem& row, TRowAttribute value);
  TRowAttribute RowAttributes(int index) const;
  void SetRowAttributes(int index, TRowAttribute value);
  TRowAttribute PrevRowAttributes(int index) const;
  void SetPrevRowAttributes(int index, TRowAttribute value);
  // -2 (state not valid; a new row) to 13; -1 is the state at the text's start.
  int BracketIndexes(int index) const;
  void SetBracketIndexes(int index, int value);
  int ElementIndexes(int index) const;
  void SetElementIndexes(int index, int value);
  int WrappedBytes(int index) const;
  void SetWrappedBytes(int index, int value);
  int Remains(int index) const;
  void SetRemains(int index, int value);
  uint8_t PrevTokens(int index) const;
  void SetPrevTokens(int index, uint8_t value);
  uint8_t StartTokens(int index) const;
  void SetStartTokens(int index, uint8_t value);
  TRowMarks RowMarks(int index) const;
  void SetRowMarks(int index, TRowMarks value);
};

}  // namespace corvida
