#pragma once
// TComponent: owner and owned components, a name, component state, and free
// notification so that references to a component being destroyed are
// cleared.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/object.h"

namespace corvida {

enum TOperation { opInsert, opRemove };

using TComponentState = uint32_t;
inline constexpr TComponentState csLoading = 1u << 0;
inline constexpr TComponentState csReading = 1u << 1;
inline constexpr TComponentState csWriting = 1u << 2;
inline constexpr TComponentState csDestroying = 1u << 3;
inline constexpr TComponentState csDesigning = 1u << 4;

class TComponent : public TPersistent {
 public:
  CORVIDA_CLASS_NAME(TComponent)
  explicit TComponent(TComponent* owner);
  // Tells free-notification partners, deletes the owned components, leaves
  // the owner. A descendant whose Notification must see its children go
  // calls DestroyComponents first in its own destructor.
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  TPersistent* GetOwner() const override { return owner_; }

  const std::string& Name() const { return name_; }
  // Raises EComponentError for a name that is not an identifier or that
  // another component of the same owner already has. Empty is allowed.
  virtual void SetName(const std::string& name);

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  int ComponentIndex() const;
  TComponent* FindComponent(std::string_view name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();

  TComponentState ComponentState() const { return state_; }
  bool HasState(TComponentState flag) const { return (state_ & flag) != 0; }
  void SetDesigning(bool value);
  // Marks the component and its children as loading; Loaded ends it.
  void BeginLoading();
  virtual void Loaded();
  void Destroying();

  // Registers a mutual interest: each is told when the other is destroyed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

 protected:
  virtual void Notification(TComponent* component, TOperation operation);
  void SetState(TComponentState flag, bool on);

 private:
  // The component text reader marks each component it reads, and only those.
  friend class TComponentTextReader;

  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_ = 0;
};

bool IsValidIdent(std::string_view name);

}  // namespace corvida
