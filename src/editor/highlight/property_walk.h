#pragma once
// A walk over published properties: each property of root, sorted by name,
// goes to the callback; an owned object a property holds is walked in turn,
// and so is every item of a collection. Component references are not
// followed, so a walk never loops.
#include <functional>

#include "platform/rtl/typeinfo.h"

namespace corvida {

using TPropertyCallback = std::function<void(TObject* instance, const TPropInfo& prop)>;

void WalkPublishedProperties(TPersistent* root, const TPropertyCallback& callback);

}  // namespace corvida
