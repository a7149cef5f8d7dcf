#include "editor/model/row_attribute_string_list.h"

namespace corvida {
namespace {

// A bit field of an attribute word.
struct Field {
  int shift;
  int width;
  uint32_t Mask() const { return ((1u << width) - 1u) << shift; }
  uint32_t Read(uint32_t word) const { return (word & Mask()) >> shift; }
  // The value is cut to the field's width, so a value out of range can
  // never spill into the neighbouring field.
  uint32_t Write(uint32_t word, uint32_t value) const {
    return (word & ~Mask()) | ((value << shift) & Mask());
  }
};

constexpr Field kRowAttribute{0, 2};
constexpr Field kPrevRowAttribute{2, 2};
constexpr Field kBracketIndex{4, 4};
constexpr Field kElementIndex{8, 8};
constexpr Field kWrappedByte{16, 8};
constexpr Field kRemain{24, 8};
constexpr Field kPrevToken{0, 8};
constexpr Field kStartToken{8, 8};
constexpr Field kRowMarks{16, 16};

// The bracket index is stored with this bias, so that a zeroed row reads -2.
constexpr int kBracketBias = 2;

}  // namespace

TRowAttribute TRowAttributeStringList::RowAttributeOf(uint32_t attributes) {
  return static_cast<TRowAttribute>(kRowAttribute.Read(attributes));
}

void TRowAttributeStringList::SetRowAttributeOf(TqdStringItem& row, TRowAttribute value) {
  row.Attributes = kRowAttribute.Write(row.Attributes, value);
}

TRowAttribute TRowAttributeStringList::RowAttributes(int index) const { return RowAttributeOf(Attributes(index)); }

void TRowAttributeStringList::SetRowAttributes(int index, TRowAttribute value) {
  SetAttributes(index, kRowAttribute.Write(Attributes(index), value));
}

TRowAttribute TRowAttributeStringList::PrevRowAttributes(int index) const {
  return static_cast<TRowAttribute>(kPrevRowAttribute.Read(Attributes(index)));
}

void TRowAttributeStringList::SetPrevRowAttributes(int index, TRowAttribute value) {
  SetAttributes(index, kPrevRowAttribute.Write(Attributes(index), value));
}

int TRowAttributeStringList::BracketIndexes(int index) const {
  return static_cast<int>(kBracketIndex.Read(Attributes(index))) - kBracketBias;
}

void TRowAttributeStringList::SetBracketIndexes(int index, int value) {
  SetAttributes(index, kBracketIndex.Write(Attributes(index), static_cast<uint32_t>(value + kBracketBias)));
}

int TRowAttributeStringList::ElementIndexes(int index) const {
  return static_cast<int>(kElementIndex.Read(Attributes(index)));
}

void TRowAttributeStringList::SetElementIndexes(int index, int value) {
  SetAttributes(index, kElementIndex.Write(Attributes(index), static_cast<uint32_t>(value)));
}

int TRowAttributeStringList::WrappedBytes(int index) const {
  return static_cast<int>(kWrappedByte.Read(Attributes(index)));
}

void TRowAttributeStringList::SetWrappedBytes(int index, int value) {
  SetAttributes(index, kWrappedByte.Write(Attributes(index), static_cast<uint32_t>(value)));
}

int TRowAttributeStringList::Remains(int index) const {
  return static_cast<int>(kRemain.Read(Attributes(index)));
}

void TRowAttributeStringList::SetRemains(int index, int value) {
  SetAttributes(index, kRemain.Write(Attributes(index), static_cast<uint32_t>(value)));
}

uint8_t TRowAttributeStringList::PrevTokens(int index) const {
  return static_cast<uint8_t>(kPrevToken.Read(Attributes2(index)));
}

void TRowAttributeStringList::SetPrevTokens(int index, uint8_t value) {
  SetAttributes2(index, kPrevToken.Write(Attributes2(index), value));
}

uint8_t TRowAttributeStringList::StartTokens(int index) const {
  return static_cast<uint8_t>(kStartToken.Read(Attributes2(index)));
}

void TRowAttributeStringList::SetStartTokens(int index, uint8_t value) {
  SetAttributes2(index, kStartToken.Write(Attributes2(index), value));
}

TRowMarks TRowAttributeStringList::RowMarks(int index) const {
  return TRowMarks(static_cast<uint16_t>(kRowMarks.Read(Attributes2(index))));
}

void TRowAttributeStringList::SetRowMarks(int index, TRowMarks value) {
  SetAttributes2(index, kRowMarks.Write(Attributes2(index), value.Bits()));
}

}  // namespace corvida
