#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/colors.h"
#include "platform/winsys/device_context.h"
#include "platform/winsys/image_list.h"
#include "platform/winsys/sys_colors.h"
#include "platform/winsys/pinned_fonts.h"

namespace corvida {
namespace {

// The coordinates of every pixel of s that differs from background.
std::vector<TPoint> Inked(const TSurface& s, TColor background) {
  std::vector<TPoint> out;
  uint32_t bg = RgbToPixel(background);
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.Pixel(x, y) != bg) out.push_back({x, y});
  return out;
}

TColor At(const TSurface& s, int x, int y) { return PixelToRgb(s.Pixel(x, y)); }

TEST(CanvasLines, LineToLeavesTheEndPointOut) {
  TSurface s(20, 20);
  TDeviceContext dc(&s);
  dc.SetPen(clBlack);
  dc.MoveTo(2, 5);
  dc.LineTo(7, 5);
  EXPECT_EQ(Inked(s, clWhite), (std::vector<TPoint>{{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}}));
  EXPECT_EQ(dc.PenPos(), (TPoint{7, 5}));

  TSurface d(20, 20);
  TDeviceContext dd(&d);
  dd.SetPen(clBlack);
  dd.MoveTo(10, 2);
  dd.LineTo(7, 5);  // a diagonal drawn towards the upper left's mirror
  EXPECT_EQ(Inked(d, clWhite), (std::vector<TPoint>{{10, 2}, {9, 3}, {8, 4}}));
}

TEST(CanvasLines, ConnectedLinesShareTheirCornerOnce) {
  // The return-mark arrow: a stem and two barbs from its bottom point.
  TSurface s(12, 12);
  TDeviceContext dc(&s);
  dc.SetPen(clRed);
  dc.MoveTo(5, 1);
  dc.LineTo(5, 8);
  dc.LineTo(8, 5);
  dc.MoveTo(5, 8);
  dc.LineTo(2, 5);
  auto ink = Inked(s, clWhite);
  EXPECT_EQ(ink.size(), 7u + 3u + 2u);  // the barbs share the bottom point
  EXPECT_EQ(At(s, 5, 8), clRed);
  EXPECT_EQ(At(s, 8, 5), clWhite);
  EXPECT_EQ(At(s, 2, 5), clWhite);
}

TEST(CanvasLines, LineDdaVisitsTheSamePointsAsLineTo) {
  std::vector<TPoint> points;
  LineDDA(0, 0, 6, 3, [&](int x, int y) { points.push_back({x, y}); });
  TSurface s(10, 10);
  TDeviceContext dc(&s);
  dc.SetPen(clBlack);
  dc.MoveTo(0, 0);
  dc.LineTo(6, 3);
  EXPECT_EQ(points, Inked(s, clWhite));
  EXPECT_EQ(points.size(), 6u);
  points.clear();
  LineDDA(4, 4, 4, 4, [&](int x, int y) { points.push_back({x, y}); });
  EXPECT_TRUE(points.empty());
}

TEST(CanvasPixels, SetPixelAndFillAreClippedToTheClipRectangle) {
  TSurface s(10, 10);
  TDeviceContext dc(&s, {2, 2}, {2, 2, 8, 8});
  dc.SetPixel(0, 0, clBlue);
  dc.SetPixel(-1, 0, clBlue);
  dc.FillRect({3, 3, 20, 4}, clGreen);
  EXPECT_EQ(At(s, 2, 2), clBlue);
  EXPECT_EQ(At(s, 1, 2), clWhite);
  EXPECT_EQ(At(s, 7, 5), clGreen);
  EXPECT_EQ(At(s, 8, 5), clWhite);
  dc.SetBrushColor(clYellow);
  dc.SetBrushClear(true);
  dc.FillRect({0, 0, 2, 2});
  EXPECT_EQ(At(s, 3, 3), clWhite);
  dc.SetBrushClear(false);
  dc.FillRect({0, 0, 2, 2});
  EXPECT_EQ(At(s, 3, 3), clYellow);
}

// Raster operations on the bit patterns 0xCC (source) and 0xAA (destination)
// in each colour channel, as the operation codes name them.
TEST(CanvasBlit, EachRasterOperationCombinesKnownPatterns) {
  struct Case {
    uint32_t rop;
    TColor expected;
  };
  const TColor src = 0xCCCCCC;
  const TColor dst = 0xAAAAAA;
  for (Case c : {Case{SRCCOPY, 0xCCCCCC}, Case{SRCAND, 0x888888}, Case{SRCPAINT, 0xEEEEEE},
                 Case{NOTSRCCOPY, 0x333333}, Case{DSTINVERT, 0x555555}}) {
    TSurface a(4, 4);
    TSurface b(4, 4);
    TDeviceContext da(&a);
    TDeviceContext db(&b);
    da.FillRect(a.BoundsRect(), src);
    db.FillRect(b.BoundsRect(), dst);
    db.BitBlt(1, 1, 2, 2, da, 0, 0, c.rop);
    EXPECT_EQ(At(b, 1, 1), c.expected) << std::hex << c.rop;
    EXPECT_EQ(At(b, 2, 2), c.expected) << std::hex << c.rop;
    EXPECT_EQ(At(b, 0, 0), dst) << std::hex << c.rop;
    EXPECT_EQ(At(b, 3, 3), dst) << std::hex << c.rop;
  }
}

TEST(CanvasBlit, MonochromeMapsThroughTheDestinationsTextAndBackgroundColours) {
  TSurface mono(2, 1, true);
  mono.SetPixel(0, 0, kBlackPixel);
  mono.SetPixel(1, 0, kWhitePixel);
  TSurface colour(2, 1);
  TDeviceContext src(&mono);
  TDeviceContext dst(&colour);
  dst.SetTextColor(clRed);
  dst.SetBkColor(clNavy);
  dst.BitBlt(0, 0, 2, 1, src, 0, 0, SRCCOPY);
  EXPECT_EQ(At(colour, 0, 0), clRed);
  EXPECT_EQ(At(colour, 1, 0), clNavy);
}

TEST(CanvasBlit, ColourToMonochromeIsWhiteWhereTheSourceHasItsBackgroundColour) {
  TSurface colour(3, 1);
  colour.SetPixel(0, 0, RgbToPixel(clLime));
  colour.SetPixel(1, 0, RgbToPixel(clWhite));
  colour.SetPixel(2, 0, RgbToPixel(clBlack));
  TSurface mono(3, 1, true);
  TDeviceContext src(&colour);
  src.SetBkColor(clLime);
  TDeviceContext dst(&mono);
  dst.BitBlt(0, 0, 3, 1, src, 0, 0, SRCCOPY);
  EXPECT_EQ(mono.Pixel(0, 0), kWhitePixel);
  EXPECT_EQ(mono.Pixel(1, 0), kBlackPixel);
  EXPECT_EQ(mono.Pixel(2, 0), kBlackPixel);
}

// The two-colour strip recipe: AND a background-filled scratch with the
// glyphs, invert them, AND a text-filled strip with them, OR the scratch on.
TEST(CanvasBlit, MaskRecipeColoursInkAndGround) {
  TSurface glyphs(3, 1, true);
  glyphs.SetPixel(0, 0, kBlackPixel);  // ink
  glyphs.SetPixel(1, 0, kWhitePixel);
  glyphs.SetPixel(2, 0, kBlackPixel);  // ink
  TDeviceContext g(&glyphs);
  TSurface scratch(3, 1);
  TSurface strip(3, 1);
  TDeviceContext sc(&scratch);
  TDeviceContext st(&strip);
  sc.FillRect(scratch.BoundsRect(), clNavy);
  sc.BitBlt(0, 0, 3, 1, g, 0, 0, SRCAND);
  g.BitBlt(0, 0, 3, 1, g, 0, 0, DSTINVERT);
  st.FillRect(strip.BoundsRect(), clAqua);
  st.BitBlt(0, 0, 3, 1, g, 0, 0, SRCAND);
  st.BitBlt(0, 0, 3, 1, sc, 0, 0, SRCPAINT);
  g.BitBlt(0, 0, 3, 1, g, 0, 0, DSTINVERT);
  EXPECT_EQ(At(strip, 0, 0), clAqua);
  EXPECT_EQ(At(strip, 1, 0), clNavy);
  EXPECT_EQ(At(strip, 2, 0), clAqua);
  EXPECT_EQ(glyphs.Pixel(0, 0), kBlackPixel);
}

TEST(CanvasBlit, OverlappingCopiesOnOneSurfaceReadTheOriginalPixels) {
  TSurface s(1, 6);
  for (int y = 0; y < 6; ++y) s.SetPixel(0, y, RgbToPixel(y * 10));
  TDeviceContext dc(&s);
  dc.BitBlt(0, 2, 1, 4, dc, 0, 0, SRCCOPY);  // down by two
  EXPECT_EQ(At(s, 0, 2), 0);
  EXPECT_EQ(At(s, 0, 3), 10);
  EXPECT_EQ(At(s, 0, 5), 30);
  dc.BitBlt(0, 0, 1, 4, dc, 0, 2, SRCCOPY);  // back up
  EXPECT_EQ(At(s, 0, 0), 0);
  EXPECT_EQ(At(s, 0, 3), 30);
}

TEST(CanvasImages, ImageListLeavesItsTransparentColourOut) {
  TSurface strip(4, 2);
  TDeviceContext sdc(&strip);
  sdc.FillRect({0, 0, 4, 2}, clRed);
  sdc.SetPixel(0, 0, clBlue);
  sdc.SetPixel(3, 1, clYellow);
  TImageListHandle list(2, 2);
  EXPECT_EQ(list.AddMasked(strip, clRed), 0);
  EXPECT_EQ(list.Count(), 2);
  TSurface target(6, 4);
  TDeviceContext dc(&target);
  dc.FillRect(target.BoundsRect(), clGreen);
  EXPECT_TRUE(list.Draw(dc, 1, 3, 1));
  EXPECT_FALSE(list.Draw(dc, 2, 0, 0));
  EXPECT_EQ(At(target, 4, 2), clYellow);
  EXPECT_EQ(At(target, 3, 1), clGreen);
  EXPECT_EQ(At(target, 0, 0), clGreen);
}

TEST(CanvasColours, SystemColoursResolveThroughOneTable) {
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(15));
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  TColor saved = GetSysColor(15);
  SetSysColor(15, 0x123456);
  TSurface s(1, 1);
  TDeviceContext dc(&s);
  dc.FillRect({0, 0, 1, 1}, clBtnFace);
  EXPECT_EQ(At(s, 0, 0), 0x123456);
  SetSysColor(15, saved);
}

