#pragma once
// A view without a window for the benchmarks: the caret is kept, nothing is
// drawn, and rows are scanned by the fountain given (none: no scanning).
#include <algorithm>
#include <memory>

#include "editor/highlight/fountain.h"
#include "editor/model/column_map.h"
#include "editor/model/editor_screen_strings.h"
#include "editor/model/editor_strings.h"

namespace corvida::bench {

class TBenchView : public TEditorView {
 public:
  explicit TBenchView(int screenHeight, TFountain* fountain = nullptr)
      : screenHeight_(screenHeight), fountain_(fountain), store_(new TEditorScreenStrings), lines_(this) {
    store_->AddView(this);
  }
  ~TBenchView() override { store_->RemoveView(this); }

  TEditorStrings& Lines() { return lines_; }
  TEditorScreenStrings& Store() { return *store_; }
  // The rows the last change rescanned.
  int lastScanCount = 0;

  TEditorScreenStrings* ScreenStrings() const override { return store_; }
  int Row() const override { return row_; }
  int Col() const override { return col_; }
  void SetRow(int row) override { row_ = std::clamp(row, 0, store_->Count()); }
  void SetCol(int col) override { col_ = std::clamp(col, 0, 1001); }
  int TopRow() const override { return topRow_; }
  void SetTopRow(int row) override { topRow_ = std::clamp(row, 0, store_->Count()); }
  void PlaceCaretAtOffset(int row, int offset) override {
    SetRow(row);
    SetCol(offset);
  }
  void UpdateCaret() override {}
  void CaretBeginUpdate() override {}
  void CaretEndUpdate() override {}
  void UnderlineBeginUpdate() override {}
  void UnderlineEndUpdate() override {}
  bool SelectedOrHit() const override { return false; }
  void CleanSelection() override {}
  int GetTextLen() const override { return 0; }
  TRowAttribute GetRowAttribute(int row) const override {
    return row >= 0 && row < store_->Count() ? store_->RowAttributes(row) : raEof;
  }
  void StringsChange() override { lastScanCount = store_->UpdateScanCount(); }
  bool Modified() const override { return false; }
  void SetModified(bool) override {}
  void SetLinesUpdating(bool) override {}
  bool Loading() const override { return false; }
  bool Destroying() const override { return false; }
  bool Focused() const override { return true; }
  bool Showing() const override { return false; }
  void SetRedraw(bool) override {}
  void RefreshView() override {}
  void InvalidateRow(int) override {}
  int TabSpaceCount() const override { return 8; }
  const TCharSet& Delimiters() const override { return delimiters_; }
  int ScreenHeight() const override { return screenHeight_; }
  int RowHeight() const override { return 13; }
  bool InitBracketsFull() const override { return false; }
  std::unique_ptr<TRowScanner> CreateRowScanner() override {
    return fountain_ != nullptr ? fountain_->CreateParser() : nullptr;
  }

 private:
  int screenHeight_;
  TFountain* fountain_;
  TEditorScreenStrings* store_;
  TEditorStrings lines_;
  int row_ = 0;
  int col_ = 0;
  int topRow_ = 0;
  TCharSet delimiters_ = DefaultDelimiters();
};

}  // namespace corvida::bench
