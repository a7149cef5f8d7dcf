#pragma once
// TStoreComponent, the common base of the library's non-visual components,
// and TFileExtComponent, which keeps a case-ignoring sorted list of the file
// extensions it handles.
#include <memory>
#include <string_view>

#include "platform/rtl/component.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {

class TStoreComponent : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TStoreComponent)
  using TComponent::TComponent;
};

class TFileExtComponent : public TStoreComponent {
 public:
  CORVIDA_CLASS_NAME(TFileExtComponent)
  using TStoreComponent::TStoreComponent;

  // Made by CreateFileExtList and filled by InitFileExtList on first use, so
  // that a descendant's versions of both run (a constructor cannot reach them).
  TStringList* FileExtList() const;
  // The owned list takes a copy of the given list's strings.
  virtual void SetFileExtList(const TStrings* list);
  // Case-ignoring binary search of the list.
  virtual bool HasFileExt(std::string_view extension) const;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  // A sorted list that ignores duplicates.
  virtual std::unique_ptr<TStringList> CreateFileExtList() const;
  // Descendants add their default extensions to the new list here.
  virtual void InitFileExtList(TStringList& list) const {}

 private:
  mutable std::unique_ptr<TStringList> fileExtList_;
};

}  // namespace corvida
