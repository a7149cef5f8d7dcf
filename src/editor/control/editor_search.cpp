// Text search and the token under a point: the owner's way to find text in
// the editor and to pick what the pointer is on. Both read joined rows
// through the store and mark what they find as the selection or a hit.
#include <memory>
#include <string>

#include "editor/control/editor.h"
#include "editor/model/line_breaks.h"
#include "editor/model/scan_state.h"

namespace corvida {

namespace {

// A search block grows by whole rows until it holds more than this.
constexpr size_t kSearchBlock = 8191;

}  // namespace

bool TEditor::ScanTokenAt(TPoint point, bool useFountain, bool keepState, int& lineRow, int& offset, int& size,
                          std::string& text, TTokenKind& kind) {
  int row = 0;
  int index = 0;
  if (!PosToRowIndex(point, row, index)) return false;
  lineRow = store_->FirstRowOfLine(row);
  // The rows of a line before row are wrapped: they count no line break.
  const int at = CharOffset(lineRow, row, 0) + index;
  TRowAttribute lastAttribute = raInvalid;
  int rows = 0;
  std::string line;
  store_->GetRowsText(lineRow, -1, lastAttribute, rows, line);
  if (lastAttribute == raCrlf) line.resize(line.size() - kLineBreak.size());
  std::unique_ptr<TFountainParser> parser;
  TRowAttributeData data = InitialScanState();
  if (!useFountain) {
    parser = TTokenParser::Create();
    // Without a fountain there are no brackets to look up.
    data.BracketIndex = -2;
  } else {
    parser = ActiveFountain()->CreateParser();
    if (keepState) {
      if (store_->BracketIndexes(lineRow) == -2) store_->RescanRows(lineRow, false);
      data = StoredScanState(*store_, lineRow);
    }
  }
  parser->StartRow(line, data);
  for (TTokenKind k = parser->ScanToken(); k != ttEnd; k = parser->ScanToken()) {
    if (at < parser->TokenOffset() || at >= parser->TokenOffset() + parser->TokenSize()) continue;
    offset = parser->TokenOffset();
    size = parser->TokenSize();
    text = parser->TokenStr();
    kind = k;
    return true;
  }
  return false;
}

bool TEditor::GetTokenAt(TPoint point, bool useFountain, bool keepState, std::string& text, TTokenKind& kind) {
  int lineRow = 0;
  int offset = 0;
  int size = 0;
  return ScanTokenAt(point, useFountain, keepState, lineRow, offset, size, text, kind);
}

void TEditor::SelectTokenAt(TPoint point, bool useFountain, bool keepState) {
  int lineRow = 0;
  int offset = 0;
  int size = 0;
  std::string text;
  TTokenKind kind = ttEnd;
  if (!ScanTokenAt(point, useFountain, keepState, lineRow, offset, size, text, kind)) return;
  if (SelectedOrHit()) CleanSelection();
  PlaceCaretAtOffset(lineRow, offset);
  SelectCharacters(size);
}

bool TEditor::SearchText(const std::string& text, TSearchOptions options) {
  if (store_->Count() == 0) return false;
  return (options & sfDown) != 0 ? SearchForward(text, options) : SearchBackward(text, options);
}

// Blocks of rows from the start on; each next block begins with the last
// row of the one before, so that a match across two blocks is found. A
// block holds two rows at least, so that the blocks move on also past rows
// longer than a block.
bool TEditor::SearchForward(const std::string& pattern, TSearchOptions options) {
  const int count = store_->Count();
  int row = row_;
  // A hit shown as a caret starts at the caret: the search skips the hit.
  TSearchPos pos{CaretIndex(), hitStyle_ == hsCaret && Selection().selLength > 0 ? Selection().selLength : 0};
  if (SelectionDrawn()) {
    row = Selection().bytes.lastRow;
    pos = {Selection().bytes.endIndex + 1, 0};
  }
  while (row < count) {
    int next = row;
    size_t size = 0;
    while (next < count && (size <= kSearchBlock || next - row < 2)) size += store_->JoinedSize(next++);
    if (FindPos(store_->JoinRows(row, next - 1), pos, pattern, options)) {
      MarkFound(row, pos.Start, pos.Length);
      return true;
    }
    if (next >= count) break;
    row = next - 1;
    pos = {0, 0};
  }
  return false;
}

// Blocks of rows from the start upwards, each next block ending with the
// first row of the one before.
bool TEditor::SearchBackward(const std::string& pattern, TSearchOptions options) {
  const int count = store_->Count();
  int row = row_;
  int index = CaretIndex();
  if (SelectionDrawn()) {
    row = Selection().bytes.firstRow;
    index = Selection().bytes.startIndex;
  } else if (row_ >= count) {
    row = count - 1;
    index = static_cast<int>(store_->JoinedSize(row));
  }
  for (;;) {
    int top = row;
    size_t size = store_->JoinedSize(row);
    while (top > 0 && (size <= kSearchBlock || top == row)) size += store_->JoinedSize(--top);
    const std::string block = store_->JoinRows(top, row);
    TSearchPos pos{static_cast<int>(size - store_->JoinedSize(row)) + index, 0};
    if (FindPos(block, pos, pattern, options)) {
      MarkFound(top, pos.Start, pos.Length);
      return true;
    }
    if (top == 0) return false;
    row = top;
    index = static_cast<int>(store_->JoinedSize(row));
  }
}

void TEditor::MarkFound(int row, int offset, int length) {
  if (SelectedOrHit()) CleanSelection();
  PlaceCaretAtOffset(row, offset);
  SetSelLength(length);
  // Also without the focus, which an owner's find dialog holds.
  if (TWindow* w = Window()) w->Perform(EM_SCROLLCARET, 0, 0);
}

}  // namespace corvida
