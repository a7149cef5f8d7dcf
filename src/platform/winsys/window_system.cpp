#include "platform/winsys/window_system.h"

#include <algorithm>
#include <chrono>

#include "platform/rtl/exceptions.h"
#include "platform/winsys/file_changes.h"

namespace corvida {

TWindowSystem::TWindowSystem() = default;
TWindowSystem::~TWindowSystem() = default;

TWindowSystem& WindowSystem() {
  static TWindowSystem system;
  return system;
}

HWND TWindowSystem::Register(TWindow* window) {
  HWND h = nextHandle_++;
  windows_[h] = window;
  if (window->IsTopLevel()) topLevels_.push_back(window);
  return h;
}

void TWindowSystem::Unregister(TWindow* window) {
  windows_.erase(window->Handle());
  std::erase(topLevels_, window);
  if (focus_ == window->Handle()) focus_ = 0;
  if (capture_ == window->Handle()) capture_ = 0;
}

TWindow* TWindowSystem::Find(HWND hwnd) const {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second;
}

bool TWindowSystem::Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd != 0 && !Find(hwnd)) return false;
  queue_.push_back({{hwnd, msg, wParam, lParam}, std::nullopt});
  return true;
}

void TWindowSystem::PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const TKeyStates& keys) {
  queue_.push_back({{hwnd, msg, wParam, lParam}, keys});
}

TWindow* TWindowSystem::FindPaintable() const {
  // Parents before children, so a child's pixels land on top.
  std::vector<TWindow*> stack(topLevels_.rbegin(), topLevels_.rend());
  while (!stack.empty()) {
    TWindow* w = stack.back();
    stack.pop_back();
    if (!w->Visible() || !w->RedrawEnabled()) continue;
    if (!w->UpdateRegion().IsEmpty()) return w;
    for (auto it = w->Children().rbegin(); it != w->Children().rend(); ++it) stack.push_back(*it);
  }
  return nullptr;
}

bool TWindowSystem::Peek(TMsg& msg, HWND hwnd, UINT min, UINT max, UINT flags) {
  bool anyRange = min == 0 && max == 0;
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    if (hwnd != 0 && it->msg.hwnd != hwnd) continue;
    if (!anyRange && (it->msg.message < min || it->msg.message > max)) continue;
    msg = it->msg;
    if (flags & PM_REMOVE) {
      if (it->keys) keys_ = *it->keys;
      if (msg.message == WM_QUIT) quit_ = false;
      queue_.erase(it);
    }
    return true;
  }
  if (quit_ && hwnd == 0 && (anyRange || (WM_QUIT >= min && WM_QUIT <= max))) {
    msg = {0, WM_QUIT, 0, 0};
    if (flags & PM_REMOVE) quit_ = false;
    return true;
  }
  if (anyRange || (WM_PAINT >= min && WM_PAINT <= max)) {
    TWindow* w = FindPaintable();
    if (w && (hwnd == 0 || w->Handle() == hwnd)) {
      msg = {w->Handle(), WM_PAINT, 0, 0};
      return true;
    }
  }
  return false;
}

bool TWindowSystem::Get(TMsg& msg) {
  while (!Peek(msg, 0, 0, 0, PM_REMOVE)) {
    const int64_t now = NowMs();
    CheckFileChanges(now);
    if (Peek(msg, 0, 0, 0, PM_REMOVE)) break;
    if (!backend_) return false;
    std::vector<int> descriptors;
    int64_t timeout = -1;
    for (const TFileChanges* changes : fileChanges_) {
      if (changes->Descriptor() >= 0) descriptors.push_back(changes->Descriptor());
      const int64_t due = changes->Timeout(now);
      if (due >= 0) timeout = timeout < 0 ? due : std::min(timeout, due);
    }
    backend_->SetWakeUps(descriptors, timeout);
    if (!backend_->WaitForEvents()) return false;
  }
  return msg.message != WM_QUIT;
}

void TWindowSystem::AddFileChanges(TFileChanges* changes) { fileChanges_.push_back(changes); }

void TWindowSystem::RemoveFileChanges(TFileChanges* changes) { std::erase(fileChanges_, changes); }

void TWindowSystem::CheckFileChanges(int64_t now) {
  // By index: a service may go while another posts.
  for (size_t i = 0; i < fileChanges_.size(); ++i) fileChanges_[i]->Check(now);
}

int64_t TWindowSystem::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TWindowSystem::Poll() {
  if (backend_) backend_->PollEvents();
}

