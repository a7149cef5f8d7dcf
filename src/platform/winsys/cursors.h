#pragma once
// Pointer shapes: the cursor table maps an index to a shape. Negative
// indexes are the standard shapes (crArrow, crIBeam, ...), 0 is the default;
// the program registers its own at positive indexes.
#include <map>
#include <string>

#include "platform/winsys/geometry.h"
#include "platform/winsys/surface.h"

namespace corvida {

struct TCursorShape {
  std::string name;
  // Custom shapes: a colour image and a monochrome mask (white = the screen
  // shows through); both empty for a standard shape.
  TSurface image;
  TSurface mask;
  TPoint hotSpot;
};

class TCursorTable {
 public:
  TCursorTable();
  // The shape at index; the default shape for an unknown index.
  const TCursorShape& Get(int index) const;
  bool Contains(int index) const { return shapes_.count(index) != 0; }
  void Set(int index, TCursorShape shape) { shapes_[index] = std::move(shape); }

 private:
  std::map<int, TCursorShape> shapes_;
};

TCursorTable& Cursors();

// Shows the cursor-table entry index as the pointer; answers the previous one.
int SetCursor(int index);
int GetCursor();
// The busy pointer over every window of the program, whatever their shapes,
// or the windows' own shapes again.
void ShowBusyPointer(bool busy);

}  // namespace corvida
