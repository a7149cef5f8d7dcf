#include "platform/rtl/font.h"

#include <cstdlib>

#include "platform/rtl/typeinfo.h"

namespace corvida {
namespace {

// "ＭＳ Ｐゴシック", the system's proportional Japanese face.
constexpr const char* kDefaultFontName = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
constexpr int kDefaultHeight = -12;

}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t half = std::llabs(c) / 2;
  const bool negative = (product < 0) != (c < 0);
  const int64_t q = (std::llabs(product) + half) / std::llabs(c);
  return static_cast<int>(negative ? -q : q);
}

TFont::TFont() : name_(kDefaultFontName), height_(kDefaultHeight) {}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  style &= kAllFontStyles;
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::Assign(const TPersistent* source) {
  if (auto* font = dynamic_cast<const TFont*>(source)) {
    if (font == this) return;
    name_ = font->name_;
    height_ = MulDiv(font->height_, pixelsPerInch_, font->pixelsPerInch_);
    color_ = font->color_;
    style_ = font->style_;
    charset_ = font->charset_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TFont::Changed() {
  if (onChange_) onChange_(this);
}

const TClassInfo* TFont::StaticInfo() {
  static const TClassInfo info{"TFont", nullptr, {
      IntProp<TFont, &TFont::Charset, &TFont::SetCharset>("Charset"),
      IdentIntProp<TFont, &TFont::Color, &TFont::SetColor>("Color", &ColorToIdent, &IdentToColor),
      IntProp<TFont, &TFont::Height, &TFont::SetHeight>("Height"),
      StrProp<TFont, &TFont::Name, &TFont::SetName>("Name"),
      SetProp<TFont, &TFont::Style, &TFont::SetStyle>("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}),
  }};
  return &info;
}

}  // namespace corvida
