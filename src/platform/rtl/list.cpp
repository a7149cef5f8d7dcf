#include "platform/rtl/list.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"

namespace corvida {

void TList::Check(int index) const {
  if (index < 0 || index >= Count()) throw EListError(msg::kListIndexError);
}

void* TList::Items(int index) const {
  Check(index);
  return items_[index];
}

void TList::SetItems(int index, void* item) {
  Check(index);
  items_[index] = item;
}

int TList::Add(void* item) {
  items_.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) throw EListError(msg::kListIndexError);
  items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
  Check(index);
  items_.erase(items_.begin() + index);
}

int TList::IndexOf(const void* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TList::Remove(const void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void TList::Exchange(int a, int b) {
  Check(a);
  Check(b);
  std::swap(items_[a], items_[b]);
}

void TList::Clear() { items_.clear(); }

}  // namespace corvida
