// The selection model of TEditor: anchoring at the caret, computing the
// byte and column forms, repainting only what a change touched, dropping,
// reading, setting and deleting the selected text.
#include "editor/control/editor_selection.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "editor/control/editor.h"
#include "platform/rtl/scope_guard.h"
#include "platform/winsys/caret.h"

namespace corvida {

namespace {

// The column of a selection that runs on to the right edge.
constexpr int kToRightEdge = INT_MAX;

std::string_view Slice(std::string_view s, int from, int to) {
  const int size = static_cast<int>(s.size());
  from = std::clamp(from, 0, size);
  to = std::clamp(to, from, size);
  return s.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

// The bytes [start, end) of text that a box from column left to column right
// (exclusive) covers. A double-byte character or a tab belongs to the side
// where it begins.
void BoxBytes(std::string_view text, const std::string& map, int left, int right, int& start,
              int& end) {
  const int size = static_cast<int>(text.size());
  if (MapLetter(map, left) == kColTrail) ++left;
  while (MapLetter(map, left) == kColTab) ++left;
  start = std::min(size, ColToIndex(map, left));
  int last = right - 1;
  while (last > 0 && MapLetter(map, last) == kColTab) --last;
  int lastIndex = last < 0 ? -1 : ColToIndex(map, last);
  if (MapLetter(map, last) == kColLead) ++lastIndex;
  end = std::clamp(lastIndex + 1, start, size);
}

// The columns [from, to) of row that a selection covers; false when it
// covers none.
bool RowSpan(const TSelectionColumns& k, bool box, int row, int& from, int& to) {
  if (row < k.firstRow || row > k.lastRow) return false;
  if (box) {
    from = k.leftCol;
    to = k.rightCol;
  } else {
    from = row == k.firstRow ? k.leftCol : 0;
    to = row == k.lastRow ? k.rightCol : kToRightEdge;
  }
  return from < to;
}

// Calls piece(bytes) for each part of the selected text in order, line
// breaks included.
template <class Piece>
void ForEachSelectedPiece(const TEditor& editor, Piece&& piece) {
  const TSelectionModel& sel = editor.Selection();
  const TSelectionBytes& b = sel.bytes;
  const TEditorScreenStrings& store = *editor.ScreenStrings();
  const int count = store.Count();
  const auto row = [&](int r) {
    return r >= 0 && r < count ? std::string_view(store.StringRef(r)) : std::string_view();
  };
  if (b.firstRow == b.lastRow) {
    piece(Slice(row(b.firstRow), b.startIndex, b.endIndex + 1));
    return;
  }
  if (sel.box) {
    for (int r = b.firstRow; r <= b.lastRow; ++r) {
      int start = 0;
      int end = 0;
      BoxBytes(row(r), editor.ColumnMap(r), sel.columns.leftCol, sel.columns.rightCol, start, end);
      piece(Slice(row(r), start, end));
      piece(kLineBreak);
    }
    return;
  }
  for (int r = b.firstRow; r < b.lastRow; ++r) {
    piece(r == b.firstRow ? Slice(row(r), b.startIndex, INT_MAX) : row(r));
    if (editor.GetRowAttribute(r) == raCrlf || r == count - 1) piece(kLineBreak);
  }
  piece(Slice(row(b.lastRow), 0, b.endIndex + 1));
}

}  // namespace

std::string JoinRows(const std::vector<TRowWithoutSelection>& rows) {
  size_t size = 0;
  for (const TRowWithoutSelection& row : rows) size += static_cast<size_t>(row.JoinedLength());
  std::string text;
  text.reserve(size);
  for (const TRowWithoutSelection& row : rows) text.append(row.text).append(LineBreakAfter(row.attribute));
  return text;
}

void TEditor::SetSelectionMode(TSelectionMode mode) {
  const bool box = mode == TSelectionMode::Box;
  if (box == selection_.box || selection_.dragState != TSelDragState::None) return;
  selection_.box = box;
  if (SelectedOrHit()) {
    if (box) SetCursor(caret_->Cursors()->DefaultCursor());
    ComputeSelection();
    Invalidate();
  }
  if (onSelectionModeChange_) onSelectionModeChange_(this);
}

void TEditor::StartSelection() {
  if (SelectedOrHit()) CleanSelection();
  if (store_->Count() == 0) return;
  TSelectionModel& s = selection_;
  s.state = TSelectionState::Anchored;
  s.anchor = {row_, CaretIndex(), s.box ? col_ : std::min(col_, RowWidth(row_))};
  s.bytes = {row_, row_, s.anchor.index, s.anchor.index - 1};
  s.columns = {row_, row_, s.anchor.col, s.anchor.col};
  s.prevColumns = s.columns;
}

void TEditor::UpdateSelection() {
  switch (selection_.state) {
    case TSelectionState::Anchored:
      // The caret-row underline stays hidden while a selection exists.
      UnderlineBeginUpdate();
      selection_.state = selection_.markingHit ? TSelectionState::Hit : TSelectionState::Selected;
      ComputeSelection();
      break;
    case TSelectionState::Selected:
      ComputeSelection();
      break;
    default:
      break;
  }
}

void TEditor::ComputeSelection() {
  TSelectionModel& s = selection_;
  const TSelectionAnchor& a = s.anchor;
  const int c = CaretIndex();
  TSelectionBytes& b = s.bytes;
  b.firstRow = std::min(a.row, row_);
  b.lastRow = std::max(a.row, row_);
  if (a.row == row_) {
    b.startIndex = std::min(a.index, c);
    b.endIndex = std::max(a.index, c) - 1;
  } else {
    b.startIndex = a.row < row_ ? a.index : c;
    b.endIndex = (a.row < row_ ? c : a.index) - 1;
  }
  TSelectionColumns& k = s.columns;
  k.firstRow = b.firstRow;
  k.lastRow = b.lastRow;
  if (s.box) {
    k.leftCol = std::min(a.col, col_);
    k.rightCol = std::max(a.col, col_);
  } else {
    const int anchorCol = std::min(a.col, RowWidth(a.row));
    const int caretCol = std::min(col_, RowWidth(row_));
    if (a.row == row_) {
      k.leftCol = std::min(anchorCol, caretCol);
      k.rightCol = std::max(anchorCol, caretCol);
    } else {
      k.leftCol = a.row < row_ ? anchorCol : caretCol;
      k.rightCol = a.row < row_ ? caretCol : anchorCol;
    }
  }
  if (SelectionDrawn()) RepaintSelectionChange(s.prevColumns, k);
  s.prevColumns = k;
  if (onSelectionChange_) onSelectionChange_(this, s.state != TSelectionState::None);
}

void TEditor::RepaintSelectionChange(const TSelectionColumns& before,
                                     const TSelectionColumns& after) {
  if (!HandleAllocated()) return;
  const bool box = selection_.box;
  const int textLeft = TextLeft();
  const int first = std::max(std::min(before.firstRow, after.firstRow), topRow_);
  const int last = std::min(std::max(before.lastRow, after.lastRow), topRow_ + visibleRows_);
  const auto invalidate = [&](int row, int from, int to) {
    // A box edge on the second half of a double-byte character is drawn one
    // column further right.
    if (box && to != kToRightEdge) ++to;
    const auto x = [&](int col) {
      if (col == kToRightEdge) return Width();
      return std::clamp(textLeft + (col - topCol_) * colWidth_, textLeft, Width());
    };
    const int top = TextTop() + rowHeight_ * (row - topRow_);
    const TRect r{x(from), top, x(to), top + fontHeight_ + margin_->UnderlinePixel()};
    if (!r.IsEmpty()) Window()->InvalidateRect(&r, false);
  };
  bool changed = false;
  for (int row = first; row <= last; ++row) {
    int from0 = 0;
    int to0 = 0;
    int from1 = 0;
    int to1 = 0;
    const bool had = RowSpan(before, box, row, from0, to0);
    const bool has = RowSpan(after, box, row, from1, to1);
    if (!had && !has) continue;
    if (had != has) {
      invalidate(row, had ? from0 : from1, had ? to0 : to1);
    } else if (from0 != from1 || to0 != to1) {
      if (from0 != from1) invalidate(row, std::min(from0, from1), std::max(from0, from1));
      if (to0 != to1) invalidate(row, std::min(to0, to1), std::max(to0, to1));
    } else {
      continue;
    }
    changed = true;
  }
  if (changed) Window()->Update();
}

void TEditor::CleanSelection() {
  if (!SelectedOrHit()) return;
  const bool caretHit = selection_.state == TSelectionState::Hit && hitStyle_ == hsCaret;
  selection_.state = TSelectionState::None;
  selection_.selLength = 0;
  if (HandleAllocated()) {
    if (caretHit) UpdateCaret();
    const TSelectionColumns& k = selection_.columns;
    const int first = std::max(k.firstRow - 1, topRow_);
    const int last = std::min(k.lastRow, topRow_ + visibleRows_);
    if (!k.Empty() && first <= last) {
      // The unselected rows also clear the pixel row the selection filled.
      cleaningSelection_ = true;
      ScopeGuard cleaned([this] { cleaningSelection_ = false; });
      const TRect r{
          TextLeft(), TextTop() + rowHeight_ * (first - topRow_), Width(),
          TextTop() + rowHeight_ * (last - topRow_) + fontHeight_ + margin_->UnderlinePixel()};
      Window()->InvalidateRect(&r, false);
      Window()->Update();
    }
  }
  UnderlineEndUpdate();
  colKept_ = false;
  if (onSelectionChange_) onSelectionChange_(this, false);
}

std::vector<TRowWithoutSelection> TEditor::RowsWithoutSelection() const {
  std::vector<TRowWithoutSelection> rows;
  const TSelectionBytes& b = selection_.bytes;
  if (selection_.box) {
    for (int r = b.firstRow; r <= b.lastRow; ++r) {
      const std::string text = GetRowString(r);
      int start = 0;
      int end = 0;
      BoxBytes(text, ColumnMap(r), selection_.columns.leftCol, selection_.columns.rightCol, start,
               end);
      rows.push_back(
          {text.substr(0, static_cast<size_t>(start)) + text.substr(static_cast<size_t>(end)),
           GetRowAttribute(r), start});
    }
    return rows;
  }
  const std::string first = GetRowString(b.firstRow);
  std::string text(Slice(first, 0, b.startIndex));
  text += Slice(GetRowString(b.lastRow), b.endIndex + 1, INT_MAX);
  rows.push_back({std::move(text), GetRowAttribute(b.lastRow),
                  std::clamp(b.startIndex, 0, static_cast<int>(first.size()))});
  return rows;
}

void TEditor::DeleteSelection() {
  if (!HandleAllocated() || !Selected()) return;
  const TSelectionColumns k = selection_.columns;
  // The edit rewraps from the row above: the caret offset counts from there.
  const int startRow = std::max(store_->FirstRowOfLine(k.firstRow), k.firstRow - 1);
  // A box's left column may lie past the end of its first row.
  const int offset = CharOffset(startRow, k.firstRow, 0) + ColumnToIndex(k.firstRow, k.leftCol);
  const std::vector<TRowWithoutSelection> kept = RowsWithoutSelection();
  // Nothing selected changes no text and leaves no undo step.
  bool removes = !selection_.box && GetSelLength() > 0;
  for (size_t i = 0; selection_.box && i < kept.size(); ++i)
    removes = removes || kept[i].text.size() != GetRowString(k.firstRow + static_cast<int>(i)).size();
  const std::string joined = JoinRows(kept);
  const bool multiRow = k.firstRow != k.lastRow;
  std::optional<TCaretUpdate> caretUpdate;
  std::optional<TUnderlineUpdate> underlineUpdate;
  if (multiRow) {
    caretUpdate.emplace(*this);
    underlineUpdate.emplace(*this);
  }
  CleanSelection();
  if (removes)
    store_->ChangeRows(k.firstRow, std::min(k.lastRow, store_->Count() - 1) - k.firstRow + 1,
                       joined);
  PlaceCaretAtOffset(startRow, offset);
}

std::string TEditor::GetSelText() const {
  std::string text;
  if (!Selected()) return text;
  text.reserve(static_cast<size_t>(GetSelLength()));
  ForEachSelectedPiece(*this, [&](std::string_view piece) { text += piece; });
  return text;
}

int TEditor::GetSelLength() const {
  if (!Selected()) return 0;
  int length = 0;
  ForEachSelectedPiece(*this,
                       [&](std::string_view piece) { length += static_cast<int>(piece.size()); });
  return length;
}

int TEditor::GetSelStart() const {
  if (store_->Count() == 0) return 0;
  if (SelectedOrHit())
    return CharOffset(0, selection_.bytes.firstRow, 0) + selection_.bytes.startIndex;
  return CharOffset(0, row_, 0) + CaretIndex();
}

void TEditor::SetSelStart(int n) {
  if (SelectedOrHit()) CleanSelection();
  if (n <= 0) {
    SetRow(0);
    SetCol(0);
    return;
  }
  PlaceCaretAtOffset(0, n);
}

void TEditor::MoveCaretToSelectionStart() {
  SetRow(selection_.columns.firstRow);
  SetCol(selection_.columns.leftCol);
}

void TEditor::SelectCharacters(int n) {
  SetSelectionMode(TSelectionMode::Normal);
  if (n <= 0) {
    if (!SelectedOrHit()) return;
    MoveCaretToSelectionStart();
    CleanSelection();
    return;
  }
  {
    caretMoving_ = true;
    ScopeGuard moved([this] { caretMoving_ = false; });
    if (SelectedOrHit()) MoveCaretToSelectionStart();
    StartSelection();
    PlaceCaretAtOffset(row_, CaretIndex() + n);
  }
  UpdateCaret();
  UpdateSelection();
}

void TEditor::MarkHit(int n) {
  selection_.markingHit = true;
  ScopeGuard marked([this] { selection_.markingHit = false; });
  SelectCharacters(n);
}

void TEditor::SetSelLength(int n) {
  switch (hitStyle_) {
    case hsSelect:
      SelectCharacters(n);
      break;
    case hsDraw:
      MarkHit(n);
      break;
    case hsCaret:
      if (n <= 0) {
        SelectCharacters(n);
        break;
      }
      {
        const int row = row_;
        const int col = col_;
        MarkHit(n);
        if (HandleAllocated() && Focused()) {
          SetRowCol(row, col);
          ShowHitCaret();
        }
      }
      break;
  }
  selection_.selLength = n;
}

void TEditor::ShowHitCaret() {
  const TSelectionColumns& k = selection_.columns;
  // A hit over several rows is shown to the end of the caret row.
  const int cols = k.firstRow == k.lastRow ? k.rightCol - k.leftCol : RowWidth(row_) - col_;
  CaretHide();
  DestroyCaret();
  CreateCaret(Window(), 0, std::max(2, colWidth_ * cols), fontHeight_);
  int x = 0;
  int y = 0;
  CaretPixelPos(x, y);
  SetCaretPos(x, y);
  CaretShow();
}

void TEditor::SelectAll() {
  TCaretUpdate caretUpdate(*this);
  SetSelStart(0);
  SetSelLength(GetTextLen());
}

bool TEditor::IsInSelection(int row, int col) const {
  if (!Selected()) return false;
  int from = 0;
  int to = 0;
  return RowSpan(selection_.columns, selection_.box, row, from, to) && col >= from && col < to;
}

}  // namespace corvida
