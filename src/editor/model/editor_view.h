#pragma once
// What the row store needs of a view that shows it. TEditor implements it;
// the model's tests use a small fake. Rows and columns are screen rows and
// display columns.
#include <memory>

#include "editor/model/column_map.h"
#include "editor/model/row_attribute_string_list.h"
#include "platform/rtl/scope_guard.h"

namespace corvida {

class TEditorScreenStrings;

// Carries the highlighter's state from the start of one row to the start of
// the next; made by the view's active fountain.
class TRowScanner {
 public:
  virtual ~TRowScanner() = default;
  virtual void ScanRowState(int index, TRowAttributeStringList& strings, TRowAttributeData& data) = 0;
};

class TEditorView {
 public:
  virtual ~TEditorView() = default;

  // The row store the view shows.
  virtual TEditorScreenStrings* ScreenStrings() const = 0;

  // Caret and first visible row.
  virtual int Row() const = 0;
  virtual int Col() const = 0;
  virtual void SetRow(int row) = 0;
  virtual void SetCol(int col) = 0;
  virtual int TopRow() const = 0;
  virtual void SetTopRow(int row) = 0;
  // Puts the caret offset characters after the start of row, a line break
  // counting as 2.
  virtual void PlaceCaretAtOffset(int row, int offset) = 0;
  virtual void UpdateCaret() = 0;

  // Nested brackets; only the outermost pair acts.
  virtual void CaretBeginUpdate() = 0;
  virtual void CaretEndUpdate() = 0;
  virtual void UnderlineBeginUpdate() = 0;
  virtual void UnderlineEndUpdate() = 0;

  // A selection or a search hit is shown; CleanSelection drops it.
  virtual bool SelectedOrHit() const = 0;
  virtual void CleanSelection() = 0;

  // The byte length of every row plus 2 for each line break.
  virtual int GetTextLen() const = 0;
  // The row's attribute, raEof outside the rows.
  virtual TRowAttribute GetRowAttribute(int row) const = 0;

  // The reaction to a published change of the store: repaint the changed
  // range, update the left bar and scroll bars, and when a change is pending
  // mark the view modified and fire its OnChange.
  virtual void StringsChange() = 0;
  virtual bool Modified() const = 0;
  virtual void SetModified(bool value) = 0;
  // While Lines is inside an update bracket.
  virtual void SetLinesUpdating(bool value) = 0;

  // Component state.
  virtual bool Loading() const = 0;
  virtual bool Destroying() const = 0;

  // Focus, visibility and drawing.
  virtual bool Focused() const = 0;
  // Visible and with a window.
  virtual bool Showing() const = 0;
  // WM_SETREDRAW.
  virtual void SetRedraw(bool redraw) = 0;
  // Recompute font metrics and scroll ranges and repaint.
  virtual void RefreshView() = 0;
  // Repaint one row when it is visible.
  virtual void InvalidateRow(int row) = 0;

  // Layout and scan settings.
  virtual int TabSpaceCount() const = 0;
  virtual const TCharSet& Delimiters() const = 0;
  virtual int ScreenHeight() const = 0;
  virtual int RowHeight() const = 0;
  virtual bool InitBracketsFull() const = 0;
  // The active fountain's scanner; null when there is none.
  virtual std::unique_ptr<TRowScanner> CreateRowScanner() = 0;
};

// A view's caret and underline brackets as scopes.
using TCaretUpdate = TUpdateBracket<TEditorView, &TEditorView::CaretBeginUpdate, &TEditorView::CaretEndUpdate>;
using TUnderlineUpdate =
    TUpdateBracket<TEditorView, &TEditorView::UnderlineBeginUpdate, &TEditorView::UnderlineEndUpdate>;

}  // namespace corvida
