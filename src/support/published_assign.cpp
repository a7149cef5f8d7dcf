#include "support/published_assign.h"

#include "platform/rtl/component.h"

namespace corvida {

void AssignPublished(const TClassInfo& table, TPersistent& target, const TPersistent& source) {
  for (const TPropInfo* p : table.AllProps()) {
    switch (p->kind) {
      case pkInteger:
      case pkBool:
      case pkEnum:
      case pkSet:
        if (p->setOrd) p->setOrd(&target, p->getOrd(&source));
        break;
      case pkString:
        if (p->setStr) p->setStr(&target, p->getStr(&source));
        break;
      case pkObject: {
        TPersistent* to = p->getObject(&target);
        const TPersistent* from = p->getObject(&source);
        if (to != nullptr && from != nullptr) to->Assign(from);
        break;
      }
      case pkComponent:
        if (p->setComponent) p->setComponent(&target, dynamic_cast<TComponent*>(p->getObject(&source)));
        break;
    }
  }
}

}  // namespace corvida
