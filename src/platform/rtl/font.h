#pragma once
// TFont: the description of a font (face name, size, colour, style and
// character set) as a plain persistent that tells its owner of each change.
// The window system makes real fonts from it.
#include <cstdint>
#include <string>

#include "platform/rtl/colors.h"
#include "platform/rtl/events.h"
#include "platform/rtl/font_style.h"
#include "platform/rtl/object.h"

namespace corvida {



// Rounded a * b / c, halves away from zero, as the system computes it.
int MulDiv(int a, int b, int c);

class TFont : public TPersistent {
 public:
  CORVIDA_CLASS_NAME(TFont)
  static constexpr int kDefaultPixelsPerInch = 96;

  TFont();

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Points; kept as Height, so Size follows PixelsPerInch.
  int Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }
  void SetSize(int size) { SetHeight(-MulDiv(size, pixelsPerInch_, 72)); }
  // Pixels; a negative height is the character height, as the system has it.
  int Height() const { return height_; }
  void SetHeight(int height);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int pixelsPerInch) { pixelsPerInch_ = pixelsPerInch; }

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }

  // From another TFont: every property, one change notification.
  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  virtual void Changed();

 private:
  std::string name_;
  int height_;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  TFontCharset charset_ = SHIFTJIS_CHARSET;
  int pixelsPerInch_ = kDefaultPixelsPerInch;
  TNotifyEvent onChange_;
};

}  // namespace corvida
