#pragma once
// Dotted one-pixel lines: drawn directly, or copied from a cache of
// pre-drawn bitmaps (one per colour pair, kept to program end) so that a
// line costs one bitmap copy.
#include "platform/rtl/collection.h"
#include "platform/rtl/colors.h"
#include "platform/winsys/device_context.h"
#include "platform/winsys/surface.h"

namespace corvida {

class TDotLineItem : public TCollectionItem {
 public:
  CORVIDA_CLASS_NAME(TDotLineItem)
  // The bitmap is one pixel high and as wide as the screen.
  explicit TDotLineItem(TCollection* collection);

  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor c) { bkColor_ = c; }
  TColor Color() const { return color_; }
  void SetColor(TColor c) { color_ = c; }
  TSurface& Bitmap() { return bitmap_; }
  const TSurface& Bitmap() const { return bitmap_; }

  void Assign(const TPersistent* source) override;

 private:
  TColor bkColor_ = clWhite;
  TColor color_ = clBlack;
  TSurface bitmap_;
};

class TDotLineCollection : public TCollection {
 public:
  CORVIDA_CLASS_NAME(TDotLineCollection)
  TDotLineCollection();
  TDotLineItem* Add() { return static_cast<TDotLineItem*>(TCollection::Add()); }
  TDotLineItem* Items(int index) const { return static_cast<TDotLineItem*>(TCollection::Items(index)); }
};

// Background from (x, y) over length pixels, then dots in color at x, x + 2, ...
void DrawDots(TDeviceContext& dc, int x, int y, int length, TColor color, TColor bkColor);
// The cached dotted bitmap of the colour pair, drawn on first use.
const TSurface& DotLineBitmap(TColor color, TColor bkColor);
// The dotted line from x1 to x2 inclusive on row y, dots at x1, x1 + 2, ...
void DrawDotLine(TDeviceContext& dc, int x1, int y, int x2, TColor color, TColor bkColor);

}  // namespace corvida
