#include "platform/winsys/window.h"

#include <algorithm>
#include <cstring>

#include "platform/winsys/caret.h"
#include "platform/winsys/cursors.h"
#include "platform/winsys/ime.h"
#include "platform/winsys/sys_colors.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

// The parts of a that b does not cover: up to four rectangles.
std::vector<TRect> Subtract(const TRect& a, const TRect& b) {
  TRect i = IntersectRect(a, b);
  if (i.IsEmpty()) return a.IsEmpty() ? std::vector<TRect>{} : std::vector<TRect>{a};
  std::vector<TRect> out;
  if (i.top > a.top) out.push_back({a.left, a.top, a.right, i.top});
  if (i.bottom < a.bottom) out.push_back({a.left, i.bottom, a.right, a.bottom});
  if (i.left > a.left) out.push_back({a.left, i.top, i.left, i.bottom});
  if (i.right < a.right) out.push_back({i.right, i.top, a.right, i.bottom});
  return out;
}

}  // namespace

TWindow::TWindow(TWindow* parent, const TRect& bounds, uint32_t style, uint32_t exStyle)
    : parent_(parent), bounds_(bounds), style_(style), exStyle_(exStyle) {
  if (parent_) {
    style_ |= WS_CHILD;
    parent_->children_.push_back(this);
  }
  for (int bar : {SB_HORZ, SB_VERT}) {
    barVisible_[bar] = (style_ & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    bars_[bar].nMax = barVisible_[bar] ? 100 : 0;
  }
  lastClient_ = {ClientRect().Width(), ClientRect().Height()};
  handle_ = WindowSystem().Register(this);
  if (!parent_) {
    framebuffer_ = std::make_unique<TSurface>(bounds_.Width(), bounds_.Height());
    if (TBackend* b = WindowSystem().Backend()) b->TopLevelCreated(this);
  }
  PaintNonClient();
  InvalidateRect(nullptr);
}

TWindow::~TWindow() {
  TBackend* backend = WindowSystem().Backend();
  if (!parent_ && backend) backend->TopLevelDestroyed(this);
  CaretWindowDestroyed(handle_);
  ImeWindowDestroyed(handle_);
  for (TWindow* child : children_) child->parent_ = nullptr;
  if (parent_) {
    std::erase(parent_->children_, this);
    if (Visible()) parent_->InvalidateRect(&bounds_);
  }
  WindowSystem().Unregister(this);
}

TWindow* TWindow::TopLevel() {
  TWindow* w = this;
  while (w->parent_) w = w->parent_;
  return w;
}

void TWindow::SetText(const std::string& text) {
  text_ = text;
  if (!parent_)
    if (TBackend* b = WindowSystem().Backend()) b->TopLevelChanged(this);
}

int TWindow::BorderWidth() const {
  return ((style_ & WS_BORDER) ? 1 : 0) + ((exStyle_ & WS_EX_CLIENTEDGE) ? 2 : 0);
}

TRect TWindow::ClientRect() const {
  int b = BorderWidth();
  int w = bounds_.Width() - 2 * b - (barVisible_[SB_VERT] ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  int h = bounds_.Height() - 2 * b - (barVisible_[SB_HORZ] ? GetSystemMetrics(SM_CYHSCROLL) : 0);
  return {0, 0, std::max(0, w), std::max(0, h)};
}

TPoint TWindow::ClientOffsetInTop() const {
  int b = BorderWidth();
  if (!parent_) return {b, b};
  TPoint p = parent_->ClientOffsetInTop();
  return {p.x + bounds_.left + b, p.y + bounds_.top + b};
}

TRect TWindow::VisibleClientInTop() const {
  if (!IsWindowVisible()) return {};
  TPoint o = ClientOffsetInTop();
  TRect r = ClientRect().Offset(o.x, o.y);
  if (parent_) return IntersectRect(r, parent_->VisibleClientInTop());
  return framebuffer_ ? IntersectRect(r, framebuffer_->BoundsRect()) : TRect{};
}

TPoint TWindow::ClientToScreen(TPoint p) const {
  int b = BorderWidth();
  TPoint q{p.x + bounds_.left + b, p.y + bounds_.top + b};
  return parent_ ? parent_->ClientToScreen(q) : q;
}

TPoint TWindow::ScreenToClient(TPoint p) const {
  TPoint origin = ClientToScreen({0, 0});
  return {p.x - origin.x, p.y - origin.y};
}

TWindow* TWindow::ChildFromScreenPoint(TPoint p) {
  if (!Visible()) return nullptr;
  TPoint corner = parent_ ? parent_->ClientToScreen({bounds_.left, bounds_.top}) : TPoint{bounds_.left, bounds_.top};
  if (!Bounds(corner.x, corner.y, bounds_.Width(), bounds_.Height()).Contains(p)) return nullptr;
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    if (TWindow* hit = (*it)->ChildFromScreenPoint(p)) return hit;
  return Enabled() ? this : nullptr;
}

bool TWindow::IsWindowVisible() const {
  for (const TWindow* w = this; w; w = w->parent_)
    if (!w->Visible()) return false;
  return true;
}

void TWindow::SetVisible(bool visible) {
  if (visible == Visible()) return;
  style_ = visible ? (style_ | WS_VISIBLE) : (style_ & ~WS_VISIBLE);
  Perform(WM_SHOWWINDOW, visible ? 1 : 0, 0);
  if (visible) {
    PaintNonClient();
    InvalidateRect(nullptr);
  } else if (parent_) {
    parent_->InvalidateRect(&bounds_);
  }
  if (!parent_)
    if (TBackend* b = WindowSystem().Backend()) b->TopLevelChanged(this);
}

void TWindow::SetEnabled(bool enabled) {
  style_ = enabled ? (style_ & ~WS_DISABLED) : (style_ | WS_DISABLED);
  Perform(WM_ENABLE, enabled ? 1 : 0, 0);
}

void TWindow::SetBounds(const TRect& bounds) {
  if (bounds == bounds_) return;
  TRect old = bounds_;
  bounds_ = bounds;
  if (parent_ && Visible()) parent_->InvalidateRect(&old);
  if (framebuffer_) {
    framebuffer_->SetSize(bounds_.Width(), bounds_.Height());
    if (TBackend* b = WindowSystem().Backend()) b->TopLevelChanged(this);
  }
  SizeChanged({old.left, old.top}, {old.Width(), old.Height()});
}

// Repaints after a change of place or size and tells the window.
void TWindow::SizeChanged(TPoint oldCorner, TSize oldSize) {
  PaintNonClient();
  InvalidateRect(nullptr);
  if (oldCorner.x != bounds_.left || oldCorner.y != bounds_.top)
    Perform(WM_MOVE, 0, MAKELPARAM(bounds_.left, bounds_.top));
  TRect c = ClientRect();
  if (oldSize.cx != bounds_.Width() || oldSize.cy != bounds_.Height() || lastClient_ != TSize{c.Width(), c.Height()}) {
    lastClient_ = {c.Width(), c.Height()};
    Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.Width(), c.Height()));
  }
}

