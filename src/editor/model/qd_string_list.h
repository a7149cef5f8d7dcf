#pragma once
// TqdStringList: the string list that carries the editor's screen rows. Beside
// each string it keeps a second string, an integer and two attribute words,
// and it announces changes through OnChanging and OnChange, once per
// outermost update bracket.
//
// The items live in a gap buffer: inserts and deletes near the last edit
// (typing, appending, inserting at the front) move no other rows. Capacity
// still follows the list's growth rule.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/strings.h"

namespace corvida {

// One row: its text, a second string that is almost always empty, an
// integer and two attribute words, in 24 bytes. The text and the second
// string share one block of the row-text heap: the text, a NUL after it (so
// that scanners may stop there), and, when the second string is not empty,
// its length and bytes.
struct TqdStringItem {
  int32_t Data = 0;
  uint32_t Attributes = 0;
  uint32_t Attributes2 = 0;

  TqdStringItem() = default;
  explicit TqdStringItem(std::string_view s) { Store(s, {}); }
  TqdStringItem(const TqdStringItem& other);
  TqdStringItem& operator=(const TqdStringItem& other);
  TqdStringItem(TqdStringItem&& other) noexcept;
  TqdStringItem& operator=(TqdStringItem&& other) noexcept;
  ~TqdStringItem() { Release(); }

  // The text; a NUL follows its last byte.
  std::string_view Str() const { return {bytes_ != nullptr ? bytes_ : "", size_ & kSizeMask}; }
  void SetStr(std::string_view s) { Store(s, DataStr()); }
  std::string_view DataStr() const;
  void SetDataStr(std::string_view s) {
    if (!s.empty() || (size_ & kHasDataStr) != 0) Store(Str(), s);
  }

 private:
  static constexpr uint32_t kHasDataStr = 0x80000000u;
  static constexpr uint32_t kSizeMask = ~kHasDataStr;

  // Puts text and dataStr into a new block in place of the old one.
  void Store(std::string_view text, std::string_view dataStr);
  size_t BlockBytes() const;
  void Release();

  uint32_t size_ = 0;
  char* bytes_ = nullptr;
};

class TqdStringList : public TStrings {
 public:
  CORVIDA_CLASS_NAME(TqdStringList)
  TqdStringList() = default;
  // Clears both handlers first: no event fires while the list is torn down.
  ~TqdStringList() override;

  std::string Get(int index) const override;
  int GetCount() const override { return count_; }
  void Put(int index, const std::string& s) override;
  int Add(const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Exchange(int index1, int index2) override;
  void Clear() override;
  int GetCapacity() const override { return capacity_; }
  // Reallocates the item block to capacity items; less than Count is refused.
  void SetCapacity(int capacity) override;

  // The row's text without a copy; a NUL follows its last byte.
  std::string_view StringRef(int index) const { return At(index).Str(); }

  // Field accessors; they fire no events.
  int32_t Datas(int index) const { return At(index).Data; }
  void SetDatas(int index, int32_t value) { At(index).Data = value; }
  std::string_view DataStrings(int index) const { return At(index).DataStr(); }
  void SetDataStrings(int index, std::string_view value) { At(index).SetDataStr(value); }
  uint32_t Attributes(int index) const { return At(index).Attributes; }
  void SetAttributes(int index, uint32_t value);
  uint32_t Attributes2(int index) const { return At(index).Attributes2; }
  void SetAttributes2(int index, uint32_t value) { At(index).Attributes2 = value; }

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }
  TNotifyEvent OnChanging() const { return onChanging_; }
  void SetOnChanging(TNotifyEvent e) { onChanging_ = e; }

 protected:
  // Fire OnChange / OnChanging unless inside an update bracket.
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool updating) override;

  // Whole rows moved in and out without copying their strings: the rows of
  // items go in before index (0 <= index <= Count); ExtractItems takes count
  // rows from index out of the list. One OnChanging/OnChange pair each.
  void InsertItems(int index, std::vector<TqdStringItem>&& items);
  std::vector<TqdStringItem> ExtractItems(int index, int count);

  // Replaces the whole item at index.
  void PutItem(int index, TqdStringItem&& item);

  const TqdStringItem& At(int index) const;

  // Told of every change of the rows' texts and attributes, for descendants
  // that keep totals over their rows: after rows were inserted, before rows
  // are removed, and after one row's text or Attributes word was replaced
  // (with the length and word it had before).
  virtual void RowsInserted(int index, int count) {}
  virtual void RowsRemoving(int index, int count) {}
  virtual void RowChanged(int index, size_t oldLength, uint32_t oldAttributes) {}

 private:
  TqdStringItem& At(int index);
  [[noreturn]] static void IndexError();
  int GapLength() const { return capacity_ - count_; }
  TqdStringItem& Slot(int index) const {
    return slots_[index < gapStart_ ? index : index + GapLength()];
  }
  void MoveGapTo(int index);
  // Makes room for extra more items, growing by the list's rule.
  void Reserve(int extra);
  void Reallocate(int capacity);
  void ReleaseAll();

  // slots_[0, gapStart_) and slots_[gapStart_ + GapLength(), capacity_) hold
  // the items; the gap between them is raw storage.
  TqdStringItem* slots_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
  int gapStart_ = 0;
  int updateCount_ = 0;
  TNotifyEvent onChange_;
  TNotifyEvent onChanging_;
};

}  // namespace corvida
