#pragma once
// System colours: a TColor of 0x80000000 plus an index resolves through one
// table; every drawing operation takes its colours through ColorToRGB.
#include <cstdint>

#include "platform/rtl/colors.h"

namespace corvida {

inline constexpr int kSysColorCount = 25;

// The plain 0x00BBGGRR form of c; system colours are looked up, anything
// else keeps its low 24 bits.
TColor ColorToRGB(TColor c);

// The colour of system index (0..kSysColorCount-1); 0 outside.
TColor GetSysColor(int index);
// Changes one entry of the table (a theme or a test pins its colours).
void SetSysColor(int index, TColor rgb);

// A framebuffer pixel is 0xFFRRGGBB.
constexpr uint32_t RgbToPixel(TColor rgb) {
  uint32_t v = static_cast<uint32_t>(rgb);
  return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
constexpr TColor PixelToRgb(uint32_t p) {
  return static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}
inline uint32_t ColorToPixel(TColor c) { return RgbToPixel(ColorToRGB(c)); }

}  // namespace corvida
