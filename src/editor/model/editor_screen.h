#pragma once
// TEditorScreen turns the change a row store publishes into the smallest
// repaint of one view: the rows with new text or new scan state, a scroll of
// the pixels below them when rows were added or removed, the end-of-file
// rows, and the left bar's numbers.
#include "platform/rtl/object.h"

namespace corvida {

class TEditorScreenStrings;

// How the left bar numbers its rows: by screen row or by logical line.
enum TShowNumberMode { nmRow, nmLine };

// The repaint operations of a view. Rows outside the visible range are
// clipped to it by the view.
class TEditorScreenView {
 public:
  virtual ~TEditorScreenView() = default;

  virtual TEditorScreenStrings* ScreenStrings() const = 0;
  virtual int TopRow() const = 0;
  virtual int VisibleRows() const = 0;

  // Invalidates everything from the text's top edge down and paints at once.
  virtual void RepaintTextArea() = 0;
  // Repaints rows first..last (first <= last) at once.
  virtual void RepaintRows(int first, int last) = 0;
  // Moves the pixels of the text area by `by` rows (down when positive), so
  // that rows from `row` on show the rows that were `by` rows above them.
  virtual void ScrollTextRows(int row, int by) = 0;
  // The same for the image bar; called only while it is visible.
  virtual void ScrollImagebarRows(int row, int by) = 0;
  virtual bool ImagebarVisible() const = 0;
  // The left bar is visible and shows numbers.
  virtual bool LeftbarShowsNumbers() const = 0;
  virtual TShowNumberMode ShowNumberMode() const = 0;
  // Repaints the left bar's numbers of rows first..last (first <= last).
  virtual void RepaintLeftbarNumbers(int first, int last) = 0;
};

class TEditorScreen : public TObject {
 public:
  CORVIDA_CLASS_NAME(TEditorScreen)
  explicit TEditorScreen(TEditorScreenView* view) : view_(view) {}

  // Repaints what the store's last published change altered; nothing when
  // no change is pending.
  virtual void Update();

 private:
  TEditorScreenView* view_;
};

}  // namespace corvida
