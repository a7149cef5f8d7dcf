#pragma once
// The Assign of a settings object, written once over its published-property
// table instead of field by field in every class.
#include <type_traits>

#include "platform/rtl/object.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/typeinfo.h"
#include "support/notify_classes.h"

namespace corvida {

// Copies the properties of table from source to target, in table order,
// through target's setters; an object that a property holds is assigned
// into, a component reference is copied. Both must be of the table's class.
void AssignPublished(const TClassInfo& table, TPersistent& target, const TPersistent& source);

// Assign of a settings class T: from another T, every published property of
// T, then unpublished(other) for the fields the table does not hold, all
// inside one update bracket, so that a notifying object reports one change.
// False for any other source, which goes to the inherited Assign.
template <class T, class Unpublished>
bool AssignSettings(T& target, const TPersistent* source, Unpublished unpublished) {
  const T* other = dynamic_cast<const T*>(source);
  if (other == nullptr) return false;
  const auto copy = [&] {
    AssignPublished(*T::StaticInfo(), target, *other);
    unpublished(*other);
  };
  if constexpr (std::is_base_of_v<TNotifyPersistent, T>) {
    TUpdateBracket update(target);
    copy();
  } else {
    copy();
  }
  return true;
}

template <class T>
bool AssignSettings(T& target, const TPersistent* source) {
  return AssignSettings(target, source, [](const T&) {});
}

}  // namespace corvida
