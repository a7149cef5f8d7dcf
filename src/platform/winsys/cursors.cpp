#include "platform/winsys/cursors.h"

#include "platform/winsys/win_defs.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {
int current = crDefault;
}  // namespace

TCursorTable::TCursorTable() {
  static const std::pair<int, const char*> standard[] = {
      {crDefault, "default"},   {crNone, "none"},         {crArrow, "arrow"},       {crCross, "cross"},
      {crIBeam, "ibeam"},       {crSizeNESW, "sizenesw"}, {crSizeNS, "sizens"},     {crSizeNWSE, "sizenwse"},
      {crSizeWE, "sizewe"},     {crUpArrow, "uparrow"},   {crHourGlass, "wait"},    {crDrag, "drag"},
      {crNoDrop, "nodrop"},     {crHSplit, "hsplit"},     {crVSplit, "vsplit"},     {crMultiDrag, "multidrag"},
      {crNo, "no"},             {crAppStart, "appstart"}, {crHelp, "help"},         {crHandPoint, "handpoint"},
      {crSizeAll, "sizeall"},
  };
  for (const auto& [index, name] : standard) shapes_[index].name = name;
}

const TCursorShape& TCursorTable::Get(int index) const {
  auto it = shapes_.find(index);
  return it != shapes_.end() ? it->second : shapes_.at(crDefault);
}

TCursorTable& Cursors() {
  static TCursorTable table;
  return table;
}

int SetCursor(int index) {
  int old = current;
  if (index != current) {
    current = index;
    if (TBackend* b = WindowSystem().Backend()) b->CursorChanged(index);
  }
  return old;
}

int GetCursor() { return current; }

void ShowBusyPointer(bool busy) {
  if (TBackend* b = WindowSystem().Backend()) b->BusyChanged(busy);
}

}  // namespace corvida
