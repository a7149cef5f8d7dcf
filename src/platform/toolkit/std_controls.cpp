#include "platform/toolkit/std_controls.h"

#include <algorithm>

#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

void Bevel(TDeviceContext& dc, TRect& r, TPanelBevel bevel, int width) {
  if (bevel == bvNone) return;
  TColor top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
  TColor bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
  if (bevel == bvSpace) top = bottom = clBtnFace;
  Frame3D(dc, r, top, bottom, width);
}

// Text centred in r with the control's font.
void CenteredText(TDeviceContext& dc, const TRect& r, const TFont& font, const std::string& text, TColor color) {
  const TFontHandle* f = FontHandle(font);
  dc.SelectFont(f);
  dc.SetTextColor(color);
  dc.SetBkMode(TRANSPARENT);
  int w = f->TextWidth(text);
  int h = f->Metrics().tmHeight;
  dc.ExtTextOut(r.left + (r.Width() - w) / 2, r.top + (r.Height() - h) / 2, ETO_CLIPPED, &r, text);
}

// A 12-pixel radio button at (x, y).
void RadioButton(TDeviceContext& dc, int x, int y, bool checked, bool enabled) {
  for (int j = 0; j < 12; ++j) {
    for (int i = 0; i < 12; ++i) {
      double dx = i - 5.5, dy = j - 5.5;
      double d2 = dx * dx + dy * dy;
      if (d2 > 36.0) continue;
      TColor c = d2 > 20.25 ? (dy + dx < 0 ? clBtnShadow : clBtnHighlight) : (enabled ? clWindow : clBtnFace);
      if (checked && d2 < 5.0) c = enabled ? clWindowText : clGrayText;
      dc.SetPixel(x + i, y + j, c);
    }
  }
}

// A 13-pixel check box at (x, y), sunken, ticked when checked.
void CheckBoxSquare(TDeviceContext& dc, int x, int y, bool checked, bool enabled) {
  TRect box{x, y, x + 13, y + 13};
  Frame3D(dc, box, clBtnShadow, clBtnHighlight, 1);
  Frame3D(dc, box, cl3DDkShadow, cl3DLight, 1);
  dc.FillRect(box, enabled ? clWindow : clBtnFace);
  if (!checked) return;
  const TColor ink = enabled ? clWindowText : clGrayText;
  // The tick: seven columns of three pixels, down to the third, then up.
  constexpr int kTick[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i)
    for (int t = 0; t < 3; ++t) dc.SetPixel(box.left + 1 + i, box.top + 1 + kTick[i] + t, ink);
}

}  // namespace

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelInner(TPanelBevel v) {
  bevelInner_ = v;
  AlignControls();
  Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel v) {
  bevelOuter_ = v;
  AlignControls();
  Invalidate();
}

void TPanel::SetBevelWidth(int v) {
  bevelWidth_ = std::max(1, v);
  AlignControls();
  Invalidate();
}

int TPanel::BevelDepth() const {
  return ((bevelOuter_ != bvNone) + (bevelInner_ != bvNone)) * bevelWidth_;
}

TRect TPanel::AlignRect() const {
  TRect r = ClientRect();
  int d = BevelDepth();
  return {r.left + d, r.top + d, r.right - d, r.bottom - d};
}

void TPanel::PaintWindow(TDeviceContext& dc, const TRect& clip) {
  TRect r = ClientRect();
  dc.FillRect(r, Color());
  Bevel(dc, r, bevelOuter_, bevelWidth_);
  Bevel(dc, r, bevelInner_, bevelWidth_);
  if (!Caption().empty()) CenteredText(dc, r, *Font(), Caption(), Font()->Color());
}

const TClassInfo* TPanel::StaticInfo() {
  static const std::vector<const char*> bevels{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  static const TClassInfo info{"TPanel", TWinControl::StaticInfo(), {
      EnumProp<TPanel, &TPanel::BevelInner, &TPanel::SetBevelInner>("BevelInner", bevels),
      EnumProp<TPanel, &TPanel::BevelOuter, &TPanel::SetBevelOuter>("BevelOuter", bevels),
      IntProp<TPanel, &TPanel::BevelWidth, &TPanel::SetBevelWidth>("BevelWidth"),
      StrProp<TPanel, &TPanel::Caption, &TPanel::SetCaption>("Caption"),
  }, [](TComponent* owner) -> TComponent* { return new TPanel(owner); }};
  return &info;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
  PeerUpdate();
}

void TSpeedButton::SetPressed(bool v) {
  if (v == pressed_) return;
  pressed_ = v;
  Invalidate();
}

void TSpeedButton::Click() {
  if (onClick_) onClick_(this);
}

void TSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      TWinControl::WndProc(m);
      if (Enabled()) SetPressed(true);
      return;
    case WM_MOUSEMOVE:
      TWinControl::WndProc(m);
      if (Window() && GetCapture() == Window())
        SetPressed(ClientRect().Contains({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}));
      return;
    case WM_LBUTTONUP: {
      bool click = pressed_;
      SetPressed(false);
      TWinControl::WndProc(m);
      if (click && Enabled()) Click();
      return;
    }
    case WM_KEYDOWN:
      if (!DoKeyDown(m)) return;
      if ((m.WParam == VK_SPACE || m.WParam == VK_RETURN) && Enabled()) Click();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::WndProc(m);
      Invalidate();
      return;
    default:
      TWinControl::WndProc(m);
  }
}

