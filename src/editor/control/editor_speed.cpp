#include "editor/control/editor_speed.h"
#include "support/published_assign.h"

#include <algorithm>

namespace corvida {

namespace {

TEditorSpeedRange InRange(TEditorSpeedRange value) { return std::clamp(value, kMinSpeedRange, kMaxSpeedRange); }

}  // namespace

void TEditorSpeed::SetCaretVerticalAc(TEditorSpeedRange value) { caretVerticalAc_ = InRange(value); }
void TEditorSpeed::SetPageVerticalRange(TEditorSpeedRange value) { pageVerticalRange_ = InRange(value); }
void TEditorSpeed::SetPageVerticalRangeAc(TEditorSpeedRange value) { pageVerticalRangeAc_ = InRange(value); }

void TEditorSpeed::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TPersistent::Assign(source);
}

const TClassInfo* TEditorSpeed::StaticInfo() {
  using C = TEditorSpeed;
  static const TClassInfo info{"TEditorSpeed", nullptr, {
      IntProp<C, &C::CaretVerticalAc, &C::SetCaretVerticalAc>("CaretVerticalAc"),
      BoolProp<C, &C::InitBracketsFull, &C::SetInitBracketsFull>("InitBracketsFull"),
      IntProp<C, &C::PageVerticalRange, &C::SetPageVerticalRange>("PageVerticalRange"),
      IntProp<C, &C::PageVerticalRangeAc, &C::SetPageVerticalRangeAc>("PageVerticalRangeAc"),
  }};
  return &info;
}

}  // namespace corvida
