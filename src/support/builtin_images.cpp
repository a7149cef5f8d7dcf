#include "support/builtin_images.h"

#include <cstdlib>
#include <functional>

#include "platform/rtl/colors.h"
#include "platform/winsys/sys_colors.h"

namespace corvida {
namespace {

void Put(TSurface& s, int x, int y, TColor c) {
  if (x >= 0 && y >= 0 && x < s.Width() && y < s.Height()) s.SetPixel(x, y, RgbToPixel(c));
}

// Fills the cells of an 11 × 11 image at left where inside holds, and
// outlines the shape in black when outline is set.
void Shape(TSurface& s, int left, const std::function<bool(int, int)>& inside,
           const std::function<TColor(int, int)>& colour, bool outline) {
  for (int y = 0; y < kMarkImageHeight; ++y)
    for (int x = 0; x < kMarkImageWidth; ++x) {
      if (!inside(x, y)) continue;
      bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      Put(s, left + x, y, outline && edge ? clBlack : colour(x, y));
    }
}

bool Disc(int x, int y, int r2) { return (x - 5) * (x - 5) + (y - 5) * (y - 5) <= r2; }

// Arrow pointing right: a shaft from column 1 to 5 over rows 4-6 and a head
// from column 5 to 9.
bool Arrow(int x, int y) {
  if (x < 0 || x > 10 || y < 0 || y > 10) return false;
  if (x >= 1 && x <= 5 && y >= 4 && y <= 6) return true;
  return x >= 5 && x <= 9 && std::abs(y - 5) <= 9 - x;
}

// The standard arrow pointer, tip at (0, 0), drawn into image and mask.
void DrawArrow(TCursorShape& c, bool mirrored) {
  auto at = [&](int x, int y, bool ink) {
    int px = mirrored ? 15 - x : x;
    c.mask.SetPixel(px, y, kBlackPixel);
    c.image.SetPixel(px, y, ink ? kBlackPixel : kWhitePixel);
  };
  for (int y = 0; y < 17; ++y) {
    int width = y <= 11 ? y + 1 : 0;
    for (int x = 0; x < width; ++x) at(x, y, x == 0 || x == y || y == 11);
  }
  // The tail.
  for (int y = 11; y < 17; ++y) {
    int x0 = 3 + (y - 11) / 2;
    at(x0, y, true);
    at(x0 + 1, y, y == 16);
    at(x0 + 2, y, true);
  }
  for (int y = 7; y < 11; ++y) at(y - 3, y, false);
}

TCursorShape EmptyCursor(const char* name) {
  TCursorShape c;
  c.name = name;
  c.image = TSurface(32, 32);
  c.mask = TSurface(32, 32, true);
  return c;
}

}  // namespace

TSurface DigitImagesBitmap() {
  TSurface s(10 * kDigitImageWidth, kDigitImageHeight);
  for (int d = 0; d < 10; ++d) {
    int left = d * kDigitImageWidth;
    for (int y = 0; y < kDigitImageHeight; ++y)
      for (int x = 0; x < kDigitImageWidth; ++x) {
        TColor c = clNavy;
        if (y == kDigitImageHeight - 1 || x == kDigitImageWidth - 1) c = clGray;
        if (y == 0 || x == 0) c = clWhite;
        Put(s, left + x, y, c);
      }
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 4; ++col)
        if (kDigitGlyphRows[row][5 * d + 1 + col] == '#') Put(s, left + 2 + col, 2 + row, clAqua);
  }
  return s;
}

TSurface MarkImagesBitmap() {
  TSurface s(6 * kMarkImageWidth, kMarkImageHeight);
  s.Fill(s.BoundsRect(), kWhitePixel);
  auto solid = [](TColor c) { return [c](int, int) { return c; }; };
  Shape(s, 0, [](int x, int y) { return Disc(x, y, 4); }, solid(clBlue), false);
  Shape(s, 11, [](int x, int y) { return Disc(x, y, 20); },
        [](int x, int y) {
          int dx = x - 5;
          int dy = y - 5;
          return std::abs(dx) == std::abs(dy) && std::abs(dx) <= 2 ? clYellow : clRed;
        },
        true);
  Shape(s, 22, Arrow, [](int x, int y) { return x < 5 ? clYellow : clGreen; }, true);
  Shape(s, 33, [](int x, int y) { return Disc(x, y, 20); }, solid(clRed), true);
  Shape(s, 44, [](int x, int y) { return Disc(x, y, 20) && !Disc(x, y, 6); }, solid(clGray), false);
  Shape(s, 55, [](int x, int y) { return Disc(x, y, 20); },
        [](int x, int y) {
          bool eye = y == 4 && (x == 3 || x == 7);
          bool mouth = (y == 7 && (x == 3 || x == 7)) || (y == 8 && x >= 4 && x <= 6);
          return eye || mouth ? clBlack : clYellow;
        },
        true);
  return s;
}

TCursorShape RightArrowCursor() {
  TCursorShape c = EmptyCursor("RightArrow");
  c.mask.Fill(c.mask.BoundsRect(), kWhitePixel);
  DrawArrow(c, true);
  c.hotSpot = {15, 0};
  return c;
}

TCursorShape DragSelCopyCursor() {
  TCursorShape c = EmptyCursor("DragSelCopy");
  c.mask.Fill(c.mask.BoundsRect(), kWhitePixel);
  DrawArrow(c, false);
  // A box with a plus below and right of the arrow.
  for (int y = 18; y < 27; ++y)
    for (int x = 10; x < 19; ++x) {
      bool frame = y == 18 || y == 26 || x == 10 || x == 18;
      bool plus = (x == 14 && y >= 20 && y <= 24) || (y == 22 && x >= 12 && x <= 16);
      c.mask.SetPixel(x, y, kBlackPixel);
      c.image.SetPixel(x, y, frame || plus ? kBlackPixel : kWhitePixel);
    }
  c.hotSpot = {0, 0};
  return c;
}

}  // namespace corvida
