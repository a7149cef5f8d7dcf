#include "support/notify_classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

// A settings object that follows the change contract.
class TSample : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TSample)
  int Width() const { return width_; }
  void SetWidth(int v) {
    if (v == width_) return;
    width_ = v;
    Changed();
  }
  int Height() const { return height_; }
  void SetHeight(int v) {
    if (v == height_) return;
    height_ = v;
    Changed();
  }
  void Assign(const TPersistent* source) override {
    if (auto* s = dynamic_cast<const TSample*>(source)) {
      BeginUpdate();
      SetWidth(s->width_);
      SetHeight(s->height_);
      EndUpdate();
      return;
    }
    TNotifyPersistent::Assign(source);
  }

 private:
  int width_ = 0;
  int height_ = 0;
};

// Records who was called, with which sender.
struct Listener {
  std::vector<std::pair<std::string, TObject*>>* calls;
  std::string name;
  void Hit(TObject* sender) { calls->emplace_back(name, sender); }
  TNotifyEvent Event() { return TNotifyEvent::Of<&Listener::Hit>(this); }
};

struct Counter {
  int n = 0;
  TObject* sender = nullptr;
  void Hit(TObject* s) {
    ++n;
    sender = s;
  }
  TNotifyEvent Event() { return TNotifyEvent::Of<&Counter::Hit>(this); }
};

TEST(NotifyPersistent, ChangesNotifyOncePerOutermostBracket) {
  TSample sample;
  Counter counter;
  sample.SetOnChange(counter.Event());

  sample.SetWidth(3);
  EXPECT_EQ(counter.n, 1);
  EXPECT_EQ(counter.sender, &sample);
  sample.SetWidth(3);
  EXPECT_EQ(counter.n, 1) << "an unchanged value does not notify";

  sample.BeginUpdate();
  sample.SetWidth(4);
  sample.SetHeight(5);
  sample.SetWidth(6);
  EXPECT_EQ(counter.n, 1);
  sample.EndUpdate();
  EXPECT_EQ(counter.n, 2);

  sample.BeginUpdate();
  sample.BeginUpdate();
  sample.SetWidth(7);
  sample.EndUpdate();
  EXPECT_EQ(counter.n, 2);
  sample.EndUpdate();
  EXPECT_EQ(counter.n, 3);
}

TEST(NotifyPersistent, AssignNotifiesOnceAndRefusesOtherClasses) {
  TSample a;
  TSample b;
  b.SetWidth(10);
  b.SetHeight(20);
  Counter counter;
  a.SetOnChange(counter.Event());
  a.Assign(&b);
  EXPECT_EQ(a.Width(), 10);
  EXPECT_EQ(a.Height(), 20);
  EXPECT_EQ(counter.n, 1);

  TNotifyEventList other(nullptr);
  try {
    a.Assign(&other);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), Format(msg::kAssignError, {"TNotifyEventList", "TSample"}));
  }
  try {
    a.Assign(nullptr);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), Format(msg::kAssignError, {"nil", "TSample"}));
  }
}

TEST(NotifyPersistent, ChangedProcChainsPartsButIgnoresItself) {
  TSample owner;
  TSample part;
  Counter counter;
  owner.SetOnChange(counter.Event());
  part.SetOnChange(TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(&owner));
  part.SetWidth(1);
  EXPECT_EQ(counter.n, 1);
  EXPECT_EQ(counter.sender, &owner);
  owner.ChangedProc(&owner);
  EXPECT_EQ(counter.n, 1);
}

class TSampleItem : public TCollectionItem {
 public:
  using TCollectionItem::Changed;
  using TCollectionItem::TCollectionItem;
};

