#pragma once
// Files dropped on a window from the desktop. A window that accepts files
// (WS_EX_ACCEPTFILES) receives WM_DROPFILES whose wParam is a drop handle:
// a movable memory block listing the paths; the receiver reads them with
// DragQueryFiles and frees the handle with DragFinish.
#include <string>
#include <vector>

#include "platform/winsys/clipboard.h"
#include "platform/winsys/window.h"

namespace corvida {

using HDROP = HGLOBAL;

void DragAcceptFiles(TWindow* window, bool accept);
// The window that takes files dropped on target: target or its nearest
// ancestor that accepts files; null when none does.
TWindow* DropTarget(TWindow* target);
// Posts WM_DROPFILES with paths (the file system's bytes, in drop order) to target's drop
// target; false, and nothing posted, when no window there accepts files.
bool PostDropFiles(TWindow* target, const std::vector<std::string>& paths);
// The paths of a drop, in order; none for a handle that names no drop.
std::vector<std::string> DragQueryFiles(HDROP drop);
void DragFinish(HDROP drop);

}  // namespace corvida
