#include "editor/model/editor_screen.h"

#include <algorithm>
#include <cstdlib>

#include "editor/model/editor_screen_strings.h"

namespace corvida {

void TEditorScreen::Update() {
  const TEditorScreenStrings* store = view_->ScreenStrings();
  if (store == nullptr || !store->UpdatePending()) return;
  const int r = store->UpdateRow();
  const int o = store->UpdateOldCount();
  const int n = store->UpdateNewCount();
  const int c = store->UpdateScanCount();
  const int count = store->Count();
  if (std::abs(n - o) > view_->VisibleRows()) {
    view_->RepaintTextArea();
    return;
  }
  // One past the last row that shows new text or new scan state.
  const int e = r + n + std::max(0, c - n);
  const bool eofMoved = e > count - 1;
  if (o == n) {
    // The end-of-file mark sits in one of the two rows after the text.
    const int last = eofMoved ? e + 1 : e - 1;
    if (last >= r) view_->RepaintRows(r, last);
  } else {
    if (e - 1 >= r) view_->RepaintRows(r, e - 1);
    if (view_->ImagebarVisible()) view_->ScrollImagebarRows(e, n - o);
    view_->ScrollTextRows(e, n - o);
    if (eofMoved) view_->RepaintRows(e, e + 1);
  }
  if (view_->LeftbarShowsNumbers()) {
    const int bottom = view_->TopRow() + view_->VisibleRows();
    const bool renumber =
        view_->ShowNumberMode() == nmLine || (o != n && bottom >= count);
    if (renumber && e <= bottom) view_->RepaintLeftbarNumbers(e, bottom);
  }
}

}  // namespace corvida
