#include <gtest/gtest.h>

#include "platform/rtl/colors.h"
#include "platform/winsys/clipboard.h"
#include "platform/winsys/cursors.h"
#include "platform/winsys/sys_colors.h"
#include "platform/winsys/window_system.h"
#include "support/builtin_images.h"
#include "support/dot_lines.h"
#include "support/support_resources.h"

namespace corvida {
namespace {

TColor At(const TSurface& s, int x, int y) { return PixelToRgb(s.Pixel(x, y)); }

TEST(DotLines, DrawDotLineStartsItsDotsAtTheFirstPixel) {
  TSurface s(30, 3);
  TDeviceContext dc(&s);
  dc.FillRect(s.BoundsRect(), clGreen);
  DrawDotLine(dc, 10, 1, 14, clRed, clYellow);
  EXPECT_EQ(At(s, 9, 1), clGreen);
  EXPECT_EQ(At(s, 10, 1), clRed);
  EXPECT_EQ(At(s, 11, 1), clYellow);
  EXPECT_EQ(At(s, 12, 1), clRed);
  EXPECT_EQ(At(s, 13, 1), clYellow);
  EXPECT_EQ(At(s, 14, 1), clRed);
  EXPECT_EQ(At(s, 15, 1), clGreen);
  EXPECT_EQ(At(s, 10, 0), clGreen);
  EXPECT_EQ(At(s, 10, 2), clGreen);
  // An odd start keeps the phase at the start.
  DrawDotLine(dc, 21, 0, 24, clRed, clYellow);
  EXPECT_EQ(At(s, 21, 0), clRed);
  EXPECT_EQ(At(s, 22, 0), clYellow);
}

TEST(DotLines, OneCacheItemPerColourPair) {
  TDotLineCollection& cache = SupportResources().DotLineCache();
  TSurface s(20, 1);
  TDeviceContext dc(&s);
  int before = cache.Count();
  DrawDotLine(dc, 0, 0, 5, clNavy, clAqua);
  DrawDotLine(dc, 3, 0, 9, clNavy, clAqua);
  EXPECT_EQ(cache.Count(), before + 1);
  DrawDotLine(dc, 0, 0, 5, clAqua, clNavy);
  EXPECT_EQ(cache.Count(), before + 2);
  const TDotLineItem* item = cache.Items(before);
  EXPECT_EQ(item->Bitmap().Width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(item->Bitmap().Height(), 1);
}

TEST(DotLines, DrawDotsUsesTheBrushForTheGround) {
  TSurface s(8, 1);
  TDeviceContext dc(&s);
  DrawDots(dc, 1, 0, 5, clBlack, clSilver);
  EXPECT_EQ(At(s, 0, 0), clWhite);
  EXPECT_EQ(At(s, 1, 0), clBlack);
  EXPECT_EQ(At(s, 2, 0), clSilver);
  EXPECT_EQ(At(s, 5, 0), clBlack);
  EXPECT_EQ(At(s, 6, 0), clWhite);  // the length is exclusive
  EXPECT_EQ(dc.BrushColor(), clSilver);
}

TEST(DotLines, AssignCopiesBitmapAndColours) {
  TDotLineCollection c;
  TDotLineItem* a = c.Add();
  a->SetColor(clRed);
  a->SetBkColor(clBlue);
  a->Bitmap().SetPixel(0, 0, kBlackPixel);
  TDotLineItem* b = c.Add();
  b->Assign(a);
  EXPECT_EQ(b->Color(), clRed);
  EXPECT_EQ(b->BkColor(), clBlue);
  EXPECT_EQ(b->Bitmap().Pixel(0, 0), kBlackPixel);
}

TEST(SupportResources, ProgramWideObjectsAreInPlace) {
  const TSupportResources& r = SupportResources();
  EXPECT_EQ(r.BoxClipboardFormat(), RegisterClipboardFormat("TEditor Box Type"));
  EXPECT_GE(r.BoxClipboardFormat(), 0xC000u);
  EXPECT_LE(r.BoxClipboardFormat(), 0xFFFFu);
  EXPECT_EQ(Cursors().Get(crRightArrow).name, "RightArrow");
  EXPECT_EQ(Cursors().Get(crDragSelCopy).name, "DragSelCopy");
  EXPECT_EQ(Cursors().Get(crRightArrow).image.Width(), 32);
  EXPECT_EQ(r.DigitImages().Count(), 10);
  EXPECT_EQ(r.DigitImages().Width(), 8);
  EXPECT_EQ(r.DigitImages().Height(), 11);
  EXPECT_EQ(r.MarkImages().Count(), 6);
  EXPECT_EQ(r.MarkImages().Width(), 11);
}

TEST(SupportResources, DigitTilesAreFramedAndShowTheirDigit) {
  const TImageListHandle& digits = SupportResources().DigitImages();
  const TSurface& one = digits.Image(1);
  EXPECT_EQ(At(one, 0, 5), clWhite);
  EXPECT_EQ(At(one, 4, 0), clWhite);
  EXPECT_EQ(At(one, 7, 5), clGray);
  EXPECT_EQ(At(one, 4, 10), clGray);
  EXPECT_EQ(At(one, 1, 1), clNavy);
  int aqua = 0;
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 8; ++x) aqua += At(one, x, y) == clAqua;
  EXPECT_EQ(aqua, 8);  // the ruler glyph of 1: a flag and a stem
  EXPECT_NE(digits.Image(8).Pixels(), digits.Image(0).Pixels());
}

TEST(SupportResources, MarkImagesDrawOnlyTheirShape) {
  const TImageListHandle& marks = SupportResources().MarkImages();
  TSurface s(11, 11);
  TDeviceContext dc(&s);
  dc.FillRect(s.BoundsRect(), clLime);
  marks.Draw(dc, 0, 0, 0);  // the small blue dot
  EXPECT_EQ(At(s, 5, 5), clBlue);
  EXPECT_EQ(At(s, 0, 0), clLime);
  EXPECT_EQ(At(s, 9, 5), clLime);
  marks.Draw(dc, 3, 0, 0);  // the outlined red disc
  EXPECT_EQ(At(s, 5, 5), clRed);
  EXPECT_EQ(At(s, 5, 1), clBlack);
  EXPECT_EQ(At(s, 0, 0), clLime);
  marks.Draw(dc, 5, 0, 0);  // the face
  EXPECT_EQ(At(s, 3, 4), clBlack);
  EXPECT_EQ(At(s, 5, 3), clYellow);
}

}  // namespace
}  // namespace corvida
