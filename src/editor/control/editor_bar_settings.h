#pragma once
// The layout around the text: margins (TEditorMargin), the ruler above the
// text (TEditorRuler), the left bar with line numbers (TEditorLeftbar) and
// the image bar with bookmarks (TEditorImagebar).
#include "editor/control/editor_setting_types.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {

// Every distance is clamped to 0..100 pixels.
class TEditorMargin : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorMargin)
  static constexpr int kMaxMargin = 100;

  // Added to the average character width: the column pitch.
  int Character() const { return character_; }
  void SetCharacter(int value);
  // Between the bars and column 0.
  int Left() const { return left_; }
  void SetLeft(int value);
  // Between rows.
  int Line() const { return line_; }
  void SetLine(int value);
  // Above the ruler or the first row.
  int Top() const { return top_; }
  void SetTop(int value);
  // The pixel row kept under each row for the caret-row underline: 1 while
  // that mark shows, else 0. Kept by the editor, not stored, and no change
  // of its own.
  int UnderlinePixel() const { return underlinePixel_; }
  void SetUnderlinePixel(bool shown) { underlinePixel_ = shown ? 1 : 0; }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  int character_ = 0;
  int left_ = 19;
  int line_ = 0;
  int top_ = 2;
  int underlinePixel_ = 0;
};

class TEditorRuler : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorRuler)
  static constexpr int kMinGaugeRange = 8;
  static constexpr int kMaxGaugeRange = 10;

  // clNone: the editor's Color.
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor value) { StoreSetting(*this, bkColor_, value); }
  // Ticks; clNone: the font colour.
  TColor Color() const { return color_; }
  void SetColor(TColor value) { StoreSetting(*this, color_, value); }
  // A raised edge under the ruler.
  bool Edge() const { return edge_; }
  void SetEdge(bool value) { StoreSetting(*this, edge_, value); }
  // Columns between numbered ticks: always 8 or 10.
  int GaugeRange() const { return gaugeRange_; }
  void SetGaugeRange(int value);
  // Background of the caret-column mark; clNone: the font colour.
  TColor MarkColor() const { return markColor_; }
  void SetMarkColor(TColor value) { StoreSetting(*this, markColor_, value); }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { StoreSetting(*this, visible_, value); }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  TColor bkColor_ = clSilver;
  TColor color_ = clBlack;
  bool edge_ = true;
  int gaugeRange_ = 10;
  TColor markColor_ = clBlack;
  bool visible_ = false;
};

class TEditorLeftbar : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorLeftbar)
  static constexpr int kMinColumn = 1;
  static constexpr int kMaxColumn = 8;
  static constexpr int kMaxMargin = 100;

  // Background of the left bar and the image bar; clNone: the editor's Color.
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor value) { StoreSetting(*this, bkColor_, value); }
  // Numbers; clNone: the font colour.
  TColor Color() const { return color_; }
  void SetColor(TColor value) { StoreSetting(*this, color_, value); }
  // The least number of digit columns, 1..8.
  int Column() const { return column_; }
  void SetColumn(int value);
  // A raised edge right of the bar.
  bool Edge() const { return edge_; }
  void SetEdge(bool value) { StoreSetting(*this, edge_, value); }
  // Pixels left of the numbers, 0..100.
  int LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(int value);
  // Pixels right of the numbers, 0..100.
  int RightMargin() const { return rightMargin_; }
  void SetRightMargin(int value);
  bool ShowNumber() const { return showNumber_; }
  void SetShowNumber(bool value) { StoreSetting(*this, showNumber_, value); }
  // Number screen rows or logical lines.
  TEditorShowNumberMode ShowNumberMode() const { return showNumberMode_; }
  void SetShowNumberMode(TEditorShowNumberMode value) { StoreSetting(*this, showNumberMode_, value); }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { StoreSetting(*this, visible_, value); }
  // Numbering starts at 0 instead of 1.
  bool ZeroBase() const { return zeroBase_; }
  void SetZeroBase(bool value) { StoreSetting(*this, zeroBase_, value); }
  // Leading zeros instead of blanks.
  bool ZeroLead() const { return zeroLead_; }
  void SetZeroLead(bool value) { StoreSetting(*this, zeroLead_, value); }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  TColor bkColor_ = clSilver;
  TColor color_ = clBlack;
  int column_ = 4;
  bool edge_ = true;
  int leftMargin_ = 8;
  int rightMargin_ = 4;
  bool showNumber_ = true;
  TEditorShowNumberMode showNumberMode_ = nmRow;
  bool visible_ = false;
  bool zeroBase_ = false;
  bool zeroLead_ = false;
};

// Digit bookmarks are drawn at LeftMargin, image marks at LeftMargin +
// DigitWidth. Every width is clamped to 0..100 pixels.
class TEditorImagebar : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorImagebar)
  static constexpr int kMaxWidth = 100;

  int DigitWidth() const { return digitWidth_; }
  void SetDigitWidth(int value);
  int LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(int value);
  int MarkWidth() const { return markWidth_; }
  void SetMarkWidth(int value);
  int RightMargin() const { return rightMargin_; }
  void SetRightMargin(int value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { StoreSetting(*this, visible_, value); }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  int digitWidth_ = 8;
  int leftMargin_ = 2;
  int markWidth_ = 0;
  int rightMargin_ = 2;
  bool visible_ = true;
};

}  // namespace corvida
