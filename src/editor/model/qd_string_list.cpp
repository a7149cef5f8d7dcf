#include "editor/model/qd_string_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>

#include "editor/model/row_text_heap.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/huge_pages.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

// The growth step for a full list of the given capacity.
int GrowthStep(int capacity) {
  if (capacity > 64) return capacity / 4;
  if (capacity > 8) return 16;
  return 4;
}

}  // namespace

TqdStringItem::TqdStringItem(const TqdStringItem& other)
    : Data(other.Data), Attributes(other.Attributes), Attributes2(other.Attributes2) {
  Store(other.Str(), other.DataStr());
}

TqdStringItem& TqdStringItem::operator=(const TqdStringItem& other) {
  if (this != &other) *this = TqdStringItem(other);
  return *this;
}

TqdStringItem::TqdStringItem(TqdStringItem&& other) noexcept
    : Data(other.Data), Attributes(other.Attributes), Attributes2(other.Attributes2), size_(other.size_),
      bytes_(other.bytes_) {
  other.size_ = 0;
  other.bytes_ = nullptr;
}

TqdStringItem& TqdStringItem::operator=(TqdStringItem&& other) noexcept {
  if (this != &other) {
    Release();
    Data = other.Data;
    Attributes = other.Attributes;
    Attributes2 = other.Attributes2;
    size_ = std::exchange(other.size_, 0);
    bytes_ = std::exchange(other.bytes_, nullptr);
  }
  return *this;
}

std::string_view TqdStringItem::DataStr() const {
  if ((size_ & kHasDataStr) == 0) return {};
  const char* at = bytes_ + Str().size() + 1;
  uint32_t length;
  std::memcpy(&length, at, sizeof length);
  return {at + sizeof length, length};
}

size_t TqdStringItem::BlockBytes() const {
  const size_t text = Str().size() + 1;
  return (size_ & kHasDataStr) != 0 ? text + sizeof(uint32_t) + DataStr().size() : text;
}

void TqdStringItem::Store(std::string_view text, std::string_view dataStr) {
  if (text.size() > kSizeMask || dataStr.size() > kSizeMask) throw EStringListError(msg::kListCapacityError);
  char* block = nullptr;
  if (!text.empty() || !dataStr.empty()) {
    const uint32_t length = static_cast<uint32_t>(dataStr.size());
    const size_t bytes = text.size() + 1 + (dataStr.empty() ? 0 : sizeof length + dataStr.size());
    block = AllocateRowText(bytes);
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    if (!dataStr.empty()) {
      std::memcpy(block + text.size() + 1, &length, sizeof length);
      std::memcpy(block + text.size() + 1 + sizeof length, dataStr.data(), dataStr.size());
    }
  }
  Release();
  bytes_ = block;
  size_ = static_cast<uint32_t>(text.size()) | (dataStr.empty() ? 0 : kHasDataStr);
}

void TqdStringItem::Release() {
  if (bytes_ != nullptr) FreeRowText(bytes_, BlockBytes());
  bytes_ = nullptr;
  size_ = 0;
}

TqdStringList::~TqdStringList() {
  onChange_ = {};
  onChanging_ = {};
  ReleaseAll();
}

void TqdStringList::IndexError() { throw EStringListError(msg::kListIndexError); }

const TqdStringItem& TqdStringList::At(int index) const {
  if (index < 0 || index >= count_) IndexError();
  return Slot(index);
}

TqdStringItem& TqdStringList::At(int index) {
  if (index < 0 || index >= count_) IndexError();
  return Slot(index);
}

std::string TqdStringList::Get(int index) const { return std::string(At(index).Str()); }

void TqdStringList::Put(int index, const std::string& s) {
  TqdStringItem& item = At(index);
  Changing();
  const size_t oldLength = item.Str().size();
  item.SetStr(s);
  RowChanged(index, oldLength, item.Attributes);
  Changed();
}

void TqdStringList::SetAttributes(int index, uint32_t value) {
  TqdStringItem& item = At(index);
  const uint32_t old = item.Attributes;
  if (old == value) return;
  item.Attributes = value;
  RowChanged(index, item.Str().size(), old);
}

void TqdStringList::PutItem(int index, TqdStringItem&& item) {
  TqdStringItem& slot = At(index);
  const size_t oldLength = slot.Str().size();
  const uint32_t oldAttributes = slot.Attributes;
  slot = std::move(item);
  RowChanged(index, oldLength, oldAttributes);
}

int TqdStringList::Add(const std::string& s) {
  const int index = count_;
  Insert(index, s);
  return index;
}

void TqdStringList::Insert(int index, const std::string& s) {
  if (index < 0 || index > count_) IndexError();
  Changing();
  Reserve(1);
  MoveGapTo(index);
  std::construct_at(slots_ + gapStart_, s);
  ++gapStart_;
  ++count_;
  RowsInserted(index, 1);
  Changed();
}

void TqdStringList::Delete(int index) {
  if (index < 0 || index >= count_) IndexError();
  Changing();
  RowsRemoving(index, 1);
  MoveGapTo(index);
  std::destroy_at(slots_ + gapStart_ + GapLength());
  --count_;
  Changed();
}

