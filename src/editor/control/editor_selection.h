#pragma once
// The selection of TEditor: what is selected, in which form, the state of
// the mouse gestures that make and move selections, and TEditorSelection,
// the class that keeps them and does what needs no window.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/control/editor_setting_types.h"
#include "editor/model/column_map.h"
#include "editor/model/editor_screen_strings.h"
#include "editor/model/line_breaks.h"
#include "editor/model/row_attribute_string_list.h"
#include "platform/rtl/events.h"
#include "platform/winsys/geometry.h"

namespace corvida {

enum class TSelectionState : uint8_t {
  None,      // nothing selected
  Anchored,  // an anchor is set at the caret; nothing is shown yet
  Selected,  // a selection is shown
  Hit,       // a search hit is marked; drawn like a selection only with hsDraw
};

enum class TSelectionMode : uint8_t { Normal, Box };

enum class TSelDragState : uint8_t { None, Armed, Dragging };

// Where the selection started.
struct TSelectionAnchor {
  int row = 0;
  int index = 0;  // byte index in row, at most the row's length
  int col = 0;    // box: the caret column as is; normal: at most the row's width
};

// The selection in bytes: from byte startIndex of firstRow to byte endIndex
// (inclusive) of lastRow; on one row endIndex = startIndex - 1 is empty.
struct TSelectionBytes {
  int firstRow = 0;
  int lastRow = 0;
  int startIndex = 0;
  int endIndex = -1;
};

// The selection in display columns. A box spans leftCol..rightCol (right
// exclusive) on every row; a normal selection starts at leftCol of firstRow
// and ends before rightCol of lastRow.
struct TSelectionColumns {
  int firstRow = 0;
  int lastRow = 0;
  int leftCol = 0;
  int rightCol = 0;

  bool Empty() const { return firstRow == lastRow && leftCol == rightCol; }
  bool operator==(const TSelectionColumns&) const = default;
};

// A whole-row selection made in the left margin.
struct TRowSelection {
  int anchorRow = 0;
  int currentRow = 0;
  bool lastRow = false;  // the anchor row is the last row, which has no line break
  bool active = false;   // from the margin press until the button goes up
};

struct TSelectionModel {
  TSelectionState state = TSelectionState::None;
  bool box = false;
  // While set, an activated selection becomes a hit.
  bool markingHit = false;
  TSelectionAnchor anchor;
  TSelectionBytes bytes;
  TSelectionColumns columns;
  // The column bounds last painted, so that a change repaints only its
  // difference.
  TSelectionColumns prevColumns;
  // The length last given to SetSelLength; 0 after CleanSelection.
  int selLength = 0;
  TRowSelection rowSelect;
  TSelDragState dragState = TSelDragState::None;
  // Client point of the last plain left-button press.
  TPoint pressPoint;
  // The pointer shape last chosen (0..5).
  int cursorKind = 0;
};

// One row as it is without the selected text: its bytes, its attribute and
// the byte index where the removed part began. A box begins at its left
// column also on a row that ends before it: index then lies past the text.
struct TRowWithoutSelection {
  std::string text;
  TRowAttribute attribute = raCrlf;
  int index = 0;

  // Puts s at index, padding a row that ends before it with spaces.
  void Put(std::string_view s);

  // The bytes the row adds to a joined text, its line break included.
  int JoinedLength() const { return static_cast<int>(text.size() + std::string_view(LineBreakAfter(attribute)).size()); }
};

// The rows joined, each followed by its line break.
std::string JoinRows(const std::vector<TRowWithoutSelection>& rows);

// Sender and whether anything is selected now.
using TSelectionChangeEvent = TEvent<TObject*, bool>;

// Columns from..to (exclusive) of one row; to is kToRightEdge for a span
// that runs on to the right edge.
struct TSelectionSpan {
  static constexpr int kToRightEdge = INT32_MAX;
  int row = 0;
  int from = 0;
  int to = 0;
};

// The selection of one editor. The editor hands in the caret, its rows and
// their layout; the window, the caret and the events stay with the editor.
class TEditorSelection {
 public:
  const TSelectionModel& Model() const { return model_; }
  TSelectionState State() const { return model_.state; }
  bool Box() const { return model_.box; }
  // A selection is shown (a search hit is not).
  bool Selected() const { return model_.state == TSelectionState::Selected; }
  bool SelectedOrHit() const { return Selected() || model_.state == TSelectionState::Hit; }
  // Painting shows the selection colours: a selection, or a hit with hsDraw.
  bool Drawn(TEditorHitStyle hitStyle) const {
    return Selected() || (model_.state == TSelectionState::Hit && hitStyle == hsDraw);
  }
  // (row, col) lies inside a shown selection.
  bool Contains(int row, int col) const;

  void SetBox(bool box) { model_.box = box; }
  // Where a selection from (row, col) starts, byte index in that row and
  // the row's width given: a normal selection starts at most at the row's
  // end.
  TSelectionAnchor AnchorAt(int row, int index, int col, int rowWidth) const {
    return {row, index, model_.box ? col : std::min(col, rowWidth)};
  }
  // Anchors a new selection that shows nothing yet.
  void Anchor(const TSelectionAnchor& anchor);
  // Moves the anchor of a shown selection (row selection).
  void SetAnchor(const TSelectionAnchor& anchor) { model_.anchor = anchor; }
  // An anchored selection becomes shown, as a hit while one is being
  // marked; false when nothing was anchored.
  bool Activate();
  // The byte and column forms from the anchor to the caret, given the
  // widths of the anchor's and the caret's rows.
  void Compute(int caretRow, int caretIndex, int caretCol, int anchorRowWidth, int caretRowWidth);
  // The parts of rows first..last that changed between two column forms.
  std::vector<TSelectionSpan> ChangedSpans(const TSelectionColumns& before, const TSelectionColumns& after,
                                           int first, int last) const;
  // Takes the columns as painted now, so that the next change repaints
  // only its difference.
  void Painted() { model_.prevColumns = model_.columns; }
  // Nothing selected or marked any more; the anchor forgotten.
  void Drop();
  void ForgetAnchor() { model_.state = TSelectionState::None; }
  void SetMarkingHit(bool marking) { model_.markingHit = marking; }
  void SetSelLength(int length) { model_.selLength = length; }

  // The selected text, a box row by row each followed by CR LF, and its
  // length.
  std::string Text(const TEditorScreenStrings& store, const TColumnLayout& layout) const;
  int Length(const TEditorScreenStrings& store, const TColumnLayout& layout) const;
  // The selection's rows without it: one entry a row for a box, one entry
  // for a normal selection.
  std::vector<TRowWithoutSelection> RowsWithout(const TEditorScreenStrings& store, const TColumnLayout& layout) const;

  // The mouse gestures.
  void StartRowSelect(int row, bool lastRow) { model_.rowSelect = {row, row, lastRow, true}; }
  void SetRowSelectRow(int row) { model_.rowSelect.currentRow = row; }
  void EndRowSelect() { model_.rowSelect.active = false; }
  void SetDragState(TSelDragState state) { model_.dragState = state; }
  void SetPressPoint(TPoint p) { model_.pressPoint = p; }
  void SetCursorKind(int kind) { model_.cursorKind = kind; }

 private:
  template <class Piece>
  void ForEachSelectedPiece(const TEditorScreenStrings& store, const TColumnLayout& layout, Piece&& piece) const;

  TSelectionModel model_;
};

}  // namespace corvida
