#pragma once
// Windows: a tree of rectangles with handles, visibility, styles, an update
// region and scroll bars. Every window answers messages in WndProc; a
// top-level window owns the framebuffer its descendants paint into.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/winsys/device_context.h"
#include "platform/winsys/geometry.h"
#include "platform/winsys/surface.h"
#include "platform/winsys/win_defs.h"

namespace corvida {

using HWND = uint32_t;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

struct TPaintStruct {
  TRect rcPaint;
  bool fErase = false;
};

struct TScrollInfo {
  UINT fMask = SIF_ALL;
  int nMin = 0;
  int nMax = 0;
  int nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

class TWindow {
 public:
  // A child of parent (or a top-level window when parent is null) at bounds,
  // given in the parent's client coordinates (screen ones for a top-level).
  TWindow(TWindow* parent, const TRect& bounds, uint32_t style = WS_VISIBLE, uint32_t exStyle = 0);
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  HWND Handle() const { return handle_; }
  TWindow* Parent() const { return parent_; }
  const std::vector<TWindow*>& Children() const { return children_; }
  TWindow* TopLevel();
  bool IsTopLevel() const { return parent_ == nullptr; }

  uint32_t Style() const { return style_; }
  uint32_t ExStyle() const { return exStyle_; }
  // Only flags that change neither the border nor the client area.
  void SetExStyle(uint32_t exStyle) { exStyle_ = exStyle; }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);

  // Bounds in the parent's client coordinates. Changing the size sends
  // WM_SIZE when the client size changes, and WM_MOVE when the place does.
  const TRect& BoundsRect() const { return bounds_; }
  void SetBounds(const TRect& bounds);
  // The client area: (0, 0) to its size, inside border and scroll bars.
  TRect ClientRect() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // The deepest visible, enabled window under a screen point, or null.
  TWindow* ChildFromScreenPoint(TPoint p);

  bool Visible() const { return (style_ & WS_VISIBLE) != 0; }
  void SetVisible(bool visible);
  // Visible together with every ancestor.
  bool IsWindowVisible() const;
  bool Enabled() const { return (style_ & WS_DISABLED) == 0; }
  void SetEnabled(bool enabled);
  // False while WM_SETREDRAW has switched drawing off.
  bool RedrawEnabled() const { return redraw_; }

  // Sends a message synchronously.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual void WndProc(TMessage& message);
  // The default answers: painting validates, WM_SETREDRAW switches drawing,
  // WM_SETCURSOR sets the window's cursor, WM_SETTEXT/WM_GETTEXT.
  void DefaultHandler(TMessage& message);

  // The cursor-table entry shown while the pointer is over the client area.
  int Cursor() const { return cursor_; }
  void SetCursor(int cursor) { cursor_ = cursor; }

  // Painting. Rectangles are client coordinates; null means the whole client.
  void InvalidateRect(const TRect* r, bool erase = false);
  void ValidateRect(const TRect* r);
  bool GetUpdateRect(TRect& r) const;
  const TRegion& UpdateRegion() const { return update_; }
  // Paints at once when the update region is not empty.
  void Update();
  // A context on the client area, clipped to what is visible of it.
  TDeviceContext GetDC();
  // The context of a paint cycle: clipped to the update region's bounds,
  // which it hands out in ps.rcPaint, and validates.
  TDeviceContext BeginPaint(TPaintStruct& ps);
  void EndPaint(const TPaintStruct& ps) {}
  // Moves the pixels of scroll (client; null = all) by (dx, dy) inside clip
  // (null = the client area); with SW_INVALIDATE the uncovered part is
  // invalidated. update receives the uncovered rectangle's bounds.
  // SW_SCROLLCHILDREN moves the child windows inside scroll along.
  // Returns NULLREGION, SIMPLEREGION or COMPLEXREGION for the uncovered part.
  int ScrollWindowEx(int dx, int dy, const TRect* scroll, const TRect* clip, TRect* update, UINT flags);

  // Scroll bars (SB_HORZ, SB_VERT).
  int SetScrollInfo(int bar, const TScrollInfo& info, bool redraw);
  bool GetScrollInfo(int bar, TScrollInfo& info) const;
  int SetScrollPos(int bar, int pos, bool redraw);
  int GetScrollPos(int bar) const { return bar == SB_VERT || bar == SB_HORZ ? bars_[bar].nPos : 0; }
  void ShowScrollBar(int bar, bool show);
  bool ScrollBarVisible(int bar) const { return bar == SB_VERT || bar == SB_HORZ ? barVisible_[bar] : false; }
  // The tracking position a scroll message reports (set by the backend while
  // the thumb is dragged).
  void SetScrollTrackPos(int bar, int pos);

  // Top-level only: the framebuffer (the whole window rectangle) and the
  // part changed since the backend last presented it.
  TSurface* Framebuffer() { return framebuffer_.get(); }
  TRect TakePresentRect();
  // Where this window's client corner lies in its top-level framebuffer, and
  // the part of the client area that can be seen there.
  TPoint ClientOffsetInTop() const;
  TRect VisibleClientInTop() const;

 private:
  friend class TWindowSystem;
  int BorderWidth() const;
  void SizeChanged(TPoint oldClient, TSize oldSize);
  void PaintNonClient();

  HWND handle_ = 0;
  TWindow* parent_ = nullptr;
  std::vector<TWindow*> children_;
  TRect bounds_;
  uint32_t style_ = 0;
  uint32_t exStyle_ = 0;
  std::string text_;
  bool redraw_ = true;
  int cursor_ = 0;
  TRegion update_;
  std::array<TScrollInfo, 2> bars_{};
  std::array<bool, 2> barVisible_{};
  std::unique_ptr<TSurface> framebuffer_;
  TRect presentDirty_;
  TSize lastClient_;
  bool ncDirty_ = false;
};

}  // namespace corvida
