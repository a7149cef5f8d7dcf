#include "platform/toolkit/controls.h"

#include <algorithm>
#include <cstdlib>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/scope_guard.h"
#include "platform/toolkit/menus.h"
#include "platform/toolkit/toolkit_messages.h"
#include "platform/winsys/cursors.h"
#include "platform/winsys/input.h"
#include "platform/winsys/window_system.h"

namespace corvida {

namespace {
TToolkitBackend*& InstalledBackend() {
  static TToolkitBackend* backend = nullptr;
  return backend;
}
}  // namespace

TToolkitBackend* ToolkitBackend() { return InstalledBackend(); }
void SetToolkitBackend(TToolkitBackend* backend) { InstalledBackend() = backend; }

TShiftState KeyboardStateToShiftState() {
  TShiftState s = 0;
  if (KeyHeld(VK_SHIFT)) s |= ssShift;
  if (KeyHeld(VK_CONTROL)) s |= ssCtrl;
  if (KeyHeld(VK_MENU)) s |= ssAlt;
  if (KeyHeld(VK_LBUTTON)) s |= ssLeft;
  if (KeyHeld(VK_RBUTTON)) s |= ssRight;
  if (KeyHeld(VK_MBUTTON)) s |= ssMiddle;
  return s;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (KeyHeld(VK_MENU)) s |= ssAlt;
  return s;
}

TControlWindow::TControlWindow(TWinControl* control, TWindow* parent, const TRect& bounds, uint32_t style,
                               uint32_t exStyle)
    : TWindow(parent, bounds, style, exStyle), control_(control) {}

void TControlWindow::WndProc(TMessage& message) { control_->WndProc(message); }

TWinControl* FindControl(TWindow* window) {
  auto* w = dynamic_cast<TControlWindow*>(window);
  return w ? w->Control() : nullptr;
}

TWinControl* FindControl(HWND hwnd) { return FindControl(WindowSystem().Find(hwnd)); }

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {
  font_.SetOnChange(TNotifyEvent::Of<&TWinControl::ParentFontChanged>(this));
}

TWinControl::~TWinControl() {
  Destroying();
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  DestroyHandle();
  for (TWinControl* child : controls_) child->parent_ = nullptr;
  controls_.clear();
  if (parent_) parent_->RemoveControl(this);
}

void TWinControl::InsertControl(TWinControl* control) { controls_.push_back(control); }

void TWinControl::RemoveControl(TWinControl* control) {
  std::erase(controls_, control);
  if (!HasState(csDestroying)) AlignControls();
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (TWinControl* p = parent; p; p = p->parent_)
    if (p == this) throw EInvalidOperation("a control cannot be its own parent");
  if (parent_) {
    DestroyHandle();
    parent_->RemoveControl(this);
  }
  parent_ = parent;
  if (!parent_) return;
  parent_->InsertControl(this);
  if (parentFont_) {
    settingParentFont_ = true;
    ScopeGuard reset([&] { settingParentFont_ = false; });
    font_.Assign(&parent_->font_);
  }
  if (parentColor_) StoreColor(parent_->color_);
  if (parent_->HandleAllocated()) CreateHandle();
  parent_->AlignControls();
}

uint32_t TWinControl::WindowStyle() const {
  return WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED) |
         (tabStop_ ? WS_TABSTOP : 0);
}

std::unique_ptr<TWindow> TWinControl::MakeWindow() {
  return std::make_unique<TControlWindow>(this, parent_->Window(), WindowRect(), WindowStyle(), WindowExStyle());
}

void TWinControl::CreateHandle() {
  if (window_ || (parent_ && !parent_->HandleAllocated())) return;
  window_ = MakeWindow();
  if (!window_) return;
  window_->SetText(caption_);
  window_->SetCursor(cursor_);
  if (TToolkitBackend* backend = ToolkitBackend()) peer_ = backend->CreatePeer(this);
  CreateWnd();
  for (TWinControl* child : controls_) child->CreateHandle();
  AlignControls();
}

void TWinControl::DestroyHandle() {
  for (TWinControl* child : controls_) child->DestroyHandle();
  peer_.reset();
  window_.reset();
}

void TWinControl::RecreateWnd() {
  if (!window_) return;
  bool hadFocus = Focused();
  DestroyHandle();
  CreateHandle();
  if (hadFocus && CanFocus()) SetFocus();
}

void TWinControl::PeerUpdate() {
  if (peer_) peer_->Update();
}

