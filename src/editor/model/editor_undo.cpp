#include "editor/model/editor_undo.h"

#include <algorithm>
#include <optional>

#include "editor/model/editor_screen_strings.h"
#include "platform/rtl/scope_guard.h"

namespace corvida {

TUndoDataList::~TUndoDataList() { Clear(); }

int TUndoDataList::Add(std::unique_ptr<TUndoData> data) { return TList::Add(data.release()); }

void TUndoDataList::Delete(int index) {
  TUndoData* data = Items(index);
  TList::Delete(index);
  delete data;
}

void TUndoDataList::Clear() {
  for (int i = 0; i < Count(); ++i) delete Items(i);
  TList::Clear();
}

void TEditorUndoObj::SetUndoListMax(int value) { undoListMax_ = std::max(kMinUndoListMax, value); }

TUndoData* TEditorUndoObj::NewUndoData() {
  auto data = std::make_unique<TUndoData>();
  if (const TEditorView* view = strings_->ActiveView()) {
    data->CaretRow = view->Row();
    data->CaretCol = view->Col();
  }
  TUndoData* result = data.get();
  undoList_.Add(std::move(data));
  if (undoList_.Count() > undoListMax_) undoList_.Delete(0);
  if (!redoing_) redoList_.Clear();
  return result;
}

void TEditorUndoObj::PushRedo(const TUndoData& data) {
  auto copy = std::make_unique<TUndoData>();
  copy->Row = data.Row;
  copy->RowCount = data.RowCount;
  copy->RowAttribute = data.RowAttribute;
  copy->Text = data.Text;
  if (const TEditorView* view = strings_->ActiveView()) {
    copy->CaretRow = view->Row();
    copy->CaretCol = view->Col();
  }
  redoList_.Add(std::move(copy));
}

void TEditorUndoObj::Clear() {
  undoList_.Clear();
  redoList_.Clear();
}

TEditorUndoObj::Applied TEditorUndoObj::Apply(const TUndoData& data) {
  TEditorScreenStrings& s = *strings_;
  Applied now;
  int current = 0;
  if (data.RowCount > 0) s.GetRowsText(data.Row, data.RowCount, now.attribute, current, now.text);
  if (data.RowAttribute == raInvalid) {
    const TRowMarks marks = s.DeleteRows(data.Row, current);
    if (s.Count() == 0) {
      s.ExcludeMarks(marks);
    } else {
      const int to = std::min(data.Row, s.Count() - 1);
      s.SetRowMarks(to, s.RowMarks(to) | marks);
    }
    now.newCount = 0;
  } else {
    std::vector<TqdStringItem> rows;
    s.WrapLines(data.Text, rows);
    if (data.RowAttribute == raWrapped && rows.size() > 1 && rows.back().Str().empty()) rows.pop_back();
    TRowAttributeStringList::SetRowAttributeOf(rows.back(), data.RowAttribute);
    now.newCount = static_cast<int>(rows.size());
    s.PutRows(data.Row, current, std::move(rows));
  }
  const int scanCount = s.RescanRows(data.Row, true);
  s.SetUpdateInfo(data.Row, current, scanCount, now.newCount);
  return now;
}

void TEditorUndoObj::Undo() {
  if (undoList_.Count() == 0) return;
  TEditorScreenStrings& s = *strings_;
  TUndoData& data = *undoList_.Last();
  TEditorView* view = s.ActiveView();
  std::optional<TCaretUpdate> caretUpdate;
  if (view) caretUpdate.emplace(*view);
  {
    TUpdateBracket update(s);
    const Applied before = Apply(data);
    TUndoData inverse = data;
    inverse.RowCount = before.newCount;
    inverse.RowAttribute = before.attribute;
    inverse.Text = before.text;
    PushRedo(inverse);
  }
  if (view) {
    view->SetRow(data.CaretRow);
    view->SetCol(data.CaretCol);
  }
  undoList_.Delete(undoList_.Count() - 1);
}

void TEditorUndoObj::Redo() {
  if (redoList_.Count() == 0) return;
  TEditorScreenStrings& s = *strings_;
  TUndoData& data = *redoList_.Last();
  TEditorView* view = s.ActiveView();
  std::optional<TCaretUpdate> caretUpdate;
  if (view) caretUpdate.emplace(*view);
  {
    TUpdateBracket update(s);
    const Applied before = Apply(data);
    redoing_ = true;
    ScopeGuard notRedoing([this] { redoing_ = false; });
    TUndoData* undo = NewUndoData();
    undo->Row = data.Row;
    undo->RowCount = before.newCount;
    undo->RowAttribute = before.attribute;
    undo->Text = before.text;
  }
  if (view) {
    view->SetRow(data.CaretRow);
    view->SetCol(data.CaretCol);
  }
  redoList_.Delete(redoList_.Count() - 1);
}

}  // namespace corvida
