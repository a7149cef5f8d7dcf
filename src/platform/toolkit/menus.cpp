#include "platform/toolkit/menus.h"

#include <algorithm>
#include <cctype>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"
#include "platform/toolkit/forms.h"

namespace corvida {
namespace {

struct TKeyName {
  uint16_t key;
  const char* name;
};

// Key names as shortcut texts spell them.
constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_ESCAPE, "Esc"},  {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},  {VK_NEXT, "PgDn"},  {VK_END, "End"},     {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},       {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

uint16_t KeyFromName(std::string_view name) {
  if (name.size() == 1) {
    auto c = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(name[0])));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  for (const TKeyName& k : kKeyNames)
    if (AnsiSameText(name, k.name)) return k.key;
  if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
    int n = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return 0;
      n = n * 10 + (c - '0');
      if (n > 24) return 0;
    }
    if (n >= 1) return static_cast<uint16_t>(VK_F1 + n - 1);
  }
  return 0;
}

// Takes a modifier prefix such as "Ctrl+" off text.
bool TakePrefix(std::string_view& text, std::string_view prefix) {
  if (text.size() <= prefix.size() || !AnsiSameText(text.substr(0, prefix.size()), prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
  if (key & 0xFF00) return scNone;
  TShortCut sc = key;
  if (shift & ssShift) sc |= scShift;
  if (shift & ssCtrl) sc |= scCtrl;
  if (shift & ssAlt) sc |= scAlt;
  return sc;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut mods = 0;
  for (bool more = true; more;) {
    more = false;
    if (TakePrefix(text, "Shift+")) mods |= scShift, more = true;
    if (TakePrefix(text, "Ctrl+")) mods |= scCtrl, more = true;
    if (TakePrefix(text, "Alt+")) mods |= scAlt, more = true;
  }
  uint16_t key = KeyFromName(text);
  return key ? static_cast<TShortCut>(key | mods) : scNone;
}

std::string ShortCutToText(TShortCut sc) {
  uint16_t key = sc & 0xFF;
  std::string name;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    name = std::string(1, static_cast<char>(key));
  } else if (key >= VK_F1 && key < VK_F1 + 24) {
    name = Format("F%d", {key - VK_F1 + 1});
  } else {
    for (const TKeyName& k : kKeyNames)
      if (k.key == key) name = k.name;
  }
  if (name.empty()) return {};
  std::string out;
  if (sc & scShift) out += "Shift+";
  if (sc & scCtrl) out += "Ctrl+";
  if (sc & scAlt) out += "Alt+";
  return out + name;
}

std::string StripHotkey(std::string_view caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (IsLeadByte(caption[i]) && i + 1 < caption.size()) {
      out += caption.substr(i, 2);
      ++i;
    } else if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') out += caption[++i];
    } else {
      out += caption[i];
    }
  }
  return out;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  Destroying();
  std::vector<TMenuItem*> children;
  children.swap(items_);
  for (TMenuItem* child : children) {
    child->parent_ = nullptr;
    if (!child->Owner()) delete child;
  }
  if (parent_) parent_->Remove(this);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) throw EInvalidOperation("the menu item is already inserted");
  for (TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EInvalidOperation("a menu item cannot hold itself");
  if (index < 0 || index > Count()) throw EListError(msg::kListIndexError);
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  int i = IndexOf(item);
  if (i < 0) return;
  items_.erase(items_.begin() + i);
  item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) throw EListError(msg::kListIndexError);
  TMenuItem* item = items_[static_cast<size_t>(index)];
  Remove(item);
  delete item;
}

void TMenuItem::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

TPopupMenu* TMenuItem::Menu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

void TMenuItem::Click() {
  if (menu_) menu_->DoPopup(menu_);
  if (onClick_) onClick_(this);
}

void TMenuItem::Loaded() {
  TComponent::Loaded();
  // An item read nested inside a menu or an item joins it.
  if (parent_) return;
  if (auto* item = dynamic_cast<TMenuItem*>(Owner()))
    item->Add(this);
  else if (auto* menu = dynamic_cast<TPopupMenu*>(Owner()))
    menu->Items()->Add(this);
}

const TClassInfo* TMenuItem::StaticInfo() {
  static const TClassInfo info{"TMenuItem", nullptr, {
      StrProp<TMenuItem, &TMenuItem::Caption, &TMenuItem::SetCaption>("Caption"),
      BoolProp<TMenuItem, &TMenuItem::Checked, &TMenuItem::SetChecked>("Checked"),
      BoolProp<TMenuItem, &TMenuItem::Enabled, &TMenuItem::SetEnabled>("Enabled"),
      IntProp<TMenuItem, &TMenuItem::ShortCut, &TMenuItem::SetShortCut>("ShortCut"),
      IntProp<TMenuItem, &TMenuItem::Tag, &TMenuItem::SetTag>("Tag"),
      BoolProp<TMenuItem, &TMenuItem::Visible, &TMenuItem::SetVisible>("Visible"),
  }, [](TComponent* owner) -> TComponent* { return new TMenuItem(owner); }};
  return &info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TPopupMenu::~TPopupMenu() {
  Destroying();
  // Owned items go first, while the root they hang on still exists.
  DestroyComponents();
  items_.reset();
}

void TPopupMenu::DoPopup(TObject* sender) {
  if (onPopup_) onPopup_(sender);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
  items_->Click();
  TToolkitBackend* backend = ToolkitBackend();
  if (!backend) return;
  TMenuItem* chosen = backend->TrackPopupMenu(this, {x, y});
  if (chosen && chosen->Enabled() && chosen->Menu() == this) chosen->Click();
}

std::vector<TMenuItem*> TPopupMenu::FindShortCut(TShortCut shortCut) const {
  std::vector<TMenuItem*> path;
  if (shortCut == scNone) return path;
  auto search = [&](auto& self, TMenuItem* item) -> bool {
    for (int i = 0; i < item->Count(); ++i) {
      TMenuItem* child = item->Items(i);
      path.push_back(child);
      if (child->ShortCut() == shortCut || self(self, child)) return true;
      path.pop_back();
    }
    return false;
  };
  search(search, items_.get());
  return path;
}

bool TPopupMenu::IsShortCut(TShortCut shortCut) {
  std::vector<TMenuItem*> path = FindShortCut(shortCut);
  if (path.empty()) return false;
  try {
    if (items_->Enabled()) items_->Click();
    // The OnPopup handler may have rebuilt the menu: search again.
    path = FindShortCut(shortCut);
    for (TMenuItem* item : path)
      if (item->Enabled()) item->Click();
  } catch (...) {
    Application().HandleException(this);
  }
  return true;
}

const TClassInfo* TPopupMenu::StaticInfo() {
  static const TClassInfo info{"TPopupMenu", nullptr, {
      BoolProp<TPopupMenu, &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup>("AutoPopup"),
  }, [](TComponent* owner) -> TComponent* { return new TPopupMenu(owner); }};
  return &info;
}

bool IsMenuKey(TWinControl* target, uint16_t key, TShiftState shift) {
  TShortCut sc = ShortCut(key, shift);
  if (sc == scNone) return false;
  for (TWinControl* c = target; c; c = c->Parent())
    if (TPopupMenu* menu = c->PopupMenu())
      if (menu->IsShortCut(sc)) return true;
  return false;
}

}  // namespace corvida
