#pragma once
// Input as a backend delivers it: each call queues the messages Windows
// would post, with the key state they carry. Keys and characters go to the
// focused window, mouse messages to the capturing window or the one under
// the pointer (screen coordinates).
#include <string>

#include "platform/winsys/geometry.h"
#include "platform/winsys/window.h"

namespace corvida {

inline constexpr LPARAM HTCLIENT = 1;
inline constexpr int WHEEL_DELTA = 120;

// WM_KEYDOWN (WM_SYSKEYDOWN with Alt); repeat marks an auto-repeat (bit 30).
void InjectKeyDown(int vk, bool repeat = false);
void InjectKeyUp(int vk);
// One WM_CHAR per byte: a double-byte character's lead and trail are both
// queued before the lead is handled.
void InjectText(const std::string& cp932);
// The input method's result: WM_IME_COMPOSITION with GCS_RESULTSTR, then
// the WM_CHAR messages of the same bytes.
void InjectImeResult(const std::string& cp932);
// WM_IME_NOTIFY with command (IMN_*), e.g. the candidate list opening.
void InjectImeNotify(WPARAM command);
// WM_SETCURSOR (dropped when it is taken while a window holds the capture)
// and WM_MOUSEMOVE.
void InjectMouseMove(TPoint screen);
// button: VK_LBUTTON, VK_RBUTTON or VK_MBUTTON.
void InjectMouseDown(int button, TPoint screen, bool doubleClick = false);
void InjectMouseUp(int button, TPoint screen);
// WM_MOUSEWHEEL to the focused window; delta in WHEEL_DELTA units.
void InjectWheel(int delta, TPoint screen);
// The mouse-message key flags (MK_*) of the newest input state.
WPARAM MouseKeyFlags();

}  // namespace corvida
