// Keyboard editing driven by key, character and input-method messages: the
// navigation keys with Ctrl and Shift, word stops, Delete, Backspace, Tab,
// Enter, typing, the input method and ReadOnly, each checked for text,
// caret, selection and undo steps.
#include <gtest/gtest.h>

#include <string>

#include "editor/control/editor_fixture.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/ime.h"

namespace corvida {
namespace {

class KeyHandlers : public TObject {
 public:
  void KeyDown(TObject*, uint16_t& key, TShiftState) {
    if (key == cancelKey) key = 0;
  }
  void KeyPress(TObject*, char& key) {
    if (key == cancelChar) key = 0;
  }
  uint16_t cancelKey = 0;
  char cancelChar = 0;
};

class EditorKeyboardTest : public testing::EditorTest {
 protected:
  void SetText(const std::string& text, int row = 0, int col = 0) {
    editor->Lines()->SetText(text);
    editor->SetRowCol(row, col);
  }
  void Press(int vk, bool repeat = false) {
    InjectKeyDown(vk, repeat);
    if (!repeat) InjectKeyUp(vk);
    Run();
  }
  // vk with modifier held.
  void PressWith(int modifier, int vk) {
    InjectKeyDown(modifier);
    InjectKeyDown(vk);
    InjectKeyUp(vk);
    InjectKeyUp(modifier);
    Run();
  }
  void Type(const std::string& text) {
    InjectText(text);
    Run();
  }
  std::string Text() const { return editor->Lines()->GetTextStr(); }
  int UndoSteps() const { return editor->ScreenStrings()->UndoObj().UndoList().Count(); }
  void ExpectCaret(int row, int col) {
    EXPECT_EQ(editor->Row(), row);
    EXPECT_EQ(editor->Col(), col);
  }
};

TEST_F(EditorKeyboardTest, RightAndLeftCrossRowEndsOnlyWhereTheyMay) {
  editor->Caret()->SetFreeCaret(false);
  SetText("ab\r\ncd\r\n", 0, 2);
  Press(VK_RIGHT);
  ExpectCaret(0, 2);
  editor->SetRowCol(1, 0);
  Press(VK_LEFT);
  ExpectCaret(1, 0);

  editor->Caret()->SetNextLine(true);
  Press(VK_LEFT);
  ExpectCaret(0, 2);
  Press(VK_RIGHT);
  ExpectCaret(1, 0);

  // A wrapped row always goes on, both ways.
  editor->Caret()->SetNextLine(false);
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  SetText(std::string(30, 'x') + "\r\n", 0, 19);
  Press(VK_RIGHT);
  ExpectCaret(1, 0);
  Press(VK_LEFT);
  ExpectCaret(0, 19);
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorKeyboardTest, HomeEndAndTheirCtrlFormsGoToRowAndTextEnds) {
  SetText("abc\r\nlonger row\r\nxy", 1, 3);
  Press(VK_END);
  ExpectCaret(1, 10);
  Press(VK_HOME);
  ExpectCaret(1, 0);
  PressWith(VK_CONTROL, VK_END);
  ExpectCaret(2, 2);
  PressWith(VK_CONTROL, VK_HOME);
  ExpectCaret(0, 0);
  // After a final line break the end of the text is column 0 below it.
  SetText("abc\r\n", 0, 1);
  PressWith(VK_CONTROL, VK_END);
  ExpectCaret(1, 0);
  Press(VK_DOWN);
  ExpectCaret(1, 0);
}

TEST_F(EditorKeyboardTest, RepeatedVerticalKeysAccelerateOnlyAtTheEdge) {
  editor->Lines()->SetText(NumberedLines(60));
  const int bottom = editor->VisibleRows() - 1;
  editor->SetRowCol(bottom, 0);
  InjectKeyDown(VK_DOWN);
  Run();
  ExpectCaret(bottom + 1, 0);
  InjectKeyDown(VK_DOWN, true);
  Run();
  ExpectCaret(bottom + 3, 0);
  // Away from the edge a repeat moves one row.
  InjectKeyUp(VK_DOWN);
  editor->SetRowCol(editor->TopRow() + 2, 0);
  const int row = editor->Row();
  InjectKeyDown(VK_UP);
  InjectKeyDown(VK_UP, true);
  InjectKeyUp(VK_UP);
  Run();
  ExpectCaret(row - 2, 0);

  // Ctrl moves the view and drags the caret along only when it leaves it.
  editor->SetTopRow(10);
  editor->SetRowCol(10, 0);
  PressWith(VK_CONTROL, VK_DOWN);
  EXPECT_EQ(editor->TopRow(), 11);
  ExpectCaret(11, 0);
  PressWith(VK_CONTROL, VK_UP);
  EXPECT_EQ(editor->TopRow(), 10);
  ExpectCaret(11, 0);
}

TEST_F(EditorKeyboardTest, CtrlUpAndDownPullTheCaretAlongOnlyWhenTheViewLeavesIt) {
  editor->Lines()->SetText(NumberedLines(60));
  const int bottom = editor->VisibleRows() - 1;
  const struct {
    int vk;
    int row;
    int top;
    int row2;
  } cases[] = {
      {VK_UP, 10 + bottom, 9, 9 + bottom},  // the bottom row would leave the view
      {VK_UP, 12, 9, 12},
      {VK_DOWN, 10, 11, 11},  // the top row would leave the view
      {VK_DOWN, 12, 11, 12},
  };
  for (const auto& c : cases) {
    editor->SetTopRow(10);
    editor->SetRowCol(c.row, 0);
    PressWith(VK_CONTROL, c.vk);
    EXPECT_EQ(editor->TopRow(), c.top) << c.vk << " " << c.row;
    ExpectCaret(c.row2, 0);
  }
}

TEST_F(EditorKeyboardTest, PageKeysScrollAWindowLessOneRowAndKeepTheCaretsPlace) {
  editor->SetBounds(0, 0, 200, editor->Height() + (21 - editor->VisibleRows()) * editor->RowHeight());
  Run();
  ASSERT_EQ(editor->VisibleRows(), 21);
  editor->Lines()->SetText(NumberedLines(100));
  editor->SetRowCol(5, 0);
  Press(VK_NEXT);
  EXPECT_EQ(editor->TopRow(), 20);
  ExpectCaret(25, 0);
  editor->Speed()->SetPageVerticalRangeAc(4);
  InjectKeyDown(VK_NEXT);
  InjectKeyDown(VK_NEXT, true);
  InjectKeyUp(VK_NEXT);
  Run();
  EXPECT_EQ(editor->TopRow(), 80);
  Press(VK_PRIOR);
  EXPECT_EQ(editor->TopRow(), 60);
  ExpectCaret(65, 0);
}

TEST_F(EditorKeyboardTest, ShiftWithNavigationKeysSelectsAndPlainKeysDropTheSelection) {
  SetText("abcdef\r\nghijkl\r\n", 0, 1);
  PressWith(VK_SHIFT, VK_RIGHT);
  PressWith(VK_SHIFT, VK_RIGHT);
  EXPECT_EQ(editor->GetSelText(), "bc");
  PressWith(VK_SHIFT, VK_DOWN);
  EXPECT_EQ(editor->GetSelText(), "bcdef\r\nghi");
  PressWith(VK_SHIFT, VK_HOME);
  EXPECT_EQ(editor->GetSelText(), "bcdef\r\n");
  Press(VK_RIGHT);
  EXPECT_FALSE(editor->SelectedOrHit());
  ExpectCaret(1, 1);
  // A search hit is dropped by any navigation key, Shift or not.
  editor->SetHitStyle(hsDraw);
  editor->SetRowCol(0, 0);
  editor->SetSelLength(3);
  ASSERT_EQ(editor->SelectionState(), TSelectionState::Hit);
  PressWith(VK_SHIFT, VK_RIGHT);
  EXPECT_TRUE(editor->Selected());
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorKeyboardTest, CtrlArrowsStopAtWordsAndWithTokenEndStopAtTheirEnds) {
  SetText("abc def  ghi\r\nnext\r\n");
  int row = 0;
  int col = 0;
  const auto stops = [&](int dir, int n) {
    std::string seen;
    for (int i = 0; i < n; ++i) {
      if (!editor->FindWordStop(row, col, dir)) seen += "| ";
      seen += std::to_string(row) + ":" + std::to_string(col) + " ";
    }
    return seen;
  };
  EXPECT_EQ(stops(1, 5), "0:4 0:9 0:12 1:0 1:4 ");
  EXPECT_EQ(stops(-1, 5), "1:0 0:12 0:9 0:4 0:0 ");
  EXPECT_EQ(stops(-1, 1), "| 0:0 ");
  editor->Caret()->SetTokenEndStop(true);
  EXPECT_EQ(stops(1, 5), "0:3 0:4 0:7 0:9 0:12 ");
  EXPECT_EQ(stops(-1, 4), "0:9 0:7 0:4 0:3 ");

  editor->Caret()->SetTokenEndStop(false);
  editor->SetRowCol(0, 0);
  PressWith(VK_CONTROL, VK_RIGHT);
  ExpectCaret(0, 4);
  InjectKeyDown(VK_SHIFT);
  PressWith(VK_CONTROL, VK_RIGHT);
  InjectKeyUp(VK_SHIFT);
  Run();
  EXPECT_EQ(editor->GetSelText(), "def  ");
  // Ideographic spaces are blanks, not a word to stop at.
  editor->Lines()->SetText("a\x81\x40\x81\x40" "b");
  row = 0;
  col = 0;
  EXPECT_EQ(stops(1, 1), "0:5 ");
  // Past the last row there is nothing to stop at.
  row = 2;
  col = 0;
  EXPECT_FALSE(editor->FindWordStop(row, col, -1));
}

TEST_F(EditorKeyboardTest, DeleteRemovesWholeCharactersAndJoinsRows) {
  SetText("a\x82\xa0z\r\nnext\r\nlast", 0, 1);
  Press(VK_DELETE);
  EXPECT_EQ(Text(), "az\r\nnext\r\nlast");
  ExpectCaret(0, 1);
  editor->SetRowCol(0, 5);
  Press(VK_DELETE);
  EXPECT_EQ(Text(), "az   next\r\nlast");
  ExpectCaret(0, 5);
  editor->SetRowCol(1, 4);
  Press(VK_DELETE);
  EXPECT_EQ(Text(), "az   next\r\nlast");
  EXPECT_EQ(UndoSteps(), 2);
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), "az\r\nnext\r\nlast");

