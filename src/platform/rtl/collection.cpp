#include "platform/rtl/collection.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/scope_guard.h"

namespace corvida {

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
  if (collection_ != nullptr) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection_ == collection) return;
  if (collection_ != nullptr) collection_->RemoveItem(this);
  if (collection != nullptr) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (collection_ == nullptr) return -1;
  const auto& items = collection_->items_;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  if (collection_ == nullptr || index == Index()) return;
  collection_->MoveItem(this, index);
  Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ != nullptr && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory itemFactory) : itemFactory_(itemFactory) {}

TCollection::~TCollection() {
  ++updateCount_;  // no notifications while torn down
  while (!items_.empty()) delete items_.back();
}

TCollectionItem* TCollection::Add() { return itemFactory_(this); }

TCollectionItem* TCollection::Insert(int index) {
  TUpdateBracket update(*this);
  TCollectionItem* item = Add();
  MoveItem(item, index);
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  if (items_.empty()) return;
  TUpdateBracket update(*this);
  while (!items_.empty()) delete items_.back();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(msg::kListIndexError);
  return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == id) return item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  --updateCount_;
  Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
  if (source == this) return;  // clearing first would lose the items
  if (auto* other = dynamic_cast<const TCollection*>(source)) {
    TUpdateBracket update(*this);
    Clear();
    for (TCollectionItem* item : other->items_) Add()->Assign(item);
    return;
  }
  TPersistent::Assign(source);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->collection_ = nullptr;
  Changed();
}

void TCollection::MoveItem(TCollectionItem* item, int index) {
  index = std::clamp(index, 0, Count() - 1);
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  items_.insert(items_.begin() + index, item);
}

}  // namespace corvida