LRESULT TWindow::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WndProc(m);
  return m.Result;
}

void TWindow::WndProc(TMessage& message) { DefaultHandler(message); }

void TWindow::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: {
      TPaintStruct ps;
      BeginPaint(ps);
      EndPaint(ps);
      break;
    }
    case WM_SETREDRAW:
      redraw_ = m.WParam != 0;
      break;
    case WM_SETCURSOR:
      corvida::SetCursor(cursor_);
      m.Result = 1;
      break;
    case WM_SETTEXT:
      SetText(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
      m.Result = 1;
      break;
    case WM_GETTEXTLENGTH:
      m.Result = static_cast<LRESULT>(text_.size());
      break;
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(m.LParam);
      size_t size = m.WParam;
      if (!buffer || size == 0) break;
      size_t n = std::min(size - 1, text_.size());
      std::memcpy(buffer, text_.data(), n);
      buffer[n] = '\0';
      m.Result = static_cast<LRESULT>(n);
      break;
    }
    default:
      break;
  }
}

void TWindow::InvalidateRect(const TRect* r, bool erase) {
  if (!redraw_ || !IsWindowVisible()) return;
  TRect client = ClientRect();
  TRect area = r ? IntersectRect(*r, client) : client;
  if (area.IsEmpty()) return;
  update_.Add(area);
  // Children are painted after their parent, so what the parent paints over
  // them is painted again.
  for (TWindow* child : children_) {
    if (!child->Visible()) continue;
    TRect hit = IntersectRect(area, child->bounds_);
    if (hit.IsEmpty()) continue;
    int cb = child->BorderWidth();
    TRect local = hit.Offset(-child->bounds_.left - cb, -child->bounds_.top - cb);
    child->ncDirty_ = true;
    child->InvalidateRect(&local);
  }
}

