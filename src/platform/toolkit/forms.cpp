#include "platform/toolkit/forms.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/toolkit/menus.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

// The controls of parent that take the focus by Tab, depth first in tab
// order.
void CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& stops) {
  std::vector<TWinControl*> order;
  for (int i = 0; i < parent->ControlCount(); ++i) order.push_back(parent->Controls(i));
  std::stable_sort(order.begin(), order.end(),
                   [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TWinControl* c : order) {
    if (c->TabStop()) stops.push_back(c);
    CollectTabStops(c, stops);
  }
}

// The first control in tab order that can take the focus.
TWinControl* FirstTabStop(TWinControl* parent) {
  std::vector<TWinControl*> stops;
  CollectTabStops(parent, stops);
  for (TWinControl* c : stops)
    if (c->CanFocus()) return c;
  return nullptr;
}

bool WantsTabs(TWinControl* control) { return control->Window()->Perform(WM_GETDLGCODE) & DLGC_WANTTAB; }

TWinControl* TopParent(TWinControl* control) {
  while (control->Parent()) control = control->Parent();
  return control;
}

// Tab and Shift+Tab move the focus to the next or previous control of the
// form in tab order, round the end, unless the focused control wants tabs
// itself; Ctrl+Tab and Ctrl+Shift+Tab move it from such a control too, as
// the desktop's text fields do. True when the key was taken for that.
bool MoveFocusByTab(TWinControl* control, TShiftState shift) {
  if (!control || (shift & ssAlt) || (!(shift & ssCtrl) && WantsTabs(control))) return false;
  TWinControl* form = TopParent(control);
  std::vector<TWinControl*> stops;
  CollectTabStops(form, stops);
  const int n = static_cast<int>(stops.size());
  const bool back = (shift & ssShift) != 0;
  const auto at = std::find(stops.begin(), stops.end(), control);
  const int from = at != stops.end() ? static_cast<int>(at - stops.begin()) : (back ? n : -1);
  for (int step = 1; step <= n; ++step) {
    TWinControl* next = stops[static_cast<size_t>(((back ? from - step : from + step) % n + n) % n)];
    if (next == control) break;
    if (next->CanFocus()) {
      next->SetFocus();
      break;
    }
  }
  return true;
}

// The tab character that follows a Tab key is dropped for a control that
// does not want tabs, as the key itself was.
bool IsUnwantedTabChar(const TMsg& msg) {
  if (msg.message != WM_CHAR || msg.wParam != '\t') return false;
  TWinControl* control = FindControl(msg.hwnd);
  return control && !WantsTabs(control);
}

bool IsFormShortCut(const TMsg& msg, TShiftState shift) {
  TWinControl* control = FindControl(msg.hwnd);
  auto* form = control ? dynamic_cast<TForm*>(TopParent(control)) : nullptr;
  return form && form->IsShortCut(static_cast<uint16_t>(msg.wParam), shift);
}

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  TWinControl::SetVisible(false);
  SetBounds(0, 0, 320, 240);
  CreateHandle();
}

TForm::~TForm() { Destroying(); }

TRect TForm::WindowRect() const {
  return {Left() + kFormFrame, Top() + kFormFrame + kFormCaption, Left() + Width() - kFormFrame,
          Top() + Height() - kFormFrame};
}

std::unique_ptr<TWindow> TForm::MakeWindow() {
  // The frame is the desktop's: the window itself is the client area.
  uint32_t style = WS_CLIPCHILDREN | (Visible() ? WS_VISIBLE : 0);
  return std::make_unique<TControlWindow>(this, nullptr, WindowRect(), style, 0);
}

void TForm::SetMinClientSize(TSize v) {
  minClientSize_ = v;
  SetBounds(Left(), Top(), Width(), Height());
  PeerUpdate();
}

void TForm::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, std::max(width, minClientSize_.cx + 2 * kFormFrame),
                         std::max(height, minClientSize_.cy + 2 * kFormFrame + kFormCaption));
}

void TForm::SetVisible(bool v) {
  if (v == Visible()) return;
  if (v && onShow_) onShow_(this);
  TWinControl::SetVisible(v);
  if (!v) return;
  TWinControl* first = activeControl_ && activeControl_->CanFocus() ? activeControl_ : FirstTabStop(this);
  if (first) first->SetFocus();
}

void TForm::SetDesktopTitle(const std::string& v) {
  if (v == desktopTitle_) return;
  desktopTitle_ = v;
  PeerUpdate();
}

void TForm::SetActiveControl(TWinControl* c) {
  if (activeControl_) activeControl_->RemoveFreeNotification(this);
  activeControl_ = c;
  if (c) {
    c->FreeNotification(this);
    if (Showing() && c->CanFocus()) c->SetFocus();
  }
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == activeControl_) activeControl_ = nullptr;
}

