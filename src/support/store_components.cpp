#include "support/store_components.h"

namespace corvida {

TStringList* TFileExtComponent::FileExtList() const {
  if (!fileExtList_) {
    fileExtList_ = CreateFileExtList();
    InitFileExtList(*fileExtList_);
  }
  return fileExtList_.get();
}

void TFileExtComponent::SetFileExtList(const TStrings* list) { FileExtList()->Assign(list); }

bool TFileExtComponent::HasFileExt(std::string_view extension) const {
  int index = 0;
  return FileExtList()->Find(extension, index);
}

std::unique_ptr<TStringList> TFileExtComponent::CreateFileExtList() const {
  auto list = std::make_unique<TStringList>();
  list->SetSorted(true);
  list->SetDuplicates(dupIgnore);
  return list;
}

const TClassInfo* TFileExtComponent::StaticInfo() {
  static const TClassInfo info{"TFileExtComponent", nullptr, {
      ObjectProp<TFileExtComponent, &TFileExtComponent::FileExtList>("FileExtList", nullptr),
  }, [](TComponent* owner) -> TComponent* { return new TFileExtComponent(owner); }};
  return &info;
}

}  // namespace corvida
