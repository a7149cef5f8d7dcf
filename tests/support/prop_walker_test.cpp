#include "support/prop_walker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/collection.h"

namespace corvida {
namespace {

class TColourItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  int Value() const { return value_; }
  void SetValue(int v) { value_ = v; }
  const TClassInfo* ClassInfo() const override {
    static const TClassInfo info{"TColourItem", nullptr, {IntProp<TColourItem, &TColourItem::Value, &TColourItem::SetValue>("Value")}};
    return &info;
  }

 private:
  int value_ = 0;
};

class TInner : public TPersistent {
 public:
  bool Flag() const { return flag_; }
  void SetFlag(bool f) { flag_ = f; }
  TInner* Back() const { return back_; }
  void SetBack(TInner* b) { back_ = b; }
  const TClassInfo* ClassInfo() const override {
    static const TClassInfo info{"TInner", nullptr,
                                 {BoolProp<TInner, &TInner::Flag, &TInner::SetFlag>("Flag"),
                                  ObjectProp<TInner, &TInner::Back>("Back", nullptr)}};
    return &info;
  }

 private:
  bool flag_ = false;
  TInner* back_ = nullptr;
};

class TRoot : public TPersistent {
 public:
  TRoot() : items_([](TCollection* c) -> TCollectionItem* { return new TColourItem(c); }) {}
  std::string Name() const { return "root"; }
  void SetName(const std::string&) {}
  int Width() const { return 3; }
  void SetWidth(int) {}
  TInner* Inner() { return &inner_; }
  TCollection* Items() { return &items_; }
  TInner* Missing() { return nullptr; }
  const TClassInfo* ClassInfo() const override {
    static const TClassInfo info{"TRoot", nullptr,
                                 {IntProp<TRoot, &TRoot::Width, &TRoot::SetWidth>("width"),
                                  ObjectProp<TRoot, &TRoot::Items>("Items", nullptr),
                                  StrProp<TRoot, &TRoot::Name, &TRoot::SetName>("Name"),
                                  ObjectProp<TRoot, &TRoot::Missing>("Missing", nullptr),
                                  ObjectProp<TRoot, &TRoot::Inner>("Inner", nullptr)}};
    return &info;
  }

  TInner inner_;
  TCollection items_;
};

class Recorder {
 public:
  std::vector<std::string> visits;
  void Visit(TPersistent* instance, const TPropInfo* prop, const TClassInfo*) {
    visits.push_back(std::string(instance->ClassInfo()->name) + "." + prop->name);
  }
};

TEST(WalkProperties, VisitsByNameThenDescendsIntoObjectsAndCollectionItems) {
  TRoot root;
  root.items_.Add();
  root.items_.Add();
  Recorder r;
  WalkProperties(&root, kAllPropKinds, TPropWalkEvent::Of<&Recorder::Visit>(&r));
  EXPECT_EQ(r.visits, (std::vector<std::string>{"TRoot.Inner", "TInner.Back", "TInner.Flag", "TRoot.Items",
                                                "TColourItem.Value", "TColourItem.Value", "TRoot.Missing",
                                                "TRoot.Name", "TRoot.width"}));
}

TEST(WalkProperties, OnlyTheChosenKindsAreVisited) {
  TRoot root;
  Recorder r;
  WalkProperties(&root, PropKindBit(pkInteger) | PropKindBit(pkString), TPropWalkEvent::Of<&Recorder::Visit>(&r));
  EXPECT_EQ(r.visits, (std::vector<std::string>{"TRoot.Name", "TRoot.width"}));
}

TEST(WalkProperties, ReferencesLeadingBackAreNotEnteredAgain) {
  TInner a;
  TInner b;
  a.SetBack(&b);
  b.SetBack(&a);
  Recorder r;
  WalkProperties(&a, kAllPropKinds, TPropWalkEvent::Of<&Recorder::Visit>(&r));
  EXPECT_EQ(r.visits, (std::vector<std::string>{"TInner.Back", "TInner.Back", "TInner.Flag", "TInner.Flag"}));
}

}  // namespace
}  // namespace corvida
