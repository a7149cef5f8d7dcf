#pragma once
// TList: an ordered list of untyped pointers.
#include <vector>

#include "platform/rtl/object.h"

namespace corvida {

class TList : public TObject {
 public:
  CORVIDA_CLASS_NAME(TList)
  ~TList() override = default;

  int Count() const { return static_cast<int>(items_.size()); }
  void* Items(int index) const;
  void SetItems(int index, void* item);
  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  int IndexOf(const void* item) const;
  int Remove(const void* item);
  void Exchange(int a, int b);
  virtual void Clear();

 private:
  void Check(int index) const;
  std::vector<void*> items_;
};

}  // namespace corvida
