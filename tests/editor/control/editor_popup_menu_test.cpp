// The editor's context menu: its shortcuts run editor operations before the
// editor's own keys, by the enabling rules of the moment.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/control/editor_fixture.h"
#include "platform/toolkit/menus.h"
#include "platform/winsys/clipboard.h"

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

TEST_F(EditorPopupMenuTest, CtrlYAndCtrlShiftZRedoBesideCtrlAButNotInReadOnly) {
  for (const auto& redo : {std::initializer_list<int>{VK_CONTROL, 'Y'}, {VK_SHIFT, VK_CONTROL, 'Z'}}) {
    editor->SetReadOnly(false);
    editor->Lines()->SetText("abc\r\n");
    editor->InsertText("x");
    Press({VK_CONTROL, 'Z'});
    editor->SetReadOnly(true);
    Press(redo);
    EXPECT_EQ(editor->Lines()->GetTextStr(), "abc\r\n");
    editor->SetReadOnly(false);
    Press(redo);
    EXPECT_EQ(editor->Lines()->GetTextStr(), "xabc\r\n");
    Press({VK_SHIFT, 'Y'});  // no Ctrl: no redo
    Press({VK_CONTROL, 'Z'});
    EXPECT_EQ(editor->Lines()->GetTextStr(), "abc\r\n");
  }
}

TEST_F(EditorPopupMenuTest, ItemsCarryTheirCaptionsAndShortcuts) {
  const struct {
    const char* caption;
    const char* shortCut;
  } expected[] = {
      {"\x83\x7d\x81\x5b\x83\x4e\x90\xdd\x92\xe8", ""},                  // マーク設定
      {"\x83\x7d\x81\x5b\x83\x4e\x83\x57\x83\x83\x83\x93\x83\x76", ""},  // マークジャンプ
      {"-", ""},
      {"\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(&U)", "Ctrl+Z"},  // 元に戻す
      {"\x82\xe2\x82\xe8\x92\xbc\x82\xb5(&R)", "Ctrl+A"},  // やり直し
      {"-", ""},
      {"\x90\xd8\x82\xe8\x8e\xe6\x82\xe8(&T)", "Ctrl+X"},     // 切り取り
      {"\x83\x52\x83\x73\x81\x5b(&C)", "Ctrl+C"},              // コピー
      {"\x93\x5c\x82\xe8\x95\x74\x82\xaf(&P)", "Ctrl+V"},     // 貼り付け
      {"Box\x93\x5c\x82\xe8\x95\x74\x82\xaf(&B)", "Ctrl+B"},  // Box貼り付け
      {"\x8d\xed\x8f\x9c(&D)", ""},                              // 削除
      {"-", ""},
      {"\x82\xb7\x82\xd7\x82\xc4\x91\x49\x91\xf0(&A)", ""},  // すべて選択
      {"-", ""},
      {"Box\x91\x49\x91\xf0\x83\x82\x81\x5b\x83\x68(&K)", "Ctrl+K"},  // Box選択モード
  };
  TMenuItem* root = editor->PopupMenu()->Items();
  ASSERT_EQ(root->Count(), static_cast<int>(std::size(expected)));
  for (int i = 0; i < root->Count(); ++i) {
    EXPECT_EQ(root->Items(i)->Caption(), expected[i].caption) << i;
    EXPECT_EQ(root->Items(i)->ShortCut(), TextToShortCut(expected[i].shortCut)) << i;
  }
  for (int menu = 0; menu < 2; ++menu) {
    ASSERT_EQ(root->Items(menu)->Count(), 10);
    for (int d = 0; d < 10; ++d) {
      TMenuItem* item = root->Items(menu)->Items(d);
      EXPECT_EQ(item->Caption(), std::to_string(d));
      EXPECT_EQ(item->ShortCut(), TextToShortCut((menu == 0 ? "Shift+Ctrl+" : "Ctrl+") + std::to_string(d)));
    }
  }
}

TEST_F(EditorPopupMenuTest, ItemsAreEnabledBySelectionClipboardTextHistoryAndReadOnly) {
  // Undo, redo, cut, copy, paste, box paste, delete and select all, in
  // menu order: '1' enabled.
  const auto enabled = [this] {
    TMenuItem* root = editor->PopupMenu()->Items();
    root->Click();
    std::string flags;
    for (int i : {3, 4, 6, 7, 8, 9, 10, 12}) flags += root->Items(i)->Enabled() ? '1' : '0';
    return flags;
  };
  const auto emptyClipboard = [] {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
  };
  const struct {
    const char* state;
    std::function<void()> make;
    const char* flags;
  } cases[] = {
      {"an empty text, an empty clipboard", [&] { emptyClipboard(); }, "00000000"},
      {"text on the clipboard, edits to undo and redo",
       [&] {
         editor->Lines()->SetText("abc");
         editor->InsertText("x");
         editor->InsertText("y");
         editor->Undo();
         SetClipboardText("t");
       },
       "11001101"},
      {"a selection", [&] { testing::SelectRange(*editor, 0, 0, 0, 2); }, "11111111"},
      {"a selection, read-only", [&] { editor->SetReadOnly(true); }, "00010001"},
      {"an empty selection, an empty clipboard",
       [&] {
         editor->SetReadOnly(false);
         emptyClipboard();
         testing::SelectRange(*editor, 0, 1, 0, 1);
       },
       "11000001"},
  };
  for (const auto& c : cases) {
    c.make();
    EXPECT_EQ(enabled(), c.flags) << c.state;
  }
}

}  // namespace
}  // namespace corvida