  // A shown selection goes as a whole.
  SetText("abcdef", 0, 1);
  PressWith(VK_SHIFT, VK_END);
  Press(VK_DELETE);
  EXPECT_EQ(Text(), "a");
  EXPECT_FALSE(editor->SelectedOrHit());
  EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(EditorKeyboardTest, BackspaceRemovesTheCharacterBeforeTheCaretAndJoinsLines) {
  editor->Caret()->SetBackSpaceUnIndent(false);
  SetText("a\x82\xa0z\r\nxy\r\n", 0, 3);
  Type("\b");
  EXPECT_EQ(Text(), "az\r\nxy\r\n");
  ExpectCaret(0, 1);
  editor->SetRowCol(1, 0);
  Type("\b");
  EXPECT_EQ(Text(), "azxy\r\n");
  ExpectCaret(0, 2);
  editor->SetRowCol(1, 0);
  Type("\b");
  EXPECT_EQ(Text(), "azxy");
  ExpectCaret(0, 4);
  // Beyond the end only the caret moves; at the start of the text nothing.
  editor->SetRowCol(0, 7);
  Type("\b");
  ExpectCaret(0, 6);
  editor->SetRowCol(0, 0);
  Type("\b");
  EXPECT_EQ(Text(), "azxy");
  EXPECT_EQ(UndoSteps(), 3);
  for (int i = 0; i < 3; ++i) editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), "a\x82\xa0z\r\nxy\r\n");
}

