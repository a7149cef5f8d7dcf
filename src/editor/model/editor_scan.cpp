// The row store's scan-state upkeep: the first view's active fountain gives
// the scanner, its screen gives the window of rows scanned ahead.
#include <algorithm>

#include "editor/model/editor_screen_strings.h"
#include "editor/model/scan_state.h"

namespace corvida {

namespace {

// Two screen heights of rows.
int ScanWindow(const TEditorView& view) { return 2 * (view.ScreenHeight() / std::max(view.RowHeight(), 1)); }

}  // namespace

int TEditorScreenStrings::RescanRows(int row, bool notify) {
  TEditorView* view = FirstView();
  if (view == nullptr || row < 0 || row >= Count()) return 0;
  std::unique_ptr<TRowScanner> scanner = view->CreateRowScanner();
  if (!scanner) return 0;
  return RescanRowStates(*this, row, *scanner, ScanWindow(*view), notify, [this](int r) {
    for (TEditorView* v : std::vector<TEditorView*>(views_)) v->InvalidateRow(r);
  });
}

bool TEditorScreenStrings::ScanAhead(int rows) {
  TEditorView* view = FirstView();
  if (view == nullptr || view->Loading() || view->Destroying() || rows <= 0) return false;
  const int first = FirstRowNotComputed(*this);
  if (first >= Count()) return false;
  std::unique_ptr<TRowScanner> scanner = view->CreateRowScanner();
  if (!scanner) return false;
  RescanRowStates(*this, first, *scanner, rows - 1, false, {});
  return first + rows < Count();
}

void TEditorScreenStrings::InitScan() {
  TEditorView* view = FirstView();
  if (view == nullptr || view->Loading() || view->Destroying()) return;
  std::unique_ptr<TRowScanner> scanner = view->CreateRowScanner();
  if (!scanner) return;
  const int limit = view->InitBracketsFull() ? Count() - 1 : std::min(Count() - 1, ScanWindow(*view) + view->TopRow());
  InitRowStates(*this, *scanner, limit);
}

}  // namespace corvida