void TWindow::ValidateRect(const TRect* r) {
  if (!r) {
    update_.Clear();
    return;
  }
  TRegion kept;
  for (const TRect& have : update_.Rects())
    for (const TRect& piece : Subtract(have, *r)) kept.Add(piece);
  update_ = kept;
}

bool TWindow::GetUpdateRect(TRect& r) const {
  r = update_.Bounds();
  return !update_.IsEmpty();
}

void TWindow::Update() {
  if (update_.IsEmpty() || !IsWindowVisible() || !redraw_) return;
  TMsg msg{handle_, WM_PAINT, 0, 0};
  WindowSystem().Dispatch(msg);
}

TDeviceContext TWindow::GetDC() {
  TWindow* top = TopLevel();
  if (!top->framebuffer_) return TDeviceContext();
  TRect clip = redraw_ ? VisibleClientInTop() : TRect{};
  return TDeviceContext(top->framebuffer_.get(), ClientOffsetInTop(), clip, &top->presentDirty_);
}

TDeviceContext TWindow::BeginPaint(TPaintStruct& ps) {
  if (ncDirty_) PaintNonClient();
  ps.rcPaint = IntersectRect(update_.Bounds(), ClientRect());
  ps.fErase = false;
  update_.Clear();
  // A child that painted itself at once since the parent was invalidated
  // is covered by this paint: it is painted again after it.
  for (TWindow* child : children_) {
    if (!child->Visible()) continue;
    TRect hit = IntersectRect(ps.rcPaint, child->bounds_);
    if (hit.IsEmpty()) continue;
    int cb = child->BorderWidth();
    TRect local = hit.Offset(-child->bounds_.left - cb, -child->bounds_.top - cb);
    child->ncDirty_ = true;
    child->InvalidateRect(&local);
  }
  TDeviceContext dc = GetDC();
  dc.IntersectClipRect(ps.rcPaint);
  return dc;
}

