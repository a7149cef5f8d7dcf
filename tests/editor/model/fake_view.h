#pragma once
// A view without a window for the row store's tests. It places the caret
// by the editor's rules as far as the store depends on them (row clamping,
// caret placement by character offset) and records what the store told it.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editor/model/editor_screen_strings.h"
#include "editor/model/editor_strings.h"

namespace corvida::testing {

class FakeView : public TEditorView {
 public:
  // A view with a store of its own, or joining another view's store.
  explicit FakeView(FakeView* share = nullptr)
      : store_(share ? share->store_ : new TEditorScreenStrings), lines_(this) {
    store_->AddView(this);
  }
  ~FakeView() override { store_->RemoveView(this); }

  TEditorStrings& Lines() { return lines_; }
  TEditorScreenStrings& Store() { return *store_; }

  TEditorScreenStrings* ScreenStrings() const override { return store_; }
  int Row() const override { return row_; }
  int Col() const override { return col_; }
  void SetRow(int n) override {
    const int count = store_->Count();
    if (n == row_ && row_ != count) return;
    row_ = std::max(0, std::min(n, count));
    if (row_ == count && row_ > 0 && store_->RowAttributes(count - 1) == raEof) row_ = count - 1;
  }
  void SetCol(int n) override { col_ = std::min(std::max(0, n), 1001); }
  int TopRow() const override { return topRow_; }
  void SetTopRow(int n) override { topRow_ = std::max(0, std::min(n, store_->Count())); }
  void PlaceCaretAtOffset(int row, int n) override {
    const int count = store_->Count();
    for (; row < count; ++row) {
      const TRowAttribute a = store_->RowAttributes(row);
      const int length = static_cast<int>(store_->StringRef(row).size()) + (a == raCrlf ? 2 : a == raEof ? 1 : 0);
      if (length > n || a == raEof) {
        SetRow(row);
        const std::string_view text = store_->StringRef(row);
        const TColumnLayout layout = store_->Layout();
        SetCol(std::min(StrColumns(std::string_view(text).substr(0, static_cast<size_t>(std::max(0, n))), layout),
                        StrColumns(text, layout)));
        return;
      }
      n -= length;
    }
    SetRow(count);
    SetCol(row_ < count ? StrColumns(store_->StringRef(row_), store_->Layout()) : 0);
  }
  void UpdateCaret() override { ++caretUpdates; }
  void CaretBeginUpdate() override { ++caretLevel; }
  void CaretEndUpdate() override { --caretLevel; }
  void UnderlineBeginUpdate() override { ++underlineLevel; }
  void UnderlineEndUpdate() override { --underlineLevel; }
  bool SelectedOrHit() const override { return selected; }
  void CleanSelection() override { selected = false; }
  int GetTextLen() const override {
    int length = 0;
    for (int r = 0; r < store_->Count(); ++r)
      length += static_cast<int>(store_->StringRef(r).size()) + (store_->RowAttributes(r) == raCrlf ? 2 : 0);
    return length;
  }
  TRowAttribute GetRowAttribute(int row) const override {
    return row >= 0 && row < store_->Count() ? store_->RowAttributes(row) : raEof;
  }
  void StringsChange() override {
    ++changes;
    lastUpdate = {store_->UpdateRow(), store_->UpdateOldCount(), store_->UpdateNewCount()};
    if (store_->UpdatePending()) {
      modified_ = true;
      ++onChanges;
    }
  }
  bool Modified() const override { return modified_; }
  void SetModified(bool value) override { modified_ = value; }
  void SetLinesUpdating(bool value) override { linesUpdating = value; }
  bool Loading() const override { return loading; }
  bool Destroying() const override { return false; }
  bool Focused() const override { return focused; }
  bool Showing() const override { return showing; }
  void SetRedraw(bool redraw) override { redraws.push_back(redraw); }
  void RefreshView() override { ++refreshes; }
  void InvalidateRow(int) override {}
  int TabSpaceCount() const override { return tabSpaceCount; }
  const TCharSet& Delimiters() const override { return delimiters_; }
  int ScreenHeight() const override { return 768; }
  int RowHeight() const override { return 13; }
  bool InitBracketsFull() const override { return false; }
  std::unique_ptr<TRowScanner> CreateRowScanner() override { return nullptr; }

  // What the store told the view, and switches the tests turn.
  struct Update {
    int row, oldCount, newCount;
    bool operator==(const Update&) const = default;
  };
  int changes = 0;
  int onChanges = 0;
  Update lastUpdate{};
  int refreshes = 0;
  int caretUpdates = 0;
  int caretLevel = 0;
  int underlineLevel = 0;
  bool linesUpdating = false;
  std::vector<bool> redraws;
  bool selected = false;
  bool loading = false;
  bool focused = false;
  bool showing = false;
  int tabSpaceCount = 8;

 private:
  TEditorScreenStrings* store_;
  TEditorStrings lines_;
  int row_ = 0;
  int col_ = 0;
  int topRow_ = 0;
  bool modified_ = false;
  TCharSet delimiters_ = DefaultDelimiters();
};

// The rows as "text|attribute" strings, attribute c (CR LF), w (wrapped), e (end).
inline std::vector<std::string> Rows(const TEditorScreenStrings& s) {
  std::vector<std::string> rows;
  for (int r = 0; r < s.Count(); ++r) {
    const TRowAttribute a = s.RowAttributes(r);
    rows.push_back(std::string(s.StringRef(r)) + "|" + (a == raCrlf ? "c" : a == raWrapped ? "w" : a == raEof ? "e" : "?"));
  }
  return rows;
}

}  // namespace corvida::testing
