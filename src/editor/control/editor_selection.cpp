// The selection: TEditorSelection keeps it and computes its forms, its text
// and what a change repaints; TEditor's selection operations anchor it at
// the caret, show, repaint and drop it, and read, set and delete the
// selected text.
#include "editor/control/editor_selection.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "editor/control/editor.h"
#include "platform/rtl/scope_guard.h"
#include "platform/winsys/caret.h"

namespace corvida {

namespace {

constexpr int kToRightEdge = TSelectionSpan::kToRightEdge;

std::string_view Slice(std::string_view s, int from, int to) {
  const int size = static_cast<int>(s.size());
  from = std::clamp(from, 0, size);
  to = std::clamp(to, from, size);
  return s.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

// The bytes [start, end) of text that a box from column left to column right
// (exclusive) covers. A double-byte character or a tab belongs to the side
// where it begins.
void BoxBytes(std::string_view text, const std::string& map, int left, int right, int& start, int& end) {
  const int size = static_cast<int>(text.size());
  start = std::min(size, IndexAtOrRightOfCol(map, left));
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

// Rows as the caret sees them: empty, raEof and no columns outside the store.
std::string_view RowText(const TEditorScreenStrings& store, int row) {
  return row >= 0 && row < store.Count() ? std::string_view(store.StringRef(row)) : std::string_view();
}

TRowAttribute RowAttributeOf(const TEditorScreenStrings& store, int row) {
  return row >= 0 && row < store.Count() ? store.RowAttributes(row) : raEof;
}

std::string RowMap(const TEditorScreenStrings& store, const TColumnLayout& layout, int row) {
  return row >= 0 && row < store.Count() ? ColumnMap(store.StringRef(row), layout) : std::string();
}

}  // namespace

void TRowWithoutSelection::Put(std::string_view s) {
  if (text.size() < static_cast<size_t>(index)) text.resize(static_cast<size_t>(index), ' ');
  text.insert(static_cast<size_t>(index), s);
}

std::string JoinRows(const std::vector<TRowWithoutSelection>& rows) {
  size_t size = 0;
  for (const TRowWithoutSelection& row : rows) size += static_cast<size_t>(row.JoinedLength());
  std::string text;
  text.reserve(size);
  for (const TRowWithoutSelection& row : rows) text.append(row.text).append(LineBreakAfter(row.attribute));
  return text;
}

// ---- TEditorSelection ----

bool TEditorSelection::Contains(int row, int col) const {
  if (!Selected()) return false;
  int from = 0;
  int to = 0;
  return RowSpan(model_.columns, model_.box, row, from, to) && col >= from && col < to;
}

void TEditorSelection::Anchor(const TSelectionAnchor& anchor) {
  TSelectionModel& s = model_;
  s.state = TSelectionState::Anchored;
  s.anchor = anchor;
  s.bytes = {anchor.row, anchor.row, anchor.index, anchor.index - 1};
  s.columns = {anchor.row, anchor.row, anchor.col, anchor.col};
  s.prevColumns = s.columns;
}

bool TEditorSelection::Activate() {
  if (model_.state != TSelectionState::Anchored) return false;
  model_.state = model_.markingHit ? TSelectionState::Hit : TSelectionState::Selected;
  return true;
}

void TEditorSelection::Compute(int caretRow, int caretIndex, int caretCol, int anchorRowWidth, int caretRowWidth) {
  const TSelectionAnchor& a = model_.anchor;
  const int c = caretIndex;
  TSelectionBytes& b = model_.bytes;
  b.firstRow = std::min(a.row, caretRow);
  b.lastRow = std::max(a.row, caretRow);
  if (a.row == caretRow) {
    b.startIndex = std::min(a.index, c);
    b.endIndex = std::max(a.index, c) - 1;
  } else {
    b.startIndex = a.row < caretRow ? a.index : c;
    b.endIndex = (a.row < caretRow ? c : a.index) - 1;
  }
  TSelectionColumns& k = model_.columns;
  k.firstRow = b.firstRow;
  k.lastRow = b.lastRow;
  if (model_.box) {
    k.leftCol = std::min(a.col, caretCol);
    k.rightCol = std::max(a.col, caretCol);
    return;
  }
  const int anchorCol = std::min(a.col, anchorRowWidth);
  const int col = std::min(caretCol, caretRowWidth);
  if (a.row == caretRow) {
    k.leftCol = std::min(anchorCol, col);
    k.rightCol = std::max(anchorCol, col);
  } else {
    k.leftCol = a.row < caretRow ? anchorCol : col;
    k.rightCol = a.row < caretRow ? col : anchorCol;
  }
}

std::vector<TSelectionSpan> TEditorSelection::ChangedSpans(const TSelectionColumns& before,
                                                           const TSelectionColumns& after, int first,
                                                           int last) const {
  std::vector<TSelectionSpan> spans;
  first = std::max(std::min(before.firstRow, after.firstRow), first);
  last = std::min(std::max(before.lastRow, after.lastRow), last);
  for (int row = first; row <= last; ++row) {
    int from0 = 0;
    int to0 = 0;
    int from1 = 0;
    int to1 = 0;
    const bool had = RowSpan(before, model_.box, row, from0, to0);
    const bool has = RowSpan(after, model_.box, row, from1, to1);
    if (!had && !has) continue;
    if (had != has) {
      spans.push_back({row, had ? from0 : from1, had ? to0 : to1});
      continue;
    }
    if (from0 != from1) spans.push_back({row, std::min(from0, from1), std::max(from0, from1)});
    if (to0 != to1) spans.push_back({row, std::min(to0, to1), std::max(to0, to1)});
  }
  return spans;
}

void TEditorSelection::Drop() {
  model_.state = TSelectionState::None;
  model_.selLength = 0;
}

// Calls piece(bytes) for each part of the selected text in order, line
// breaks included.
template <class Piece>
void TEditorSelection::ForEachSelectedPiece(const TEditorScreenStrings& store, const TColumnLayout& layout,
                                            Piece&& piece) const {
  const TSelectionBytes& b = model_.bytes;
  const int count = store.Count();
  const auto row = [&](int r) { return RowText(store, r); };
  if (b.firstRow == b.lastRow) {
    piece(Slice(row(b.firstRow), b.startIndex, b.endIndex + 1));
    return;
  }
  if (model_.box) {
    for (int r = b.firstRow; r <= b.lastRow; ++r) {
      int start = 0;
      int end = 0;
      BoxBytes(row(r), RowMap(store, layout, r), model_.columns.leftCol, model_.columns.rightCol, start, end);
      piece(Slice(row(r), start, end));
      piece(kLineBreak);
    }
    return;
  }
  for (int r = b.firstRow; r < b.lastRow; ++r) {
    piece(r == b.firstRow ? Slice(row(r), b.startIndex, INT_MAX) : row(r));
    if (RowAttributeOf(store, r) == raCrlf || r == count - 1) piece(kLineBreak);
  }
  piece(Slice(row(b.lastRow), 0, b.endIndex + 1));
}

std::string TEditorSelection::Text(const TEditorScreenStrings& store, const TColumnLayout& layout) const {
  std::string text;
  text.reserve(static_cast<size_t>(Length(store, layout)));
  ForEachSelectedPiece(store, layout, [&](std::string_view piece) { text += piece; });
  return text;
}

int TEditorSelection::Length(const TEditorScreenStrings& store, const TColumnLayout& layout) const {
  int length = 0;
  ForEachSelectedPiece(store, layout, [&](std::string_view piece) { length += static_cast<int>(piece.size()); });
  return length;
}

std::vector<TRowWithoutSelection> TEditorSelection::RowsWithout(const TEditorScreenStrings& store,
                                                                 const TColumnLayout& layout) const {
  std::vector<TRowWithoutSelection> rows;
  const TSelectionBytes& b = model_.bytes;
  if (model_.box) {
    for (int r = b.firstRow; r <= b.lastRow; ++r) {
      const std::string_view text = RowText(store, r);
      const std::string map = RowMap(store, layout, r);
      int start = 0;
      int end = 0;
      BoxBytes(text, map, model_.columns.leftCol, model_.columns.rightCol, start, end);
      std::string kept(text.substr(0, static_cast<size_t>(start)));
      kept += text.substr(static_cast<size_t>(end));
      rows.push_back({std::move(kept), RowAttributeOf(store, r), IndexAtOrRightOfCol(map, model_.columns.leftCol)});
    }
    return rows;
  }
  const std::string_view first = RowText(store, b.firstRow);
  std::string text(Slice(first, 0, b.startIndex));
  text += Slice(RowText(store, b.lastRow), b.endIndex + 1, INT_MAX);
  rows.push_back({std::move(text), RowAttributeOf(store, b.lastRow),
                  std::clamp(b.startIndex, 0, static_cast<int>(first.size()))});
  return rows;
}

// ---- The editor's selection operations ----

void TEditor::SetSelectionMode(TSelectionMode mode) {
  const bool box = mode == TSelectionMode::Box;
  if (box == selection_.Box() || SelDragState() == TSelDragState::Dragging) return;
  selection_.SetBox(box);
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
  selection_.Anchor(selection_.AnchorAt(row_, CaretIndex(), col_, RowWidth(row_)));
}

void TEditor::UpdateSelection() {
  switch (selection_.State()) {
    case TSelectionState::Anchored:
      // The caret-row underline stays hidden while a selection exists.
      UnderlineBeginUpdate();
      selection_.Activate();
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
  const int anchorRow = selection_.Model().anchor.row;
  const bool box = selection_.Box();
  selection_.Compute(row_, CaretIndex(), col_, box ? 0 : RowWidth(anchorRow), box ? 0 : RowWidth(row_));
  if (SelectionDrawn()) RepaintSelectionChange(selection_.Model().prevColumns, selection_.Model().columns);
  selection_.Painted();
  if (onSelectionChange_) onSelectionChange_(this, selection_.State() != TSelectionState::None);
}

void TEditor::RepaintSelectionChange(const TSelectionColumns& before, const TSelectionColumns& after) {
  if (!HandleAllocated()) return;
  const std::vector<TSelectionSpan> spans =
      selection_.ChangedSpans(before, after, topRow_, topRow_ + visibleRows_);
  const int textLeft = TextLeft();
  const auto x = [&](int col) {
    if (col == TSelectionSpan::kToRightEdge) return Width();
    return std::clamp(textLeft + (col - topCol_) * colWidth_, textLeft, Width());
  };
  for (const TSelectionSpan& span : spans) {
    // A box edge on the second half of a double-byte character is drawn one
    // column further right.
    const int to = selection_.Box() && span.to != TSelectionSpan::kToRightEdge ? span.to + 1 : span.to;
    const int top = TextTop() + rowHeight_ * (span.row - topRow_);
    const TRect r{x(span.from), top, x(to), top + fontHeight_ + margin_->UnderlinePixel()};
    if (!r.IsEmpty()) Window()->InvalidateRect(&r, false);
  }
  if (!spans.empty()) Window()->Update();
}

void TEditor::CleanSelection() {
  if (!SelectedOrHit()) return;
  const bool caretHit = selection_.State() == TSelectionState::Hit && hitStyle_ == hsCaret;
  selection_.Drop();
  if (HandleAllocated()) {
    if (caretHit) UpdateCaret();
    const TSelectionColumns& k = selection_.Model().columns;
    const int first = std::max(k.firstRow - 1, topRow_);
    const int last = std::min(k.lastRow, topRow_ + visibleRows_);
    if (!k.Empty() && first <= last) {
      // The unselected rows also clear the pixel row the selection filled.
      cleaningSelection_ = true;
      ScopeGuard cleaned([this] { cleaningSelection_ = false; });
      const TRect r{TextLeft(), TextTop() + rowHeight_ * (first - topRow_), Width(),
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
  return selection_.RowsWithout(*store_, Layout());
}

void TEditor::DeleteSelection() {
  if (!Selected()) return;
  const TSelectionColumns k = selection_.Model().columns;
  // The edit rewraps from the row above: the caret offset counts from there.
  const int startRow = std::max(store_->FirstRowOfLine(k.firstRow), k.firstRow - 1);
  // A box's left column may lie past the end of its first row.
  const int offset = CharOffset(startRow, k.firstRow, 0) + ColumnToIndex(k.firstRow, k.leftCol);
  const std::vector<TRowWithoutSelection> kept = RowsWithoutSelection();
  // Nothing selected changes no text and leaves no undo step.
  const bool box = selection_.Box();
  bool removes = !box && GetSelLength() > 0;
  for (size_t i = 0; box && i < kept.size(); ++i)
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

std::string TEditor::GetSelText() const { return Selected() ? selection_.Text(*store_, Layout()) : std::string(); }

int TEditor::GetSelLength() const { return Selected() ? selection_.Length(*store_, Layout()) : 0; }

int TEditor::GetSelStart() const {
  if (store_->Count() == 0) return 0;
  if (SelectedOrHit())
    return CharOffset(0, selection_.Model().bytes.firstRow, 0) + selection_.Model().bytes.startIndex;
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
  SetRow(selection_.Model().columns.firstRow);
  SetCol(selection_.Model().columns.leftCol);
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
  selection_.SetMarkingHit(true);
  ScopeGuard marked([this] { selection_.SetMarkingHit(false); });
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
  selection_.SetSelLength(n);
}

void TEditor::ShowHitCaret() {
  const TSelectionColumns& k = selection_.Model().columns;
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

bool TEditor::IsInSelection(int row, int col) const { return selection_.Contains(row, col); }

}  // namespace corvida
