#include "editor/control/editor_caret_settings.h"

#include <algorithm>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"
#include "support/published_assign.h"

namespace corvida {

// TEditorCursors

void TEditorCursors::StoreCursor(TCursor& field, int value) {
  if (value < std::numeric_limits<TCursor>::min() || value > std::numeric_limits<TCursor>::max())
    throw EConvertError(msg::kInvalidPropertyValue);
  StoreSetting(*this, field, static_cast<TCursor>(value));
}

void TEditorCursors::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TEditorCursors::StaticInfo() {
  using C = TEditorCursors;
  static const TClassInfo info{"TEditorCursors", nullptr, {
      IdentIntProp<C, &C::DefaultCursor, &C::SetDefaultCursor>("DefaultCursor", &CursorToIdent, &IdentToCursor),
      IdentIntProp<C, &C::DragSelCursor, &C::SetDragSelCursor>("DragSelCursor", &CursorToIdent, &IdentToCursor),
      IdentIntProp<C, &C::DragSelCopyCursor, &C::SetDragSelCopyCursor>("DragSelCopyCursor", &CursorToIdent,
                                                                        &IdentToCursor),
      IdentIntProp<C, &C::InSelCursor, &C::SetInSelCursor>("InSelCursor", &CursorToIdent, &IdentToCursor),
      IdentIntProp<C, &C::LeftMarginCursor, &C::SetLeftMarginCursor>("LeftMarginCursor", &CursorToIdent,
                                                                      &IdentToCursor),
      IdentIntProp<C, &C::TopMarginCursor, &C::SetTopMarginCursor>("TopMarginCursor", &CursorToIdent,
                                                                   &IdentToCursor),
  }};
  return &info;
}

// TEditorCaret

TEditorCaret::TEditorCaret() : cursors_(std::make_unique<TEditorCursors>()) {}

TEditorCaret::~TEditorCaret() = default;

void TEditorCaret::SetTabSpaceCount(int value) {
  StoreSetting(*this, tabSpaceCount_, std::clamp(value, kMinTabSpaceCount, kMaxTabSpaceCount) & ~1);
}

void TEditorCaret::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
}

const TClassInfo* TEditorCaret::StaticInfo() {
  using C = TEditorCaret;
  static const TClassInfo info{"TEditorCaret", nullptr, {
      BoolProp<C, &C::AutoCursor, &C::SetAutoCursor>("AutoCursor"),
      BoolProp<C, &C::AutoIndent, &C::SetAutoIndent>("AutoIndent"),
      BoolProp<C, &C::BackSpaceUnIndent, &C::SetBackSpaceUnIndent>("BackSpaceUnIndent"),
      ObjectProp<C, &C::Cursors>("Cursors", TEditorCursors::StaticInfo()),
      BoolProp<C, &C::FreeCaret, &C::SetFreeCaret>("FreeCaret"),
      BoolProp<C, &C::FreeRow, &C::SetFreeRow>("FreeRow"),
      BoolProp<C, &C::InTab, &C::SetInTab>("InTab"),
      BoolProp<C, &C::KeepCaret, &C::SetKeepCaret>("KeepCaret"),
      BoolProp<C, &C::LockScroll, &C::SetLockScroll>("LockScroll"),
      BoolProp<C, &C::NextLine, &C::SetNextLine>("NextLine"),
      BoolProp<C, &C::PrevSpaceIndent, &C::SetPrevSpaceIndent>("PrevSpaceIndent"),
      BoolProp<C, &C::RowSelect, &C::SetRowSelect>("RowSelect"),
      EnumProp<C, &C::SelDragMode, &C::SetSelDragMode>("SelDragMode", DragModeNames()),
      BoolProp<C, &C::SelMove, &C::SetSelMove>("SelMove"),
      BoolProp<C, &C::SoftTab, &C::SetSoftTab>("SoftTab"),
      EnumProp<C, &C::Style, &C::SetStyle>("Style", CaretStyleNames()),
      BoolProp<C, &C::TabIndent, &C::SetTabIndent>("TabIndent"),
      IntProp<C, &C::TabSpaceCount, &C::SetTabSpaceCount>("TabSpaceCount"),
      BoolProp<C, &C::TokenEndStop, &C::SetTokenEndStop>("TokenEndStop"),
  }};
  return &info;
}

}  // namespace corvida
