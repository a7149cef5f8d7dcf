#pragma once
// The selection model of TEditor: what is selected, in which form, and the
// state of the mouse gestures that make and move selections.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
// the byte index where the removed part began.
struct TRowWithoutSelection {
  std::string text;
  TRowAttribute attribute = raCrlf;
  int index = 0;

  // The bytes the row adds to a joined text, its line break included.
  int JoinedLength() const { return static_cast<int>(text.size() + std::string_view(LineBreakAfter(attribute)).size()); }
};

// The rows joined, each followed by its line break.
std::string JoinRows(const std::vector<TRowWithoutSelection>& rows);

// Sender and whether anything is selected now.
using TSelectionChangeEvent = TEvent<TObject*, bool>;

}  // namespace corvida
