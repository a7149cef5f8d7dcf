#include "platform/rtl/collection.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/exceptions.h"

namespace corvida {
namespace {

class TValueItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  int Value() const { return value_; }
  void SetValue(int v) {
    value_ = v;
    Changed(false);
  }
  void Assign(const TPersistent* source) override {
    if (auto* item = dynamic_cast<const TValueItem*>(source)) {
      SetValue(item->value_);
      return;
    }
    TCollectionItem::Assign(source);
  }

 private:
  int value_ = 0;
};

// Records every update notification: the item, or null for the whole list.
class TRecordingCollection : public TCollection {
 public:
  TRecordingCollection() : TCollection([](TCollection* c) -> TCollectionItem* { return new TValueItem(c); }) {}
  TValueItem* Item(int i) const { return static_cast<TValueItem*>(Items(i)); }
  std::vector<TCollectionItem*> updates;

 protected:
  void Update(TCollectionItem* item) override { updates.push_back(item); }
};

TEST(Collection, AddDeleteAndChangeEachNotify) {
  TRecordingCollection items;
  TCollectionItem* first = items.Add();
  items.Add();
  EXPECT_EQ(items.updates, (std::vector<TCollectionItem*>{nullptr, nullptr}));
  EXPECT_EQ(first->Collection(), &items);
  EXPECT_EQ(first->Index(), 0);
  EXPECT_EQ(first->GetOwner(), &items);

  items.updates.clear();
  items.Item(1)->SetValue(5);
  EXPECT_EQ(items.updates, (std::vector<TCollectionItem*>{items.Item(1)})) << "a change names its item";

  items.updates.clear();
  items.Delete(0);
  EXPECT_EQ(items.updates, (std::vector<TCollectionItem*>{nullptr}));
  EXPECT_EQ(items.Count(), 1);
  EXPECT_EQ(items.Item(0)->Value(), 5);
  EXPECT_THROW(items.Items(1), EListError);
}

TEST(Collection, ABracketGivesOneNotificationAtItsEnd) {
  TRecordingCollection items;
  items.BeginUpdate();
  items.BeginUpdate();
  items.Add();
  static_cast<TValueItem*>(items.Add())->SetValue(2);
  items.Item(0)->SetValue(1);
  items.Delete(0);
  items.EndUpdate();
  EXPECT_TRUE(items.updates.empty());
  items.EndUpdate();
  EXPECT_EQ(items.updates, (std::vector<TCollectionItem*>{nullptr}));

  items.updates.clear();
  items.Add();
  items.Clear();
  EXPECT_EQ(items.updates, (std::vector<TCollectionItem*>{nullptr, nullptr})) << "Clear is one change";
  items.updates.clear();
  items.Clear();
  EXPECT_TRUE(items.updates.empty()) << "clearing nothing is no change";
}

TEST(Collection, AssignCopiesTheItemsOnce) {
  TRecordingCollection source;
  source.Add();
  source.Add();
  source.Item(0)->SetValue(7);
  source.Item(1)->SetValue(8);
  TRecordingCollection target;
  target.Add();
  target.updates.clear();
  target.Assign(&source);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target.Item(0)->Value(), 7);
  EXPECT_EQ(target.Item(1)->Value(), 8);
  EXPECT_EQ(target.updates.size(), 1u);

  target.Assign(&target);
  EXPECT_EQ(target.Count(), 2) << "assigning a collection to itself keeps it";
  EXPECT_EQ(target.Item(1)->Value(), 8);
}

TEST(Collection, ItemsMoveAndKeepTheirIds) {
  TRecordingCollection items;
  TCollectionItem* a = items.Add();
  TCollectionItem* b = items.Add();
  TCollectionItem* c = items.Add();
  c->SetIndex(0);
  EXPECT_EQ(items.Items(0), c);
  EXPECT_EQ(items.Items(1), a);
  EXPECT_EQ(items.FindItemID(b->ID()), b);
  items.Delete(1);
  EXPECT_EQ(items.FindItemID(a->ID() + 100), nullptr);
  TRecordingCollection other;
  b->SetCollection(&other);
  EXPECT_EQ(items.Count(), 1);
  EXPECT_EQ(other.Items(0), b);
}

}  // namespace
}  // namespace corvida
