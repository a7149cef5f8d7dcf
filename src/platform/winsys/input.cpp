#include "platform/winsys/input.h"

#include "platform/rtl/cp932.h"
#include "platform/winsys/ime.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

bool Down(int vk) { return (WindowSystem().InputKeyStates()[vk] & 0x80) != 0; }

void PostToFocus(UINT msg, WPARAM wParam, LPARAM lParam) {
  TWindow* focus = GetFocus();
  if (!focus) return;
  WindowSystem().PostInput(focus->Handle(), msg, wParam, lParam, WindowSystem().InputKeyStates());
}

TWindow* MouseTarget(TPoint screen) {
  if (TWindow* capture = GetCapture()) return capture;
  const auto& tops = WindowSystem().TopLevels();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it)
    if (TWindow* hit = (*it)->ChildFromScreenPoint(screen)) return hit;
  return nullptr;
}

void PostMouse(UINT msg, TPoint screen) {
  WindowSystem().SetCursorPos(screen);
  TWindow* target = MouseTarget(screen);
  if (!target) return;
  TPoint p = target->ScreenToClient(screen);
  WindowSystem().PostInput(target->Handle(), msg, MouseKeyFlags(), MAKELPARAM(p.x, p.y),
                           WindowSystem().InputKeyStates());
}

}  // namespace

WPARAM MouseKeyFlags() {
  WPARAM flags = 0;
  if (Down(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (Down(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (Down(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (Down(VK_SHIFT)) flags |= MK_SHIFT;
  if (Down(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

void InjectKeyDown(int vk, bool repeat) {
  if (vk <= 0 || vk >= kKeyCount) return;
  TKeyStates& keys = WindowSystem().MutableInputKeyStates();
  bool wasDown = repeat || (keys[vk] & 0x80);
  if (!(keys[vk] & 0x80)) keys[vk] ^= 0x01;
  keys[vk] |= 0x80;
  LPARAM lParam = 1 | (wasDown ? (LPARAM{1} << 30) : 0);
  bool sys = (Down(VK_MENU) && !Down(VK_CONTROL)) || vk == VK_F10;
  if (Down(VK_MENU)) lParam |= LPARAM{1} << 29;
  PostToFocus(sys ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), lParam);
}

void InjectKeyUp(int vk) {
  if (vk <= 0 || vk >= kKeyCount) return;
  TKeyStates& keys = WindowSystem().MutableInputKeyStates();
  bool sys = (Down(VK_MENU) && !Down(VK_CONTROL)) || vk == VK_F10 || vk == VK_MENU;
  keys[vk] &= 0x01;
  LPARAM lParam = 1 | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  PostToFocus(sys ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk), lParam);
}

void InjectText(const std::string& cp932) {
  for (char c : cp932) PostToFocus(WM_CHAR, static_cast<unsigned char>(c), 1);
}

void InjectImeResult(const std::string& cp932) {
  TWindow* focus = GetFocus();
  if (!focus || cp932.empty()) return;
  ImmSetResultString(focus, cp932);
  auto first = static_cast<unsigned char>(cp932[0]);
  WPARAM code = first;
  if (IsLeadByte(first) && cp932.size() > 1) code = first << 8 | static_cast<unsigned char>(cp932[1]);
  PostToFocus(WM_IME_COMPOSITION, code, GCS_RESULTSTR);
  InjectText(cp932);
}

void InjectImeNotify(WPARAM command) { PostToFocus(WM_IME_NOTIFY, command, 0); }

void InjectMouseMove(TPoint screen) {
  WindowSystem().SetCursorPos(screen);
  if (TWindow* target = MouseTarget(screen))
    WindowSystem().PostInput(target->Handle(), WM_SETCURSOR, target->Handle(), HTCLIENT | (LPARAM{WM_MOUSEMOVE} << 16),
                             WindowSystem().InputKeyStates());
  PostMouse(WM_MOUSEMOVE, screen);
}

void InjectMouseDown(int button, TPoint screen, bool doubleClick) {
  UINT msg;
  switch (button) {
    case VK_RBUTTON: msg = doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN; break;
    case VK_MBUTTON: msg = doubleClick ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN; break;
    default: button = VK_LBUTTON; msg = doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN; break;
  }
  WindowSystem().MutableInputKeyStates()[button] |= 0x80;
  PostMouse(msg, screen);
}

void InjectMouseUp(int button, TPoint screen) {
  UINT msg;
  switch (button) {
    case VK_RBUTTON: msg = WM_RBUTTONUP; break;
    case VK_MBUTTON: msg = WM_MBUTTONUP; break;
    default: button = VK_LBUTTON; msg = WM_LBUTTONUP; break;
  }
  WindowSystem().MutableInputKeyStates()[button] &= 0x01;
  PostMouse(msg, screen);
}

void InjectWheel(int delta, TPoint screen) {
  WindowSystem().SetCursorPos(screen);
  WPARAM wParam = (MouseKeyFlags() & 0xFFFF) | (static_cast<WPARAM>(static_cast<uint16_t>(delta)) << 16);
  PostToFocus(WM_MOUSEWHEEL, wParam, MAKELPARAM(screen.x, screen.y));
}

}  // namespace corvida