void TSpeedButton::PaintWindow(TDeviceContext& dc, const TRect& clip) {
  TRect r = ClientRect();
  dc.FillRect(r, Color());
  if (pressed_) {
    Frame3D(dc, r, cl3DDkShadow, clBtnHighlight, 1);
    Frame3D(dc, r, clBtnShadow, cl3DLight, 1);
  } else if (!flat_) {
    Frame3D(dc, r, clBtnHighlight, cl3DDkShadow, 1);
    Frame3D(dc, r, cl3DLight, clBtnShadow, 1);
  }
  if (pressed_) r = r.Offset(1, 1);
  CenteredText(dc, r, *Font(), Caption(), Enabled() ? Font()->Color() : clGrayText);
  if (Focused()) dc.FrameRect({r.left + 4, r.top + 4, r.right - 4, r.bottom - 4}, clWindowFrame);
}

const TClassInfo* TSpeedButton::StaticInfo() {
  static const TClassInfo info{"TSpeedButton", TWinControl::StaticInfo(), {
      StrProp<TSpeedButton, &TSpeedButton::Caption, &TSpeedButton::SetCaption>("Caption"),
      BoolProp<TSpeedButton, &TSpeedButton::Flat, &TSpeedButton::SetFlat>("Flat"),
  }, [](TComponent* owner) -> TComponent* { return new TSpeedButton(owner); }};
  return &info;
}

TRadioGroup::TRadioGroup(TComponent* owner) : TWinControl(owner), items_(std::make_unique<TStringList>()) {
  items_->SetOnChange(TNotifyEvent::Of<&TRadioGroup::ItemsChanged>(this));
  SetTabStop(true);
  SetBounds(0, 0, 185, 105);
}

TRadioGroup::~TRadioGroup() { items_->SetOnChange({}); }

int TRadioGroup::Limited(int v) const { return std::clamp(v, -1, items_->Count() - 1); }

void TRadioGroup::ItemsChanged(TObject*) {
  if (!HasState(csLoading)) itemIndex_ = Limited(itemIndex_);
  Invalidate();
  PeerUpdate();
}

void TRadioGroup::SetColumns(int v) {
  v = std::clamp(v, 1, 16);
  if (v == columns_) return;
  columns_ = v;
  Invalidate();
  PeerUpdate();
}

void TRadioGroup::SetItemIndex(int v) {
  if (!HasState(csLoading)) v = Limited(v);
  if (v == itemIndex_) return;
  itemIndex_ = v;
  Invalidate();
  PeerUpdate();
}

void TRadioGroup::Loaded() {
  TWinControl::Loaded();
  SetItemIndex(itemIndex_);
}

void TRadioGroup::Choose(int item) {
  if (item < 0 || item >= items_->Count()) return;
  SetItemIndex(item);
  if (onClick_) onClick_(this);
}

void TRadioGroup::PeerClicked(int item) { Choose(item); }

TRect TRadioGroup::ItemRect(int index) const {
  int count = items_->Count();
  if (index < 0 || index >= count) return {};
  int perColumn = (count + columns_ - 1) / columns_;
  int buttonWidth = (Width() - 10) / columns_;
  int textHeight = FontHandle(*Font())->Metrics().tmHeight;
  int space = Height() - textHeight - 5;
  int buttonHeight = space / perColumn;
  int topMargin = textHeight + 1 + (space % perColumn) / 2;
  return Bounds((index / perColumn) * buttonWidth + 8, (index % perColumn) * buttonHeight + topMargin, buttonWidth,
                buttonHeight);
}

void TRadioGroup::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      TWinControl::WndProc(m);
      for (int i = 0; i < items_->Count(); ++i)
        if (ItemRect(i).Contains({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)})) Choose(i);
      return;
    case WM_KEYDOWN:
      if (!DoKeyDown(m)) return;
      if (m.WParam == VK_UP || m.WParam == VK_LEFT) Choose(std::max(0, itemIndex_ - 1));
      if (m.WParam == VK_DOWN || m.WParam == VK_RIGHT) Choose(std::min(items_->Count() - 1, itemIndex_ + 1));
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::WndProc(m);
      Invalidate();
      return;
    default:
      TWinControl::WndProc(m);
  }
}

