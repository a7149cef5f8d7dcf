// Inserting text and boxes, cut, copy and paste through the clipboard with
// the box format, and the undo wrappers.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "editor/control/editor_fixture.h"
#include "platform/rtl/exceptions.h"
#include "platform/winsys/clipboard.h"
#include "support/support_resources.h"

namespace corvida {
namespace {

class EditorClipboardTest : public testing::EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    editor->Caret()->SetFreeCaret(true);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
  }
  void Select(int row0, int col0, int row1, int col1, bool box = false) {
    editor->SetSelectionMode(box ? TSelectionMode::Box : TSelectionMode::Normal);
    testing::SelectRange(*editor, row0, col0, row1, col1);
  }
  int UndoSteps() const { return editor->ScreenStrings()->UndoObj().UndoList().Count(); }
  std::string Text() const { return editor->Lines()->GetTextStr(); }
  static bool BoxOnClipboard() { return IsClipboardFormatAvailable(SupportResources().BoxClipboardFormat()); }
  void ExpectCaret(int row, int col) const {
    EXPECT_EQ(editor->Row(), row);
    EXPECT_EQ(editor->Col(), col);
  }
};

TEST_F(EditorClipboardTest, InsertTextSplitsTheCaretRowOrPadsItAndIsOneUndoStep) {
  editor->Lines()->SetText("abcdef\r\nnext\r\n");
  editor->SetRowCol(0, 3);
  editor->InsertText("X\r\nYY\r\nZ");
  EXPECT_EQ(Text(), "abcX\r\nYY\r\nZdef\r\nnext\r\n");
  ExpectCaret(2, 1);
  EXPECT_EQ(UndoSteps(), 1);
  editor->Undo();
  EXPECT_EQ(Text(), "abcdef\r\nnext\r\n");

  // Past the row's end the row is filled with spaces up to the caret.
  editor->SetRowCol(1, 7);
  editor->InsertText("\x82\xa0!");
  EXPECT_EQ(Text(), "abcdef\r\nnext   \x82\xa0!\r\n");
  ExpectCaret(1, 10);

  // On the empty row after the final break the text is appended.
  editor->SetRowCol(2, 0);
  editor->InsertText("end");
  EXPECT_EQ(Text(), "abcdef\r\nnext   \x82\xa0!\r\nend");
  ExpectCaret(2, 3);
}

TEST_F(EditorClipboardTest, InsertTextReplacesANormalOrBoxSelection) {
  editor->Lines()->SetText("one\r\ntwo\r\nthree\r\n");
  Select(0, 1, 2, 2);
  editor->InsertText("--");
  EXPECT_EQ(Text(), "o--ree\r\n");
  EXPECT_FALSE(editor->SelectedOrHit());
  ExpectCaret(0, 3);
  EXPECT_EQ(UndoSteps(), 1);

  // A box goes from every row; the text takes its top-left corner, also
  // when the box begins past the end of its first row.
  editor->Lines()->SetText("ab\r\nabcdef\r\nabcdef\r\n");
  Select(0, 3, 2, 5, true);
  editor->InsertText("XY");
  EXPECT_EQ(Text(), "ab XY\r\nabcf\r\nabcf\r\n");
  ExpectCaret(0, 5);
}

TEST_F(EditorClipboardTest, TypingAndPastingOverABoxPastItsFirstRowsEndLandInTheBoxColumn) {
  const auto typed = [this] {
    InjectText("X");
    Run();
  };
  const auto pasted = [this] {
    SetClipboardText("X");
    editor->PasteFromClipboard();
  };
  for (const auto& put : {std::function<void()>(typed), std::function<void()>(pasted)}) {
    editor->Lines()->SetText("ab\r\nabcdef\r\nabcdef\r\n");
    Select(0, 3, 2, 5, true);
    put();
    EXPECT_EQ(Text(), "ab X\r\nabcf\r\nabcf\r\n");
    ExpectCaret(0, 4);
    EXPECT_EQ(UndoSteps(), 1);
  }
}

TEST_F(EditorClipboardTest, AnEmptyTextOnlyDeletesTheSelectionAndReadOnlyChangesNothing) {
  editor->Lines()->SetText("abc\r\n");
  Select(0, 0, 0, 2);
  editor->SetReadOnly(true);
  editor->InsertText("");
  editor->InsertText("x");
  editor->InsertBoxText("x");
  editor->InsertBoxText("");
  EXPECT_EQ(Text(), "abc\r\n");
  EXPECT_TRUE(editor->Selected());
  EXPECT_EQ(UndoSteps(), 0);

  editor->SetReadOnly(false);
  editor->InsertText("");
  EXPECT_EQ(Text(), "c\r\n");
  EXPECT_EQ(UndoSteps(), 1);

  // A search hit is dropped, its text kept.
  editor->SetHitStyle(hsDraw);
  editor->SetRowCol(0, 0);
  editor->SetSelLength(1);
  ASSERT_EQ(editor->SelectionState(), TSelectionState::Hit);
  editor->InsertText("");
  EXPECT_FALSE(editor->SelectedOrHit());
  EXPECT_EQ(Text(), "c\r\n");
}

