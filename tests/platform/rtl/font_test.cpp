#include "platform/rtl/font.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/component.h"
#include "platform/rtl/component_text.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {
namespace {

TEST(Colors, StandardColoursTravelByIdentifierOthersByHexadecimal) {
  EXPECT_EQ(ColorToString(clBlack), "clBlack");
  EXPECT_EQ(ColorToString(clWindowText), "clWindowText");
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(clNone), "clNone");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(ColorToString(static_cast<TColor>(0x80000030)), "$80000030");
  EXPECT_EQ(StringToColor("clnavy"), clNavy);
  EXPECT_EQ(StringToColor("$80000030"), static_cast<TColor>(0x80000030));
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(clHighlight, static_cast<TColor>(0x8000000D));
  EXPECT_EQ(clBtnHighlight, static_cast<TColor>(0x80000014));
  for (TColor c : {clMaroon, clGreen, clOlive, clPurple, clTeal, clGray, clSilver, clLime, clYellow, clBlue,
                   clFuchsia, clAqua, clWhite, clDefault, clWindow, clHighlightText, clGrayText, clBtnText,
                   clBtnShadow})
    EXPECT_EQ(StringToColor(ColorToString(c)), c);
}

TEST(Colors, AnInvalidColourTextRaisesTheConversionError) {
  for (const char* text : {"clBlak", "", "$123456789", "blue"}) {
    try {
      StringToColor(text);
      ADD_FAILURE() << text;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(text) + "' \x82\xcd\x97\x4c\x8c\xf8\x82\xc8\x90\xae\x90\x94\x92\x6c"
                             "\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1");
    }
  }
}

struct ChangeCounter {
  void Changed(TObject*) { ++count; }
  int count = 0;
};

TEST(Font, SizeFollowsHeightAndEveryChangeIsReportedOnce) {
  TFont font;
  ChangeCounter counter;
  font.SetOnChange(TNotifyEvent::Of<&ChangeCounter::Changed>(&counter));
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -12);
  EXPECT_EQ(counter.count, 0);
  font.SetHeight(-11);
  EXPECT_EQ(font.Size(), 8);
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -13);
  font.SetStyle(fsBold | fsStrikeOut | 0xF0);
  EXPECT_EQ(font.Style(), 9);
  font.SetColor(clRed);
  font.SetColor(clRed);
  font.SetName("FixedSys");
  font.SetCharset(ANSI_CHARSET);
  EXPECT_EQ(counter.count, 6);

  TFont copy;
  ChangeCounter copies;
  copy.SetOnChange(TNotifyEvent::Of<&ChangeCounter::Changed>(&copies));
  copy.Assign(&font);
  EXPECT_EQ(copies.count, 1);
  EXPECT_EQ(copy.Name(), "FixedSys");
  EXPECT_EQ(copy.Size(), 10);
  EXPECT_EQ(copy.Color(), clRed);
  EXPECT_EQ(copy.Style(), 9);
  EXPECT_EQ(copy.Charset(), ANSI_CHARSET);
  EXPECT_THROW(copy.Assign(nullptr), EConvertError);
}

class TFontHolder : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TFontHolder)
  using TComponent::TComponent;
  TFont* Font() const { return font_.get(); }
  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TFontHolder", nullptr, {
        ObjectProp<TFontHolder, &TFontHolder::Font>("Font", TFont::StaticInfo()),
    }, [](TComponent* owner) -> TComponent* { return new TFontHolder(owner); }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::unique_ptr<TFont> font_ = std::make_unique<TFont>();
};

TEST(Font, StreamsWithColourIdentifiers) {
  TClassRegistry classes;
  classes.Register(TFontHolder::StaticInfo());
  TFontHolder holder(nullptr);
  holder.SetName("Holder");
  holder.Font()->SetName("FixedSys");
  holder.Font()->SetHeight(-11);
  holder.Font()->SetColor(clBtnFace);
  holder.Font()->SetStyle(fsItalic);
  const std::string text = WriteComponentText(holder);
  EXPECT_NE(text.find("Font.Color = clBtnFace\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Font.Style = [fsItalic]\r\n"), std::string::npos) << text;

  TFontHolder back(nullptr);
  ReadComponentText(text, back, classes);
  EXPECT_EQ(back.Font()->Name(), "FixedSys");
  EXPECT_EQ(back.Font()->Height(), -11);
  EXPECT_EQ(back.Font()->Color(), clBtnFace);
  EXPECT_EQ(back.Font()->Style(), fsItalic);

  for (TColor unnamed : {0x123456, static_cast<TColor>(0x80000030)}) {
    holder.Font()->SetColor(unnamed);
    ReadComponentText(WriteComponentText(holder), back, classes);
    EXPECT_EQ(back.Font()->Color(), unnamed);
  }
  EXPECT_THROW(ReadComponentText("object Holder: TFontHolder\r\n  Font.Color = clBogus\r\nend\r\n", back, classes),
               EReadError);
}

}  // namespace
}  // namespace corvida
