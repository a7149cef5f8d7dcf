#include "platform/winsys/device_context.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/rtl/cp932.h"
#include "platform/winsys/sys_colors.h"

namespace corvida {
namespace {

uint32_t ApplyRop(uint32_t rop, uint32_t s, uint32_t d) {
  uint32_t r;
  switch (rop) {
    case SRCAND: r = s & d; break;
    case SRCPAINT: r = s | d; break;
    case SRCINVERT: r = s ^ d; break;
    case NOTSRCCOPY: r = ~s; break;
    case DSTINVERT: r = ~d; break;
    case BLACKNESS: r = 0; break;
    case WHITENESS: r = 0xFFFFFF; break;
    default: r = s; break;
  }
  return r | 0xFF000000u;
}

uint32_t Blend(uint32_t dst, uint32_t src, unsigned a) {
  unsigned ia = 255 - a;
  uint32_t r = (((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * ia + 127) / 255;
  uint32_t g = (((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * ia + 127) / 255;
  uint32_t b = ((src & 0xFF) * a + (dst & 0xFF) * ia + 127) / 255;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

}  // namespace

TDeviceContext::TDeviceContext(TSurface* surface)
    : TDeviceContext(surface, {}, surface ? surface->BoundsRect() : TRect{}) {}

TDeviceContext::TDeviceContext(TSurface* surface, TPoint origin, const TRect& clip, TRect* dirty)
    : surface_(surface), origin_(origin), dirty_(dirty) {
  clip_ = surface ? IntersectRect(clip, surface->BoundsRect()) : TRect{};
  baseClip_ = clip_;
}

void TDeviceContext::IntersectClipRect(const TRect& r) { clip_ = IntersectRect(clip_, ToSurface(r)); }

void TDeviceContext::SetTextColor(TColor c) {
  textColor_ = c;
  textPixel_ = ColorToPixel(c);
}

void TDeviceContext::SetBkColor(TColor c) {
  bkColor_ = c;
  bkPixel_ = ColorToPixel(c);
}

void TDeviceContext::SetBrushColor(TColor c) {
  brushColor_ = c;
  brushPixel_ = ColorToPixel(c);
}

void TDeviceContext::SetPen(TColor color, int width, int style) {
  penColor_ = color;
  penPixel_ = ColorToPixel(color);
  penWidth_ = std::max(1, width);
  penStyle_ = style;
}

TTextMetric TDeviceContext::GetTextMetrics() const {
  const TFontHandle* f = font_ ? font_ : FontCache().Get(TFontDesc{kWindowFontName, -12, 0, SHIFTJIS_CHARSET});
  return f->Metrics();
}

void TDeviceContext::Touch(const TRect& surfaceRect) {
  if (dirty_) *dirty_ = UnionRect(*dirty_, IntersectRect(surfaceRect, clip_));
}

void TDeviceContext::FillRect(const TRect& r) {
  if (!brushClear_) FillRect(r, brushColor_);
}

void TDeviceContext::FillRect(const TRect& r, TColor color) {
  if (!surface_) return;
  TRect c = IntersectRect(ToSurface(r), clip_);
  if (c.IsEmpty()) return;
  surface_->Fill(c, ColorToPixel(color));
  Touch(c);
}

void TDeviceContext::FrameRect(const TRect& r, TColor color) {
  if (r.IsEmpty()) return;
  FillRect({r.left, r.top, r.right, r.top + 1}, color);
  FillRect({r.left, r.bottom - 1, r.right, r.bottom}, color);
  FillRect({r.left, r.top, r.left + 1, r.bottom}, color);
  FillRect({r.right - 1, r.top, r.right, r.bottom}, color);
}

void TDeviceContext::Rectangle(int x1, int y1, int x2, int y2) {
  FillRect({x1, y1, x2, y2});
  if (penStyle_ == PS_NULL) return;
  MoveTo(x1, y1);
  LineTo(x2 - 1, y1);
  LineTo(x2 - 1, y2 - 1);
  LineTo(x1, y2 - 1);
  LineTo(x1, y1);
}

void TDeviceContext::Plot(int x, int y) {
  if (penStyle_ == PS_NULL) return;
  if (penStyle_ == PS_DOT && (penStep_++ & 1)) return;
  int half = (penWidth_ - 1) / 2;
  for (int py = y - half; py < y - half + penWidth_; ++py)
    for (int px = x - half; px < x - half + penWidth_; ++px) {
      TPoint s{px + origin_.x, py + origin_.y};
      if (!clip_.Contains(s)) continue;
      uint32_t d = surface_->Pixel(s.x, s.y);
      uint32_t v;
      switch (rop2_) {
        case R2_NOT: v = ~d; break;
        case R2_XORPEN: v = d ^ penPixel_; break;
        case R2_NOTXORPEN: v = ~(d ^ penPixel_); break;
        default: v = penPixel_; break;
      }
      surface_->SetPixel(s.x, s.y, v | 0xFF000000u);
    }
}

void TDeviceContext::LineTo(int x, int y) {
  if (surface_) {
    penStep_ = 0;
    LineDDA(pos_.x, pos_.y, x, y, [this](int px, int py) { Plot(px, py); });
    int half = (penWidth_ - 1) / 2;
    TRect box{std::min(pos_.x, x) - half, std::min(pos_.y, y) - half, std::max(pos_.x, x) + penWidth_,
              std::max(pos_.y, y) + penWidth_};
    Touch(ToSurface(box));
  }
  pos_ = {x, y};
}

void TDeviceContext::SetPixel(int x, int y, TColor color) {
  if (!surface_) return;
  TPoint s{x + origin_.x, y + origin_.y};
  if (!clip_.Contains(s)) return;
  surface_->SetPixel(s.x, s.y, ColorToPixel(color));
  Touch({s.x, s.y, s.x + 1, s.y + 1});
}

TColor TDeviceContext::GetPixel(int x, int y) const {
  if (!surface_) return clNone;
  TPoint s{x + origin_.x, y + origin_.y};
  if (!surface_->BoundsRect().Contains(s)) return clNone;
  return PixelToRgb(surface_->Pixel(s.x, s.y));
}

void TDeviceContext::DrawGlyph(const TGlyph& g, int x, int y, const TRect& clip, uint32_t color) {
  int x0 = std::max(x, clip.left);
  int x1 = std::min(x + g.width, clip.right);
  int y0 = std::max(y, clip.top);
  int y1 = std::min(y + g.height, clip.bottom);
  if (x0 >= x1 || y0 >= y1) return;
  if (!g.rowBits.empty()) {
    int from = x0 - x;
    int to = x1 - x;
    uint32_t clipMask = (to >= 32 ? ~uint32_t{0} : ((uint32_t{1} << to) - 1)) & ~((uint32_t{1} << from) - 1);
    for (int py = y0; py < y1; ++py) {
      uint32_t bits = g.rowBits[static_cast<size_t>(py - y)] & clipMask;
      uint32_t* dst = surface_->Row(py) + x0;
      while (bits) {
        dst[__builtin_ctz(bits) - from] = color;
        bits &= bits - 1;
      }
    }
    return;
  }
  bool mono = surface_->Monochrome();
  for (int py = y0; py < y1; ++py) {
    const uint8_t* cov = g.coverage.data() + static_cast<size_t>(py - y) * g.width + (x0 - x);
    uint32_t* dst = surface_->Row(py) + x0;
    int n = x1 - x0;
    if (g.binary || mono) {
      for (int i = 0; i < n; ++i)
        if (cov[i] >= 128) dst[i] = color;
    } else {
      for (int i = 0; i < n; ++i) {
        unsigned a = cov[i];
        if (a == 255) {
          dst[i] = color;
        } else if (a) {
          dst[i] = Blend(dst[i], color, a);
        }
      }
    }
  }
}

void TDeviceContext::ExtTextOut(int x, int y, UINT options, const TRect* rect, std::string_view text,
                                const int* dx) {
  if (!surface_) return;
  const TFontHandle* f = font_ ? font_ : FontCache().Get(TFontDesc{kWindowFontName, -12, 0, SHIFTJIS_CHARSET});
  const TTextMetric& tm = f->Metrics();
  TRect clip = clip_;
  bool opaqueRect = rect && (options & ETO_OPAQUE);
  if (rect) {
    TRect r = ToSurface(*rect);
    if (opaqueRect) {
      TRect o = IntersectRect(r, clip_);
      surface_->Fill(o, bkPixel_);
      Touch(o);
    }
    if (options & ETO_CLIPPED) clip = IntersectRect(clip, r);
  }
  if (clip.IsEmpty() || text.empty()) return;

  int sx = x + origin_.x;
  int sy = y + origin_.y;
  size_t n = text.size();
  auto advanceAt = [&](size_t i, uint16_t code, bool dbcs) {
    if (!dx) return f->CharWidth(code);
    return dbcs ? dx[i] + dx[i + 1] : dx[i];
  };
  int total = 0;
  bool lined = (f->Desc().style & (kStyleUnderline | kStyleStrikeOut)) != 0;
  if ((bkMode_ == OPAQUE && !opaqueRect) || lined) {
    for (size_t i = 0; i < n; ++i) {
      auto c = static_cast<unsigned char>(text[i]);
      bool dbcs = IsLeadByte(c) && i + 1 < n;
      uint16_t code = dbcs ? static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(text[i + 1])) : c;
      total += advanceAt(i, code, dbcs);
      if (dbcs) ++i;
    }
  }
  TRect box{sx, sy, sx + total, sy + tm.tmHeight};
  if (bkMode_ == OPAQUE && !opaqueRect) surface_->Fill(IntersectRect(box, clip), bkPixel_);

  uint32_t color = surface_->Store(textPixel_);
  int pen = sx;
  for (size_t i = 0; i < n && pen <= clip.right; ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    bool dbcs = IsLeadByte(c) && i + 1 < n;
    uint16_t code = dbcs ? static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(text[i + 1])) : c;
    int advance = advanceAt(i, code, dbcs);
    if (c >= 0x20 || dbcs) {
      const TGlyph& g = f->Glyph(code);
      if (!g.coverage.empty()) DrawGlyph(g, pen + g.left, sy + g.top, clip, color);
    }
    pen += advance;
    if (dbcs) ++i;
  }
  box.right = sx + std::max(total, pen - sx);
  int thick = f->LineThickness();
  if (f->Desc().style & kStyleUnderline)
    surface_->Fill(IntersectRect({sx, sy + f->UnderlinePos(), sx + total, sy + f->UnderlinePos() + thick}, clip), color);
  if (f->Desc().style & kStyleStrikeOut)
    surface_->Fill(IntersectRect({sx, sy + f->StrikeOutPos(), sx + total, sy + f->StrikeOutPos() + thick}, clip), color);
  // Slanted glyphs may reach past the last advance.
  box.right += tm.tmMaxCharWidth;
  Touch(IntersectRect(box, clip));
}

TSize TDeviceContext::TextExtent(std::string_view text) const {
  const TFontHandle* f = font_ ? font_ : FontCache().Get(TFontDesc{kWindowFontName, -12, 0, SHIFTJIS_CHARSET});
  return {f->TextWidth(text), f->Metrics().tmHeight};
}

uint32_t TDeviceContext::SourcePixelFor(const TDeviceContext& src, uint32_t p) const {
  bool srcMono = src.surface_->Monochrome();
  bool dstMono = surface_->Monochrome();
  if (srcMono && !dstMono) return p == kWhitePixel ? bkPixel_ : textPixel_;
  if (!srcMono && dstMono) return (p | 0xFF000000u) == src.bkPixel_ ? kWhitePixel : kBlackPixel;
  return p;
}

void TDeviceContext::BitBlt(int x, int y, int w, int h, const TDeviceContext& src, int sx, int sy, uint32_t rop) {
  if (!surface_ || w <= 0 || h <= 0) return;
  bool needsSource = rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS;
  TRect dst = IntersectRect(ToSurface(Bounds(x, y, w, h)), clip_);
  if (dst.IsEmpty()) return;
  // Source coordinates of the destination's corner, in source surface pixels.
  int offX = sx + src.origin_.x - (x + origin_.x);
  int offY = sy + src.origin_.y - (y + origin_.y);
  if (needsSource) {
    if (!src.surface_) return;
    dst = IntersectRect(dst, src.surface_->BoundsRect().Offset(-offX, -offY));
    if (dst.IsEmpty()) return;
  }
  int width = dst.Width();
  std::vector<uint32_t> line;
  bool sameSurface = needsSource && src.surface_ == surface_;
  // Rows are taken in an order that never reads a row already overwritten.
  bool bottomUp = sameSurface && offY < 0;
  bool plainCopy = rop == SRCCOPY && src.surface_->Monochrome() == surface_->Monochrome();
  for (int k = 0; k < dst.Height(); ++k) {
    int py = bottomUp ? dst.bottom - 1 - k : dst.top + k;
    uint32_t* d = surface_->Row(py) + dst.left;
    if (plainCopy) {
      std::memmove(d, src.surface_->Row(py + offY) + dst.left + offX, static_cast<size_t>(width) * sizeof(uint32_t));
      continue;
    }
    line.resize(static_cast<size_t>(width));
    if (needsSource) {
      const uint32_t* s = src.surface_->Row(py + offY) + dst.left + offX;
      for (int i = 0; i < width; ++i) line[i] = SourcePixelFor(src, s[i]);
    }
    if (rop == SRCCOPY) {
      for (int i = 0; i < width; ++i) d[i] = surface_->Store(line[i]);
    } else {
      for (int i = 0; i < width; ++i) d[i] = surface_->Store(ApplyRop(rop, line[i], d[i]));
    }
  }
  Touch(dst);
}

void TDeviceContext::DrawTransparent(int x, int y, const TSurface& src, const TRect& srcRect, TColor transparent) {
  if (!surface_) return;
  TRect s = IntersectRect(srcRect, src.BoundsRect());
  TRect dst = IntersectRect(ToSurface(Bounds(x + s.left - srcRect.left, y + s.top - srcRect.top, s.Width(), s.Height())), clip_);
  if (dst.IsEmpty()) return;
  int offX = s.left - (x + s.left - srcRect.left + origin_.x);
  int offY = s.top - (y + s.top - srcRect.top + origin_.y);
  uint32_t key = RgbToPixel(ColorToRGB(transparent));
  for (int py = dst.top; py < dst.bottom; ++py) {
    const uint32_t* sp = src.Row(py + offY) + offX;
    uint32_t* d = surface_->Row(py);
    for (int px = dst.left; px < dst.right; ++px)
      if ((sp[px] | 0xFF000000u) != key) d[px] = surface_->Store(sp[px]);
  }
  Touch(dst);
}

void LineDDA(int x1, int y1, int x2, int y2, const std::function<void(int, int)>& f) {
  int dx = std::abs(x2 - x1);
  int dy = std::abs(y2 - y1);
  int sx = x1 < x2 ? 1 : -1;
  int sy = y1 < y2 ? 1 : -1;
  int x = x1;
  int y = y1;
  if (dx >= dy) {
    int err = 0;
    for (int i = 0; i < dx; ++i) {
      f(x, y);
      x += sx;
      err += 2 * dy;
      if (err > dx) {
        y += sy;
        err -= 2 * dx;
      }
    }
  } else {
    int err = 0;
    for (int i = 0; i < dy; ++i) {
      f(x, y);
      y += sy;
      err += 2 * dx;
      if (err > dy) {
        x += sx;
        err -= 2 * dy;
      }
    }
  }
}

}  // namespace corvida