int TWindow::ScrollWindowEx(int dx, int dy, const TRect* scroll, const TRect* clip, TRect* update, UINT flags) {
  if (update) *update = {};
  if (!redraw_ || !IsWindowVisible()) return NULLREGION;
  TRect client = ClientRect();
  TRect s = scroll ? IntersectRect(*scroll, client) : client;
  TRect c = clip ? IntersectRect(*clip, client) : client;
  // Only pixels that can be seen are moved; what would come from a hidden
  // part is repainted instead.
  TPoint o = ClientOffsetInTop();
  TRect seen = VisibleClientInTop().Offset(-o.x, -o.y);
  TRect moved = IntersectRect(IntersectRect(IntersectRect(s, seen).Offset(dx, dy), c), seen);
  if (!moved.IsEmpty() && (dx != 0 || dy != 0)) {
    TDeviceContext dc = GetDC();
    dc.BitBlt(moved.left, moved.top, moved.Width(), moved.Height(), dc, moved.left - dx, moved.top - dy, SRCCOPY);
  }
  // A pending invalid area travels with the pixels.
  for (const TRect& r : std::vector<TRect>(update_.Rects())) {
    TRect inside = IntersectRect(r, s);
    if (!inside.IsEmpty()) update_.Add(IntersectRect(inside.Offset(dx, dy), c));
  }
  std::vector<TRect> uncovered = Subtract(IntersectRect(s, c), moved);
  TRect bounds;
  for (const TRect& r : uncovered) {
    bounds = UnionRect(bounds, r);
    if (flags & SW_INVALIDATE) InvalidateRect(&r);
  }
  if (flags & SW_SCROLLCHILDREN) {
    for (TWindow* child : std::vector<TWindow*>(children_))
      if (!IntersectRect(child->bounds_, s).IsEmpty()) child->SetBounds(child->bounds_.Offset(dx, dy));
  }
  if (update) *update = bounds;
  if (uncovered.empty()) return NULLREGION;
  return uncovered.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int TWindow::SetScrollInfo(int bar, const TScrollInfo& info, bool redraw) {
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  TScrollInfo& s = bars_[bar];
  if (info.fMask & SIF_RANGE) {
    s.nMin = info.nMin;
    s.nMax = std::max(info.nMin, info.nMax);
  }
  if (info.fMask & SIF_PAGE) s.nPage = std::max(0, info.nPage);
  if (info.fMask & SIF_POS) s.nPos = info.nPos;
  int range = s.nMax - s.nMin + 1;
  s.nPage = std::min(s.nPage, range);
  int maxPos = std::max(s.nMin, s.nMax - std::max(s.nPage - 1, 0));
  s.nPos = std::clamp(s.nPos, s.nMin, maxPos);
  s.nTrackPos = s.nPos;
  if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
    bool needed = s.nMax > s.nMin && s.nPage <= s.nMax - s.nMin;
    if (needed && !barVisible_[bar]) {
      ShowScrollBar(bar, true);
    } else if (!needed && barVisible_[bar] && !(info.fMask & SIF_DISABLENOSCROLL)) {
      ShowScrollBar(bar, false);
    }
  }
  if (redraw) PaintNonClient();
  if (TBackend* b = WindowSystem().Backend()) b->ScrollBarChanged(this, bar);
  return s.nPos;
}

bool TWindow::GetScrollInfo(int bar, TScrollInfo& info) const {
  if (bar != SB_HORZ && bar != SB_VERT) return false;
  const TScrollInfo& s = bars_[bar];
  if (info.fMask & SIF_RANGE) {
    info.nMin = s.nMin;
    info.nMax = s.nMax;
  }
  if (info.fMask & SIF_PAGE) info.nPage = s.nPage;
  if (info.fMask & SIF_POS) info.nPos = s.nPos;
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = s.nTrackPos;
  return true;
}

int TWindow::SetScrollPos(int bar, int pos, bool redraw) {
  if (bar != SB_HORZ && bar != SB_VERT) return 0;
  int old = bars_[bar].nPos;
  TScrollInfo info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(bar, info, redraw);
  return old;
}

void TWindow::ShowScrollBar(int bar, bool show) {
  if (bar == SB_BOTH) {
    ShowScrollBar(SB_HORZ, show);
    ShowScrollBar(SB_VERT, show);
    return;
  }
  if ((bar != SB_HORZ && bar != SB_VERT) || barVisible_[bar] == show) return;
  barVisible_[bar] = show;
  uint32_t bit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  style_ = show ? (style_ | bit) : (style_ & ~bit);
  SizeChanged({bounds_.left, bounds_.top}, {bounds_.Width(), bounds_.Height()});
  if (TBackend* b = WindowSystem().Backend()) b->ScrollBarChanged(this, bar);
}

