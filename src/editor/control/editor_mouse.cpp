// The mouse on TEditor: pressing, extending and drag-selecting, whole rows
// from the left margin, pointer shapes by area, dragging the selection to
// move or copy it.
#include <algorithm>
#include <cstdlib>

#include "editor/control/editor.h"
#include "editor/model/line_breaks.h"
#include "platform/winsys/clipboard.h"
#include "platform/winsys/cursors.h"
#include "platform/winsys/window_system.h"

namespace corvida {

namespace {

// Pointer kinds of SetMouseCursor.
constexpr int kTextCursor = 0;
constexpr int kLeftMarginCursor = 1;
constexpr int kTopMarginCursor = 2;
constexpr int kInSelCursor = 3;
constexpr int kDragCursor = 4;
constexpr int kDragCopyCursor = 5;

// The last of the character and system-key messages a drag discards.
constexpr UINT kLastCharMessage = 0x0109;

}  // namespace

bool TEditor::CanSelDrag() const { return !readOnly_ && Selected() && !selection_.Box() && caret_->SelMove(); }

void TEditor::SetMouseCursor(int kind) {
  if (kind == Selection().cursorKind) return;
  selection_.SetCursorKind(kind);
  if (!caret_->AutoCursor()) return;
  const TEditorCursors& c = *caret_->Cursors();
  switch (kind) {
    case kTextCursor: SetCursor(c.DefaultCursor()); break;
    case kLeftMarginCursor: SetCursor(c.LeftMarginCursor()); break;
    case kTopMarginCursor: SetCursor(c.TopMarginCursor()); break;
    case kInSelCursor: SetCursor(c.InSelCursor()); break;
    // A drag shows its pointer on the screen only: the window keeps its own.
    case kDragCursor: corvida::SetCursor(c.DragSelCursor()); break;
    case kDragCopyCursor: corvida::SetCursor(c.DragSelCopyCursor()); break;
    default: break;
  }
}

// ---- Buttons and moves ----

void TEditor::DoMouseDown(TMessage& m, TMouseButton button) {
  if (button == mbLeft) LeftButtonDown(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam), (m.WParam & MK_SHIFT) != 0);
  if (button == mbMiddle) MiddleButtonDown(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
  TCustomControl::DoMouseDown(m, button);
}

void TEditor::DoMouseMove(TMessage& m) {
  LeftButtonMove(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
  TCustomControl::DoMouseMove(m);
}

void TEditor::DoMouseUp(TMessage& m, TMouseButton button) {
  TCustomControl::DoMouseUp(m, button);
  if (button != mbLeft) return;
  LeftButtonUp();
  OfferSelection();
}

void TEditor::OfferSelection() {
  if (Selected()) SetPrimarySelection(GetSelText());
}

void TEditor::MiddleButtonDown(int x, int y) {
  if (readOnly_) return;
  const std::string text = GetPrimarySelection();
  if (text.empty()) return;
  int col = 0;
  int row = 0;
  PosToRowCol(x, y, true, col, row);
  // The text goes in at the pointer, beside a selection, not in its place.
  CleanSelection();
  SetRowCol(row, col);
  InsertText(text);
}

void TEditor::LeftButtonDown(int x, int y, bool shift) {
  leftPressed_ = true;
  int col = 0;
  int row = 0;
  if (shift) {
    if (!Selected()) StartSelection();
    PosToRowCol(x, y, true, col, row);
    SetRowCol(row, col);
    UpdateSelection();
    return;
  }
  selection_.SetPressPoint({x, y});
  PosToRowCol(x, y, false, col, row);
  if (CanSelDrag() && x >= TextLeft() && IsInSelection(row, col)) {
    SetRowCol(row, col);
    if (caret_->SelDragMode() == dmAutomatic) {
      // Ends the toolkit's own press; the drag takes over from here and
      // holds the capture, so that a release outside is still seen.
      Window()->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
      corvida::SetCapture(Window());
      selection_.SetDragState(TSelDragState::Armed);
    }
    return;
  }
  PosToRowCol(x, y, true, col, row);
  if (x < TextLeft() && caret_->RowSelect()) {
    StartRowSelect(row);
    return;
  }
  TCaretUpdate caretUpdate(*this);
  SetRowCol(row, col);
  StartSelection();
}

void TEditor::LeftButtonMove(int x, int y) {
  int col = 0;
  int row = 0;
  // Above the text the caret goes one row up, so the view scrolls upwards
  // with every move while the pointer stays there.
  const auto rowAbove = [&] {
    if (y < TextTop()) row = std::max(0, row - 1);
  };
  if (leftPressed_) {
    PosToRowCol(x, y, true, col, row);
    rowAbove();
    if (Selection().rowSelect.active) {
      ExtendRowSelect(row);
      return;
    }
    SetRowCol(row, col);
    if (Selected() || PastDragThreshold(x, y)) UpdateSelection();
    return;
  }
  switch (SelDragState()) {
    case TSelDragState::Armed:
      if (PastDragThreshold(x, y)) BeginSelDrag();
      return;
    case TSelDragState::Dragging:
      // The caret marks the drop point.
      PosToRowCol(x, y, false, col, row);
      rowAbove();
      SetRowCol(row, col);
      return;
    case TSelDragState::None:
      break;
  }
  if (x < TextLeft()) {
    SetMouseCursor(kLeftMarginCursor);
  } else if (y < TextTop()) {
    SetMouseCursor(kTopMarginCursor);
  } else {
    PosToRowCol(x, y, true, col, row);
    SetMouseCursor(CanSelDrag() && IsInSelection(row, col) ? kInSelCursor : kTextCursor);
  }
}

void TEditor::LeftButtonUp() {
  leftPressed_ = false;
  switch (SelDragState()) {
    case TSelDragState::Dragging:
      EndSelDrag();
      break;
    case TSelDragState::Armed:
      CancelSelDrag();
      break;
    case TSelDragState::None:
      selection_.EndRowSelect();
      break;
  }
}

bool TEditor::PastDragThreshold(int x, int y) const {
  const int half = colWidth_ / 2;
  const TPoint press = Selection().pressPoint;
  return std::abs(x - press.x) >= half || std::abs(y - press.y) >= half;
}

bool TEditor::MouseFiltered(const TMessage& m) {
  if (SelDragState() == TSelDragState::None && !leftPressed_) return false;
  const bool dragging = SelDragState() == TSelDragState::Dragging;
  switch (m.Msg) {
    case WM_KEYDOWN:
      if (!dragging) return true;
      if (m.WParam == VK_CONTROL) SetMouseCursor(kDragCopyCursor);
      if (m.WParam == VK_ESCAPE) CancelSelDrag();
      return false;
    case WM_KEYUP:
      if (!dragging || m.WParam != VK_CONTROL) return true;
      SetMouseCursor(kDragCursor);
      return false;
    default:
      return (m.Msg >= WM_CHAR && m.Msg <= kLastCharMessage) || (m.Msg >= WM_LBUTTONDBLCLK && m.Msg <= WM_MOUSEWHEEL);
  }
}

// ---- Dragging the selection ----

void TEditor::BeginSelDrag() {
  selection_.SetDragState(TSelDragState::Dragging);
  SetMouseCursor(KeyHeld(VK_CONTROL) ? kDragCopyCursor : kDragCursor);
}

void TEditor::EndSelDrag() {
  selection_.SetDragState(TSelDragState::None);
  TPoint p;
  GetCursorPos(p);
  p = Window()->ScreenToClient(p);
  if (!ClientRect().Contains(p) || IsInSelection(row_, col_)) {
    CleanSelection();
    return;
  }
  if (KeyHeld(VK_CONTROL))
    CopySelectionTo(row_, col_);
  else
    MoveSelectionTo(row_, col_);
}

void TEditor::CancelSelDrag() {
  selection_.SetDragState(TSelDragState::None);
  if (KeyHeld(VK_ESCAPE) && caret_->AutoCursor())
    corvida::SetCursor(caret_->Cursors()->DefaultCursor());
  else
    SetMouseCursor(kTextCursor);
  CleanSelection();
}

void TEditor::CopySelectionTo(int row, int col) { PutSelectedText(row, col, false); }

void TEditor::MoveSelectionTo(int row, int col) { PutSelectedText(row, col, true); }

void TEditor::PutSelectedText(int row, int col, bool move) {
  if (!CanSelDrag() || IsInSelection(row, col)) {
    CleanSelection();
    return;
  }
  const TSelectionBytes b = Selection().bytes;
  const int count = store_->Count();
  // A move rebuilds every row from the selection to the drop point; a copy
  // only the drop row.
  const int first = move ? std::min(b.firstRow, row) : row;
  const int last = move ? std::max(b.lastRow, row) : row;
  std::string text;
  int selStart = 0;
  int selEnd = 0;
  int drop = 0;
  for (int r = first; r <= last; ++r) {
    const int at = static_cast<int>(text.size());
    text += GetRowString(r);
    if (r == row) {
      // A drop past the end of its row pads the row with spaces.
      const int pad = col - RowWidth(r);
      if (pad > 0) text.append(static_cast<size_t>(pad), ' ');
      drop = pad > 0 ? static_cast<int>(text.size()) : at + ColumnToIndex(r, col);
    }
    if (r == b.firstRow) selStart = at + b.startIndex;
    if (r == b.lastRow) selEnd = at + b.endIndex + 1;
    if (r < count) text += LineBreakAfter(store_->RowAttributes(r));
  }
  std::string moved;
  if (move) {
    // The drop point may lie inside the selection's bytes where its columns
    // said it did not (a tab's filler).
    if (drop > selStart && drop < selEnd) {
      CleanSelection();
      return;
    }
    moved = text.substr(static_cast<size_t>(selStart), static_cast<size_t>(selEnd - selStart));
    text.erase(static_cast<size_t>(selStart), moved.size());
    if (drop > selStart) drop -= static_cast<int>(moved.size());
  } else {
    moved = GetSelText();
  }
  text.insert(static_cast<size_t>(drop), moved);
  // The edit rewraps from the row above: the caret offset counts from there.
  const int startRow = std::max(store_->FirstRowOfLine(first), first - 1);
  const int offset = CharOffset(startRow, first, 0) + drop + static_cast<int>(moved.size());
  CleanSelection();
  TCaretUpdate caretUpdate(*this);
  const int rows = first >= count ? 0 : std::min(last, count - 1) - first + 1;
  store_->ChangeRows(first, rows, text);
  PlaceCaretAtOffset(startRow, offset);
}

// ---- Row selection ----

void TEditor::SetAnchor(int row, int col) {
  row = std::min(row, store_->Count());
  const int index = std::min(static_cast<int>(GetRowString(row).size()), ColumnToIndex(row, col));
  selection_.SetAnchor(selection_.AnchorAt(row, index, col, RowWidth(row)));
}

void TEditor::StartRowSelect(int row) {
  const int count = store_->Count();
  if (count == 0) return;
  const bool eofLast = store_->RowAttributes(count - 1) == raEof;
  row = std::clamp(row, 0, eofLast ? count - 1 : count);
  const bool lastRow = eofLast && row == count - 1;
  selection_.StartRowSelect(row, lastRow);
  TCaretUpdate caretUpdate(*this);
  // The last row has no line break: it is selected from its end back.
  SetRowCol(row, lastRow ? RowWidth(row) : 0);
  StartSelection();
  SetRowCol(lastRow ? row : row + 1, 0);
  UpdateSelection();
  SetRowCol(row, 0);
}

void TEditor::ExtendRowSelect(int row) {
  const TRowSelection& rs = Selection().rowSelect;
  const int count = store_->Count();
  if (!rs.active || count == 0) return;
  const bool eofLast = store_->RowAttributes(count - 1) == raEof;
  row = std::clamp(row, 0, eofLast ? count - 1 : count);
  selection_.SetRowSelectRow(row);
  const int clicked = rs.anchorRow;
  if (row < clicked || rs.lastRow) {
    // From the end of the clicked row up to the pointer's row.
    if (rs.lastRow)
      SetAnchor(clicked, RowWidth(clicked));
    else
      SetAnchor(clicked + 1, 0);
    SetRowCol(row, 0);
  } else {
    SetAnchor(clicked, 0);
    if (eofLast && row == count - 1)
      SetRowCol(row, RowWidth(row));
    else
      SetRowCol(row + 1, 0);
  }
  UpdateSelection();
}

}  // namespace corvida
