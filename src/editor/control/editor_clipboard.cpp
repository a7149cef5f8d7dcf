// Inserting text: in place of the selection or at the caret, as a box of
// lines at a column; cut, copy and paste through the clipboard, with the box
// format marking box text; the undo and redo wrappers.
#include <algorithm>
#include <optional>
#include <vector>

#include "editor/control/editor.h"
#include "editor/model/line_breaks.h"
#include "platform/rtl/strings.h"
#include "platform/winsys/clipboard.h"
#include "support/support_resources.h"

namespace corvida {

void TEditor::InsertText(const std::string& text) {
  if (readOnly_) return;
  if (text.empty()) {
    if (Selected())
      DeleteSelection();
    else
      CleanSelection();
    return;
  }
  int firstRow = row_;
  int lastRow = row_;
  // Where text goes in the first row.
  int index = 0;
  std::string rows;
  if (Selected()) {
    firstRow = Selection().columns.firstRow;
    lastRow = Selection().columns.lastRow;
    std::vector<TRowWithoutSelection> kept = RowsWithoutSelection();
    if (kept.empty()) {
      rows = text;
    } else {
      index = kept.front().index;
      kept.front().Put(text);
      rows = JoinRows(kept);
    }
  } else {
    index = ColToIndex(ColumnMap(row_), col_);
    // Past the row's end the gap is filled with spaces.
    rows = GetRowString(row_);
    if (rows.size() < static_cast<size_t>(index)) rows.resize(static_cast<size_t>(index), ' ');
    rows.insert(static_cast<size_t>(index), text);
    rows += LineBreakAfter(GetRowAttribute(row_));
  }
  // The edit rewraps from the row above: the caret offset counts from there.
  const int startRow = std::max(store_->FirstRowOfLine(firstRow), firstRow - 1);
  const int offset = CharOffset(startRow, firstRow, 0) + index + static_cast<int>(text.size());
  const bool breaks = rows.find('\r') != std::string::npos;
  std::optional<TCaretUpdate> caretUpdate;
  std::optional<TUnderlineUpdate> underlineUpdate;
  if (breaks) {
    caretUpdate.emplace(*this);
    underlineUpdate.emplace(*this);
  }
  CleanSelection();
  const int count = store_->Count();
  store_->ChangeRows(firstRow, firstRow >= count ? 0 : std::min(lastRow, count - 1) - firstRow + 1, rows);
  PlaceCaretAtOffset(startRow, offset);
}

void TEditor::InsertBoxText(const std::string& text) {
  if (readOnly_) return;
  if (text.empty()) {
    if (Selected()) DeleteSelection();
    return;
  }
  const std::vector<std::string> lines = SplitLines(text);
  // One entry a line; a shown selection's rows come first, without it.
  std::vector<TRowWithoutSelection> entries;
  int top = row_;
  int nextRow = row_;
  int blockCol = col_;
  if (Selected()) {
    const TSelectionColumns& k = Selection().columns;
    top = k.firstRow;
    nextRow = k.lastRow + 1;
    blockCol = k.leftCol;
    entries = RowsWithoutSelection();
  }
  const size_t kept = entries.size();
  const int count = store_->Count();
  int end = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i >= kept) {
      if (nextRow < count) {
        entries.push_back(
            {GetRowString(nextRow), GetRowAttribute(nextRow), IndexAtOrRightOfCol(ColumnMap(nextRow), blockCol)});
        ++nextRow;
      } else {
        entries.push_back({std::string(static_cast<size_t>(blockCol), ' '), raCrlf, blockCol});
      }
    }
    TRowWithoutSelection& entry = entries[i];
    entry.Put(lines[i]);
    end = entry.index + static_cast<int>(lines[i].size());
  }
  // The block ends with a line break, also at the end of the text.
  for (TRowWithoutSelection& entry : entries)
    if (entry.attribute == raEof) entry.attribute = raCrlf;
  const std::string rows = JoinRows(entries);
  int offset = end;
  for (size_t i = 0; i + 1 < lines.size(); ++i) offset += entries[i].JoinedLength();
  const int startRow = std::max(store_->FirstRowOfLine(top), top - 1);
  offset += CharOffset(startRow, top, 0);
  TCaretUpdate caretUpdate(*this);
  TUnderlineUpdate underlineUpdate(*this);
  CleanSelection();
  const int lastRow = std::min(nextRow - 1, count - 1);
  store_->ChangeRows(top, top >= count ? 0 : std::max(0, lastRow - top + 1), rows);
  PlaceCaretAtOffset(startRow, offset);
}

void TEditor::CopyToClipboard() {
  const std::string text = GetSelText();
  if (text.empty()) return;
  if (SelectionMode() == TSelectionMode::Box)
    SetClipboardText(text, {SupportResources().BoxClipboardFormat()});
  else
    SetClipboardText(text);
}

void TEditor::CutToClipboard() {
  if (GetSelLength() == 0) return;
  CopyToClipboard();
  DeleteSelection();
}

void TEditor::PasteFromClipboard() {
  if (!IsClipboardFormatAvailable(CF_TEXT)) return;
  // The box format only says how to insert the text; its own data is not read.
  const bool box = IsClipboardFormatAvailable(SupportResources().BoxClipboardFormat());
  const std::string text = GetClipboardText();
  if (box)
    InsertBoxText(text);
  else
    InsertText(text);
}

void TEditor::Undo() {
  CleanSelection();
  store_->Undo();
}

void TEditor::Redo() {
  CleanSelection();
  store_->Redo();
}

bool TEditor::CanUndo() const { return store_->UndoObj().CanUndo(); }
bool TEditor::CanRedo() const { return store_->UndoObj().CanRedo(); }

}  // namespace corvida
