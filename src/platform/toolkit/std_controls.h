#pragma once
// The standard controls: TPanel (a bevelled container), TSpeedButton (a
// button that a click never gives the focus; with TabStop the keyboard
// reaches it, and Space or Enter press it), TRadioGroup (a captioned group of
// radio buttons arranged in columns) and TCheckBox (a box to tick with its
// caption beside it). Each paints itself; a desktop
// backend may show a native widget over it.
#include <memory>
#include <string>

#include "platform/rtl/strings.h"
#include "platform/toolkit/controls.h"

namespace corvida {

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
 public:
  CORVIDA_CLASS_NAME(TPanel)
  explicit TPanel(TComponent* owner);

  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel v);
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  // The depth of the bevels: aligned children keep inside it.
  int BevelDepth() const;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  void PaintWindow(TDeviceContext& dc, const TRect& clip) override;
  TRect AlignRect() const override;

 private:
  TPanelBevel bevelInner_ = bvNone;
  TPanelBevel bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
};

class TSpeedButton : public TWinControl {
 public:
  CORVIDA_CLASS_NAME(TSpeedButton)
  explicit TSpeedButton(TComponent* owner);

  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool Pressed() const { return pressed_; }
  bool CanFocus() const override { return TabStop() && TWinControl::CanFocus(); }

  TNotifyEvent OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = e; }
  // What a press and release on the button does: OnClick.
  virtual void Click();

  void WndProc(TMessage& message) override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  void PaintWindow(TDeviceContext& dc, const TRect& clip) override;
  void PeerClicked(int item) override { Click(); }

 private:
  void SetPressed(bool v);
  bool flat_ = false;
  bool pressed_ = false;
  TNotifyEvent onClick_;
};

class TRadioGroup : public TWinControl {
 public:
  CORVIDA_CLASS_NAME(TRadioGroup)
  explicit TRadioGroup(TComponent* owner);
  ~TRadioGroup() override;

  TStrings* Items() const { return items_.get(); }
  // Assigns into the owned list.
  void SetItems(const TStrings* items) { items_->Assign(items); }
  int Columns() const { return columns_; }
  // 1 to 16.
  void SetColumns(int v);
  int ItemIndex() const { return itemIndex_; }
  // Limited to -1 .. the last item (while loading, once loading ends).
  void SetItemIndex(int v);
  // Where item index's button lies in the client area.
  TRect ItemRect(int index) const;

  TNotifyEvent OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = e; }

  void Loaded() override;
  void WndProc(TMessage& message) override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  void PaintWindow(TDeviceContext& dc, const TRect& clip) override;
  bool FocusOnPress() const override { return true; }
  // The user chose item: it becomes the item index and OnClick runs.
  void PeerClicked(int item) override;

 private:
  void ItemsChanged(TObject* sender);
  void Choose(int item);
  int Limited(int v) const;
  std::unique_ptr<TStringList> items_;
  int columns_ = 1;
  int itemIndex_ = -1;
  TNotifyEvent onClick_;
};

class TCheckBox : public TWinControl {
 public:
  CORVIDA_CLASS_NAME(TCheckBox)
  explicit TCheckBox(TComponent* owner);

  bool Checked() const { return checked_; }
  // Setting it from code runs no OnClick.
  void SetChecked(bool v);

  // The user ticked or cleared the box: a click on it, or the space bar.
  TNotifyEvent OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = e; }

  void WndProc(TMessage& message) override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  void PaintWindow(TDeviceContext& dc, const TRect& clip) override;
  bool FocusOnPress() const override { return true; }
  void PeerClicked(int item) override { Toggle(); }

 private:
  void Toggle();
  bool checked_ = false;
  bool pressed_ = false;
  TNotifyEvent onClick_;
};

}  // namespace corvida
