#pragma once
// The software canvas: GDI's drawing operations on a TSurface, exact to the
// pixel. Coordinates are logical (the origin is the window's client corner);
// everything is clipped to the clip rectangle. A device context is a light
// value that refers to its surface; it never owns it.
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/rtl/colors.h"
#include "platform/winsys/font.h"
#include "platform/winsys/geometry.h"
#include "platform/winsys/surface.h"
#include "platform/winsys/win_defs.h"

namespace corvida {

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_NULL = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_COPYPEN = 13;

class TDeviceContext {
 public:
  TDeviceContext() = default;
  // A context on the whole of surface.
  explicit TDeviceContext(TSurface* surface);
  // A context whose logical (0, 0) is origin on surface, clipped to clip
  // (surface coordinates). Drawn areas are added to dirty when given.
  TDeviceContext(TSurface* surface, TPoint origin, const TRect& clip, TRect* dirty = nullptr);

  TSurface* Surface() const { return surface_; }
  TPoint Origin() const { return origin_; }

  // The clip rectangle in logical coordinates.
  TRect ClipBox() const { return clip_.Offset(-origin_.x, -origin_.y); }
  // Narrows the clip rectangle to r (logical); RestoreClip undoes every narrowing.
  void IntersectClipRect(const TRect& r);
  void RestoreClip() { clip_ = baseClip_; }

  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor c);
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor c);
  int BkMode() const { return bkMode_; }
  void SetBkMode(int mode) { bkMode_ = mode; }
  TColor BrushColor() const { return brushColor_; }
  void SetBrushColor(TColor c);
  bool BrushClear() const { return brushClear_; }
  void SetBrushClear(bool clear) { brushClear_ = clear; }
  void SetPen(TColor color, int width = 1, int style = PS_SOLID);
  TColor PenColor() const { return penColor_; }
  int Rop2() const { return rop2_; }
  void SetRop2(int mode) { rop2_ = mode; }
  const TFontHandle* Font() const { return font_; }
  void SelectFont(const TFontHandle* font) { font_ = font; }
  TTextMetric GetTextMetrics() const;

  // Fills r with the brush (nothing with a clear brush) or with color.
  void FillRect(const TRect& r);
  void FillRect(const TRect& r, TColor color);
  // A one-pixel frame of r in color.
  void FrameRect(const TRect& r, TColor color);
  // Outline with the pen, inside with the brush, right and bottom exclusive.
  void Rectangle(int x1, int y1, int x2, int y2);

  void MoveTo(int x, int y) { pos_ = {x, y}; }
  TPoint PenPos() const { return pos_; }
  // A line from the pen position to (x, y), the end point not drawn; the pen
  // position moves there.
  void LineTo(int x, int y);
  void SetPixel(int x, int y, TColor color);
  TColor GetPixel(int x, int y) const;

  // Text output. options: ETO_CLIPPED and/or ETO_OPAQUE; rect is the clip
  // and opaque rectangle. dx holds one advance per byte (a double-byte
  // character advances by the sum of its two); without it the natural
  // widths apply. In OPAQUE background mode the cells behind the text are
  // filled with the background colour too.
  void ExtTextOut(int x, int y, UINT options, const TRect* rect, std::string_view text, const int* dx = nullptr);
  void TextOut(int x, int y, std::string_view text) { ExtTextOut(x, y, 0, nullptr, text); }
  TSize TextExtent(std::string_view text) const;

  // Copies w × h pixels from src at (sx, sy) to (x, y) combining them by rop.
  // Monochrome sources are mapped to this context's text colour (black
  // bits) and background colour (white bits); colour sources copied to a
  // monochrome surface give white where they equal the source's background
  // colour and black elsewhere.
  void BitBlt(int x, int y, int w, int h, const TDeviceContext& src, int sx, int sy, uint32_t rop);
  // Copies a surface, leaving out the pixels that equal transparent.
  void DrawTransparent(int x, int y, const TSurface& src, const TRect& srcRect, TColor transparent);

 private:
  void Plot(int x, int y);
  uint32_t SourcePixelFor(const TDeviceContext& src, uint32_t p) const;
  void Touch(const TRect& surfaceRect);
  TRect ToSurface(const TRect& r) const { return r.Offset(origin_.x, origin_.y); }
  void DrawGlyph(const TGlyph& g, int x, int y, const TRect& clip, uint32_t color);

  TSurface* surface_ = nullptr;
  TPoint origin_;
  TRect clip_;
  TRect baseClip_;
  TRect* dirty_ = nullptr;
  TColor textColor_ = clBlack;
  uint32_t textPixel_ = kBlackPixel;
  TColor bkColor_ = clWhite;
  uint32_t bkPixel_ = kWhitePixel;
  int bkMode_ = OPAQUE;
  TColor brushColor_ = clWhite;
  uint32_t brushPixel_ = kWhitePixel;
  bool brushClear_ = false;
  TColor penColor_ = clBlack;
  uint32_t penPixel_ = kBlackPixel;
  int penWidth_ = 1;
  int penStyle_ = PS_SOLID;
  int penStep_ = 0;
  int rop2_ = R2_COPYPEN;
  TPoint pos_;
  const TFontHandle* font_ = nullptr;
};

// Calls f for each point of the line from (x1, y1) to (x2, y2), the end
// point excluded, in drawing order: the points LineTo would set.
void LineDDA(int x1, int y1, int x2, int y2, const std::function<void(int, int)>& f);

}  // namespace corvida
