#include "platform/rtl/object.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"

namespace corvida {

void TPersistent::Assign(const TPersistent* source) {
  if (source == nullptr) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  const char* sourceName = source != nullptr ? source->ClassName() : "nil";
  throw EConvertError(Format(msg::kAssignError, {sourceName, ClassName()}));
}

}  // namespace corvida
