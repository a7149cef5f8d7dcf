#include "editor/model/editor_screen_strings.h"

#include <algorithm>

#include "editor/model/line_breaks.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/scope_guard.h"

namespace corvida {

TEditorScreenStrings::TEditorScreenStrings() { SetOnChange(TNotifyEvent::Of<&TEditorScreenStrings::ViewsChange>(this)); }

TEditorScreenStrings::~TEditorScreenStrings() {
  SetOnChange({});
  SetOnChanging({});
  views_.clear();
  wrapOption_.reset();
  undoObj_.reset();
}

std::unique_ptr<TEditorUndoObj> TEditorScreenStrings::CreateUndoObj() { return std::make_unique<TEditorUndoObj>(this); }

std::unique_ptr<TEditorWrapOption> TEditorScreenStrings::CreateWrapOption() {
  auto option = std::make_unique<TEditorWrapOption>();
  option->SetOnChange(TNotifyEvent::Of<&TEditorScreenStrings::WrapOptionChange>(this));
  return option;
}

// Made on first use so that a descendant's factory runs (a constructor
// cannot reach it).
TEditorUndoObj& TEditorScreenStrings::UndoObj() {
  if (!undoObj_) undoObj_ = CreateUndoObj();
  return *undoObj_;
}

TEditorWrapOption& TEditorScreenStrings::WrapOption() {
  if (!wrapOption_) wrapOption_ = CreateWrapOption();
  return *wrapOption_;
}

void TEditorScreenStrings::AddView(TEditorView* view) {
  if (view && std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void TEditorScreenStrings::RemoveView(TEditorView* view) {
  const auto it = std::find(views_.begin(), views_.end(), view);
  if (it == views_.end()) return;
  views_.erase(it);
  if (views_.empty()) delete this;
}

TEditorView* TEditorScreenStrings::ActiveView() const {
  for (TEditorView* view : views_)
    if (view->Focused()) return view;
  return FirstView();
}

bool TEditorScreenStrings::OwnerLoading() const { return FirstView() && FirstView()->Loading(); }

TColumnLayout TEditorScreenStrings::Layout() const {
  TColumnLayout layout;
  if (const TEditorView* view = FirstView()) {
    layout.delimiters = view->Delimiters();
    layout.tabSpaceCount = view->TabSpaceCount();
  }
  layout.wordWrap = wordWrap_;
  layout.wrapByte = wrapOption_ ? wrapOption_->WrapByte() : TEditorWrapOption().WrapByte();
  return layout;
}

int TEditorScreenStrings::FirstRowOfLine(int row) const {
  while (row > 0 && row - 1 < Count() && RowAttributes(row - 1) == raWrapped) --row;
  return row;
}

int TEditorScreenStrings::LastRowOfLine(int row) const {
  while (row >= 0 && row < Count() - 1 && RowAttributes(row) == raWrapped) ++row;
  return row;
}

void TEditorScreenStrings::GetRowsText(int row, int n, TRowAttribute& lastAttribute, int& rowCount,
                                       std::string& text) const {
  text.clear();
  rowCount = 0;
  lastAttribute = raInvalid;
  if (row < 0 || row >= Count()) return;
  const int last = n == -1 ? LastRowOfLine(row) : row + n - 1;
  if (last < row || last >= Count()) return;
  rowCount = last - row + 1;
  lastAttribute = RowAttributes(last);
  text = JoinRows(row, last);
}

size_t TEditorScreenStrings::JoinedSize(int row) const {
  return StringRef(row).size() + (RowAttributes(row) == raCrlf ? kLineBreak.size() : 0);
}

std::string TEditorScreenStrings::JoinRows(int first, int last) const {
  size_t size = 0;
  for (int r = first; r <= last; ++r) size += JoinedSize(r);
  std::string text;
  text.reserve(size);
  for (int r = first; r <= last; ++r) text.append(StringRef(r)).append(LineBreakAfter(RowAttributes(r)));
  return text;
}

TRowMarks TEditorScreenStrings::DeleteRows(int row, int n) {
  TRowMarks marks;
  if (row < 0 || row > Count() - 1 || n <= 0) return marks;
  n = std::min(n, Count() - row);
  TUpdateBracket update(*this);
  for (int r = row; r < row + n; ++r) marks = marks | RowMarks(r);
  TakeRows(row, n);
  return marks;
}

void TEditorScreenStrings::PutRows(int row, int oldCount, TEditorStringList& newRows) {
  PutRows(row, oldCount, newRows.TakeRows(0, newRows.Count()));
}

void TEditorScreenStrings::PutRows(int row, int oldCount, std::vector<TqdStringItem>&& rows) {
  const int newCount = static_cast<int>(rows.size());
  TUpdateBracket update(*this);
  std::vector<TRowMarks> marks(static_cast<size_t>(newCount));
  if (newCount < oldCount) {
    // The top rows of the old range go; the new rows take the marks of the
    // surviving bottom rows, and the first of them those of the gone ones.
    const TRowMarks gone = DeleteRows(row, oldCount - newCount);
    for (int i = 0; i < newCount; ++i) marks[static_cast<size_t>(i)] = RowMarks(row + i);
    if (newCount > 0)
      marks[0] = marks[0] | gone;
    else
      ExcludeMarks(gone);
  } else if (newCount > oldCount) {
    const int added = newCount - oldCount;
    for (int k = 1; k < oldCount; ++k) marks[static_cast<size_t>(k + added)] = RowMarks(row + k);
    if (oldCount > 0) {
      // A mark stays with its text when lines are inserted above it at
      // column 0.
      const TEditorView* view = ActiveView();
      const size_t to = view && view->Col() != 0 ? 0 : static_cast<size_t>(added);
      marks[to] = marks[to] | RowMarks(row);
    }
  } else {
    for (int i = 0; i < newCount; ++i) marks[static_cast<size_t>(i)] = RowMarks(row + i);
  }
  // The first rows take the places of the old ones; the rest go in after them.
  const int replaced = std::min(oldCount, newCount);
  for (int i = 0; i < replaced; ++i) PutItem(row + i, std::move(rows[static_cast<size_t>(i)]));
  if (newCount > replaced) {
    rows.erase(rows.begin(), rows.begin() + replaced);
    InsertRows(row + replaced, std::move(rows));
  }
  for (int i = 0; i < newCount; ++i) SetRowMarks(row + i, marks[static_cast<size_t>(i)]);
}

void TEditorScreenStrings::ChangeRows(int row, int n, std::string_view s) {
  if (row < 0 || n < 0 || row + n - 1 > Count() - 1 || (n == 0 && s.empty())) return;
  TUpdateBracket update(*this);
  // The touched lines are rewrapped whole, from their first row: cuts depend
  // on what follows them in the line, and rows left from an older cut would
  // not come back alike when an undo rewraps the removed text, so that older
  // undo records would then point at the wrong rows.
  int first = FirstRowOfLine(row);
  // Text put after a last row without a line break joins that row: a row
  // after it would leave an end-of-text row inside the text.
  if (row == Count() && row > 0 && RowAttributes(row - 1) == raEof) first = FirstRowOfLine(row - 1);
  const int b = row + n - 1;
  int last = LastRowOfLine(b);

  const bool wholeLines = first == row && last == b && s.empty() && n > 0;
  TRowAttribute endAttribute = raEof;
  std::string head;
  std::string tail;
  if (!wholeLines) {
    if (b < last) {
      endAttribute = RowAttributes(last);
    } else if (last < Count() - 1) {
      last = LastRowOfLine(last + 1);
      endAttribute = RowAttributes(last);
    } else {
      endAttribute = !s.empty() && s.back() == '\n' ? raCrlf : raEof;
    }
    TRowAttribute ignored;
    int rows = 0;
    if (row > first) GetRowsText(first, row - first, ignored, rows, head);
    if (last > b) GetRowsText(b + 1, last - b, ignored, rows, tail);
    // Rows that follow the range but hold no text (the empty last row after
    // a line that fills its row) leave s at the end of the text: a break
    // that ends s must not be lost.
    if (tail.empty() && endAttribute == raEof && !s.empty() && s.back() == '\n') endAttribute = raCrlf;
  }

  // Whole lines go, also when nothing but an empty last row would be left of
  // them (a text holds no empty row without a break at its end); their marks
  // move to the row that now follows.
  if (wholeLines || (head.empty() && s.empty() && tail.empty() && endAttribute == raEof)) {
    const int from = wholeLines ? row : first;
    const int count = wholeLines ? n : last - first + 1;
    TUndoData* undo = UndoObj().NewUndoData();
    undo->Row = from;
    int oldCount = 0;
    GetRowsText(from, count, undo->RowAttribute, oldCount, undo->Text);
    const TRowMarks marks = DeleteRows(from, count);
    if (Count() == 0)
      ExcludeMarks(marks);
    else
      SetRowMarks(std::min(from, Count() - 1), RowMarks(std::min(from, Count() - 1)) | marks);
    const int scanCount = RescanRows(from, true);
    SetUpdateInfo(from, oldCount, scanCount, 0);
    return;
  }

  TUndoData* undo = UndoObj().NewUndoData();
  undo->Row = first;
  int oldCount = 0;
  GetRowsText(first, last - first + 1, undo->RowAttribute, oldCount, undo->Text);

  // A text put between whole lines is wrapped as it is, without a copy.
  std::string joined;
  std::string_view text = s;
  if (!head.empty() || !tail.empty()) {
    joined.reserve(head.size() + s.size() + tail.size());
    joined.append(head).append(s).append(tail);
    text = joined;
  }

  std::vector<TqdStringItem> wrapped;
  WrapLines(text, wrapped);
  SetRowAttributeOf(wrapped.back(), endAttribute);
  const int newCount = static_cast<int>(wrapped.size());
  undo->RowCount = newCount;
  PutRows(first, oldCount, std::move(wrapped));
  const int scanCount = RescanRows(first, true);
  SetUpdateInfo(first, oldCount, scanCount, newCount);
}

void TEditorScreenStrings::RowsInserted(int index, int count) { lineIndex_.RowsInserted(index, count); }

void TEditorScreenStrings::RowsRemoving(int index, int count) { lineIndex_.RowsRemoving(index, count); }

void TEditorScreenStrings::RowChanged(int index, size_t oldLength, uint32_t oldAttributes) {
  lineIndex_.RowChanged(index, oldLength, RowAttributeOf(oldAttributes));
}

int TEditorScreenStrings::LineCount() const {
  const TRowTotals& total = lineIndex_.Total();
  const int count = Count();
  return static_cast<int>(total.rows - total.wrapped) + (count > 0 && RowAttributes(count - 1) == raWrapped ? 1 : 0);
}

int TEditorScreenStrings::LineStartRow(int line) const {
  if (line <= 0) return 0;
  const TRowTotals& total = lineIndex_.Total();
  if (line <= total.rows - total.wrapped) return lineIndex_.NotWrappedRow(line) + 1;
  if (line == LineCount()) return Count();
  throw EStringListError(msg::kListIndexError);
}

int TEditorScreenStrings::BreaksBefore(int row) const { return static_cast<int>(lineIndex_.Before(row).crlf); }

int TEditorScreenStrings::TextLength() const { return static_cast<int>(lineIndex_.Total().TextLength()); }

int TEditorScreenStrings::RowOffset(int row) const { return static_cast<int>(lineIndex_.Before(row).Offset()); }

int TEditorScreenStrings::RowAtOffset(int row, int& offset) const {
  row = std::max(row, 0);
  if (row >= Count()) return Count();
  if (offset < 0) return row;
  const int64_t start = lineIndex_.Before(row).Offset();
  const int found = std::min(lineIndex_.RowEndingPast(start + offset), lineIndex_.EofRowFrom(row));
  if (found < Count()) offset -= static_cast<int>(lineIndex_.Before(found).Offset() - start);
  return found;
}

void TEditorScreenStrings::SetUpdateInfo(int row, int oldCount, int scanCount, int newCount) {
  updateRow_ = row;
  updateOldCount_ = oldCount;
  updateScanCount_ = scanCount;
  updateNewCount_ = newCount;
  updatePending_ = true;
}

void TEditorScreenStrings::ExcludeMarks(TRowMarks marks) {
  usedMarks_ = TRowMarks(static_cast<uint16_t>(usedMarks_.Bits() & ~marks.Bits()));
}

void TEditorScreenStrings::IncludeMarks(TRowMarks marks) { usedMarks_ = usedMarks_ | marks; }

void TEditorScreenStrings::Undo() { UndoObj().Undo(); }
void TEditorScreenStrings::Redo() { UndoObj().Redo(); }

void TEditorScreenStrings::ViewsChange(TObject*) {
  for (TEditorView* view : std::vector<TEditorView*>(views_)) view->StringsChange();
}

void TEditorScreenStrings::SetUpdateState(bool updating) {
  if (updating) {
    TEditorStringList::SetUpdateState(true);
    return;
  }
  // The views read the update fields while the change is published.
  ScopeGuard reset([this] {
    SetUpdateInfo(0, 0, 0, 0);
    updatePending_ = false;
    ClampViews();
  });
  TEditorStringList::SetUpdateState(false);
}

void TEditorScreenStrings::ClampViews() {
  const int count = Count();
  for (TEditorView* view : views_) {
    const int limit = view->GetRowAttribute(count - 1) == raEof ? count - 1 : count;
    if (view->Row() > count - 1) view->SetRow(limit);
    if (view->TopRow() > count - 1) view->SetTopRow(limit);
  }
}

void TEditorScreenStrings::CleanViewSelections() {
  for (TEditorView* view : views_)
    if (view->SelectedOrHit()) view->CleanSelection();
}

void TEditorScreenStrings::ResetViewColumns() {
  for (TEditorView* view : views_) view->SetCol(0);
}

void TEditorScreenStrings::RefreshViews() {
  for (TEditorView* view : views_) view->RefreshView();
}

void TEditorScreenStrings::Clear() {
  CleanViewSelections();
  UndoObj().Clear();
  SetUpdateInfo(0, Count(), 0, 0);
  {
    ScopeGuard reset([this] {
      SetUpdateInfo(0, 0, 0, 0);
      updatePending_ = false;
    });
    TEditorStringList::Clear();
  }
  for (TEditorView* view : views_) {
    view->SetRow(0);
    view->SetCol(0);
  }
  usedMarks_ = TRowMarks();
}

}  // namespace corvida