TEST_F(EditorKeyboardTest, BackspaceAtAWrappedRowsStartTakesTheLastCharacterAbove) {
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  SetText(std::string(19, 'a') + "b" + "cdef\r\n", 1, 0);
  ASSERT_EQ(editor->ScreenStrings()->Count(), 2);
  Type("\b");
  EXPECT_EQ(Text(), std::string(19, 'a') + "cdef\r\n");
  EXPECT_EQ(editor->GetSelStart(), 19);
  EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(EditorKeyboardTest, BackspaceAtTheIndentGoesBackToTheIndentOfALineAbove) {
  SetText("  if\r\n    abc\r\n", 1, 4);
  Type("\b");
  EXPECT_EQ(Text(), "  if\r\n  abc\r\n");
  ExpectCaret(1, 2);
  Type("\b");
  EXPECT_EQ(Text(), "  if\r\nabc\r\n");
  ExpectCaret(1, 0);
  SetText("top\r\n    abc\r\n", 1, 4);
  Type("\b");
  EXPECT_EQ(Text(), "top\r\nabc\r\n");
  // Inside the blanks, a tab's filler keeps its columns as spaces.
  SetText("    x\r\n\t\tabc\r\n", 1, 16);
  Type("\b");
  EXPECT_EQ(Text(), "    x\r\n    abc\r\n");
  ExpectCaret(1, 4);
  // The plain rule applies away from the end of the indent.
  SetText("  x\r\n    abc\r\n", 1, 5);
  Type("\b");
  EXPECT_EQ(Text(), "  x\r\n    bc\r\n");
  // An empty row only moves the caret back to the indent above.
  SetText("  x\r\n\r\n", 1, 6);
  Type("\b");
  EXPECT_EQ(Text(), "  x\r\n\r\n");
  ExpectCaret(1, 2);
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorKeyboardTest, UnindentSkipsTheRowsOfItsOwnLineOnlyWhileTheyAreNotIndented) {
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  const std::string wrapped = std::string(20, 'a');
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      // The line's first row has no indent: the line above decides.
      {"  x\r\n" + wrapped + "    b\r\n", "  x\r\n" + wrapped + "  b\r\n"},
      // An indented first row of the line is a target like any other row.
      {"  x\r\n   " + wrapped.substr(3) + "    b\r\n", "  x\r\n   " + wrapped.substr(3) + "   b\r\n"},
  };
  for (const auto& c : cases) {
    SetText(c.text, 2, 4);
    ASSERT_EQ(editor->GetRowAttribute(1), raWrapped);
    Type("\b");
    EXPECT_EQ(Text(), c.expected);
  }
}

