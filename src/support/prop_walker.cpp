#include "support/prop_walker.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/cp932.h"

namespace corvida {
namespace {

void Walk(TPersistent* object, TPropKinds kinds, const TPropWalkEvent& callback, std::vector<TPersistent*>& path) {
  const TClassInfo* info = object->ClassInfo();
  if (!info) return;
  std::vector<const TPropInfo*> props;
  for (const TPropInfo* p : info->AllProps())
    if (kinds & PropKindBit(p->kind)) props.push_back(p);
  std::stable_sort(props.begin(), props.end(),
                   [](const TPropInfo* a, const TPropInfo* b) { return AnsiCompareText(a->name, b->name) < 0; });
  path.push_back(object);
  for (const TPropInfo* p : props) {
    callback(object, p, p->nested);
    if ((p->kind != pkObject && p->kind != pkComponent) || !p->getObject) continue;
    TPersistent* held = p->getObject(object);
    if (!held || std::find(path.begin(), path.end(), held) != path.end()) continue;
    Walk(held, kinds, callback, path);
    if (auto* collection = dynamic_cast<TCollection*>(held))
      for (int i = 0; i < collection->Count(); ++i)
        if (TCollectionItem* item = collection->Items(i); std::find(path.begin(), path.end(), item) == path.end())
          Walk(item, kinds, callback, path);
  }
  path.pop_back();
}

}  // namespace

void WalkProperties(TPersistent* root, TPropKinds kinds, TPropWalkEvent callback) {
  if (!root || !callback) return;
  std::vector<TPersistent*> path;
  Walk(root, kinds, callback, path);
}

}  // namespace corvida
