#pragma once
// An image list: equal-sized images cut from bitmaps, drawn with one colour
// left transparent.
#include <vector>

#include "platform/rtl/colors.h"
#include "platform/winsys/device_context.h"
#include "platform/winsys/surface.h"

namespace corvida {

class TImageListHandle {
 public:
  TImageListHandle(int width, int height) : width_(width), height_(height) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(images_.size()); }
  const TSurface& Image(int index) const { return images_.at(static_cast<size_t>(index)); }

  // Cuts bitmap into images of the list's width, left to right, each with
  // transparent as its see-through colour; answers the first new index.
  int AddMasked(const TSurface& bitmap, TColor transparent);
  void Clear() { images_.clear(); transparent_.clear(); }
  // Draws image index at (x, y); false when there is no such image.
  bool Draw(TDeviceContext& dc, int index, int x, int y) const;

 private:
  int width_;
  int height_;
  std::vector<TSurface> images_;
  std::vector<TColor> transparent_;
};

}  // namespace corvida
