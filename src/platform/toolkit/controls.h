#pragma once
// Windowed controls: TWinControl (a component with a window, bounds,
// caption, font, colour, alignment, focus and the input events) and
// TCustomControl (a custom-painted control with a canvas, border and
// scroll-bar styles). Each control's window answers its messages through
// the control's WndProc; a backend may give it a peer that mirrors it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/toolkit/graphics.h"
#include "platform/toolkit/peer.h"
#include "platform/winsys/window.h"

namespace corvida {

class TPopupMenu;
class TWinControl;

// Messages between the toolkit and its peers.
inline constexpr UINT CM_BASE = 0xB000;
// A peer's native control was clicked; wParam is the item (radio group).
inline constexpr UINT CM_PEERCLICK = CM_BASE + 1;
// A form asks to be destroyed once the message in hand is done.
inline constexpr UINT CM_RELEASE = CM_BASE + 2;

using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;
inline constexpr TShiftState ssLeft = 0x08;
inline constexpr TShiftState ssRight = 0x10;
inline constexpr TShiftState ssMiddle = 0x20;
inline constexpr TShiftState ssDouble = 0x40;

// Shift, Ctrl and Alt as of the message in hand.
TShiftState KeyboardStateToShiftState();
// The state of a mouse message's MK_ flags plus Alt.
TShiftState KeysToShiftState(WPARAM keys);

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TBorderStyle { bsNone, bsSingle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

using TKeyEvent = TEvent<TObject*, uint16_t&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TMouseWheelEvent = TEvent<TObject*, TShiftState, int, TPoint, bool&>;
using TMouseWheelUpDownEvent = TEvent<TObject*, TShiftState, TPoint, bool&>;

// The window of a control: hands every message to the control.
class TControlWindow : public TWindow {
 public:
  TControlWindow(TWinControl* control, TWindow* parent, const TRect& bounds, uint32_t style, uint32_t exStyle);
  TWinControl* Control() const { return control_; }
  void WndProc(TMessage& message) override;

 private:
  TWinControl* control_;
};

// The control that owns window, or null.
TWinControl* FindControl(TWindow* window);
TWinControl* FindControl(HWND hwnd);

class TWinControl : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TWinControl)
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  TWinControl* Parent() const { return parent_; }
  // Moves the control under parent; its window is created once the parent
  // has one.
  virtual void SetParent(TWinControl* parent);
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TWinControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }

  int Left() const { return bounds_.left; }
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  int Top() const { return bounds_.top; }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  int Width() const { return bounds_.Width(); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  int Height() const { return bounds_.Height(); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  const TRect& BoundsRect() const { return bounds_; }
  virtual void SetBounds(int left, int top, int width, int height);
  // The client area: the window's once it exists.
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  TColor Color() const { return color_; }
  // Setting a colour of its own stops the control following its parent's.
  void SetColor(TColor v);
  // While true the colour follows the parent's.
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() { return &font_; }
  const TFont* Font() const { return &font_; }
  // While true the font follows the parent's.
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }
  int Cursor() const { return cursor_; }
  void SetCursor(int v);
  // What the control is for and its keys, shown as a tooltip.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v) { tabStop_ = v; }
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int v) { tabOrder_ = v; }
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);

  // The window; null until the control has a parent with a window (a form
  // has one from the start).
  TWindow* Window() const { return window_.get(); }
  bool HandleAllocated() const { return window_ != nullptr; }
  HWND Handle() const { return window_ ? window_->Handle() : 0; }
  TControlPeer* Peer() const { return peer_.get(); }
  // Visible with every parent.
  bool Showing() const;

  bool Focused() const;
  virtual bool CanFocus() const;
  // Raises EInvalidOperation when the control cannot take the focus.
  void SetFocus();

  void Invalidate();
  void Update();
  void Repaint() { Invalidate(); Update(); }

  TKeyEvent OnKeyDown() const { return onKeyDown_; }
  void SetOnKeyDown(TKeyEvent e) { onKeyDown_ = e; }
  TKeyEvent OnKeyUp() const { return onKeyUp_; }
  void SetOnKeyUp(TKeyEvent e) { onKeyUp_ = e; }
  TKeyPressEvent OnKeyPress() const { return onKeyPress_; }
  void SetOnKeyPress(TKeyPressEvent e) { onKeyPress_ = e; }
  TMouseEvent OnMouseDown() const { return onMouseDown_; }
  void SetOnMouseDown(TMouseEvent e) { onMouseDown_ = e; }
  TMouseEvent OnMouseUp() const { return onMouseUp_; }
  void SetOnMouseUp(TMouseEvent e) { onMouseUp_ = e; }
  TMouseMoveEvent OnMouseMove() const { return onMouseMove_; }
  void SetOnMouseMove(TMouseMoveEvent e) { onMouseMove_ = e; }
  TMouseWheelEvent OnMouseWheel() const { return onMouseWheel_; }
  void SetOnMouseWheel(TMouseWheelEvent e) { onMouseWheel_ = e; }
  TMouseWheelUpDownEvent OnMouseWheelDown() const { return onMouseWheelDown_; }
  void SetOnMouseWheelDown(TMouseWheelUpDownEvent e) { onMouseWheelDown_ = e; }
  TMouseWheelUpDownEvent OnMouseWheelUp() const { return onMouseWheelUp_; }
  void SetOnMouseWheelUp(TMouseWheelUpDownEvent e) { onMouseWheelUp_ = e; }

  // Every message of the control's window arrives here. Descendants handle
  // what they need and pass the rest on.
  virtual void WndProc(TMessage& message);

  void Loaded() override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

  // Window creation: the styles, then the window itself and the peer.
  virtual uint32_t WindowStyle() const;
  virtual uint32_t WindowExStyle() const { return 0; }
  virtual std::unique_ptr<TWindow> MakeWindow();
  // Where the window goes: the bounds, in the parent's client coordinates.
  virtual TRect WindowRect() const { return bounds_; }
  void CreateHandle();
  void DestroyHandle();
  // Destroys and creates the window again after a style change.
  void RecreateWnd();
  // The window exists (peer included); descendants set up scroll bars etc.
  virtual void CreateWnd() {}

  // Tells the peer that something it mirrors changed; the tree form tells
  // the peers of the children too, whose place moved along.
  void PeerUpdate();
  void PeerUpdateTree();
  // Fits the aligned children into the client area.
  virtual void AlignControls();
  virtual TRect AlignRect() const { return ClientRect(); }
  virtual void FontChanged();
  // The colour changed, set or taken from the parent.
  virtual void ColorChanged();

  // Paints the client area in a paint cycle; the default fills it with Color.
  virtual void PaintWindow(TDeviceContext& dc, const TRect& clip);
  // Whether a button press moves the focus here.
  virtual bool FocusOnPress() const { return false; }

  // The inherited handling of input messages: they fire the events. The key
  // ones answer false when a handler cancelled the key (set it to 0).
  bool DoKeyDown(TMessage& m);
  bool DoKeyUp(TMessage& m);
  bool DoKeyPress(TMessage& m);
  // The mouse ones run after the focus and capture rules; a descendant
  // adds its own handling around them.
  virtual void DoMouseDown(TMessage& m, TMouseButton button);
  virtual void DoMouseUp(TMessage& m, TMouseButton button);
  virtual void DoMouseMove(TMessage& m);
  // Wheel: OnMouseWheel, then one OnMouseWheelDown/Up per whole step.
  bool DoMouseWheel(TShiftState shift, int delta, TPoint pos);
  // The peer's native control was clicked.
  virtual void PeerClicked(int item) {}

 private:
  friend class TControlWindow;
  void ParentFontChanged(TObject* sender);
  void StoreColor(TColor v);
  void InsertControl(TWinControl* control);
  void RemoveControl(TWinControl* control);

  TWinControl* parent_ = nullptr;
  std::vector<TWinControl*> controls_;
  std::unique_ptr<TWindow> window_;
  std::unique_ptr<TControlPeer> peer_;
  TRect bounds_{0, 0, 100, 40};
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  std::string hint_;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  TFont font_;
  bool parentFont_ = true;
  bool settingParentFont_ = false;
  TAlign align_ = alNone;
  int tag_ = 0;
  int cursor_ = crDefault;
  bool tabStop_ = false;
  int tabOrder_ = -1;
  bool aligning_ = false;
  int wheelAccumulator_ = 0;
  TPopupMenu* popupMenu_ = nullptr;
  TKeyEvent onKeyDown_;
  TKeyEvent onKeyUp_;
  TKeyPressEvent onKeyPress_;
  TMouseEvent onMouseDown_;
  TMouseEvent onMouseUp_;
  TMouseMoveEvent onMouseMove_;
  TMouseWheelEvent onMouseWheel_;
  TMouseWheelUpDownEvent onMouseWheelDown_;
  TMouseWheelUpDownEvent onMouseWheelUp_;
};

