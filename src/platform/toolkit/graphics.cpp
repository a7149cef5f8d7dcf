#include "platform/toolkit/graphics.h"

#include <cmath>

#include "platform/winsys/sys_colors.h"

namespace corvida {

TFont::TFont() { desc_.name = kWindowFontName; }

void TFont::Changed() {
  if (onChange_) onChange_(this);
}

void TFont::SetName(const std::string& v) {
  if (v.empty() || v == desc_.name) return;
  desc_.name = v;
  Changed();
}

void TFont::SetHeight(int v) {
  if (v == desc_.height) return;
  desc_.height = v;
  Changed();
}

int TFont::Size() const {
  return -static_cast<int>(std::lround(desc_.height * 72.0 / 96.0));
}

void TFont::SetSize(int points) { SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0))); }

void TFont::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}

void TFont::SetStyle(TFontStyles v) {
  v &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
  if (v == desc_.style) return;
  desc_.style = v;
  Changed();
}

void TFont::SetCharset(int v) {
  if (v == desc_.charset) return;
  desc_.charset = static_cast<uint8_t>(v);
  Changed();
}

void TFont::Assign(const TPersistent* source) {
  if (auto* f = dynamic_cast<const TFont*>(source)) {
    if (f->desc_ == desc_ && f->color_ == color_) return;
    desc_ = f->desc_;
    color_ = f->color_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

const TClassInfo* TFont::StaticInfo() {
  static const TClassInfo info{"TFont", nullptr, {
      IntProp<TFont, &TFont::Charset, &TFont::SetCharset>("Charset"),
      IntProp<TFont, &TFont::Color, &TFont::SetColor>("Color"),
      IntProp<TFont, &TFont::Height, &TFont::SetHeight>("Height"),
      StrProp<TFont, &TFont::Name, &TFont::SetName>("Name"),
      SetProp<TFont, &TFont::Style, &TFont::SetStyle>("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}),
  }};
  return &info;
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
  dc_.SelectFont(font_.Handle());
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

int TCanvas::TextWidth(std::string_view text) { return font_.Handle()->TextWidth(text); }

int TCanvas::TextHeight(std::string_view text) { return font_.Handle()->Metrics().tmHeight; }

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
