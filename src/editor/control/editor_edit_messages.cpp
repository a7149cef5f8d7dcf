// The messages of a plain edit control, so that code written for one can
// read and drive the editor. Offsets count the rows joined: each row's bytes,
// plus 2 after a line break; rows are screen rows.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "editor/control/editor.h"
#include "editor/model/column_map.h"

namespace corvida {
namespace {

// A parameter as the 32-bit signed value callers pass (-1 included).
int Signed(uintptr_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

// The rows the line messages accept: the stored ones, and the empty row after
// a final line break, where the caret may stand.
bool LineInRange(const TEditor& e, int row) {
  const int count = e.ScreenStrings()->Count();
  return row >= 0 && (row < count || (row == count && (count == 0 || e.GetRowAttribute(count - 1) == raCrlf)));
}

int RowLength(const TEditor& e, int row) { return static_cast<int>(e.GetRowString(row).size()); }

// The row holding offset; the row count past the last row. left becomes the
// offset inside that row.
int RowOfOffset(const TEditor& e, int offset, int& left) {
  left = offset;
  return e.ScreenStrings()->RowAtOffset(0, left);
}

LRESULT GetSel(const TEditor& e, WPARAM startOut, LPARAM endOut) {
  const uint32_t start = static_cast<uint32_t>(e.GetSelStart());
  const uint32_t end = start + static_cast<uint32_t>(e.GetSelLength());
  if (startOut) std::memcpy(reinterpret_cast<void*>(startOut), &start, sizeof start);
  if (endOut) std::memcpy(reinterpret_cast<void*>(endOut), &end, sizeof end);
  return MAKELPARAM(static_cast<int>(start), static_cast<int>(end));
}

void SetSel(TEditor& e, int start, int end) {
  if (start == 0 && end == -1) {
    e.SelectAll();
    return;
  }
  if (start == -1) {
    e.CleanSelection();
    return;
  }
  // A negative end stands for the end of the text, as callers expect.
  if (end < 0) end = e.GetTextLen();
  e.SetSelStart(std::min(start, end));
  e.SetSelLength(std::max(start, end) - std::min(start, end));
}

void ScrollCaretIntoView(TEditor& e) {
  if (e.Row() < e.TopRow() || e.Row() > e.TopRow() + e.VisibleRows() - 1)
    e.SetTopRow(e.Row() - e.VisibleRows() / 3);
  if (e.Col() < e.TopCol() || e.Col() > e.TopCol() + e.VisibleCols() - 1)
    e.SetTopCol(e.Col() - e.VisibleCols() / 3);
}

LRESULT LineIndex(const TEditor& e, int row) {
  if (row == -1) row = e.Row();
  return LineInRange(e, row) ? e.ScreenStrings()->RowOffset(row) : -1;
}

LRESULT LineLength(const TEditor& e, int offset) {
  if (offset != -1) {
    int left = 0;
    return RowLength(e, RowOfOffset(e, offset, left));
  }
  if (!e.SelectedOrHit()) return RowLength(e, e.Row());
  // The characters of the selection's rows that are not selected.
  const TSelectionBytes& b = e.Selection().bytes;
  return b.startIndex + RowLength(e, b.lastRow) - b.endIndex - 1;
}

// Copies row into a buffer whose first word holds its size; no NUL.
LRESULT GetLine(const TEditor& e, int row, LPARAM buffer) {
  if (!buffer || !LineInRange(e, row)) return 0;
  auto* out = reinterpret_cast<char*>(buffer);
  uint16_t room = 0;
  std::memcpy(&room, out, sizeof room);
  const std::string text = e.GetRowString(row);
  const size_t n = std::min<size_t>(room, text.size());
  std::memcpy(out, text.data(), n);
  return static_cast<LRESULT>(n);
}

LRESULT LineFromChar(const TEditor& e, int offset) {
  if (offset == -1) return e.SelectedOrHit() ? e.Selection().bytes.firstRow : e.Row();
  int left = 0;
  return RowOfOffset(e, offset, left);
}

// The client cell of the character at offset, tabs and double-byte
// characters counted in display columns; the end of the text is a cell too,
// offsets past it give -1.
LRESULT PosFromChar(const TEditor& e, int offset) {
  if (offset < 0 || offset > e.GetTextLen()) return -1;
  int left = 0;
  const int row = RowOfOffset(e, offset, left);
  const std::string text = e.GetRowString(row);
  const auto head = static_cast<size_t>(std::clamp(left, 0, static_cast<int>(text.size())));
  const int col = e.StrColumns(std::string_view(text).substr(0, head));
  return MAKELPARAM((col - e.TopCol()) * e.ColWidth() + e.TextLeft(), (row - e.TopRow()) * e.RowHeight() + e.TextTop());
}

LRESULT CharFromPos(const TEditor& e, LPARAM point) {
  const TPoint p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  if (!e.ClientRect().Contains(p)) return -1;
  int col = 0;
  int row = 0;
  e.PosToRowCol(p.x, p.y, false, col, row);
  row = std::max(row, 0);
  const std::string map = e.ColumnMap(row);
  if (MapLetter(map, col) == kColTrail) --col;
  const int index = std::clamp(ColToIndex(map, col), 0, RowLength(e, row));
  const TEditorScreenStrings& store = *e.ScreenStrings();
  const int before = row < store.Count() ? store.RowOffset(row) : store.TextLength();
  return MAKELPARAM(before + index, row);
}

LRESULT UndoMessage(TEditor& e) {
  if (e.ReadOnly() || !e.CanUndo()) return 0;
  e.Undo();
  return 1;
}

// At most room - 1 bytes of the text and a NUL.
LRESULT GetText(const TEditor& e, WPARAM room, LPARAM buffer) {
  if (!buffer || room == 0) return 0;
  const std::string text = e.Lines()->GetTextStr();
  const size_t n = std::min<size_t>(room - 1, text.size());
  auto* out = reinterpret_cast<char*>(buffer);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<LRESULT>(n);
}

}  // namespace

bool TEditor::EditControlMessage(TMessage& m) {
  const bool writable = !readOnly_;
  switch (m.Msg) {
    case EM_GETSEL: m.Result = GetSel(*this, m.WParam, m.LParam); return true;
    case EM_SETSEL: SetSel(*this, Signed(m.WParam), Signed(static_cast<uintptr_t>(m.LParam))); return true;
    case EM_SCROLLCARET: ScrollCaretIntoView(*this); return true;
    case EM_GETMODIFY: m.Result = modified_; return true;
    case EM_SETMODIFY:
      if (writable) modified_ = (m.WParam & 0xFF) != 0;
      return true;
    case EM_GETLINECOUNT: m.Result = store_->Count(); return true;
    case EM_LINEINDEX: m.Result = LineIndex(*this, Signed(m.WParam)); return true;
    case EM_LINELENGTH: m.Result = LineLength(*this, Signed(m.WParam)); return true;
    case EM_REPLACESEL:
      if (writable) InsertText(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
      return true;
    case EM_GETLINE: m.Result = GetLine(*this, Signed(m.WParam), m.LParam); return true;
    case EM_CANUNDO: m.Result = writable && CanUndo(); return true;
    case EM_UNDO: m.Result = UndoMessage(*this); return true;
    case EM_LINEFROMCHAR: m.Result = LineFromChar(*this, Signed(m.WParam)); return true;
    case EM_EMPTYUNDOBUFFER:
      if (writable) ClearUndo();
      return true;
    case EM_GETFIRSTVISIBLELINE: m.Result = topRow_; return true;
    case EM_SETREADONLY:
      SetReadOnly(m.WParam != 0);
      m.Result = readOnly_ == (m.WParam != 0);
      return true;
    case EM_POSFROMCHAR: m.Result = PosFromChar(*this, Signed(m.WParam)); return true;
    case EM_CHARFROMPOS: m.Result = CharFromPos(*this, m.LParam); return true;
    // Without a selection the clipboard keeps what the user copied.
    case WM_CUT:
      if (writable && Selected()) CutToClipboard();
      return true;
    case WM_COPY:
      if (Selected()) CopyToClipboard();
      return true;
    case WM_PASTE:
      if (writable) PasteFromClipboard();
      return true;
    case WM_CLEAR:
      if (writable) ClearSelection();
      return true;
    case WM_SETTEXT:
      if (writable) lines_->SetTextStr(std::string(m.LParam ? reinterpret_cast<const char*>(m.LParam) : ""));
      m.Result = writable;
      return true;
    case WM_GETTEXT: m.Result = GetText(*this, m.WParam, m.LParam); return true;
    case WM_GETTEXTLENGTH: m.Result = GetTextLen(); return true;
    default: return false;
  }
}

}  // namespace corvida
