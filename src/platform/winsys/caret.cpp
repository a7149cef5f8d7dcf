#include "platform/winsys/caret.h"

#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

TCaretState caret;

void Changed() {
  if (TBackend* b = WindowSystem().Backend()) b->CaretChanged();
}

}  // namespace

bool CreateCaret(TWindow* window, int bitmap, int width, int height) {
  if (!window) return false;
  caret = {};
  caret.owner = window->Handle();
  caret.size = {width > 0 ? width : GetSystemMetrics(SM_CXBORDER), height > 0 ? height : GetSystemMetrics(SM_CYBORDER)};
  caret.hideCount = 1;
  caret.grey = bitmap == 1;
  Changed();
  return true;
}

bool DestroyCaret() {
  if (caret.owner == 0) return false;
  caret = {};
  Changed();
  return true;
}

bool SetCaretPos(int x, int y) {
  if (caret.owner == 0) return false;
  caret.pos = {x, y};
  Changed();
  return true;
}

bool GetCaretPos(TPoint& p) {
  p = caret.pos;
  return caret.owner != 0;
}

bool ShowCaret(TWindow* window) {
  if (caret.owner == 0 || (window && window->Handle() != caret.owner) || caret.hideCount == 0) return false;
  if (--caret.hideCount == 0) Changed();
  return true;
}

bool HideCaret(TWindow* window) {
  if (caret.owner == 0 || (window && window->Handle() != caret.owner)) return false;
  if (caret.hideCount++ == 0) Changed();
  return true;
}

const TCaretState& CaretState() { return caret; }

bool CaretVisible() { return caret.owner != 0 && caret.hideCount == 0; }

TRect ComposeCaret(TWindow* top, TSurface& screen) {
  if (!CaretVisible()) return {};
  TWindow* owner = WindowSystem().Find(caret.owner);
  if (!owner || owner->TopLevel() != top || !owner->IsWindowVisible() || !owner->RedrawEnabled()) return {};
  TPoint o = owner->ClientOffsetInTop();
  TRect r = IntersectRect(Bounds(o.x + caret.pos.x, o.y + caret.pos.y, caret.size.cx, caret.size.cy),
                          owner->VisibleClientInTop());
  r = IntersectRect(r, screen.BoundsRect());
  uint32_t mask = caret.grey ? 0x808080u : 0xFFFFFFu;
  for (int y = r.top; y < r.bottom; ++y) {
    uint32_t* row = screen.Row(y);
    for (int x = r.left; x < r.right; ++x) row[x] = screen.Store(row[x] ^ mask);
  }
  return r;
}

void CaretWindowDestroyed(HWND hwnd) {
  if (caret.owner == hwnd) DestroyCaret();
}

}  // namespace corvida
