#include "platform/backends/headless/headless_backend.h"

#include "platform/winsys/caret.h"
#include "platform/winsys/png_writer.h"
#include "platform/winsys/window_system.h"

namespace corvida {

THeadlessBackend::THeadlessBackend() { WindowSystem().SetBackend(this); }

THeadlessBackend::~THeadlessBackend() {
  if (WindowSystem().Backend() == this) WindowSystem().SetBackend(nullptr);
}

int THeadlessBackend::MessageBox(TWindow* owner, const std::string& text, const std::string& caption, UINT type) {
  int answer;
  if (!boxAnswers_.empty()) {
    answer = boxAnswers_.front();
    boxAnswers_.pop_front();
  } else {
    switch (type & 0x0F) {
      case MB_YESNO:
      case MB_YESNOCANCEL: answer = IDYES; break;
      case 2: answer = IDABORT; break;  // abort, retry, ignore
      case 5: answer = IDRETRY; break;  // retry, cancel
      default: answer = IDOK; break;
    }
  }
  boxes_.push_back({text, caption, type, answer});
  return answer;
}

bool THeadlessBackend::RunOpenDialog(TWindow* owner, TOpenDialogRequest& request) {
  bool accepted = false;
  if (!openAnswers_.empty()) {
    if (openAnswers_.front()) {
      request.fileName = *openAnswers_.front();
      accepted = true;
    }
    openAnswers_.pop_front();
  }
  openDialogs_.push_back({request, accepted});
  return accepted;
}

int THeadlessBackend::ProcessMessages(int limit) {
  int handled = 0;
  TMsg msg;
  while (handled < limit && WindowSystem().Peek(msg, 0, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    WindowSystem().Dispatch(msg);
    ++handled;
  }
  return handled;
}

TSurface THeadlessBackend::Compose(TWindow* top) const {
  if (!top || !top->Framebuffer()) return {};
  TSurface screen = *top->Framebuffer();
  ComposeCaret(top, screen);
  return screen;
}

void THeadlessBackend::SaveScreen(TWindow* top, const std::string& path) const { SavePng(Compose(top), path); }

}  // namespace corvida