// The canvas of a custom control: a paint cycle's context while painting,
// otherwise a fresh context of the window on first use in each message.
class TControlCanvas : public TCanvas {
 public:
  CORVIDA_CLASS_NAME(TControlCanvas)
  explicit TControlCanvas(TWinControl* control) : control_(control) {}

 protected:
  void CreateHandle() override;

 private:
  TWinControl* control_;
};

class TCustomControl : public TWinControl {
 public:
  CORVIDA_CLASS_NAME(TCustomControl)
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  TCanvas* Canvas() { return &canvas_; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  // With a single border: a sunken client edge instead of a flat line.
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool v);
  // Which scroll bars the window starts with; changing it shows or hides
  // them at once.
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);

  void WndProc(TMessage& message) override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  uint32_t WindowStyle() const override;
  uint32_t WindowExStyle() const override;
  bool FocusOnPress() const override { return true; }
  // Paints the clip rectangle with Canvas; the default fills it with Color.
  virtual void Paint();
  void PaintWindow(TDeviceContext& dc, const TRect& clip) override;
  const TRect& PaintClip() const { return paintClip_; }

 private:
  TControlCanvas canvas_;
  TBorderStyle borderStyle_ = bsNone;
  bool ctl3D_ = true;
  TScrollStyle scrollBars_ = ssNone;
  TRect paintClip_;
  int messageDepth_ = 0;
};

}  // namespace corvida