TEST_F(EditorKeyboardTest, UnindentAfterAFinalBreakTakesTheLastLineAsOneAbove) {
  // The empty row after the final break is a line of its own: the last
  // line, not indented, is the nearest less indented one.
  SetText("  x\r\ny\r\n", 2, 5);
  Type("\b");
  ExpectCaret(2, 0);
  EXPECT_EQ(Text(), "  x\r\ny\r\n");
}

TEST_F(EditorKeyboardTest, EnterSplitsTheLineAndIndentsTheNewOne) {
  SetText("    abc\r\n", 0, 6);
  Type("\r");
  EXPECT_EQ(Text(), "    ab\r\n    c\r\n");
  ExpectCaret(1, 4);
  SetText("    abc\r\n", 0, 2);
  Type("\r");
  EXPECT_EQ(Text(), "  \r\n    abc\r\n");
  ExpectCaret(1, 2);
  editor->Caret()->SetTabIndent(true);
  SetText("          abc", 0, 13);
  Type("\r");
  EXPECT_EQ(Text(), "          abc\r\n\t  ");
  ExpectCaret(1, 10);
  editor->Caret()->SetTabIndent(false);
  editor->Caret()->SetAutoIndent(false);
  SetText("    abc", 0, 5);
  Type("\r");
  EXPECT_EQ(Text(), "    a\r\nbc");
  ExpectCaret(1, 0);
  EXPECT_EQ(UndoSteps(), 1);
  // Past a final break a break is added below.
  SetText("a\r\n", 1, 0);
  Type("\r");
  EXPECT_EQ(Text(), "a\r\n\r\n");
  ExpectCaret(2, 0);
}

TEST_F(EditorKeyboardTest, ShiftEnterOpensALineAboveAndOverwriteOnlyMovesDown) {
  SetText("  one\r\n  two\r\n", 1, 4);
  InjectKeyDown(VK_SHIFT);
  Type("\r");
  InjectKeyUp(VK_SHIFT);
  Run();
  EXPECT_EQ(Text(), "  one\r\n  \r\n  two\r\n");
  ExpectCaret(1, 2);
  EXPECT_EQ(UndoSteps(), 1);
  editor->SetOverWrite(true);
  Type("\r");
  EXPECT_EQ(Text(), "  one\r\n  \r\n  two\r\n");
  ExpectCaret(2, 0);
}

TEST_F(EditorKeyboardTest, ShiftEnterOnASelectionChangesNothing) {
  SetText("  one\r\n  two\r\n", 1, 2);
  PressWith(VK_SHIFT, VK_END);
  ASSERT_EQ(editor->GetSelText(), "two");
  InjectKeyDown(VK_SHIFT);
  Type("\r");
  InjectKeyUp(VK_SHIFT);
  Run();
  EXPECT_EQ(Text(), "  one\r\n  two\r\n");
  EXPECT_EQ(editor->GetSelText(), "two");
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorKeyboardTest, PrevSpaceIndentTakesTheIndentOfTheLineAboveAnEmptyOne) {
  editor->Caret()->SetPrevSpaceIndent(true);
  SetText("   a\r\n\r\n\r\n", 2, 0);
  Type("\r");
  EXPECT_EQ(Text(), "   a\r\n\r\n\r\n   \r\n");
  ExpectCaret(3, 3);
  editor->Caret()->SetPrevSpaceIndent(false);
  SetText("   a\r\n\r\n", 1, 0);
  Type("\r");
  EXPECT_EQ(Text(), "   a\r\n\r\n\r\n");
}

