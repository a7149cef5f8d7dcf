#pragma once
// How the caret and the mouse pointer behave: TEditorCursors (the pointer
// shape per area) and TEditorCaret (caret shape, tab stops, indenting and
// movement flags).
#include <memory>

#include "editor/control/editor_setting_types.h"
#include "platform/rtl/typeinfo.h"
#include "platform/winsys/win_defs.h"
#include "support/support_resources.h"

namespace corvida {

// Nobody listens to these changes: the editor reads the shapes each time it
// chooses a pointer. A number outside the 16 bits of a shape raises
// EConvertError.
class TEditorCursors : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorCursors)

  TCursor DefaultCursor() const { return defaultCursor_; }
  void SetDefaultCursor(int value) { StoreCursor(defaultCursor_, value); }
  TCursor DragSelCursor() const { return dragSelCursor_; }
  void SetDragSelCursor(int value) { StoreCursor(dragSelCursor_, value); }
  TCursor DragSelCopyCursor() const { return dragSelCopyCursor_; }
  void SetDragSelCopyCursor(int value) { StoreCursor(dragSelCopyCursor_, value); }
  TCursor InSelCursor() const { return inSelCursor_; }
  void SetInSelCursor(int value) { StoreCursor(inSelCursor_, value); }
  TCursor LeftMarginCursor() const { return leftMarginCursor_; }
  void SetLeftMarginCursor(int value) { StoreCursor(leftMarginCursor_, value); }
  TCursor TopMarginCursor() const { return topMarginCursor_; }
  void SetTopMarginCursor(int value) { StoreCursor(topMarginCursor_, value); }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  void StoreCursor(TCursor& field, int value);

  TCursor defaultCursor_ = crIBeam;
  TCursor dragSelCursor_ = crDrag;
  TCursor dragSelCopyCursor_ = crDragSelCopy;
  TCursor inSelCursor_ = crDefault;
  TCursor leftMarginCursor_ = crRightArrow;
  TCursor topMarginCursor_ = crDefault;
};

// Only Style and TabSpaceCount report a change; the flags are read when they
// are used.
class TEditorCaret : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorCaret)
  static constexpr int kMinTabSpaceCount = 2;
  static constexpr int kMaxTabSpaceCount = 8;

  TEditorCaret();
  ~TEditorCaret() override;

  bool AutoCursor() const { return autoCursor_; }
  void SetAutoCursor(bool value) { autoCursor_ = value; }
  bool AutoIndent() const { return autoIndent_; }
  void SetAutoIndent(bool value) { autoIndent_ = value; }
  bool BackSpaceUnIndent() const { return backSpaceUnIndent_; }
  void SetBackSpaceUnIndent(bool value) { backSpaceUnIndent_ = value; }
  TEditorCursors* Cursors() const { return cursors_.get(); }
  void SetCursors(const TEditorCursors* value) { cursors_->Assign(value); }
  bool FreeCaret() const { return freeCaret_; }
  void SetFreeCaret(bool value) { freeCaret_ = value; }
  bool FreeRow() const { return freeRow_; }
  void SetFreeRow(bool value) { freeRow_ = value; }
  bool InTab() const { return inTab_; }
  void SetInTab(bool value) { inTab_ = value; }
  bool KeepCaret() const { return keepCaret_; }
  void SetKeepCaret(bool value) { keepCaret_ = value; }
  bool LockScroll() const { return lockScroll_; }
  void SetLockScroll(bool value) { lockScroll_ = value; }
  bool NextLine() const { return nextLine_; }
  void SetNextLine(bool value) { nextLine_ = value; }
  bool PrevSpaceIndent() const { return prevSpaceIndent_; }
  void SetPrevSpaceIndent(bool value) { prevSpaceIndent_ = value; }
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value) { rowSelect_ = value; }
  TDragMode SelDragMode() const { return selDragMode_; }
  void SetSelDragMode(TDragMode value) { selDragMode_ = value; }
  bool SelMove() const { return selMove_; }
  void SetSelMove(bool value) { selMove_ = value; }
  bool SoftTab() const { return softTab_; }
  void SetSoftTab(bool value) { softTab_ = value; }
  TEditorCaretStyle Style() const { return style_; }
  void SetStyle(TEditorCaretStyle value) { StoreSetting(*this, style_, value); }
  bool TabIndent() const { return tabIndent_; }
  void SetTabIndent(bool value) { tabIndent_ = value; }
  // Always 2, 4, 6 or 8: clamped, then rounded down to an even number.
  int TabSpaceCount() const { return tabSpaceCount_; }
  void SetTabSpaceCount(int value);
  bool TokenEndStop() const { return tokenEndStop_; }
  void SetTokenEndStop(bool value) { tokenEndStop_ = value; }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  bool autoCursor_ = true;
  bool autoIndent_ = true;
  bool backSpaceUnIndent_ = true;
  std::unique_ptr<TEditorCursors> cursors_;
  bool freeCaret_ = true;
  bool freeRow_ = false;
  bool inTab_ = false;
  bool keepCaret_ = false;
  bool lockScroll_ = false;
  bool nextLine_ = false;
  bool prevSpaceIndent_ = false;
  bool rowSelect_ = true;
  TDragMode selDragMode_ = dmAutomatic;
  bool selMove_ = true;
  bool softTab_ = false;
  TEditorCaretStyle style_ = csDefault;
  bool tabIndent_ = false;
  int tabSpaceCount_ = 8;
  bool tokenEndStop_ = false;
};

}  // namespace corvida
