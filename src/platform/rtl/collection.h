#pragma once
// TCollection and TCollectionItem: an owned list of items of one class, with
// an update bracket and an update notification on add, delete, change and at
// the end of the bracket.
#include <vector>

#include "platform/rtl/object.h"

namespace corvida {

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  CORVIDA_CLASS_NAME(TCollectionItem)
  // Joins collection (when given) as its last item.
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  void SetCollection(TCollection* collection);
  int Index() const;
  void SetIndex(int index);
  int ID() const { return id_; }
  TPersistent* GetOwner() const override;

 protected:
  // Reports a change of this item (or of all items) to the collection.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
 public:
  CORVIDA_CLASS_NAME(TCollection)
  using ItemFactory = TCollectionItem* (*)(TCollection* collection);

  explicit TCollection(ItemFactory itemFactory);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int index) const;
  TCollectionItem* FindItemID(int id) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  void Assign(const TPersistent* source) override;

 protected:
  // Called with the changed item, or null for a change of the whole list.
  virtual void Update(TCollectionItem* item) {}
  // Reports a change of the whole list unless inside the update bracket.
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(TCollectionItem* item, int index);

  ItemFactory itemFactory_;
  std::vector<TCollectionItem*> items_;
  int updateCount_ = 0;
  int nextId_ = 0;
};

}  // namespace corvida