void TRadioGroup::PaintWindow(TDeviceContext& dc, const TRect& clip) {
  TRect client = ClientRect();
  dc.FillRect(client, Color());
  const TFontHandle* f = FontHandle(*Font());
  int textHeight = f->Metrics().tmHeight;
  TRect frame{client.left, client.top + textHeight / 2, client.right, client.bottom};
  dc.FrameRect({frame.left + 1, frame.top + 1, frame.right, frame.bottom}, clBtnHighlight);
  dc.FrameRect({frame.left, frame.top, frame.right - 1, frame.bottom - 1}, clBtnShadow);
  dc.SelectFont(f);
  dc.SetTextColor(Enabled() ? Font()->Color() : clGrayText);
  dc.SetBkColor(Color());
  dc.SetBkMode(OPAQUE);
  if (!Caption().empty()) dc.TextOut(8, client.top, Caption());
  dc.SetBkMode(TRANSPARENT);
  for (int i = 0; i < items_->Count(); ++i) {
    TRect r = ItemRect(i);
    RadioButton(dc, r.left, r.top + (r.Height() - 12) / 2, i == itemIndex_, Enabled());
    dc.ExtTextOut(r.left + 17, r.top + (r.Height() - textHeight) / 2, ETO_CLIPPED, &r, items_->Strings(i));
    if (i == itemIndex_ && Focused()) {
      int w = f->TextWidth(items_->Strings(i));
      TRect focus{r.left + 16, r.top + (r.Height() - textHeight) / 2 - 1, r.left + 19 + w,
                  r.top + (r.Height() + textHeight) / 2 + 1};
      dc.FrameRect(IntersectRect(focus, r), clWindowFrame);
    }
  }
}

const TClassInfo* TRadioGroup::StaticInfo() {
  static const TClassInfo info{"TRadioGroup", TWinControl::StaticInfo(), {
      StrProp<TRadioGroup, &TRadioGroup::Caption, &TRadioGroup::SetCaption>("Caption"),
      IntProp<TRadioGroup, &TRadioGroup::Columns, &TRadioGroup::SetColumns>("Columns"),
      ObjectProp<TRadioGroup, &TRadioGroup::Items>("Items", nullptr),
      IntProp<TRadioGroup, &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex>("ItemIndex"),
  }, [](TComponent* owner) -> TComponent* { return new TRadioGroup(owner); }};
  return &info;
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  Invalidate();
  PeerUpdate();
}

void TCheckBox::Toggle() {
  SetChecked(!checked_);
  if (onClick_) onClick_(this);
}

void TCheckBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      TWinControl::WndProc(m);
      pressed_ = Enabled();
      return;
    case WM_LBUTTONUP: {
      const bool over = ClientRect().Contains({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      const bool click = pressed_ && over;
      pressed_ = false;
      TWinControl::WndProc(m);
      if (click) Toggle();
      return;
    }
    case WM_KEYDOWN:
      if (!DoKeyDown(m)) return;
      if (m.WParam == VK_SPACE && Enabled()) Toggle();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::WndProc(m);
      Invalidate();
      return;
    default:
      TWinControl::WndProc(m);
  }
}

void TCheckBox::PaintWindow(TDeviceContext& dc, const TRect& clip) {
  const TRect client = ClientRect();
  dc.FillRect(client, Color());
  CheckBoxSquare(dc, client.left, client.top + (client.Height() - 13) / 2, checked_, Enabled());
  const TFontHandle* f = FontHandle(*Font());
  const int textHeight = f->Metrics().tmHeight;
  const TRect text{client.left + 17, client.top, client.right, client.bottom};
  dc.SelectFont(f);
  dc.SetTextColor(Enabled() ? Font()->Color() : clGrayText);
  dc.SetBkMode(TRANSPARENT);
  dc.ExtTextOut(text.left, text.top + (text.Height() - textHeight) / 2, ETO_CLIPPED, &text, Caption());
  if (Focused()) {
    const int w = f->TextWidth(Caption());
    const TRect focus{text.left - 1, text.top + (text.Height() - textHeight) / 2 - 1, text.left + w + 2,
                      text.top + (text.Height() + textHeight) / 2 + 1};
    dc.FrameRect(IntersectRect(focus, client), clWindowFrame);
  }
}

const TClassInfo* TCheckBox::StaticInfo() {
  static const TClassInfo info{"TCheckBox", TWinControl::StaticInfo(), {
      StrProp<TCheckBox, &TCheckBox::Caption, &TCheckBox::SetCaption>("Caption"),
      BoolProp<TCheckBox, &TCheckBox::Checked, &TCheckBox::SetChecked>("Checked"),
  }, [](TComponent* owner) -> TComponent* { return new TCheckBox(owner); }};
  return &info;
}

}  // namespace corvida