LRESULT TWindowSystem::Dispatch(const TMsg& msg) {
  TWindow* w = Find(msg.hwnd);
  if (!w) return 0;
  // The pointer shape is asked for only while no window holds the capture:
  // the capturing window keeps the shape it set, over any window.
  if (msg.message == WM_SETCURSOR && capture_ != 0) return 0;
  LRESULT result;
  if (msg.message == WM_PAINT) {
    TRect before = w->UpdateRegion().Bounds();
    result = w->Perform(msg.message, msg.wParam, msg.lParam);
    // A handler that painted nothing must not be asked again for ever.
    if (Find(msg.hwnd) && w->UpdateRegion().Bounds() == before) w->ValidateRect(nullptr);
  } else {
    result = w->Perform(msg.message, msg.wParam, msg.lParam);
  }
  FlushPresent();
  return result;
}

void TWindowSystem::PostQuit(int code) { quit_ = true; }

void TWindowSystem::FlushPresent() {
  for (TWindow* top : topLevels_) {
    TRect dirty = top->TakePresentRect();
    if (!dirty.IsEmpty() && backend_) backend_->Present(top, dirty);
  }
}

TWindow* TWindowSystem::SetFocus(TWindow* window) {
  TWindow* old = Focus();
  if (old == window) return old;
  focus_ = window ? window->Handle() : 0;
  if (old) old->Perform(WM_KILLFOCUS, window ? window->Handle() : 0, 0);
  // The handler of WM_KILLFOCUS may have moved the focus elsewhere.
  if (window && focus_ == window->Handle()) window->Perform(WM_SETFOCUS, old ? old->Handle() : 0, 0);
  return old;
}

TWindow* TWindowSystem::SetCapture(TWindow* window) {
  TWindow* old = Capture();
  capture_ = window ? window->Handle() : 0;
  if (old && old != window) old->Perform(WM_CAPTURECHANGED, 0, window ? static_cast<LPARAM>(window->Handle()) : 0);
  return old;
}

void TWindowSystem::ReleaseCapture() {
  TWindow* old = Capture();
  capture_ = 0;
  if (old) old->Perform(WM_CAPTURECHANGED, 0, 0);
}

void TWindowSystem::ResetInput() {
  queue_.clear();
  quit_ = false;
  focus_ = 0;
  capture_ = 0;
  keys_ = {};
  inputKeys_ = {};
  cursorPos_ = {};
}

bool PostMessage(TWindow* window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return WindowSystem().Post(window ? window->Handle() : 0, msg, wParam, lParam);
}

LRESULT SendMessage(TWindow* window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return window ? window->Perform(msg, wParam, lParam) : 0;
}

bool PeekMessage(TMsg& msg, TWindow* window, UINT min, UINT max, UINT flags) {
  return WindowSystem().Peek(msg, window ? window->Handle() : 0, min, max, flags);
}

bool GetMessage(TMsg& msg) { return WindowSystem().Get(msg); }
void PollEvents() { WindowSystem().Poll(); }
LRESULT DispatchMessage(const TMsg& msg) { return WindowSystem().Dispatch(msg); }
void PostQuitMessage(int code) { WindowSystem().PostQuit(code); }
TWindow* GetFocus() { return WindowSystem().Focus(); }
TWindow* SetFocus(TWindow* window) { return WindowSystem().SetFocus(window); }
TWindow* GetCapture() { return WindowSystem().Capture(); }
TWindow* SetCapture(TWindow* window) { return WindowSystem().SetCapture(window); }
void ReleaseCapture() { WindowSystem().ReleaseCapture(); }

namespace {
int16_t KeyStateWord(uint8_t state) {
  return static_cast<int16_t>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}
}  // namespace

int16_t GetKeyState(int vk) {
  return vk >= 0 && vk < kKeyCount ? KeyStateWord(WindowSystem().KeyStates()[vk]) : 0;
}

int16_t GetAsyncKeyState(int vk) {
  return vk >= 0 && vk < kKeyCount ? KeyStateWord(WindowSystem().InputKeyStates()[vk] & 0x80) : 0;
}

void GetCursorPos(TPoint& p) { p = WindowSystem().CursorPos(); }

int GetSystemMetrics(int index) {
  TBackend* backend = WindowSystem().Backend();
  TSize screen = backend ? backend->ScreenSize() : TSize{1024, 768};
  switch (index) {
    case SM_CXSCREEN: return screen.cx;
    case SM_CYSCREEN: return screen.cy;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_MOUSEWHEELPRESENT: return 1;
    default: return 0;
  }
}

int MessageBox(TWindow* owner, const std::string& text, const std::string& caption, UINT type) {
  TBackend* backend = WindowSystem().Backend();
  if (!backend) throw EInvalidOperation("no window-system backend is installed");
  return backend->MessageBox(owner, text, caption, type);
}

}  // namespace corvida