void TForm::Close() {
  bool canClose = true;
  if (onCloseQuery_) onCloseQuery_(this, canClose);
  if (!canClose) return;
  TCloseAction action = caHide;
  if (onClose_) onClose_(this, action);
  if (action == caNone) return;
  if (Application().MainForm() == this)
    Application().Terminate();
  else if (action == caFree)
    Release();
  else
    Hide();
}

void TForm::Release() { PostMessage(Window(), CM_RELEASE, 0, 0); }

void TForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case CM_RELEASE:
      delete this;
      return;
    default:
      TWinControl::WndProc(m);
  }
}

const TClassInfo* TForm::StaticInfo() {
  static const TClassInfo info{"TForm", TWinControl::StaticInfo(), {
      StrProp<TForm, &TForm::Caption, &TForm::SetCaption>("Caption"),
  }, [](TComponent* owner) -> TComponent* { return new TForm(owner); }};
  return &info;
}

TApplication::TApplication() : TComponent(nullptr) {}
// The forms go first: their controls remove their idle handlers.
TApplication::~TApplication() { DestroyComponents(); }

TApplication& Application() {
  static TApplication application;
  return application;
}

std::string TApplication::Title() const {
  if (!title_.empty()) return title_;
  return ChangeFileExt(ExtractFileName(ExeName()), "");
}

std::string TApplication::ExeName() const { return exeName_.empty() ? ExecutablePath() : exeName_; }

void TApplication::SetMainForm(TForm* form) {
  if (mainForm_) mainForm_->RemoveFreeNotification(this);
  mainForm_ = form;
  if (form) form->FreeNotification(this);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == mainForm_) mainForm_ = nullptr;
}

void TApplication::Initialize() {
  terminated_ = false;
  SetMainForm(nullptr);
}

void TApplication::Run() {
  terminated_ = false;
  if (mainForm_) {
    try {
      mainForm_->Show();
    } catch (...) {
      HandleException(this);
    }
  }
  while (HandleMessage()) {
  }
}

bool TApplication::HandleMessage() {
  if (terminated_) return false;
  TMsg msg;
  while (!PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE) && DoIdle()) PollEvents();
  if (!GetMessage(msg)) {
    terminated_ = true;
    return false;
  }
  ProcessMessage(msg);
  return !terminated_;
}

void TApplication::AddIdleHandler(TIdleEvent e) { idleHandlers_.push_back(e); }

void TApplication::RemoveIdleHandler(TIdleEvent e) {
  idleHandlers_.erase(std::remove(idleHandlers_.begin(), idleHandlers_.end(), e), idleHandlers_.end());
}

bool TApplication::DoIdle() {
  bool more = false;
  // By index: a handler may add or remove handlers.
  for (size_t i = 0; i < idleHandlers_.size(); ++i) {
    bool done = true;
    try {
      idleHandlers_[i](this, done);
    } catch (...) {
      HandleException(this);
    }
    more = more || !done;
  }
  return more;
}

int TApplication::ProcessMessages(int limit) {
  int handled = 0;
  TMsg msg;
  while (handled < limit && PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    ProcessMessage(msg);
    ++handled;
  }
  return handled;
}

void TApplication::ProcessMessage(const TMsg& msg) {
  try {
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
        (IsMenuKey(FindControl(msg.hwnd), static_cast<uint16_t>(msg.wParam), KeyboardStateToShiftState()) ||
         IsFormShortCut(msg, KeyboardStateToShiftState())))
      return;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB &&
        MoveFocusByTab(FindControl(msg.hwnd), KeyboardStateToShiftState()))
      return;
    if (IsUnwantedTabChar(msg)) return;
    DispatchMessage(msg);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

std::string ExceptionMessage(const std::exception_ptr& e) {
  try {
    std::rethrow_exception(e);
  } catch (const Exception& x) {
    return x.Message();
  } catch (const std::exception& x) {
    return x.what();
  } catch (...) {
    return "unknown error";
  }
}

// A double-byte character's bytes are all above "." (leads from 0x81,
// trails from 0x40), so the last byte decides for any last character.
std::string WithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

void TApplication::HandleException(TObject* sender) {
  try {
    throw;
  } catch (const EAbort&) {
    // A run stopped on request: nothing went wrong, nothing to tell.
    return;
  } catch (...) {
  }
  std::string text = ExceptionMessage(std::current_exception());
  try {
    if (onException_)
      onException_(sender, text);
    else
      ShowException(text);
  } catch (...) {
    // The error box itself failed (no window system): the terminal is the
    // last place left to say it.
    std::fprintf(stderr, "%s\n", WithFullStop(text).c_str());
  }
}

void TApplication::ShowException(const std::string& message) {
  TWindow* owner = mainForm_ ? mainForm_->Window() : nullptr;
  MessageBox(owner, WithFullStop(message), Title(), MB_OK | MB_ICONSTOP);
}

}  // namespace corvida
