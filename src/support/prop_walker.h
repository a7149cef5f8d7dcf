#pragma once
// Visits the published properties of an object and of the objects they
// hold, through the property tables.
#include <cstdint>

#include "platform/rtl/events.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {

// A set of property kinds: bit k stands for TPropKind k.
using TPropKinds = uint32_t;
constexpr TPropKinds PropKindBit(TPropKind k) { return TPropKinds{1} << k; }
inline constexpr TPropKinds kAllPropKinds = ~TPropKinds{0};

// Called with the instance, the property and the class the property holds
// (null for a property that holds no object).
using TPropWalkEvent = TEvent<TPersistent*, const TPropInfo*, const TClassInfo*>;

// For each property of root whose kind is in kinds, sorted by name: the
// callback, then, for a property holding an object, a walk of that object
// and, for a collection, of each of its items in order. An object already
// being walked further up is not entered again, so references that lead
// back do not loop.
void WalkProperties(TPersistent* root, TPropKinds kinds, TPropWalkEvent callback);

}  // namespace corvida
