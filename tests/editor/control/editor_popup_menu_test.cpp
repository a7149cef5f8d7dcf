// The editor's context menu: its shortcuts run editor operations before the
// editor's own keys, by the enabling rules of the moment.
#include <gtest/gtest.h>

#include "editor/control/editor_fixture.h"
#include "platform/toolkit/menus.h"

namespace corvida {
namespace {

class EditorPopupMenuTest : public testing::EditorTest {
 protected:
  void Press(std::initializer_list<int> keys) {
    for (int vk : keys) InjectKeyDown(vk);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) InjectKeyUp(*it);
    Run();
  }
  TMenuItem* Item(const char* shortCut) const {
    return editor->PopupMenu()->FindShortCut(TextToShortCut(shortCut)).back();
  }
};

TEST_F(EditorPopupMenuTest, MarksAreSetClearedAndJumpedToByTheirShortcuts) {
  editor->Lines()->SetText(NumberedLines(5));
  editor->SetRow(1);
  Press({VK_SHIFT, VK_CONTROL, '3'});
  EXPECT_TRUE(editor->ScreenStrings()->RowMarks(1).Contains(3));
  editor->SetRow(4);
  Press({VK_CONTROL, '3'});
  EXPECT_EQ(editor->Row(), 1);
  Press({VK_SHIFT, VK_CONTROL, '3'});
  EXPECT_FALSE(editor->ScreenStrings()->RowMarks(1).Contains(3));
  editor->PopupMenu()->Items()->Click();
  EXPECT_FALSE(Item("Shift+Ctrl+3")->Checked());
  EXPECT_FALSE(Item("Ctrl+3")->Checked());
}

TEST_F(EditorPopupMenuTest, CtrlARedoesCtrlKTogglesBoxModeAndReadOnlyConsumesUndo) {
  editor->Lines()->SetText("abc\r\n");
  editor->InsertText("x");
  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(editor->Lines()->GetTextStr(), "abc\r\n");
  Press({VK_CONTROL, 'A'});
  EXPECT_EQ(editor->Lines()->GetTextStr(), "xabc\r\n");
  EXPECT_FALSE(editor->Selected());

  Press({VK_CONTROL, 'K'});
  EXPECT_EQ(editor->SelectionMode(), TSelectionMode::Box);
  Press({VK_CONTROL, 'K'});
  EXPECT_EQ(editor->SelectionMode(), TSelectionMode::Normal);

  editor->SetReadOnly(true);
  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(editor->Lines()->GetTextStr(), "xabc\r\n");
  EXPECT_FALSE(Item("Ctrl+Z")->Enabled());
  EXPECT_FALSE(Item("Ctrl+X")->Enabled());
  EXPECT_FALSE(Item("Ctrl+C")->Enabled());  // nothing selected
}

}  // namespace
}  // namespace corvida
