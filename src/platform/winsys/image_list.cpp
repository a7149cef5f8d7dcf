#include "platform/winsys/image_list.h"

#include <algorithm>

namespace corvida {

int TImageListHandle::AddMasked(const TSurface& bitmap, TColor transparent) {
  int first = Count();
  if (width_ <= 0 || height_ <= 0) return first;
  for (int left = 0; left + width_ <= std::max(bitmap.Width(), width_) && left < bitmap.Width(); left += width_) {
    TSurface image(width_, height_);
    TDeviceContext dc(&image);
    dc.FillRect(image.BoundsRect(), transparent);
    TDeviceContext src(const_cast<TSurface*>(&bitmap));
    dc.BitBlt(0, 0, width_, height_, src, left, 0, SRCCOPY);
    images_.push_back(std::move(image));
    transparent_.push_back(transparent);
  }
  return first;
}

bool TImageListHandle::Draw(TDeviceContext& dc, int index, int x, int y) const {
  if (index < 0 || index >= Count()) return false;
  const TSurface& image = images_[static_cast<size_t>(index)];
  dc.DrawTransparent(x, y, image, image.BoundsRect(), transparent_[static_cast<size_t>(index)]);
  return true;
}

}  // namespace corvida
