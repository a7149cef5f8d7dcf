#include "support/notify_classes.h"

#include <vector>

namespace corvida {

void TNotifyPersistent::Changed() {
  if (updateCount_ == 0 && onChange_) onChange_(this);
}

void TNotifyPersistent::BeginUpdate() { ++updateCount_; }

void TNotifyPersistent::EndUpdate() {
  --updateCount_;
  Changed();
}

void TNotifyPersistent::ChangedProc(TObject* sender) {
  if (sender != this) Changed();
}

void TNotifyCollection::ChangedProc(TObject* sender) {
  if (sender != this) Changed();
}

void TNotifyCollection::Update(TCollectionItem* item) {
  if (onChange_) onChange_(this);
}

TMethodList::~TMethodList() { Clear(); }

int TMethodList::AddMethod(const TMethod& method) { return Add(new TMethod(method)); }

void TMethodList::RemoveMethod(const TMethod& method) {
  for (int i = Count() - 1; i >= 0; --i) {
    if (Methods(i) == method) {
      delete static_cast<TMethod*>(Items(i));
      Delete(i);
      return;
    }
  }
}

void TMethodList::Clear() {
  for (int i = 0; i < Count(); ++i) delete static_cast<TMethod*>(Items(i));
  TList::Clear();
}

bool TMethodList::Contains(const TMethod& method) const {
  for (int i = 0; i < Count(); ++i)
    if (Methods(i) == method) return true;
  return false;
}

TNotifyEventList::TNotifyEventList(TPersistent* owner)
    : listeners_(std::make_unique<TMethodList>()), owner_(owner) {}

void TNotifyEventList::Changed() {
  if (UpdateCount() != 0) return;
  // Walk a copy: a listener may change the list while it runs. A listener
  // removed meanwhile may already be destroyed, so each is looked up again
  // before it is called.
  std::vector<TMethod> walk;
  walk.reserve(static_cast<size_t>(listeners_->Count()));
  for (int i = 0; i < listeners_->Count(); ++i) walk.push_back(listeners_->Methods(i));
  for (const TMethod& method : walk) {
    const TNotifyEvent listener(method);
    if (listeners_->Contains(method)) listener(owner_);
  }
}

int TNotifyEventList::Add(TNotifyEvent event) { return listeners_->AddMethod(event.Method()); }

void TNotifyEventList::Remove(TNotifyEvent event) { listeners_->RemoveMethod(event.Method()); }

}  // namespace corvida
