#pragma once
// Popup menus: a tree of menu items with captions ("&" marks the access
// key), shortcuts, tags, enabled and checked states, and the shortcut
// routing that lets a control's popup menu answer keys before the control.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/typeinfo.h"
#include "platform/toolkit/controls.h"

namespace corvida {

// A shortcut: the virtual key in the low byte plus modifier bits.
using TShortCut = uint16_t;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(uint16_t key, TShiftState shift);
// "Shift+Ctrl+3", "Ctrl+Z", "F5", "Del": modifiers in any order and case;
// 0 for a text that names no key.
TShortCut TextToShortCut(std::string_view text);
std::string ShortCutToText(TShortCut shortCut);
// A caption without its access-key marks ("&&" stands for one "&").
std::string StripHotkey(std::string_view caption);

class TPopupMenu;

class TMenuItem : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TMenuItem)
  explicit TMenuItem(TComponent* owner);
  // Detaches the children; those without an owner are deleted with it.
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  bool IsLine() const { return caption_ == "-"; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v) { shortCut_ = v; }
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  bool Checked() const { return checked_; }
  void SetChecked(bool v) { checked_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }

  TMenuItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  int IndexOf(const TMenuItem* item) const;
  int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes item out without deleting it.
  void Remove(TMenuItem* item);
  // Deletes the child at index, or all children.
  void Delete(int index);
  void Clear();
  // The popup menu this item belongs to, or null.
  TPopupMenu* Menu() const;

  TNotifyEvent OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = e; }
  // Runs the item's action: OnClick; the root item runs its menu's OnPopup.
  virtual void Click();

  void Loaded() override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  friend class TPopupMenu;
  std::string caption_;
  TShortCut shortCut_ = scNone;
  int tag_ = 0;
  bool enabled_ = true;
  bool checked_ = false;
  bool visible_ = true;
  TMenuItem* parent_ = nullptr;
  TPopupMenu* menu_ = nullptr;  // set on a menu's root item only
  std::vector<TMenuItem*> items_;
  TNotifyEvent onClick_;
};

class TPopupMenu : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TPopupMenu)
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  TMenuItem* Items() const { return items_.get(); }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  // The control whose context menu this was shown as, last.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* c) { popupComponent_ = c; }

  TNotifyEvent OnPopup() const { return onPopup_; }
  void SetOnPopup(TNotifyEvent e) { onPopup_ = e; }

  // Runs OnPopup, shows the menu at a screen point and clicks the item
  // chosen (when it is enabled).
  virtual void Popup(int x, int y);
  // The items from the first level down to the item with shortCut, or empty.
  std::vector<TMenuItem*> FindShortCut(TShortCut shortCut) const;
  // When an item has shortCut: the root item's click (OnPopup), then each
  // item on the path that is enabled, and true, also when the item is
  // disabled or its action fails (the error goes to the application).
  bool IsShortCut(TShortCut shortCut);

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  friend class TMenuItem;
  virtual void DoPopup(TObject* sender);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::unique_ptr<TMenuItem> items_;
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
  TNotifyEvent onPopup_;
};

// The shortcut routing of a key press aimed at target: the popup menus of
// target and its parents are asked in turn; true when one took the key.
bool IsMenuKey(TWinControl* target, uint16_t key, TShiftState shift);

}  // namespace corvida
