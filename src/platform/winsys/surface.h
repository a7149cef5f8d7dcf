#pragma once
// A pixel surface: a top-level window's framebuffer or a bitmap. Colour
// surfaces hold 0xFFRRGGBB pixels; monochrome ones hold only black
// (0xFF000000) and white (0xFFFFFFFF), so raster operations treat both alike.
#include <cstdint>
#include <vector>

#include "platform/winsys/geometry.h"

namespace corvida {

inline constexpr uint32_t kBlackPixel = 0xFF000000u;
inline constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;

class TSurface {
 public:
  TSurface() = default;
  TSurface(int width, int height, bool monochrome = false);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Monochrome() const { return monochrome_; }
  TRect BoundsRect() const { return {0, 0, width_, height_}; }

  // Changes the size; pixels that stay inside keep their value, new ones are
  // white.
  void SetSize(int width, int height);
  void SetMonochrome(bool monochrome);

  uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void SetPixel(int x, int y, uint32_t p) { pixels_[static_cast<size_t>(y) * width_ + x] = Store(p); }
  uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

  // Fills r (clipped to the surface) with p.
  void Fill(const TRect& r, uint32_t p);

  // The form a pixel takes on this surface: on a monochrome surface a
  // colour becomes white when it is light, else black.
  uint32_t Store(uint32_t p) const { return monochrome_ ? ToMono(p) : (p | 0xFF000000u); }
  static uint32_t ToMono(uint32_t p) {
    int sum = static_cast<int>((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
    return sum >= 384 ? kWhitePixel : kBlackPixel;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  bool monochrome_ = false;
  std::vector<uint32_t> pixels_;
};

}  // namespace corvida
