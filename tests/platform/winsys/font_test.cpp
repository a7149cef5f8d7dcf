#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <filesystem>

#include "platform/rtl/exceptions.h"
#include "platform/winsys/device_context.h"
#include "platform/winsys/font.h"
#include "platform/winsys/pinned_fonts.h"
#include "platform/winsys/sys_colors.h"

namespace corvida {
namespace {

const TFontHandle* Editor(uint8_t style = 0, int height = -12) {
  return FontCache().Get(TFontDesc{kEditorFontName, height, style, SHIFTJIS_CHARSET});
}

int InkCount(const TGlyph& g) {
  int n = 0;
  for (uint8_t c : g.coverage) n += c >= 128;
  return n;
}

TEST(Fonts, EditorFontIsShinonomeTwelveWithWindowsMetrics) {
  REQUIRE_SHINONOME();
  const TFontHandle* f = Editor();
  EXPECT_EQ(f->SingleByteFile(), testing::kShinonomeSingle);
  EXPECT_EQ(f->DoubleByteFile(), testing::kShinonomeDouble);
  const TTextMetric& tm = f->Metrics();
  EXPECT_EQ(tm.tmHeight, 12);
  EXPECT_EQ(tm.tmAscent, 10);
  EXPECT_EQ(tm.tmDescent, 2);
  EXPECT_EQ(tm.tmAveCharWidth, 6);
  EXPECT_EQ(tm.tmExternalLeading, 0);
  EXPECT_EQ(tm.tmInternalLeading, 0);
  // A positive height asks for the cell height: the same face here.
  EXPECT_EQ(Editor(0, 12)->Metrics().tmHeight, 12);
}

TEST(Fonts, SingleBytesIncludingHalfWidthKatakanaAndDoubleBytesHaveGlyphs) {
  REQUIRE_SHINONOME();
  const TFontHandle* f = Editor();
  EXPECT_EQ(f->CharWidth('A'), 6);
  EXPECT_GT(InkCount(f->Glyph('A')), 0);
  EXPECT_EQ(f->CharWidth(0xB1), 6);  // half-width katakana A
  EXPECT_GT(InkCount(f->Glyph(0xB1)), 0);
  EXPECT_EQ(f->CharWidth(0x8ABF), 12);
  EXPECT_GT(InkCount(f->Glyph(0x8ABF)), 0);  // 漢
  EXPECT_EQ(f->CharWidth(0x82A0), 12);       // あ
  EXPECT_NE(f->Glyph(0x8ABF).coverage, f->Glyph(0x8E9A).coverage);  // 漢 and 字 differ
  EXPECT_EQ(f->TextWidth("A\x8a\xbf\xb1"), 24);
  // A code with no character gives an empty glyph of the cell width.
  EXPECT_EQ(InkCount(f->Glyph(0x85A0)), 0);
  EXPECT_EQ(f->CharWidth(0x85A0), 12);
}

TEST(Fonts, StylesComeFromBoldAndItalicFacesOrAreSynthesized) {
  REQUIRE_SHINONOME();
  EXPECT_GT(InkCount(Editor(kStyleBold)->Glyph('l')), InkCount(Editor()->Glyph('l')));
  EXPECT_EQ(Editor(kStyleBold)->Metrics().tmWeight, 700);
  EXPECT_EQ(Editor(kStyleBold)->Metrics().tmHeight, 12);

  // Underline and strike-out are drawn lines across the advance.
  TSurface s(12, 12);
  TDeviceContext dc(&s);
  dc.SelectFont(Editor(kStyleUnderline));
  dc.SetBkMode(TRANSPARENT);
  int dx[2] = {6, 6};
  dc.ExtTextOut(0, 0, 0, nullptr, "  ", dx);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(s.Pixel(x, 11), kBlackPixel) << x;
  EXPECT_EQ(s.Pixel(0, 10), kWhitePixel);
}

TEST(Fonts, WindowFontIsTheProportionalGothicOutline) {
  if (!std::filesystem::exists(testing::kIpaPGothic)) GTEST_SKIP() << "IPA P Gothic is not installed";
  const TFontHandle* f = FontCache().Get(TFontDesc{kWindowFontName, -12, 0, SHIFTJIS_CHARSET});
  EXPECT_EQ(f->SingleByteFile(), testing::kIpaPGothic);
  const TTextMetric& tm = f->Metrics();
  EXPECT_GE(tm.tmHeight, 12);
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 12);
  EXPECT_NE(f->CharWidth('i'), f->CharWidth('W'));
  EXPECT_GT(InkCount(f->Glyph(0x8ABF)), 0);
  EXPECT_GT(InkCount(f->Glyph(0xB1)), 0);
  // No bold face of this family is installed: bold is synthesized.
  const TFontHandle* bold = FontCache().Get(TFontDesc{kWindowFontName, -12, kStyleBold, SHIFTJIS_CHARSET});
  EXPECT_GT(InkCount(bold->Glyph('l')), InkCount(f->Glyph('l')));
}

TEST(Fonts, AnUnknownFaceFallsBackToAnInstalledJapaneseFace) {
  if (!std::filesystem::exists(testing::kIpaPGothic)) GTEST_SKIP() << "IPA fonts are not installed";
  const TFontHandle* f = FontCache().Get(TFontDesc{"No Such Face 123", -14, 0, SHIFTJIS_CHARSET});
  EXPECT_GT(InkCount(f->Glyph(0x82A0)), 0);
  EXPECT_EQ(f->Metrics().tmHeight - f->Metrics().tmInternalLeading, 14);
}

TEST(FontsDeathTest, NoUsableFaceAtAllIsAClearError) {
  // In a child process whose fontconfig knows no fonts and whose bitmap
  // folder is empty, asking for any face fails with EFontError.
  EXPECT_EXIT(
      {
        FcConfigSetCurrent(FcConfigCreate());
        TFontCache cache;
        cache.AddFontDir("/nonexistent-font-folder");
        int code = 3;
        try {
          cache.Get(TFontDesc{kWindowFontName, -12, 0, SHIFTJIS_CHARSET});
          code = 1;
        } catch (const EFontError& e) {
          code = std::string(e.what()).find("no usable Japanese font") != std::string::npos ? 0 : 2;
        }
        std::_Exit(code);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(Fonts, OneHandlePerDescription) {
  REQUIRE_SHINONOME();
  EXPECT_EQ(Editor(), Editor());
  EXPECT_NE(Editor(), Editor(kStyleBold));
}

}  // namespace
}  // namespace corvida
