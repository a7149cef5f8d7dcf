#pragma once
// The in-process backend for tests and batch runs: no display. Dialogs and
// message boxes answer from a script the caller sets and are recorded;
// input is injected as messages (platform/winsys/input.h); the composed
// screen (framebuffer plus caret) can be read and saved as PNG.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/winsys/backend.h"
#include "platform/winsys/surface.h"
#include "platform/winsys/window.h"

namespace corvida {

class THeadlessBackend : public TBackend {
 public:
  struct TMessageBoxRecord {
    std::string text;
    std::string caption;
    UINT type = 0;
    int answer = 0;
  };
  struct TOpenDialogRecord {
    TOpenDialogRequest request;
    bool accepted = false;
  };

  // Installs itself as the window system's backend until destroyed.
  THeadlessBackend();
  ~THeadlessBackend() override;

  TSize ScreenSize() const override { return screen_; }
  void SetScreenSize(TSize size) { screen_ = size; }

  // Scripted answers, used in order. An unscripted message box answers its
  // first button; an unscripted open dialog is cancelled.
  void PushMessageBoxAnswer(int answer) { boxAnswers_.push_back(answer); }
  void PushOpenDialogAnswer(std::optional<std::string> path) { openAnswers_.push_back(std::move(path)); }
  const std::vector<TMessageBoxRecord>& MessageBoxes() const { return boxes_; }
  const std::vector<TOpenDialogRecord>& OpenDialogs() const { return openDialogs_; }

  int MessageBox(TWindow* owner, const std::string& text, const std::string& caption, UINT type) override;
  bool RunOpenDialog(TWindow* owner, TOpenDialogRequest& request) override;
  bool WaitForEvents() override { return false; }
  void CursorChanged(int cursor) override { cursor_ = cursor; }
  int ShownCursor() const { return cursor_; }

  // Dispatches queued and paint messages until none is left; answers how
  // many were handled. A runaway loop is stopped after limit messages.
  int ProcessMessages(int limit = 100000);

  // What the screen shows of top: its framebuffer with the caret on top.
  TSurface Compose(TWindow* top) const;
  void SaveScreen(TWindow* top, const std::string& path) const;

 private:
  TSize screen_{1024, 768};
  std::deque<int> boxAnswers_;
  std::deque<std::optional<std::string>> openAnswers_;
  std::vector<TMessageBoxRecord> boxes_;
  std::vector<TOpenDialogRecord> openDialogs_;
  int cursor_ = 0;
};

}  // namespace corvida