TEST_F(EditorKeyboardTest, TabInsertsUpToTheNextStopOrTheWrapMargin) {
  editor->Caret()->SetSoftTab(true);
  SetText("abcde", 0, 5);
  Type("\t");
  EXPECT_EQ(Text(), "abcde   ");
  ExpectCaret(0, 8);
  editor->WrapOption()->SetWrapByte(80);
  editor->SetWordWrap(true);
  SetText(std::string(78, 'a'), 0, 78);
  Type("\t");
  EXPECT_EQ(Text(), std::string(78, 'a') + "  ");
  editor->SetWordWrap(false);
  editor->Caret()->SetSoftTab(false);
  SetText("ab", 0, 2);
  Type("\t");
  EXPECT_EQ(Text(), "ab\t");
  ExpectCaret(0, 8);
  editor->SetOverWrite(true);
  SetText("abcdefghijk", 0, 1);
  Type("\t");
  EXPECT_EQ(Text(), "abcdefghijk");
  ExpectCaret(0, 8);
  editor->SetOverWrite(false);
  editor->SetWantTabs(false);
  Type("\t");
  InjectKeyDown(VK_CONTROL);
  editor->SetWantTabs(true);
  Type("\t");
  InjectKeyUp(VK_CONTROL);
  Run();
  EXPECT_EQ(Text(), "abcdefghijk");
}

TEST_F(EditorKeyboardTest, ASoftTabUnderWordWrapStopsAtTheNearerOfTabStopAndMargin) {
  editor->Caret()->SetSoftTab(true);
  editor->WrapOption()->SetWrapByte(20);
  const struct {
    bool wrap;
    int col;
    int spaces;
  } cases[] = {{true, 17, 3}, {false, 17, 7}, {true, 5, 3}};
  for (const auto& c : cases) {
    editor->SetWordWrap(c.wrap);
    SetText(std::string(static_cast<size_t>(c.col), 'a'), 0, c.col);
    Type("\t");
    EXPECT_EQ(Text(), std::string(static_cast<size_t>(c.col), 'a') + std::string(static_cast<size_t>(c.spaces), ' '))
        << c.wrap << " " << c.col;
  }
}

TEST_F(EditorKeyboardTest, ALeadByteTakesOnlyATrailFrom0x40Up) {
  const struct {
    std::string typed;
    std::string expected;
  } cases[] = {{"\x82\x40", "\x82\x40"}, {"\x82\x3f", "?"}, {"\x88\xfc", "\x88\xfc"}};
  for (const auto& c : cases) {
    SetText("");
    Type(c.typed);
    EXPECT_EQ(Text(), c.expected);
  }
}

