// The edit-control messages: each handler reads its parameters, calls the
// editor's operations and answers in m.Result.
#include "editor/control/editor_edit_messages.h"

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

void WMSetText(TEditor& e, TMessage& m) {
  const bool writable = !e.ReadOnly();
  if (writable) e.Lines()->SetTextStr(std::string(m.LParam ? reinterpret_cast<const char*>(m.LParam) : ""));
  m.Result = writable;
}

void WMGetText(TEditor& e, TMessage& m) { m.Result = GetText(e, m.WParam, m.LParam); }
void WMGetTextLength(TEditor& e, TMessage& m) { m.Result = e.GetTextLen(); }
void EMGetSel(TEditor& e, TMessage& m) { m.Result = GetSel(e, m.WParam, m.LParam); }
void EMSetSel(TEditor& e, TMessage& m) { SetSel(e, Signed(m.WParam), Signed(static_cast<uintptr_t>(m.LParam))); }
void EMScrollCaret(TEditor& e, TMessage&) { ScrollCaretIntoView(e); }
void EMGetModify(TEditor& e, TMessage& m) { m.Result = e.Modified(); }

void EMSetModify(TEditor& e, TMessage& m) {
  if (!e.ReadOnly()) e.SetModified((m.WParam & 0xFF) != 0);
}

void EMGetLineCount(TEditor& e, TMessage& m) { m.Result = e.ScreenStrings()->Count(); }
void EMLineIndex(TEditor& e, TMessage& m) { m.Result = LineIndex(e, Signed(m.WParam)); }
void EMLineLength(TEditor& e, TMessage& m) { m.Result = LineLength(e, Signed(m.WParam)); }

void EMReplaceSel(TEditor& e, TMessage& m) {
  if (!e.ReadOnly()) e.InsertText(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
}

void EMGetLine(TEditor& e, TMessage& m) { m.Result = GetLine(e, Signed(m.WParam), m.LParam); }
void EMCanUndo(TEditor& e, TMessage& m) { m.Result = !e.ReadOnly() && e.CanUndo(); }
void EMUndo(TEditor& e, TMessage& m) { m.Result = UndoMessage(e); }
void EMLineFromChar(TEditor& e, TMessage& m) { m.Result = LineFromChar(e, Signed(m.WParam)); }

void EMEmptyUndoBuffer(TEditor& e, TMessage&) {
  if (!e.ReadOnly()) e.ClearUndo();
}

void EMGetFirstVisibleLine(TEditor& e, TMessage& m) { m.Result = e.TopRow(); }

void EMSetReadOnly(TEditor& e, TMessage& m) {
  e.SetReadOnly(m.WParam != 0);
  m.Result = e.ReadOnly() == (m.WParam != 0);
}

void EMPosFromChar(TEditor& e, TMessage& m) { m.Result = PosFromChar(e, Signed(m.WParam)); }
void EMCharFromPos(TEditor& e, TMessage& m) { m.Result = CharFromPos(e, m.LParam); }

void WMCut(TEditor& e, TMessage&) {
  if (!e.ReadOnly() && e.Selected()) e.CutToClipboard();
}

void WMCopy(TEditor& e, TMessage&) {
  if (e.Selected()) e.CopyToClipboard();
}

void WMPaste(TEditor& e, TMessage&) {
  if (!e.ReadOnly()) e.PasteFromClipboard();
}

void WMClear(TEditor& e, TMessage&) {
  if (!e.ReadOnly()) e.ClearSelection();
}

}  // namespace corvida
