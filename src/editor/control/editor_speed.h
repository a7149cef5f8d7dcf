#pragma once
// How far caret and page moves go while a key repeats, and how much of the
// text a full rescan covers. No change notification: the values are read
// when a move or a rescan runs.
#include "editor/control/editor_setting_types.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {

// Each range is kept within 1..4: a factor of 0 or below would stall or
// reverse a move.
class TEditorSpeed : public TPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorSpeed)

  // Rows per repeated vertical caret move at the window's edge.
  TEditorSpeedRange CaretVerticalAc() const { return caretVerticalAc_; }
  void SetCaretVerticalAc(TEditorSpeedRange value);
  // A full rescan covers all rows instead of the first screens.
  bool InitBracketsFull() const { return initBracketsFull_; }
  void SetInitBracketsFull(bool value) { initBracketsFull_ = value; }
  // Half-windows per page move, and per repeated page move.
  TEditorSpeedRange PageVerticalRange() const { return pageVerticalRange_; }
  void SetPageVerticalRange(TEditorSpeedRange value);
  TEditorSpeedRange PageVerticalRangeAc() const { return pageVerticalRangeAc_; }
  void SetPageVerticalRangeAc(TEditorSpeedRange value);

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  TEditorSpeedRange caretVerticalAc_ = 2;
  bool initBracketsFull_ = false;
  TEditorSpeedRange pageVerticalRange_ = 2;
  TEditorSpeedRange pageVerticalRangeAc_ = 2;
};

}  // namespace corvida
