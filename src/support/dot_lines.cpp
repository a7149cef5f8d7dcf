#include "support/dot_lines.h"

#include "platform/winsys/window_system.h"
#include "support/support_resources.h"

namespace corvida {

TDotLineItem::TDotLineItem(TCollection* collection)
    : TCollectionItem(collection), bitmap_(GetSystemMetrics(SM_CXSCREEN), 1) {}

void TDotLineItem::Assign(const TPersistent* source) {
  if (auto* item = dynamic_cast<const TDotLineItem*>(source)) {
    bitmap_ = item->bitmap_;
    color_ = item->color_;
    bkColor_ = item->bkColor_;
    return;
  }
  TCollectionItem::Assign(source);
}

TDotLineCollection::TDotLineCollection()
    : TCollection([](TCollection* c) -> TCollectionItem* { return new TDotLineItem(c); }) {}

void DrawDots(TDeviceContext& dc, int x, int y, int length, TColor color, TColor bkColor) {
  dc.SetRop2(R2_COPYPEN);
  dc.SetBrushColor(bkColor);
  dc.FillRect({x, y, x + length, y + 1});
  bool dot = true;
  LineDDA(x, y, x + length, y, [&](int px, int py) {
    if (dot) dc.SetPixel(px, py, color);
    dot = !dot;
  });
}

const TSurface& DotLineBitmap(TColor color, TColor bkColor) {
  TDotLineCollection& cache = SupportResources().DotLineCache();
  for (int i = 0; i < cache.Count(); ++i) {
    TDotLineItem* item = cache.Items(i);
    if (item->Color() == color && item->BkColor() == bkColor) return item->Bitmap();
  }
  TDotLineItem* item = cache.Add();
  item->SetColor(color);
  item->SetBkColor(bkColor);
  TDeviceContext dc(&item->Bitmap());
  DrawDots(dc, 0, 0, item->Bitmap().Width(), color, bkColor);
  return item->Bitmap();
}

void DrawDotLine(TDeviceContext& dc, int x1, int y, int x2, TColor color, TColor bkColor) {
  const TSurface& bitmap = DotLineBitmap(color, bkColor);
  TDeviceContext src(const_cast<TSurface*>(&bitmap));
  dc.BitBlt(x1, y, x2 - x1 + 1, 1, src, 0, 0, SRCCOPY);
}

}  // namespace corvida
