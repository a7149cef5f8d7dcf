#pragma once
// The change contract of every settings object: TNotifyPersistent (one
// listener and an update bracket), TNotifyCollection (a collection that
// reports its updates), TMethodList (a list of method pointers) and
// TNotifyEventList (a persistent that broadcasts its change to any number of
// listeners).
#include <memory>

#include "platform/rtl/collection.h"
#include "platform/rtl/events.h"
#include "platform/rtl/list.h"
#include "platform/rtl/object.h"

namespace corvida {

// Descendants call Changed from a setter only when the value differs, and
// copy all fields of an Assign inside one BeginUpdate/EndUpdate, so that a
// whole assignment notifies once.
class TNotifyPersistent : public TPersistent {
 public:
  CORVIDA_CLASS_NAME(TNotifyPersistent)

  // Calls OnChange with this object as sender, unless inside a bracket.
  virtual void Changed();
  virtual void BeginUpdate();
  // Closes one bracket and calls Changed; calls must be balanced.
  virtual void EndUpdate();
  // A ready-made change event for chaining: an owner points a part's
  // OnChange here, so the part's change becomes the owner's.
  virtual void ChangedProc(TObject* sender);

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }
  int UpdateCount() const { return updateCount_; }

 private:
  TNotifyEvent onChange_;
  int updateCount_ = 0;
};

// A setter's store: value goes into field, and owner reports a change when
// it differs from the old one.
template <class T>
void StoreSetting(TNotifyPersistent& owner, T& field, T value) {
  if (field == value) return;
  field = value;
  owner.Changed();
}

class TNotifyCollection : public TCollection {
 public:
  CORVIDA_CLASS_NAME(TNotifyCollection)
  explicit TNotifyCollection(ItemFactory itemFactory, TPersistent* owner = nullptr)
      : TCollection(itemFactory), owner_(owner) {}

  // Items' sub-objects point their OnChange here.
  virtual void ChangedProc(TObject* sender);

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }
  TPersistent* GetOwner() const override { return owner_; }

 protected:
  void Update(TCollectionItem* item) override;
  void SetOwner(TPersistent* owner) { owner_ = owner; }

 private:
  TNotifyEvent onChange_;
  TPersistent* owner_;
};

// Each entry is a separately allocated copy of one method pointer, owned by
// the list.
class TMethodList : public TList {
 public:
  CORVIDA_CLASS_NAME(TMethodList)
  ~TMethodList() override;

  // Appends a copy; duplicates are allowed.
  virtual int AddMethod(const TMethod& method);
  // Removes the last entry equal to method, if any.
  virtual void RemoveMethod(const TMethod& method);
  void Clear() override;

  const TMethod& Methods(int index) const { return *static_cast<const TMethod*>(Items(index)); }
  bool Contains(const TMethod& method) const;
};

class TNotifyEventList : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TNotifyEventList)
  // owner is the sender every listener receives.
  explicit TNotifyEventList(TPersistent* owner);

  // Calls the listeners registered at this moment, first registered first,
  // with the owner as sender. A listener may add or remove listeners: one
  // removed during the walk is not called any more, one added waits for the
  // next change.
  void Changed() override;
  virtual int Add(TNotifyEvent event);
  virtual void Remove(TNotifyEvent event);

  int Count() const { return listeners_->Count(); }
  TPersistent* GetOwner() const override { return owner_; }

 private:
  std::unique_ptr<TMethodList> listeners_;
  TPersistent* owner_;
};

}  // namespace corvida