TEST(NotifyCollection, ReportsAddsDeletesChangesAndTheBracketEnd) {
  TSample owner;
  TNotifyCollection items([](TCollection* c) -> TCollectionItem* { return new TSampleItem(c); }, &owner);
  EXPECT_EQ(items.GetOwner(), &owner);
  Counter counter;
  items.SetOnChange(counter.Event());

  items.Add();
  EXPECT_EQ(counter.n, 1);
  EXPECT_EQ(counter.sender, &items);
  static_cast<TSampleItem*>(items.Items(0))->Changed(false);
  EXPECT_EQ(counter.n, 2);
  items.Delete(0);
  EXPECT_EQ(counter.n, 3);

  items.BeginUpdate();
  items.Add();
  items.Add();
  items.ChangedProc(nullptr);
  EXPECT_EQ(counter.n, 3);
  items.EndUpdate();
  EXPECT_EQ(counter.n, 4);

  items.ChangedProc(&owner);
  EXPECT_EQ(counter.n, 5);
  items.ChangedProc(&items);
  EXPECT_EQ(counter.n, 5);
}

TEST(MethodList, RemovesTheLatestEqualEntry) {
  Counter a;
  Counter b;
  TMethodList list;
  const TMethod ma = a.Event().Method();
  const TMethod mb = b.Event().Method();
  EXPECT_EQ(list.AddMethod(ma), 0);
  EXPECT_EQ(list.AddMethod(mb), 1);
  EXPECT_EQ(list.AddMethod(ma), 2);
  list.RemoveMethod(ma);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Methods(0), ma);
  EXPECT_EQ(list.Methods(1), mb);
  list.RemoveMethod(TMethod{});
  EXPECT_EQ(list.Count(), 2);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(NotifyEventList, BroadcastsInRegistrationOrderWithTheOwnerAsSender) {
  std::vector<std::pair<std::string, TObject*>> calls;
  Listener a{&calls, "A"};
  Listener b{&calls, "B"};
  TSample owner;
  TNotifyEventList list(&owner);
  list.Add(a.Event());
  list.Add(b.Event());
  list.Changed();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], std::make_pair(std::string("A"), static_cast<TObject*>(&owner)));
  EXPECT_EQ(calls[1], std::make_pair(std::string("B"), static_cast<TObject*>(&owner)));

  calls.clear();
  TSample part;
  part.SetOnChange(TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(&list));
  list.BeginUpdate();
  part.SetWidth(1);
  part.SetHeight(1);
  EXPECT_TRUE(calls.empty());
  list.EndUpdate();
  EXPECT_EQ(calls.size(), 2u);

  calls.clear();
  list.Remove(a.Event());
  part.SetWidth(2);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, "B");
}

// A listener that, when called, removes or adds other listeners.
struct Meddler {
  TNotifyEventList* list;
  std::vector<TNotifyEvent> toRemove;
  std::vector<TNotifyEvent> toAdd;
  int n = 0;
  void Hit(TObject*) {
    ++n;
    for (TNotifyEvent e : toRemove) list->Remove(e);
    for (TNotifyEvent e : toAdd) list->Add(e);
    toRemove.clear();
    toAdd.clear();
  }
};

TEST(NotifyEventList, ListenersMayChangeTheListWhileItIsWalked) {
  TNotifyEventList list(nullptr);
  Meddler meddler{&list, {}, {}};
  Counter removed;
  Counter added;
  Counter last;
  const TNotifyEvent meddlerEvent = TNotifyEvent::Of<&Meddler::Hit>(&meddler);
  list.Add(meddlerEvent);
  list.Add(removed.Event());
  list.Add(last.Event());
  meddler.toRemove = {meddlerEvent, removed.Event()};
  meddler.toAdd = {added.Event()};
  list.Changed();
  EXPECT_EQ(meddler.n, 1);
  EXPECT_EQ(removed.n, 0) << "a listener removed during the walk is not called";
  EXPECT_EQ(added.n, 0) << "a listener added during the walk waits for the next change";
  EXPECT_EQ(last.n, 1);

  list.Changed();
  EXPECT_EQ(meddler.n, 1);
  EXPECT_EQ(added.n, 1);
  EXPECT_EQ(last.n, 2);
  EXPECT_EQ(list.Count(), 2);
}

}  // namespace
}  // namespace corvida