TEST_F(EditorKeyboardTest, TypingInsertsOverwritesAndPadsPastTheEnd) {
  SetText("abc", 0, 10);
  Type("x");
  EXPECT_EQ(Text(), "abc       x");
  ExpectCaret(0, 11);
  SetText("abc\r\n", 1, 2);
  Type("y");
  EXPECT_EQ(Text(), "abc\r\n  y");
  editor->SetOverWrite(true);
  SetText("a\x82\xa0" "bc", 0, 0);
  Type("xy");
  EXPECT_EQ(Text(), "xy bc");
  Type("\x82\xa1");
  EXPECT_EQ(Text(), "xy\x82\xa1" "c");
  ExpectCaret(0, 4);
  EXPECT_EQ(UndoSteps(), 3);
  editor->SetOverWrite(false);
  // Codes 10 and 127 and a lone lead byte change nothing.
  Type(std::string("\n\x7f") + "\x82");
  EXPECT_EQ(Text(), "xy\x82\xa1" "c");
  // A selection is replaced by what is typed.
  SetText("hello world", 0, 0);
  PressWith(VK_SHIFT, VK_END);
  Type("\x82\xa0");
  EXPECT_EQ(Text(), "\x82\xa0");
  ExpectCaret(0, 2);
  EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(EditorKeyboardTest, OverwritingPastAWrappedRowTakesTheRowsAfterIt) {
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  editor->SetOverWrite(true);
  SetText(std::string(20, 'a') + "bcdef\r\n", 0, 18);
  editor->TypeText("1234");
  EXPECT_EQ(Text(), std::string(18, 'a') + "1234def\r\n");
  EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(EditorKeyboardTest, OverwritingIntoATabKeepsTheTabSoTheTextAfterItStays) {
  struct Case {
    bool wrap;
    bool inTab;
    std::string text;
    int row;
    int col;
    std::string typed;
    std::string expected;
    int bRow;
  };
  const Case cases[] = {
      {false, false, "a\tb", 0, 0, "xy", "xy\tb", 0},
      // The caret inside the tab's filler types before the tab.
      {false, true, "a\tb", 0, 3, "x", "ax\tb", 0},
      // Overwriting goes on into the next row of the wrapped line.
      {true, false, std::string(20, 'a') + "k\tb", 0, 18, "xyzw", std::string(18, 'a') + "xyzw\tb", 1},
  };
  editor->SetOverWrite(true);
  editor->WrapOption()->SetWrapByte(20);
  for (const Case& c : cases) {
    editor->SetWordWrap(c.wrap);
    editor->Caret()->SetInTab(c.inTab);
    SetText(c.text, c.row, c.col);
    Type(c.typed);
    EXPECT_EQ(Text(), c.expected) << c.text;
    const std::string row = editor->GetRowString(c.bRow);
    EXPECT_EQ(editor->StrColumns(row.substr(0, row.find('b'))), 8) << c.text;
  }
}

TEST_F(EditorKeyboardTest, AnInputMethodResultIsTypedOnceAndItsCharactersSkipped) {
  SetText("ab", 0, 1);
  InjectImeResult("\x8a\xbf\x8e\x9a");
  Run();
  EXPECT_EQ(Text(), "a\x8a\xbf\x8e\x9a" "b");
  ExpectCaret(0, 5);
  EXPECT_EQ(UndoSteps(), 1);
  InjectImeResult("x\x82\xa0");
  Type("z");
  EXPECT_EQ(Text(), "a\x8a\xbf\x8e\x9ax\x82\xa0zb");
  editor->SetReadOnly(true);
  InjectImeResult("q");
  Run();
  EXPECT_EQ(Text(), "a\x8a\xbf\x8e\x9ax\x82\xa0zb");
}

TEST_F(EditorKeyboardTest, TheCandidateListHidesTheCaretUntilItCloses) {
  SetText("ab");
  ASSERT_TRUE(CaretVisible());
  InjectImeNotify(IMN_OPENCANDIDATE);
  InjectImeNotify(IMN_OPENCANDIDATE);
  Run();
  EXPECT_FALSE(CaretVisible());
  Press(VK_RIGHT);
  EXPECT_FALSE(CaretVisible());
  InjectImeNotify(IMN_CLOSECANDIDATE);
  Run();
  EXPECT_TRUE(CaretVisible());
  InjectImeNotify(IMN_CLOSECANDIDATE);
  Run();
  EXPECT_TRUE(CaretVisible());
}

TEST_F(EditorKeyboardTest, ReadOnlyIgnoresEveryEditButNotTheMoves) {
  SetText("  abc\r\nd", 0, 2);
  editor->SetReadOnly(true);
  Type("x\b\t\r\x82\xa0");
  Press(VK_DELETE);
  Press(VK_RIGHT);
  EXPECT_EQ(Text(), "  abc\r\nd");
  ExpectCaret(0, 3);
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorKeyboardTest, KeyEventsCancelTheKeyAndTheDialogCodeAsksForKeys) {
  KeyHandlers handlers;
  editor->SetOnKeyDown(TKeyEvent::Of<&KeyHandlers::KeyDown>(&handlers));
  editor->SetOnKeyPress(TKeyPressEvent::Of<&KeyHandlers::KeyPress>(&handlers));
  handlers.cancelKey = VK_RIGHT;
  handlers.cancelChar = 'q';
  SetText("abc");
  Press(VK_RIGHT);
  Type("qz");
  EXPECT_EQ(Text(), "zabc");
  ExpectCaret(0, 1);

  const auto code = [&] { return editor->Window()->Perform(WM_GETDLGCODE, 0); };
  EXPECT_EQ(code(), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB | DLGC_WANTALLKEYS);
  editor->SetWantTabs(false);
  editor->SetWantReturns(false);
  EXPECT_EQ(code(), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

}  // namespace
}  // namespace corvida
