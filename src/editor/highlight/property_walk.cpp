#include "editor/highlight/property_walk.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/cp932.h"

namespace corvida {

void WalkPublishedProperties(TPersistent* root, const TPropertyCallback& callback) {
  if (root == nullptr) return;
  if (const TClassInfo* info = root->ClassInfo()) {
    std::vector<const TPropInfo*> props = info->AllProps();
    std::stable_sort(props.begin(), props.end(),
                     [](const TPropInfo* a, const TPropInfo* b) { return AnsiCompareText(a->name, b->name) < 0; });
    for (const TPropInfo* prop : props) {
      callback(root, *prop);
      if (prop->kind == pkObject && prop->getObject != nullptr)
        WalkPublishedProperties(prop->getObject(root), callback);
    }
  }
  if (auto* collection = dynamic_cast<TCollection*>(root)) {
    for (int i = 0; i < collection->Count(); ++i) WalkPublishedProperties(collection->Items(i), callback);
  }
}

}  // namespace corvida