void TWinControl::PeerUpdateTree() {
  PeerUpdate();
  for (TWinControl* child : controls_) child->PeerUpdateTree();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  TRect r = Bounds(left, top, width, height);
  if (r == bounds_) return;
  bool resized = r.Width() != bounds_.Width() || r.Height() != bounds_.Height();
  bounds_ = r;
  if (window_) window_->SetBounds(WindowRect());
  if (parent_ && align_ != alNone) parent_->AlignControls();
  if (resized) AlignControls();
  PeerUpdateTree();
}

TRect TWinControl::ClientRect() const { return window_ ? window_->ClientRect() : TRect{0, 0, Width(), Height()}; }

void TWinControl::AlignControls() {
  if (aligning_ || controls_.empty()) return;
  aligning_ = true;
  ScopeGuard done([&] { aligning_ = false; });
  TRect r = AlignRect();
  auto place = [&](TAlign which) {
    for (TWinControl* c : controls_) {
      if (c->align_ != which || !c->visible_) continue;
      switch (which) {
        case alTop:
          c->SetBounds(r.left, r.top, r.Width(), c->Height());
          r.top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.left, r.bottom - c->Height(), r.Width(), c->Height());
          r.bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.left, r.top, c->Width(), r.Height());
          r.left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.right - c->Width(), r.top, c->Width(), r.Height());
          r.right -= c->Width();
          break;
        case alClient:
          c->SetBounds(r.left, r.top, r.Width(), r.Height());
          break;
        case alNone:
          break;
      }
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
}

void TWinControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (window_) window_->SetVisible(v);
  if (parent_) parent_->AlignControls();
  PeerUpdateTree();
}

void TWinControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (window_) window_->SetEnabled(v);
  Invalidate();
  PeerUpdate();
}

void TWinControl::SetCaption(const std::string& v) {
  if (v == caption_) return;
  caption_ = v;
  if (window_) window_->SetText(v);
  Invalidate();
  PeerUpdate();
}

void TWinControl::SetHint(const std::string& v) {
  if (v == hint_) return;
  hint_ = v;
  PeerUpdate();
}

void TWinControl::SetColor(TColor v) {
  parentColor_ = false;
  StoreColor(v);
}

void TWinControl::SetParentColor(bool v) {
  parentColor_ = v;
  if (v && parent_) StoreColor(parent_->color_);
}

void TWinControl::StoreColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  ColorChanged();
}

void TWinControl::ColorChanged() {
  for (TWinControl* c : controls_)
    if (c->parentColor_) c->StoreColor(color_);
  Invalidate();
  PeerUpdate();
}

void TWinControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v && parent_) {
    settingParentFont_ = true;
    ScopeGuard reset([&] { settingParentFont_ = false; });
    font_.Assign(&parent_->font_);
  }
}

// The control's own font changed: set by hand it stops following the parent.
void TWinControl::ParentFontChanged(TObject*) {
  if (!settingParentFont_) parentFont_ = false;
  FontChanged();
}

void TWinControl::FontChanged() {
  for (TWinControl* c : controls_)
    if (c->parentFont_) c->SetParentFont(true);
  Invalidate();
  PeerUpdate();
}

void TWinControl::SetAlign(TAlign v) {
  if (v == align_) return;
  align_ = v;
  if (parent_) parent_->AlignControls();
}

void TWinControl::SetCursor(int v) {
  cursor_ = v;
  if (!window_) return;
  window_->SetCursor(v);
  TPoint p;
  GetCursorPos(p);
  TWindow* under = nullptr;
  if (TWindow* top = window_->TopLevel()) under = top->ChildFromScreenPoint(p);
  if (under == window_.get() || GetCapture() == window_.get()) corvida::SetCursor(v);
}

void TWinControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TWinControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

bool TWinControl::Showing() const { return window_ && window_->IsWindowVisible(); }

bool TWinControl::Focused() const { return window_ && GetFocus() == window_.get(); }