class CanvasText : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SHINONOME();
    font_ = FontCache().Get(TFontDesc{kEditorFontName, -12, 0, SHIFTJIS_CHARSET});
  }
  const TFontHandle* font_ = nullptr;
};

TEST_F(CanvasText, OpaqueFillsTheRectangleAndClippedLeavesItAlone) {
  TSurface s(40, 14);
  TDeviceContext dc(&s);
  dc.FillRect(s.BoundsRect(), clGreen);
  dc.SelectFont(font_);
  dc.SetTextColor(clBlack);
  dc.SetBkColor(clYellow);
  dc.SetBkMode(TRANSPARENT);
  int dx[2] = {6, 6};
  TRect r{0, 0, 30, 12};
  dc.ExtTextOut(0, 0, ETO_CLIPPED, &r, "  ", dx);
  EXPECT_EQ(At(s, 20, 5), clGreen);
  dc.ExtTextOut(0, 0, ETO_CLIPPED | ETO_OPAQUE, &r, "  ", dx);
  EXPECT_EQ(At(s, 20, 5), clYellow);
  EXPECT_EQ(At(s, 29, 11), clYellow);
  EXPECT_EQ(At(s, 30, 5), clGreen);
  EXPECT_EQ(At(s, 5, 12), clGreen);
}

