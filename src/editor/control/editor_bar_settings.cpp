#include "editor/control/editor_bar_settings.h"

#include <algorithm>

#include "support/published_assign.h"

namespace corvida {

namespace {

int Pixels(int value, int max) { return std::clamp(value, 0, max); }

}  // namespace

// TEditorMargin

void TEditorMargin::SetCharacter(int value) { StoreSetting(*this, character_, Pixels(value, kMaxMargin)); }
void TEditorMargin::SetLeft(int value) { StoreSetting(*this, left_, Pixels(value, kMaxMargin)); }
void TEditorMargin::SetLine(int value) { StoreSetting(*this, line_, Pixels(value, kMaxMargin)); }
void TEditorMargin::SetTop(int value) { StoreSetting(*this, top_, Pixels(value, kMaxMargin)); }

void TEditorMargin::Assign(const TPersistent* source) {
  // The underline pixel is the editor's, not published: it goes along
  // inside the bracket, before the one change is reported.
  const auto underline = [this](const TEditorMargin& other) { underlinePixel_ = other.underlinePixel_; };
  if (!AssignSettings(*this, source, underline)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TEditorMargin::StaticInfo() {
  using C = TEditorMargin;
  static const TClassInfo info{"TEditorMargin", nullptr, {
      IntProp<C, &C::Character, &C::SetCharacter>("Character"),
      IntProp<C, &C::Left, &C::SetLeft>("Left"),
      IntProp<C, &C::Line, &C::SetLine>("Line"),
      IntProp<C, &C::Top, &C::SetTop>("Top"),
  }};
  return &info;
}

// TEditorRuler

void TEditorRuler::SetGaugeRange(int value) {
  StoreSetting(*this, gaugeRange_, std::clamp(value, kMinGaugeRange, kMaxGaugeRange) & ~1);
}

void TEditorRuler::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TEditorRuler::StaticInfo() {
  using C = TEditorRuler;
  static const TClassInfo info{"TEditorRuler", nullptr, {
      IdentIntProp<C, &C::BkColor, &C::SetBkColor>("BkColor", &ColorToIdent, &IdentToColor),
      IdentIntProp<C, &C::Color, &C::SetColor>("Color", &ColorToIdent, &IdentToColor),
      BoolProp<C, &C::Edge, &C::SetEdge>("Edge"),
      IntProp<C, &C::GaugeRange, &C::SetGaugeRange>("GaugeRange"),
      IdentIntProp<C, &C::MarkColor, &C::SetMarkColor>("MarkColor", &ColorToIdent, &IdentToColor),
      BoolProp<C, &C::Visible, &C::SetVisible>("Visible"),
  }};
  return &info;
}

// TEditorLeftbar

void TEditorLeftbar::SetColumn(int value) { StoreSetting(*this, column_, std::clamp(value, kMinColumn, kMaxColumn)); }
void TEditorLeftbar::SetLeftMargin(int value) { StoreSetting(*this, leftMargin_, Pixels(value, kMaxMargin)); }
void TEditorLeftbar::SetRightMargin(int value) { StoreSetting(*this, rightMargin_, Pixels(value, kMaxMargin)); }

void TEditorLeftbar::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TEditorLeftbar::StaticInfo() {
  using C = TEditorLeftbar;
  static const TClassInfo info{"TEditorLeftbar", nullptr, {
      IdentIntProp<C, &C::BkColor, &C::SetBkColor>("BkColor", &ColorToIdent, &IdentToColor),
      IdentIntProp<C, &C::Color, &C::SetColor>("Color", &ColorToIdent, &IdentToColor),
      IntProp<C, &C::Column, &C::SetColumn>("Column"),
      BoolProp<C, &C::Edge, &C::SetEdge>("Edge"),
      IntProp<C, &C::LeftMargin, &C::SetLeftMargin>("LeftMargin"),
      IntProp<C, &C::RightMargin, &C::SetRightMargin>("RightMargin"),
      BoolProp<C, &C::ShowNumber, &C::SetShowNumber>("ShowNumber"),
      EnumProp<C, &C::ShowNumberMode, &C::SetShowNumberMode>("ShowNumberMode", ShowNumberModeNames()),
      BoolProp<C, &C::Visible, &C::SetVisible>("Visible"),
      BoolProp<C, &C::ZeroBase, &C::SetZeroBase>("ZeroBase"),
      BoolProp<C, &C::ZeroLead, &C::SetZeroLead>("ZeroLead"),
  }};
  return &info;
}

// TEditorImagebar

void TEditorImagebar::SetDigitWidth(int value) { StoreSetting(*this, digitWidth_, Pixels(value, kMaxWidth)); }
void TEditorImagebar::SetLeftMargin(int value) { StoreSetting(*this, leftMargin_, Pixels(value, kMaxWidth)); }
void TEditorImagebar::SetMarkWidth(int value) { StoreSetting(*this, markWidth_, Pixels(value, kMaxWidth)); }
void TEditorImagebar::SetRightMargin(int value) { StoreSetting(*this, rightMargin_, Pixels(value, kMaxWidth)); }

void TEditorImagebar::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TEditorImagebar::StaticInfo() {
  using C = TEditorImagebar;
  static const TClassInfo info{"TEditorImagebar", nullptr, {
      IntProp<C, &C::DigitWidth, &C::SetDigitWidth>("DigitWidth"),
      IntProp<C, &C::LeftMargin, &C::SetLeftMargin>("LeftMargin"),
      IntProp<C, &C::MarkWidth, &C::SetMarkWidth>("MarkWidth"),
      IntProp<C, &C::RightMargin, &C::SetRightMargin>("RightMargin"),
      BoolProp<C, &C::Visible, &C::SetVisible>("Visible"),
  }};
  return &info;
}

}  // namespace corvida