bool TWinControl::CanFocus() const {
  if (!Showing()) return false;
  for (const TWinControl* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(msg::kCannotFocus);
  corvida::SetFocus(window_.get());
}

void TWinControl::Invalidate() {
  if (window_) window_->InvalidateRect(nullptr);
}

void TWinControl::Update() {
  if (window_) window_->Update();
}

void TWinControl::Loaded() {
  TComponent::Loaded();
  // A control read nested inside a windowed control is placed on it.
  if (!parent_)
    if (auto* owner = dynamic_cast<TWinControl*>(Owner())) SetParent(owner);
}

void TWinControl::PaintWindow(TDeviceContext& dc, const TRect& clip) { dc.FillRect(clip, color_); }

bool TWinControl::DoKeyDown(TMessage& m) {
  auto key = static_cast<uint16_t>(m.WParam);
  if (onKeyDown_) onKeyDown_(this, key, KeyboardStateToShiftState());
  m.WParam = key;
  return key != 0;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  auto key = static_cast<uint16_t>(m.WParam);
  if (onKeyUp_) onKeyUp_(this, key, KeyboardStateToShiftState());
  m.WParam = key;
  return key != 0;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  auto key = static_cast<char>(m.WParam);
  if (onKeyPress_) onKeyPress_(this, key);
  m.WParam = static_cast<unsigned char>(key);
  return key != 0;
}

void TWinControl::DoMouseDown(TMessage& m, TMouseButton button) {
  bool dbl = m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
  TShiftState shift = KeysToShiftState(m.WParam) | (dbl ? ssDouble : 0);
  if (onMouseDown_) onMouseDown_(this, button, shift, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
}

void TWinControl::DoMouseUp(TMessage& m, TMouseButton button) {
  if (onMouseUp_)
    onMouseUp_(this, button, KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
}

void TWinControl::DoMouseMove(TMessage& m) {
  if (onMouseMove_) onMouseMove_(this, KeysToShiftState(m.WParam), GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
}

bool TWinControl::DoMouseWheel(TShiftState shift, int delta, TPoint pos) {
  bool handled = false;
  if (onMouseWheel_) onMouseWheel_(this, shift, delta, pos, handled);
  if (handled) return true;
  wheelAccumulator_ += delta;
  while (std::abs(wheelAccumulator_) >= WHEEL_DELTA) {
    bool down = wheelAccumulator_ < 0;
    wheelAccumulator_ = std::abs(wheelAccumulator_) - WHEEL_DELTA;
    if (down) {
      if (wheelAccumulator_ != 0) wheelAccumulator_ = -wheelAccumulator_;
      if (onMouseWheelDown_) onMouseWheelDown_(this, shift, pos, handled);
    } else if (onMouseWheelUp_) {
      onMouseWheelUp_(this, shift, pos, handled);
    }
  }
  return handled;
}

void TWinControl::WndProc(TMessage& m) {
  if (!window_) return;
  switch (m.Msg) {
    case WM_PAINT: {
      TPaintStruct ps;
      TDeviceContext dc = window_->BeginPaint(ps);
      PaintWindow(dc, ps.rcPaint);
      window_->EndPaint(ps);
      return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      DoKeyDown(m);
      return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      DoKeyUp(m);
      return;
    case WM_CHAR:
      DoKeyPress(m);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      if (FocusOnPress() && CanFocus() && !Focused()) SetFocus();
      if (!window_) return;  // the focus change may have destroyed it
      TMouseButton button = m.Msg <= WM_LBUTTONDBLCLK ? mbLeft : m.Msg <= WM_RBUTTONDBLCLK ? mbRight : mbMiddle;
      if (button == mbLeft) corvida::SetCapture(window_.get());
      DoMouseDown(m, button);
      return;
    }
    case WM_LBUTTONUP:
      if (GetCapture() == window_.get()) corvida::ReleaseCapture();
      DoMouseUp(m, mbLeft);
      return;
    case WM_RBUTTONUP: {
      DoMouseUp(m, mbRight);
      if (!window_) return;
      TPoint p = window_->ClientToScreen({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      window_->Perform(WM_CONTEXTMENU, Handle(), MAKELPARAM(p.x, p.y));
      return;
    }
    case WM_MBUTTONUP:
      DoMouseUp(m, mbMiddle);
      return;
    case WM_MOUSEMOVE:
      DoMouseMove(m);
      return;
    case WM_MOUSEWHEEL:
      m.Result = DoMouseWheel(KeysToShiftState(LOWORD(m.WParam)), static_cast<int16_t>(HIWORD(m.WParam)),
                              {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)})
                     ? 1
                     : 0;
      return;
    case WM_CONTEXTMENU:
      if (popupMenu_ && popupMenu_->AutoPopup()) {
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        m.Result = 1;
      } else if (parent_ && parent_->Window()) {
        m.Result = parent_->Window()->Perform(m.Msg, m.WParam, m.LParam);
      }
      return;
    case WM_SETFOCUS:
      if (peer_) peer_->FocusChanged();
      break;
    case CM_PEERCLICK:
      PeerClicked(static_cast<int>(m.WParam));
      return;
    default:
      break;
  }
  window_->DefaultHandler(m);
}

const TClassInfo* TWinControl::StaticInfo() {
  static const TClassInfo info{"TWinControl", nullptr, {
      IntProp<TWinControl, &TWinControl::Left, &TWinControl::SetLeft>("Left"),
      IntProp<TWinControl, &TWinControl::Top, &TWinControl::SetTop>("Top"),
      IntProp<TWinControl, &TWinControl::Width, &TWinControl::SetWidth>("Width"),
      IntProp<TWinControl, &TWinControl::Height, &TWinControl::SetHeight>("Height"),
      EnumProp<TWinControl, &TWinControl::Align, &TWinControl::SetAlign>(
          "Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}),
      IntProp<TWinControl, &TWinControl::Color, &TWinControl::SetColor>("Color"),
      ObjectProp<TWinControl, static_cast<TFont* (TWinControl::*)()>(&TWinControl::Font)>("Font", TFont::StaticInfo()),
      BoolProp<TWinControl, &TWinControl::ParentFont, &TWinControl::SetParentFont>("ParentFont"),
      IntProp<TWinControl, &TWinControl::Cursor, &TWinControl::SetCursor>("Cursor"),
      BoolProp<TWinControl, &TWinControl::Enabled, &TWinControl::SetEnabled>("Enabled"),
      BoolProp<TWinControl, &TWinControl::Visible, &TWinControl::SetVisible>("Visible"),
      IntProp<TWinControl, &TWinControl::TabOrder, &TWinControl::SetTabOrder>("TabOrder"),
      BoolProp<TWinControl, &TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop"),
      StrProp<TWinControl, &TWinControl::Hint, &TWinControl::SetHint>("Hint"),
      IntProp<TWinControl, &TWinControl::Tag, &TWinControl::SetTag>("Tag"),
      ComponentProp<TWinControl, &TWinControl::PopupMenu, &TWinControl::SetPopupMenu>("PopupMenu",
                                                                                        TPopupMenu::StaticInfo()),
  }};
  return &info;
}

void TControlCanvas::CreateHandle() {
  if (TWindow* w = control_->Window()) SetHandle(w->GetDC());
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(this) {
  SetTabStop(true);
  canvas_.Font()->Assign(Font());
}

TCustomControl::~TCustomControl() { DestroyHandle(); }

uint32_t TCustomControl::WindowStyle() const {
  uint32_t s = TWinControl::WindowStyle();
  if (borderStyle_ == bsSingle && !ctl3D_) s |= WS_BORDER;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) s |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) s |= WS_HSCROLL;
  return s;
}

uint32_t TCustomControl::WindowExStyle() const {
  return borderStyle_ == bsSingle && ctl3D_ ? WS_EX_CLIENTEDGE : 0;
}

void TCustomControl::SetBorderStyle(TBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  RecreateWnd();
}

void TCustomControl::SetCtl3D(bool v) {
  if (v == ctl3D_) return;
  ctl3D_ = v;
  RecreateWnd();
}

void TCustomControl::SetScrollBars(TScrollStyle v) {
  if (v == scrollBars_) return;
  scrollBars_ = v;
  if (TWindow* w = Window()) {
    w->ShowScrollBar(SB_VERT, v == ssVertical || v == ssBoth);
    w->ShowScrollBar(SB_HORZ, v == ssHorizontal || v == ssBoth);
  }
  PeerUpdate();
}

void TCustomControl::WndProc(TMessage& message) {
  ++messageDepth_;
  // A context taken for one message is not trusted in the next: the window
  // may have moved or changed its size meanwhile.
  ScopeGuard done([&] {
    if (--messageDepth_ == 0) canvas_.FreeHandle();
  });
  TWinControl::WndProc(message);
}

void TCustomControl::PaintWindow(TDeviceContext& dc, const TRect& clip) {
  canvas_.SetHandle(dc);
  paintClip_ = clip;
  ScopeGuard done([&] { canvas_.FreeHandle(); });
  Paint();
}

void TCustomControl::Paint() {
  canvas_.Brush().color = Color();
  canvas_.Brush().style = bsSolid;
  canvas_.FillRect(paintClip_);
}

const TClassInfo* TCustomControl::StaticInfo() {
  static const TClassInfo info{"TCustomControl", TWinControl::StaticInfo(), {
      EnumProp<TCustomControl, &TCustomControl::BorderStyle, &TCustomControl::SetBorderStyle>("BorderStyle",
                                                                                            {"bsNone", "bsSingle"}),
      BoolProp<TCustomControl, &TCustomControl::Ctl3D, &TCustomControl::SetCtl3D>("Ctl3D"),
      EnumProp<TCustomControl, &TCustomControl::ScrollBars, &TCustomControl::SetScrollBars>(
          "ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}),
  }, [](TComponent* owner) -> TComponent* { return new TCustomControl(owner); }};
  return &info;
}

}  // namespace corvida
