#pragma once
// The system caret: one per program, owned by one window. It is an overlay
// that the presenter composes on top of the framebuffer (inverting the
// pixels under it), never drawn into it, so scrolled pixels never carry it.
// Hiding nests: each HideCaret needs its ShowCaret; a new caret starts hidden.
#include "platform/winsys/geometry.h"
#include "platform/winsys/surface.h"
#include "platform/winsys/window.h"

namespace corvida {

struct TCaretState {
  HWND owner = 0;
  TSize size;
  TPoint pos;  // client coordinates of the owner
  int hideCount = 0;
  bool grey = false;
};

// bitmap: 0 for a solid caret, 1 for a grey one. A width or height of 0
// takes the border size.
bool CreateCaret(TWindow* window, int bitmap, int width, int height);
bool DestroyCaret();
bool SetCaretPos(int x, int y);
bool GetCaretPos(TPoint& p);
// Only the owner (or null for any) may show or hide the caret.
bool ShowCaret(TWindow* window);
bool HideCaret(TWindow* window);

// The caret as it is now; owner 0 when there is none.
const TCaretState& CaretState();
// True when the caret exists and is shown.
bool CaretVisible();
// Inverts the caret's pixels on a copy of top's framebuffer; its rectangle
// in framebuffer coordinates (empty when nothing was drawn).
TRect ComposeCaret(TWindow* top, TSurface& screen);
// Called when a window goes away.
void CaretWindowDestroyed(HWND hwnd);

}  // namespace corvida
