#pragma once
// Graphics fonts: a face name, height, style and character set resolve to a
// TFontHandle, which owns its FreeType faces, reports Windows-style metrics
// and caches one rendered glyph per CP932 character code.
//
// A single-byte code is the byte itself; a double-byte code is lead << 8 |
// trail. Bitmap faces in JIS encodings are addressed through Shift-JIS to
// JIS arithmetic, outline faces through Unicode.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/colors.h"
#include "platform/winsys/win_defs.h"

namespace corvida {

// Style bits; bit n is the n-th font style of the toolkit's font set.
inline constexpr uint8_t kStyleBold = 0x01;
inline constexpr uint8_t kStyleItalic = 0x02;
inline constexpr uint8_t kStyleUnderline = 0x04;
inline constexpr uint8_t kStyleStrikeOut = 0x08;

// The editor's default face and the window's default face, as CP932 names.
inline constexpr const char* kEditorFontName = "FixedSys";
// "ＭＳ Ｐゴシック"
inline constexpr const char* kWindowFontName = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

struct TFontDesc {
  std::string name = kEditorFontName;  // CP932
  // Negative: the character height in pixels; positive: the cell height.
  int height = -12;
  uint8_t style = 0;
  uint8_t charset = SHIFTJIS_CHARSET;
  bool operator==(const TFontDesc&) const = default;
};

struct TTextMetric {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int tmWeight = 400;
  int tmOverhang = 0;
  uint8_t tmItalic = 0;
  uint8_t tmUnderlined = 0;
  uint8_t tmStruckOut = 0;
  uint8_t tmPitchAndFamily = 0;
  uint8_t tmCharSet = SHIFTJIS_CHARSET;
};

// One rendered character: coverage 0..255 per pixel, placed relative to the
// pen position and the top of the character cell.
struct TGlyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int advance = 0;
  bool binary = true;  // every pixel is 0 or 255
  std::vector<uint8_t> coverage;
  // For binary glyphs up to 32 pixels wide: bit x of row y is set where
  // there is ink, so drawing touches only inked pixels.
  std::vector<uint32_t> rowBits;
};

class TFontFace;

class TFontHandle {
 public:
  ~TFontHandle();
  TFontHandle(const TFontHandle&) = delete;
  TFontHandle& operator=(const TFontHandle&) = delete;

  const TFontDesc& Desc() const { return desc_; }
  const TTextMetric& Metrics() const { return metrics_; }
  // The file the single-byte glyphs come from, and the double-byte one.
  const std::string& SingleByteFile() const;
  const std::string& DoubleByteFile() const;

  // The glyph of code; an empty glyph with the cell advance when the face
  // has none.
  const TGlyph& Glyph(uint16_t code) const;
  // The natural advance of code in pixels.
  int CharWidth(uint16_t code) const { return Glyph(code).advance; }
  // The natural width of a CP932 text.
  int TextWidth(std::string_view text) const;

  int UnderlinePos() const { return metrics_.tmAscent + 1; }
  int StrikeOutPos() const { return metrics_.tmAscent - (metrics_.tmAscent + 2) / 3; }
  int LineThickness() const { return std::max(1, (metrics_.tmHeight - metrics_.tmInternalLeading) / 16); }

 private:
  friend class TFontCache;
  TFontHandle(const TFontDesc& desc, std::unique_ptr<TFontFace> single, std::unique_ptr<TFontFace> dbcs);
  TGlyph Render(uint16_t code) const;

  TFontDesc desc_;
  std::unique_ptr<TFontFace> single_;
  std::unique_ptr<TFontFace> double_;  // null when single_ serves both
  TTextMetric metrics_;
  mutable std::array<std::unique_ptr<std::array<std::unique_ptr<TGlyph>, 256>>, 256> pages_;
};

// The program-wide font cache: one handle per distinct description, kept to
// program end. Resolution order: the face the name stands for, then a
// Japanese face of the same pitch found through fontconfig; EFontError when
// no usable face exists at all.
class TFontCache {
 public:
  TFontCache();
  ~TFontCache();
  const TFontHandle* Get(const TFontDesc& desc);
  // Folders searched for the bundled bitmap faces, before the system ones.
  void AddFontDir(const std::string& dir);

 private:
  std::unique_ptr<TFontHandle> Create(const TFontDesc& desc);
  std::vector<std::string> dirs_;
  std::vector<std::unique_ptr<TFontHandle>> handles_;
};

TFontCache& FontCache();

// A font as a canvas holds it: the description plus the text colour.
struct TCanvasFont {
  TFontDesc desc;
  TColor color = clWindowText;
  const TFontHandle* Handle() const { return FontCache().Get(desc); }
};

}  // namespace corvida