TEST_F(EditorClipboardTest, ABoxCopiedPastesAtTheCaretColumnFillingShortRows) {
  std::string text;
  for (int i = 0; i < 14; ++i) text += i % 2 ? "0123456789\r\n" : "ab\r\n";
  editor->Lines()->SetText(text);
  Select(1, 2, 3, 5, true);
  editor->CopyToClipboard();
  EXPECT_EQ(GetClipboardText(), "234\r\n\r\n234\r\n");
  EXPECT_TRUE(BoxOnClipboard());
  EXPECT_TRUE(editor->Selected());

  editor->CleanSelection();
  editor->SetRowCol(10, 5);
  editor->PasteFromClipboard();
  EXPECT_EQ(editor->Lines()->Strings(10), "ab   234");
  EXPECT_EQ(editor->Lines()->Strings(11), "0123456789");  // the empty middle line
  EXPECT_EQ(editor->Lines()->Strings(12), "ab   234");
  EXPECT_EQ(editor->Lines()->Strings(13), "0123456789");
  ExpectCaret(12, 8);
  EXPECT_EQ(UndoSteps(), 1);
  editor->Undo();
  EXPECT_EQ(Text(), text);

  // A normal copy carries no box mark and pastes inline.
  Select(1, 2, 1, 4);
  editor->CopyToClipboard();
  EXPECT_EQ(GetClipboardText(), "23");
  EXPECT_FALSE(BoxOnClipboard());
  editor->CleanSelection();
  editor->SetRowCol(0, 1);
  editor->PasteFromClipboard();
  EXPECT_EQ(editor->Lines()->Strings(0), "a23b");
}

TEST_F(EditorClipboardTest, ABoxPastedAtTheLastRowAddsIndentedRowsAndEndsWithABreak) {
  editor->Lines()->SetText("abc\r\nlast");
  editor->SetRowCol(1, 2);
  editor->InsertBoxText("X\r\nY\nZ\r");
  EXPECT_EQ(Text(), "abc\r\nlaXst\r\n  Y\r\n  Z\r\n");
  ExpectCaret(3, 3);
  EXPECT_EQ(UndoSteps(), 1);

  // An empty text takes the lines as they are.
  editor->Lines()->Clear();
  editor->InsertBoxText("a\r\nb");
  EXPECT_EQ(Text(), "a\r\nb\r\n");
}

