#include "platform/toolkit/img_list.h"

namespace corvida {

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

void TImageList::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  handle_ = TImageListHandle(width, height);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index) const {
  if (index < 0 || index >= Count()) return;
  handle_.Draw(canvas->Handle(), index, x, y);
}

}  // namespace corvida
