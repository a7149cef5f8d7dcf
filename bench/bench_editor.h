#pragma once
// A shown editor on the headless backend holding the 100 MB text, with line
// numbers (of lines, not rows) in its left bar, for figures of what an action costs in the real
// control: the change, the view's reaction and the repaint until the pixels
// are on the headless screen.
#include <memory>

#include "editor/control/editor.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/toolkit/forms.h"

namespace corvida::bench {

class TBenchEditor {
 public:
  // The text is loaded with word wrap on (at the default width) or off.
  explicit TBenchEditor(bool wordWrap);
  ~TBenchEditor();
  TBenchEditor(const TBenchEditor&) = delete;
  TBenchEditor& operator=(const TBenchEditor&) = delete;

  TEditor& Editor() { return *editor_; }
  TEditorScreenStrings& Store() { return *editor_->ScreenStrings(); }
  // Shows row near the top of the view with the caret on it.
  void ShowRow(int row);
  // Handles what is queued and paints what is invalid, as the message loop
  // does before the next input.
  void Settle();

 private:
  THeadlessBackend backend_;
  std::unique_ptr<TForm> form_;
  TEditor* editor_ = nullptr;
};

}  // namespace corvida::bench
