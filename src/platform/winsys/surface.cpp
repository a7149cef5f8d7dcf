#include "platform/winsys/surface.h"

#include <algorithm>

namespace corvida {

TSurface::TSurface(int width, int height, bool monochrome)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      monochrome_(monochrome),
      pixels_(static_cast<size_t>(width_) * height_, kWhitePixel) {}

void TSurface::SetSize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == width_ && height == height_) return;
  std::vector<uint32_t> next(static_cast<size_t>(width) * height, kWhitePixel);
  int w = std::min(width, width_);
  for (int y = 0; y < std::min(height, height_); ++y)
    std::copy_n(Row(y), w, next.data() + static_cast<size_t>(y) * width);
  pixels_.swap(next);
  width_ = width;
  height_ = height;
}

void TSurface::SetMonochrome(bool monochrome) {
  monochrome_ = monochrome;
  if (monochrome_)
    for (uint32_t& p : pixels_) p = ToMono(p);
}

void TSurface::Fill(const TRect& r, uint32_t p) {
  TRect c = IntersectRect(r, BoundsRect());
  if (c.IsEmpty()) return;
  p = Store(p);
  for (int y = c.top; y < c.bottom; ++y) std::fill(Row(y) + c.left, Row(y) + c.right, p);
}

}  // namespace corvida
