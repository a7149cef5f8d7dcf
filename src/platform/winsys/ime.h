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
