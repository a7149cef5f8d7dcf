#include "platform/rtl/typeinfo.h"

#include "platform/rtl/cp932.h"

namespace corvida {

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
  std::vector<const TPropInfo*> all = parent != nullptr ? parent->AllProps() : std::vector<const TPropInfo*>{};
  for (const TPropInfo& p : props) all.push_back(&p);
  return all;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->parent)
    for (const TPropInfo& p : c->props)
      if (AnsiSameText(p.name, name)) return &p;
  return nullptr;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->parent)
    if (c == other) return true;
  return false;
}

void TClassRegistry::Register(const TClassInfo* info) {
  if (Find(info->name) == nullptr) classes_.push_back(info);
}

const TClassInfo* TClassRegistry::Find(std::string_view name) const {
  for (const TClassInfo* c : classes_)
    if (AnsiSameText(c->name, name)) return c;
  return nullptr;
}

}  // namespace corvida
