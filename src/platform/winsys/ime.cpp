#include "platform/winsys/ime.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

struct TInputContext {
  std::string result;
  TCompositionForm form;
  TFontDesc font;
};

std::unordered_map<HWND, TInputContext>& Contexts() {
  static std::unordered_map<HWND, TInputContext> contexts;
  return contexts;
}

TInputContext* Find(HIMC context) {
  if (!WindowSystem().Find(context)) return nullptr;
  return &Contexts()[context];
}

}  // namespace

HIMC ImmGetContext(TWindow* window) { return window ? window->Handle() : 0; }

bool ImmReleaseContext(TWindow* window, HIMC context) { return window && window->Handle() == context; }

int ImmGetCompositionString(HIMC context, LPARAM kind, void* buffer, int size) {
  TInputContext* c = Find(context);
  if (!c || kind != GCS_RESULTSTR) return IMM_ERROR_NODATA;
  int length = static_cast<int>(c->result.size());
  if (!buffer || size <= 0) return length;
  int n = std::min(size, length);
  std::memcpy(buffer, c->result.data(), static_cast<size_t>(n));
  return n;
}

bool ImmSetCompositionWindow(HIMC context, const TCompositionForm& form) {
  TInputContext* c = Find(context);
  if (!c) return false;
  c->form = form;
  if (TBackend* b = WindowSystem().Backend()) b->ImeWindowChanged(WindowSystem().Find(context));
  return true;
}

bool ImmGetCompositionWindow(HIMC context, TCompositionForm& form) {
  TInputContext* c = Find(context);
  if (!c) return false;
  form = c->form;
  return true;
}

bool ImmSetCompositionFont(HIMC context, const TFontDesc& font) {
  TInputContext* c = Find(context);
  if (!c) return false;
  c->font = font;
  return true;
}

bool ImmGetCompositionFont(HIMC context, TFontDesc& font) {
  TInputContext* c = Find(context);
  if (!c) return false;
  font = c->font;
  return true;
}

void ImmSetResultString(TWindow* window, const std::string& cp932) {
  if (window) Contexts()[window->Handle()].result = cp932;
}

void ImeWindowDestroyed(HWND hwnd) { Contexts().erase(hwnd); }

}  // namespace corvida
