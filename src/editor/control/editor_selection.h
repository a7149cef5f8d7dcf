#pragma once
// The selection model of TEditor: what is selected and in which form.
#include <cstdint>

namespace corvida {

enum class TSelectionState : uint8_t {
  None,      // nothing selected
  Anchored,  // an anchor is set at the caret; nothing is shown yet
  Selected,  // a selection is shown
  Hit,       // a search hit is marked; drawn like a selection only with hsDraw
};

// The selection in display columns. A box spans leftCol..rightCol (right
// exclusive) on every row; a normal selection starts at leftCol of firstRow
// and ends before rightCol of lastRow.
struct TSelectionColumns {
  int firstRow = 0;
  int lastRow = 0;
  int leftCol = 0;
  int rightCol = 0;
};

struct TSelectionModel {
  TSelectionState state = TSelectionState::None;
  bool box = false;
  TSelectionColumns columns;
};

}  // namespace corvida