TEST_F(CanvasText, OpaqueBackgroundModeFillsOnlyTheTextCells) {
  TSurface s(40, 14);
  TDeviceContext dc(&s);
  dc.FillRect(s.BoundsRect(), clGreen);
  dc.SelectFont(font_);
  dc.SetBkColor(clYellow);
  dc.SetBkMode(OPAQUE);
  int dx[2] = {6, 6};
  TRect r{0, 0, 40, 14};
  dc.ExtTextOut(3, 1, ETO_CLIPPED, &r, "  ", dx);
  EXPECT_EQ(At(s, 3, 1), clYellow);
  EXPECT_EQ(At(s, 14, 12), clYellow);
  EXPECT_EQ(At(s, 15, 12), clGreen);
  EXPECT_EQ(At(s, 2, 1), clGreen);
  EXPECT_EQ(At(s, 3, 13), clGreen);
}

TEST_F(CanvasText, GlyphsFollowTheAdvanceArray) {
  // One glyph per cell whatever the array says; a double-byte character is
  // one glyph over its two cells.
  const std::string text = "A\x88\x9f" "A";  // A, 亜 (0x889F), A
  TSurface natural(80, 12);
  TDeviceContext n(&natural);
  n.SelectFont(font_);
  n.SetBkMode(TRANSPARENT);
  n.TextOut(0, 0, text);

  TSurface spaced(80, 12);
  TDeviceContext d(&spaced);
  d.SelectFont(font_);
  d.SetBkMode(TRANSPARENT);
  int dx[4] = {10, 10, 10, 10};
  d.ExtTextOut(0, 0, 0, nullptr, text, dx);

  auto columns = [](const TSurface& s, int from, int to) {
    std::vector<uint32_t> v;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = from; x < to; ++x) v.push_back(s.Pixel(x, y));
    return v;
  };
  // 'A' at 0 in both; the kanji at 6 naturally and at 10 spaced; the second
  // 'A' at 18 naturally and at 30 spaced.
  EXPECT_EQ(columns(natural, 0, 6), columns(spaced, 0, 6));
  std::vector<uint32_t> kanjiNatural = columns(natural, 6, 18);
  EXPECT_EQ(kanjiNatural, columns(spaced, 10, 22));
  EXPECT_EQ(columns(natural, 18, 24), columns(spaced, 30, 36));
  EXPECT_EQ(columns(natural, 0, 6), columns(natural, 18, 24));
  EXPECT_FALSE(Inked(natural, clWhite).empty());
  bool kanjiHasInk = false;
  for (uint32_t p : kanjiNatural) kanjiHasInk |= p != kWhitePixel;
  EXPECT_TRUE(kanjiHasInk);
  // Nothing between the glyphs' cells in the spaced output.
  EXPECT_EQ(columns(spaced, 22, 30), std::vector<uint32_t>(8 * 12, kWhitePixel));
}

TEST_F(CanvasText, ClippingCutsGlyphsAtTheRectangle) {
  TSurface s(24, 12);
  TDeviceContext dc(&s);
  dc.SelectFont(font_);
  dc.SetBkMode(TRANSPARENT);
  TRect r{0, 0, 9, 12};
  int dx[4] = {6, 6, 6, 6};
  dc.ExtTextOut(0, 0, ETO_CLIPPED, &r, "\x81\xa1\x81\xa1", dx);  // ■■
  for (TPoint p : Inked(s, clWhite)) EXPECT_LT(p.x, 9);
  EXPECT_FALSE(Inked(s, clWhite).empty());
}

}  // namespace
}  // namespace corvida
