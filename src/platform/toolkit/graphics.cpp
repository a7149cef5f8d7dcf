#include "platform/toolkit/graphics.h"

#include "platform/winsys/sys_colors.h"

namespace corvida {

const TFontHandle* FontHandle(const TFont& font) {
  TFontDesc desc;
  desc.name = font.Name();
  desc.height = font.Height();
  desc.style = font.Style();
  desc.charset = font.Charset();
  return FontCache().Get(desc);
}

TCanvas::TCanvas() = default;

void TCanvas::SetHandle(const TDeviceContext& dc) {
  dc_ = dc;
  allocated_ = dc.Surface() != nullptr;
}

TDeviceContext& TCanvas::Handle() {
  if (!allocated_) CreateHandle();
  Realize();
  return dc_;
}

void TCanvas::Realize() {
  if (!allocated_) return;
  dc_.SelectFont(FontHandle(font_));
  dc_.SetTextColor(font_.Color());
  dc_.SetBrushColor(brush_.color);
  dc_.SetBrushClear(brush_.style == bsClear);
  dc_.SetPen(pen_.color, pen_.width, pen_.style);
}

void TCanvas::FillRect(const TRect& r) { Handle().FillRect(r); }

void TCanvas::FrameRect(const TRect& r) { Handle().FrameRect(r, brush_.color); }

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) { Handle().Rectangle(x1, y1, x2, y2); }

void TCanvas::MoveTo(int x, int y) { Handle().MoveTo(x, y); }

void TCanvas::LineTo(int x, int y) { Handle().LineTo(x, y); }

void TCanvas::TextOut(int x, int y, std::string_view text) {
  TDeviceContext& dc = Handle();
  dc.SetBkColor(brush_.color);
  dc.SetBkMode(brush_.style == bsClear ? TRANSPARENT : OPAQUE);
  dc.TextOut(x, y, text);
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
  TDeviceContext& dc = Handle();
  dc.SetBkColor(brush_.color);
  dc.SetBkMode(brush_.style == bsClear ? TRANSPARENT : OPAQUE);
  dc.ExtTextOut(x, y, ETO_CLIPPED | (brush_.style == bsClear ? 0 : ETO_OPAQUE), &r, text);
}

int TCanvas::TextWidth(std::string_view text) { return FontHandle(font_)->TextWidth(text); }

int TCanvas::TextHeight(std::string_view text) { return FontHandle(font_)->Metrics().tmHeight; }

TColor TCanvas::Pixels(int x, int y) { return Handle().GetPixel(x, y); }

void TCanvas::SetPixels(int x, int y, TColor c) { Handle().SetPixel(x, y, c); }

void Frame3D(TDeviceContext& dc, TRect& r, TColor topColor, TColor bottomColor, int width) {
  for (int i = 0; i < width; ++i) {
    if (r.IsEmpty()) return;
    dc.FillRect({r.left, r.top, r.right - 1, r.top + 1}, topColor);
    dc.FillRect({r.left, r.top, r.left + 1, r.bottom - 1}, topColor);
    dc.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomColor);
    dc.FillRect({r.right - 1, r.top, r.right, r.bottom}, bottomColor);
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
}

}  // namespace corvida