void TWindow::SetScrollTrackPos(int bar, int pos) {
  if (bar == SB_HORZ || bar == SB_VERT) bars_[bar].nTrackPos = pos;
}

TRect TWindow::TakePresentRect() {
  TRect r = presentDirty_;
  presentDirty_ = {};
  return r;
}

// Border, client edge and scroll bars, drawn straight into the framebuffer.
void TWindow::PaintNonClient() {
  ncDirty_ = false;
  TWindow* top = TopLevel();
  if (!top->framebuffer_ || !IsWindowVisible() || !redraw_) return;
  int b = BorderWidth();
  TPoint o = ClientOffsetInTop();
  TRect frame = Bounds(o.x - b, o.y - b, bounds_.Width(), bounds_.Height());
  TRect clip = parent_ ? parent_->VisibleClientInTop() : top->framebuffer_->BoundsRect();
  TDeviceContext dc(top->framebuffer_.get(), {}, clip, &top->presentDirty_);
  TRect r = frame;
  if (style_ & WS_BORDER) {
    dc.FrameRect(r, clWindowFrame);
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  if (exStyle_ & WS_EX_CLIENTEDGE) {
    dc.FillRect({r.left, r.top, r.right - 1, r.top + 1}, clBtnShadow);
    dc.FillRect({r.left, r.top, r.left + 1, r.bottom - 1}, clBtnShadow);
    dc.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, clBtnHighlight);
    dc.FillRect({r.right - 1, r.top, r.right, r.bottom}, clBtnHighlight);
    dc.FillRect({r.left + 1, r.top + 1, r.right - 2, r.top + 2}, cl3DDkShadow);
    dc.FillRect({r.left + 1, r.top + 1, r.left + 2, r.bottom - 2}, cl3DDkShadow);
    dc.FillRect({r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, cl3DLight);
    dc.FillRect({r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, cl3DLight);
  }
  TRect client = ClientRect().Offset(o.x, o.y);
  int size = GetSystemMetrics(SM_CXVSCROLL);
  auto paintBar = [&](int bar, TRect area) {
    dc.FillRect(area, clScrollBar);
    const TScrollInfo& s = bars_[bar];
    bool vertical = bar == SB_VERT;
    int length = vertical ? area.Height() : area.Width();
    int track = length - 2 * size;
    TRect first = vertical ? Bounds(area.left, area.top, size, size) : Bounds(area.left, area.top, size, size);
    TRect last = vertical ? Bounds(area.left, area.bottom - size, size, size) : Bounds(area.right - size, area.top, size, size);
    for (const TRect& button : {first, last}) {
      dc.FillRect(button, clBtnFace);
      dc.FrameRect(button, clBtnShadow);
    }
    int range = s.nMax - s.nMin + 1;
    if (track <= 8 || range <= 1) return;
    int thumb = s.nPage > 0 ? std::max(8, track * s.nPage / range) : size;
    int span = std::max(1, range - std::max(s.nPage, 1));
    int at = size + (track - thumb) * (s.nPos - s.nMin) / span;
    TRect t = vertical ? Bounds(area.left, area.top + at, size, thumb) : Bounds(area.left + at, area.top, thumb, size);
    dc.FillRect(t, clBtnFace);
    dc.FrameRect(t, clBtnShadow);
  };
  if (barVisible_[SB_VERT]) paintBar(SB_VERT, {client.right, client.top, client.right + size, client.bottom});
  if (barVisible_[SB_HORZ]) paintBar(SB_HORZ, {client.left, client.bottom, client.right, client.bottom + size});
  if (barVisible_[SB_VERT] && barVisible_[SB_HORZ])
    dc.FillRect({client.right, client.bottom, client.right + size, client.bottom + size}, clBtnFace);
}

}  // namespace corvida