void TqdStringList::Exchange(int index1, int index2) {
  TqdStringItem& a = At(index1);
  TqdStringItem& b = At(index2);
  Changing();
  const size_t lengthA = a.Str().size();
  const size_t lengthB = b.Str().size();
  const uint32_t attributesA = a.Attributes;
  const uint32_t attributesB = b.Attributes;
  std::swap(a, b);
  RowChanged(index1, lengthA, attributesA);
  RowChanged(index2, lengthB, attributesB);
  Changed();
}

void TqdStringList::Clear() {
  if (count_ == 0) return;
  Changing();
  RowsRemoving(0, count_);
  ReleaseAll();
  Changed();
}

void TqdStringList::SetCapacity(int capacity) {
  if (capacity < count_) throw EStringListError(msg::kListCapacityError);
  if (capacity != capacity_) Reallocate(capacity);
}

void TqdStringList::InsertItems(int index, std::vector<TqdStringItem>&& items) {
  if (index < 0 || index > count_) IndexError();
  if (items.empty()) return;
  Changing();
  Reserve(static_cast<int>(items.size()));
  MoveGapTo(index);
  std::uninitialized_move(items.begin(), items.end(), slots_ + gapStart_);
  gapStart_ += static_cast<int>(items.size());
  count_ += static_cast<int>(items.size());
  RowsInserted(index, static_cast<int>(items.size()));
  items.clear();
  Changed();
}

std::vector<TqdStringItem> TqdStringList::ExtractItems(int index, int count) {
  if (index < 0 || count < 0 || index > count_ - count) IndexError();
  std::vector<TqdStringItem> items;
  if (count == 0) return items;
  items.reserve(static_cast<size_t>(count));
  Changing();
  RowsRemoving(index, count);
  // The rows leave from whichever side of the gap is nearer to it.
  TqdStringItem* first;
  if (std::abs(gapStart_ - (index + count)) < std::abs(gapStart_ - index)) {
    MoveGapTo(index + count);
    gapStart_ = index;
    first = slots_ + index;
  } else {
    MoveGapTo(index);
    first = slots_ + gapStart_ + GapLength();
  }
  std::move(first, first + count, std::back_inserter(items));
  std::destroy(first, first + count);
  count_ -= count;
  Changed();
  return items;
}

void TqdStringList::Changed() {
  if (updateCount_ == 0 && onChange_) onChange_(this);
}

void TqdStringList::Changing() {
  if (updateCount_ == 0 && onChanging_) onChanging_(this);
}

void TqdStringList::SetUpdateState(bool updating) {
  if (updating) {
    Changing();
    ++updateCount_;
  } else {
    --updateCount_;
    Changed();
  }
}

void TqdStringList::MoveGapTo(int index) {
  const int gap = GapLength();
  if (gap > 0) {
    // Each move goes into a raw slot of the gap and leaves a raw slot behind.
    for (int i = gapStart_ - 1; i >= index; --i) {
      std::construct_at(slots_ + i + gap, std::move(slots_[i]));
      std::destroy_at(slots_ + i);
    }
    for (int i = gapStart_; i < index; ++i) {
      std::construct_at(slots_ + i, std::move(slots_[i + gap]));
      std::destroy_at(slots_ + i + gap);
    }
  }
  gapStart_ = index;
}

void TqdStringList::Reserve(int extra) {
  if (count_ + extra <= capacity_) return;
  int capacity = capacity_;
  while (capacity < count_ + extra) capacity += GrowthStep(capacity);
  Reallocate(capacity);
}

void TqdStringList::Reallocate(int capacity) {
  TqdStringItem* slots = std::allocator<TqdStringItem>().allocate(static_cast<size_t>(capacity));
  AdviseHugePages(slots, static_cast<size_t>(capacity) * sizeof(TqdStringItem));
  const int tail = count_ - gapStart_;
  TqdStringItem* oldTail = slots_ + gapStart_ + GapLength();
  std::uninitialized_move(slots_, slots_ + gapStart_, slots);
  std::uninitialized_move(oldTail, oldTail + tail, slots + capacity - tail);
  std::destroy(slots_, slots_ + gapStart_);
  std::destroy(oldTail, oldTail + tail);
  if (slots_ != nullptr) std::allocator<TqdStringItem>().deallocate(slots_, static_cast<size_t>(capacity_));
  slots_ = slots;
  capacity_ = capacity;
}

void TqdStringList::ReleaseAll() {
  if (slots_ != nullptr) {
    TqdStringItem* tail = slots_ + gapStart_ + GapLength();
    std::destroy(slots_, slots_ + gapStart_);
    std::destroy(tail, tail + (count_ - gapStart_));
    std::allocator<TqdStringItem>().deallocate(slots_, static_cast<size_t>(capacity_));
  }
  slots_ = nullptr;
  count_ = 0;
  capacity_ = 0;
  gapStart_ = 0;
}

}  // namespace corvida
