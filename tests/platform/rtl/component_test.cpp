#include "platform/rtl/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

// Keeps a reference to another component and logs notifications.
class TWatcher : public TComponent {
 public:
  using TComponent::TComponent;
  ~TWatcher() override { DestroyComponents(); }
  TComponent* target = nullptr;
  std::vector<std::string> log;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    log.push_back((operation == opInsert ? "+" : "-") + component->Name());
    if (operation == opRemove && component == target) target = nullptr;
  }
};

// Sets a flag when destroyed.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, bool* destroyed) : TComponent(owner), destroyed_(destroyed) {}
  ~TProbe() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

TEST(Component, AnOwnerDestroysWhatItOwns) {
  bool childGone = false;
  bool grandchildGone = false;
  {
    TComponent owner(nullptr);
    auto* child = new TProbe(&owner, &childGone);
    new TProbe(child, &grandchildGone);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(child->Owner(), &owner);
    EXPECT_EQ(child->ComponentIndex(), 0);
  }
  EXPECT_TRUE(childGone);
  EXPECT_TRUE(grandchildGone);

  TComponent owner(nullptr);
  auto* child = new TComponent(&owner);
  delete child;
  EXPECT_EQ(owner.ComponentCount(), 0) << "a freed component leaves its owner";
}

TEST(Component, OwnersHearOfInsertAndRemove) {
  TWatcher owner(nullptr);
  auto* child = new TComponent(nullptr);
  child->SetName("Child");
  owner.InsertComponent(child);
  owner.RemoveComponent(child);
  EXPECT_EQ(owner.log, (std::vector<std::string>{"+Child", "-Child"}));
  EXPECT_EQ(child->Owner(), nullptr);
  delete child;
}

TEST(Component, FreeNotificationClearsReferences) {
  TWatcher watcher(nullptr);
  auto* target = new TComponent(nullptr);
  target->SetName("Target");
  watcher.target = target;
  watcher.FreeNotification(target);
  delete target;
  EXPECT_EQ(watcher.target, nullptr);
  EXPECT_EQ(watcher.log, (std::vector<std::string>{"-Target"}));

  // The other way round: the watcher goes first and the target lives on.
  auto* early = new TWatcher(nullptr);
  TComponent survivor(nullptr);
  early->FreeNotification(&survivor);
  delete early;
  TWatcher late(nullptr);
  late.FreeNotification(&survivor);
  late.RemoveFreeNotification(&survivor);
}

TEST(Component, NamesMustBeIdentifiersUniqueInTheirOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Editor1");
  EXPECT_EQ(owner.FindComponent("EDITOR1"), a);
  for (const char* bad : {"1abc", "a b", "a-b", "\x83\x65"}) {
    try {
      b->SetName(bad);
      ADD_FAILURE() << bad;
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), Format(msg::kInvalidName, {bad}));
    }
  }
  try {
    b->SetName("editor1");
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), Format(msg::kDuplicateName, {"editor1"}));
  }
  EXPECT_EQ(b->Name(), "");
  a->SetName("EDITOR1");
  EXPECT_EQ(a->Name(), "EDITOR1") << "a component may change the case of its own name";
  b->SetName("_x9");
  b->SetName("");
  EXPECT_EQ(owner.FindComponent(""), nullptr);
}

TEST(Component, InsertingRefusesANameTheOwnerAlreadyHas) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Same");
  TComponent loose(nullptr);
  loose.SetName("same");
  EXPECT_THROW(owner.InsertComponent(&loose), EComponentError);
  EXPECT_EQ(loose.Owner(), nullptr);
  EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(Component, LoadingAndDestroyingStatesReachTheChildren) {
  TComponent owner(nullptr);
  auto* child = new TComponent(&owner);
  owner.BeginLoading();
  EXPECT_TRUE(owner.HasState(csLoading));
  EXPECT_TRUE(child->HasState(csLoading));
  child->Loaded();
  EXPECT_FALSE(child->HasState(csLoading));
  owner.Destroying();
  EXPECT_TRUE(child->HasState(csDestroying));
}

}  // namespace
}  // namespace corvida
