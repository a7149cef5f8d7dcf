#pragma once
// An editor on a shown headless form, with the editor font pinned to the
// 6 x 12 bitmap face and no bars, so that rows are 12 pixels high, columns
// 6 wide and the text starts at (19, 2).
#include <string>

#include "editor/control/editor.h"
#include "platform/toolkit/toolkit_fixture.h"

namespace corvida::testing {

class EditorTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    editor = TEditor::Create(form.get());
    editor->Font()->SetHeight(-12);
    editor->Imagebar()->SetVisible(false);
    editor->SetParent(form.get());
    editor->SetBounds(0, 0, 200, 130);
    form->Show();
    editor->SetFocus();
    Run();
  }

  // Numbered lines "line 0" .. "line n-1", each ending with CR LF.
  static std::string NumberedLines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
  }

  LRESULT VScroll(int code) { return editor->Window()->Perform(WM_VSCROLL, MAKEWPARAM(code, 0)); }
  LRESULT HScroll(int code, int pos = 0) { return editor->Window()->Perform(WM_HSCROLL, MAKEWPARAM(code, pos)); }

  TEditor* editor = nullptr;
};

// Selects from the caret at (row0, col0) to (row1, col1) as Shift+arrows
// would, in the editor's current selection mode.
inline void SelectRange(TEditor& editor, int row0, int col0, int row1, int col1) {
  editor.SetRowCol(row0, col0);
  editor.StartSelection();
  editor.SetRowCol(row1, col1);
  editor.UpdateSelection();
}

}  // namespace corvida::testing
