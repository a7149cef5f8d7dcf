#pragma once
// The input method as the editor uses it: the result string of a finished
// composition, read once from the window's input context, and the place
// and font of the composition window, which the backend follows.
#include <cstdint>
#include <string>

#include "platform/winsys/font.h"
#include "platform/winsys/window.h"

namespace corvida {

using HIMC = uint32_t;

// WM_IME_NOTIFY commands.
inline constexpr WPARAM IMN_CLOSESTATUSWINDOW = 0x0001;
inline constexpr WPARAM IMN_OPENSTATUSWINDOW = 0x0002;
inline constexpr WPARAM IMN_CHANGECANDIDATE = 0x0003;
inline constexpr WPARAM IMN_CLOSECANDIDATE = 0x0004;
inline constexpr WPARAM IMN_OPENCANDIDATE = 0x0005;
inline constexpr WPARAM IMN_SETCONVERSIONMODE = 0x0006;
inline constexpr WPARAM IMN_SETSENTENCEMODE = 0x0007;
inline constexpr WPARAM IMN_SETOPENSTATUS = 0x0008;
inline constexpr WPARAM IMN_SETCANDIDATEPOS = 0x0009;
inline constexpr WPARAM IMN_SETCOMPOSITIONFONT = 0x000A;
inline constexpr WPARAM IMN_SETCOMPOSITIONWINDOW = 0x000B;
inline constexpr WPARAM IMN_SETSTATUSWINDOWPOS = 0x000C;
inline constexpr WPARAM IMN_GUIDELINE = 0x000D;
inline constexpr WPARAM IMN_PRIVATE = 0x000E;

struct TCompositionForm {
  uint32_t dwStyle = CFS_DEFAULT;
  TPoint ptCurrentPos;
  TRect rcArea;
};

HIMC ImmGetContext(TWindow* window);
bool ImmReleaseContext(TWindow* window, HIMC context);
// GCS_RESULTSTR: copies up to size bytes of the result (CP932, no NUL) and
// answers their count; with no buffer or size 0 answers the full length.
// IMM_ERROR_NODATA for other kinds or an unknown context.
int ImmGetCompositionString(HIMC context, LPARAM kind, void* buffer, int size);
bool ImmSetCompositionWindow(HIMC context, const TCompositionForm& form);
bool ImmGetCompositionWindow(HIMC context, TCompositionForm& form);
bool ImmSetCompositionFont(HIMC context, const TFontDesc& font);
bool ImmGetCompositionFont(HIMC context, TFontDesc& font);

// The backend's side: the result of a finished composition for window.
void ImmSetResultString(TWindow* window, const std::string& cp932);
void ImeWindowDestroyed(HWND hwnd);

}  // namespace corvida