TEST_F(EditorClipboardTest, ABoxPastedOverANormalSelectionStartsInItsCollapsedRow) {
  editor->Lines()->SetText("r0\r\nr1\r\nabcdef\r\nrow3\r\nuvwxyz\r\nrow5\r\nrow6\r\nrow7\r\n");
  Select(2, 2, 4, 4);
  editor->InsertBoxText("1\r\n2\r\n3\r\n");
  EXPECT_EQ(Text(), "r0\r\nr1\r\nab1yz\r\nro2w5\r\nro3w6\r\nrow7\r\n");
  ExpectCaret(4, 3);
  EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(EditorClipboardTest, ABoxPastedOverABoxReplacesItRowByRow) {
  editor->Lines()->SetText("abcdef\r\nab\r\nabcdef\r\nabcdef\r\n");
  Select(0, 3, 2, 5, true);
  editor->InsertBoxText("XY\r\nZ\r\n");
  EXPECT_EQ(Text(), "abcXYf\r\nab Z\r\nabcf\r\nabcdef\r\n");
  ExpectCaret(1, 4);
}

TEST_F(EditorClipboardTest, ABoxColumnInsideADoubleByteCharacterOrATabMovesRight) {
  // Row 1 has a double-byte character over columns 2-3, row 2 a tab over
  // columns 1-7.
  editor->Lines()->SetText("abcdef\r\nab\x82\xa0" "cd\r\na\tbc\r\n");
  editor->SetRowCol(0, 3);
  editor->InsertBoxText("1\r\n2\r\n3");
  EXPECT_EQ(editor->Lines()->Strings(0), "abc1def");
  EXPECT_EQ(editor->Lines()->Strings(1), "ab\x82\xa0" "2cd");
  EXPECT_EQ(editor->Lines()->Strings(2), "a\t3bc");
}

TEST_F(EditorClipboardTest, CutCopiesThenDeletesAndNeedsASelection) {
  editor->Lines()->SetText("abc\r\ndef\r\n");
  SetClipboardText("kept");
  editor->CutToClipboard();
  editor->CopyToClipboard();
  EXPECT_EQ(GetClipboardText(), "kept");

  Select(0, 1, 1, 1);
  editor->SetReadOnly(true);  // callers refuse it; the operation itself does not
  editor->CutToClipboard();
  EXPECT_EQ(GetClipboardText(), "bc\r\nd");
  EXPECT_EQ(Text(), "aef\r\n");
  EXPECT_FALSE(editor->SelectedOrHit());
  EXPECT_EQ(UndoSteps(), 1);

  // A box cut leaves the box mark.
  editor->SetReadOnly(false);
  editor->Lines()->SetText("abc\r\ndef\r\n");
  Select(0, 1, 1, 2, true);
  editor->CutToClipboard();
  EXPECT_EQ(Text(), "ac\r\ndf\r\n");
  EXPECT_EQ(GetClipboardText(), "b\r\ne\r\n");
  EXPECT_TRUE(BoxOnClipboard());
}

TEST_F(EditorClipboardTest, ACutWithoutAWindowDeletesWhatItCopied) {
  TEditor* hidden = TEditor::Create(form.get());
  hidden->Lines()->SetText("abc\r\ndef\r\n");
  hidden->SetSelStart(1);
  hidden->SetSelLength(4);
  hidden->CutToClipboard();
  EXPECT_EQ(GetClipboardText(), "bc\r\n");
  EXPECT_EQ(hidden->Lines()->GetTextStr(), "adef\r\n");
  EXPECT_FALSE(hidden->SelectedOrHit());
  EXPECT_EQ(hidden->GetSelStart(), 1);
}

TEST_F(EditorClipboardTest, PastingNeedsTextAndReplacesABoxByPlainText) {
  editor->Lines()->SetText("abcdef\r\nabcdef\r\n");
  const UINT other = RegisterClipboardFormat("Other Data");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
  SetClipboardData(other, block);
  CloseClipboard();
  editor->PasteFromClipboard();
  EXPECT_EQ(Text(), "abcdef\r\nabcdef\r\n");
  EXPECT_EQ(UndoSteps(), 0);

  SetClipboardText("X\r\nY");
  Select(0, 1, 1, 3, true);
  editor->PasteFromClipboard();
  EXPECT_EQ(Text(), "aX\r\nYdef\r\nadef\r\n");
  ExpectCaret(1, 1);

  // The box paste of the menu takes plain text as a box.
  editor->SetRowCol(0, 1);
  editor->InsertBoxText(GetClipboardText());
  EXPECT_EQ(Text(), "aXX\r\nYYdef\r\nadef\r\n");
}

TEST_F(EditorClipboardTest, UndoAndRedoDropTheSelectionAndTheListKeepsAtLeast64Steps) {
  editor->Lines()->SetText("abc\r\n");
  EXPECT_FALSE(editor->CanUndo());
  editor->SetRowCol(0, 3);
  editor->InsertText("d");
  EXPECT_TRUE(editor->CanUndo());
  EXPECT_FALSE(editor->CanRedo());
  Select(0, 0, 0, 2);
  editor->Undo();
  EXPECT_FALSE(editor->SelectedOrHit());
  EXPECT_EQ(Text(), "abc\r\n");
  EXPECT_TRUE(editor->CanRedo());
  Select(0, 0, 0, 2);
  editor->Redo();
  EXPECT_FALSE(editor->SelectedOrHit());
  EXPECT_EQ(Text(), "abcd\r\n");

  editor->SetUndoListMax(10);
  EXPECT_EQ(editor->UndoListMax(), 64);
  editor->SetUndoListMax(100);
  EXPECT_EQ(editor->UndoListMax(), 100);
}

TEST_F(EditorClipboardTest, AClipboardHeldByAnotherWindowRefusesTheCopy) {
  editor->Lines()->SetText("abc\r\n");
  TWindow other(nullptr, {0, 0, 10, 10});
  Select(0, 0, 0, 2, true);
  ASSERT_TRUE(OpenClipboard(&other));
  EXPECT_THROW(editor->CopyToClipboard(), EClipboardError);
  CloseClipboard();
  editor->CopyToClipboard();
  EXPECT_EQ(GetClipboardText(), "ab");
  EXPECT_TRUE(BoxOnClipboard());
}

}  // namespace
}  // namespace corvida
