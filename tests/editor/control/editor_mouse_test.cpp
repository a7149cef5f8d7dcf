// The mouse on the editor: selecting by pressing, dragging and Shift, rows
// from the left margin, scrolling while dragging outside the text, pointer
// shapes, dragging a selection to move or copy it, the messages a drag
// drops, the token under the pointer and searching the text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/control/editor_fixture.h"
#include "platform/winsys/clipboard.h"
#include "platform/winsys/cursors.h"
#include "support/support_resources.h"

namespace corvida {
namespace {

class EditorMouseTest : public testing::EditorTest {
 protected:
  // The screen point inside the cell of (row, col) of the first visible
  // rows: columns are 6 pixels from x 19, rows 12 pixels from y 2.
  TPoint Cell(int row, int col) const { return At(*editor, 19 + 6 * col + 1, 2 + 12 * row + 5); }
  static TPoint Offset(TPoint p, int dx, int dy) { return {p.x + dx, p.y + dy}; }
  void Press(TPoint p) {
    InjectMouseDown(VK_LBUTTON, p);
    Run();
  }
  void Move(TPoint p) {
    InjectMouseMove(p);
    Run();
  }
  void Release(TPoint p) {
    InjectMouseUp(VK_LBUTTON, p);
    Run();
  }
  void Key(int vk, bool down) {
    if (down)
      InjectKeyDown(vk);
    else
      InjectKeyUp(vk);
    Run();
  }
  void DragSelect(TPoint from, TPoint to) {
    Press(from);
    Move(to);
    Release(to);
  }
  int UndoSteps() const { return editor->ScreenStrings()->UndoObj().UndoList().Count(); }
  std::string Text() const { return editor->Lines()->GetTextStr(); }
  void ExpectCaret(int row, int col) const {
    EXPECT_EQ(editor->Row(), row);
    EXPECT_EQ(editor->Col(), col);
  }
};

TEST_F(EditorMouseTest, ASelectionIsThePrimarySelectionAndTheMiddleButtonPastesItAtThePointer) {
  editor->Lines()->SetText("alpha beta\r\ngamma");
  DragSelect(Cell(0, 6), Cell(0, 10));
  EXPECT_EQ(GetPrimarySelection(), "beta");
  // By keyboard too: Shift+Right from (1, 0) selects "ga".
  editor->CleanSelection();
  editor->SetRowCol(1, 0);
  for (int i = 0; i < 2; ++i) {
    Key(VK_SHIFT, true);
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, false);
    Key(VK_SHIFT, false);
  }
  EXPECT_EQ(GetPrimarySelection(), "ga");
  // The middle button puts it at the pointer, beside the selection, as one
  // undo step; a read-only pane takes nothing.
  const int steps = UndoSteps();
  InjectMouseDown(VK_MBUTTON, Cell(0, 5));
  InjectMouseUp(VK_MBUTTON, Cell(0, 5));
  Run();
  EXPECT_EQ(Text(), "alphaga beta\r\ngamma");
  ExpectCaret(0, 7);
  EXPECT_EQ(UndoSteps(), steps + 1);
  editor->SetReadOnly(true);
  InjectMouseDown(VK_MBUTTON, Cell(1, 5));
  Run();
  EXPECT_EQ(Text(), "alphaga beta\r\ngamma");
}

TEST_F(EditorMouseTest, PressingAnchorsDraggingSelectsAndShiftExtendsFromTheSameAnchor) {
  editor->Lines()->SetText(
      "abc\x82\xa0"
      "def\r\n\tx\r\nlast");
  Press(Cell(0, 1));
  Release(Cell(0, 1));
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Anchored);
  ExpectCaret(0, 1);

  // Less than half a column from the press shows nothing yet.
  Press(Cell(0, 1));
  Move(Offset(Cell(0, 1), 2, 0));
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Anchored);
  // Onto the second half of a double-byte character: the caret stays before it.
  Move(Cell(0, 4));
  EXPECT_EQ(editor->GetSelText(), "bc");
  Move(Cell(0, 5));
  EXPECT_EQ(editor->GetSelText(), "bc\x82\xa0");
  // Into a tab's filler: the caret stands on the tab.
  Move(Cell(1, 3));
  ExpectCaret(1, 0);
  EXPECT_EQ(editor->GetSelText(),
            "bc\x82\xa0"
            "def\r\n");
  Release(Cell(1, 3));
  EXPECT_TRUE(editor->Selected());

  // A click anchors at the click; Shift+click selects from there.
  Press(Cell(2, 2));
  Release(Cell(2, 2));
  Key(VK_SHIFT, true);
  Press(Cell(0, 1));
  Release(Cell(0, 1));
  EXPECT_EQ(editor->GetSelText(),
            "bc\x82\xa0"
            "def\r\n\tx\r\nla");
  Press(Cell(2, 4));
  Release(Cell(2, 4));
  Key(VK_SHIFT, false);
  EXPECT_EQ(editor->GetSelText(), "st");

  // An edit ends an anchor that was never extended.
  Press(Cell(2, 1));
  Release(Cell(2, 1));
  ASSERT_EQ(editor->SelectionState(), TSelectionState::Anchored);
  editor->Window()->Perform(WM_CHAR, 'Z', 0);
  EXPECT_EQ(editor->SelectionState(), TSelectionState::None);
  EXPECT_EQ(Text(),
            "abc\x82\xa0"
            "def\r\n\tx\r\nlZast");
}

TEST_F(EditorMouseTest, DraggingBelowOrAboveTheTextScrollsOneRowAMove) {
  editor->Lines()->SetText(NumberedLines(40));
  const int visible = editor->VisibleRows();
  Press(Cell(2, 0));
  const TPoint below = At(*editor, 30, 2 + 12 * visible + 3);
  Move(below);
  EXPECT_EQ(editor->TopRow(), 1);
  Move(Offset(below, 0, 1));
  Move(below);
  EXPECT_EQ(editor->TopRow(), 3);
  EXPECT_EQ(editor->Row(), 3 + visible - 1);
  // Above the text the caret goes a row above the first visible one.
  const TPoint above = At(*editor, 25, 0);
  Move(above);
  EXPECT_EQ(editor->TopRow(), 2);
  Move(Offset(above, 1, 0));
  EXPECT_EQ(editor->TopRow(), 1);
  ExpectCaret(1, 1);
  EXPECT_EQ(editor->GetSelText(), "ine 1\r\n");
  // Far outside the window the capture still brings the moves.
  Move(At(*editor, 30, 2 + 12 * visible + 200));
  EXPECT_EQ(editor->Row(), 1 + visible + 16);
  EXPECT_EQ(editor->TopRow(), editor->Row() - visible + 1);
  Release(At(*editor, 30, 400));
  EXPECT_EQ(editor->GetSelStart(), 16);
}

TEST_F(EditorMouseTest, TheLeftMarginSelectsWholeRows) {
  editor->Lines()->SetText("one\r\ntwo\r\nthree");
  const auto margin = [&](int row) { return At(*editor, 5, 2 + 12 * row + 5); };
  Press(margin(0));
  EXPECT_EQ(editor->GetSelText(), "one\r\n");
  ExpectCaret(0, 0);
  Move(margin(1));
  EXPECT_EQ(editor->GetSelText(), "one\r\ntwo\r\n");
  ExpectCaret(2, 0);
  Move(margin(5));  // the last row, which has no line break
  EXPECT_EQ(editor->GetSelText(), "one\r\ntwo\r\nthree");
  ExpectCaret(2, 5);
  Release(margin(5));
  EXPECT_FALSE(editor->Selection().rowSelect.active);

  // The last row is selected from its end back to column 0.
  Press(margin(2));
  EXPECT_EQ(editor->GetSelText(), "three");
  EXPECT_EQ(editor->Selection().anchor.col, 5);
  ExpectCaret(2, 0);
  Move(margin(1));
  EXPECT_EQ(editor->GetSelText(), "two\r\nthree");
  ExpectCaret(1, 0);
  Release(margin(1));

  // From row 1 upwards the clicked row stays selected.
  Press(margin(1));
  Move(margin(0));
  EXPECT_EQ(editor->GetSelText(), "one\r\ntwo\r\n");
  Release(margin(0));

  editor->Caret()->SetRowSelect(false);
  Press(margin(1));
  Release(margin(1));
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Anchored);
  ExpectCaret(1, 0);
}

TEST_F(EditorMouseTest, ABoxIsSelectedByColumnsAndAPressInsideStartsAnew) {
  editor->Lines()->SetText(
      "\txy\r\na\x82\xa0"
      "b\x82\xa1"
      "ef\r\nabcdefgh\r\n");
  editor->SetSelectionMode(TSelectionMode::Box);
  // The caret steps off the second half of a double-byte character; a
  // character belongs to the side where it begins.
  DragSelect(Cell(2, 4), Cell(1, 2));
  EXPECT_EQ(editor->GetSelText(), "\x82\xa0" "b\r\nbcd\r\n");
  EXPECT_FALSE(editor->CanSelDrag());
  Press(Cell(2, 3));
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Anchored);
  EXPECT_EQ(editor->SelDragState(), TSelDragState::None);
  Release(Cell(2, 3));
}

TEST_F(EditorMouseTest, PointerShapesFollowTheArea) {
  editor->Lines()->SetText("abcdef\r\n");
  Move(At(*editor, 5, 20));
  EXPECT_EQ(editor->Cursor(), crRightArrow);
  Move(At(*editor, 40, 0));
  EXPECT_EQ(editor->Cursor(), crDefault);
  Move(Cell(0, 2));
  EXPECT_EQ(editor->Cursor(), crIBeam);
  EXPECT_EQ(backend.ShownCursor(), crIBeam);
  DragSelect(Cell(0, 1), Cell(0, 4));
  Move(Cell(0, 2));
  EXPECT_EQ(editor->Selection().cursorKind, 3);
  EXPECT_EQ(editor->Cursor(), crDefault);
  editor->SetReadOnly(true);
  Move(Cell(0, 3));
  EXPECT_EQ(editor->Cursor(), crIBeam);
  editor->SetReadOnly(false);
  editor->Caret()->SetAutoCursor(false);
  Move(At(*editor, 5, 20));
  EXPECT_EQ(editor->Selection().cursorKind, 1);
  EXPECT_EQ(editor->Cursor(), crIBeam);
}

class EditorDragTest : public EditorMouseTest {
 protected:
  void SetUp() override {
    EditorMouseTest::SetUp();
    editor->Lines()->SetText("abc def\r\nxyz\r\n");
    editor->ScreenStrings()->UndoObj().Clear();
    DragSelect(Cell(0, 0), Cell(0, 3));
    ASSERT_EQ(editor->GetSelText(), "abc");
  }
  // Presses at from and drags to to: the first move past the threshold
  // starts the drag, the next one moves the drop point.
  void DragTo(TPoint from, TPoint to) {
    Press(from);
    Move(to);
    Move(to);
  }
};

TEST_F(EditorDragTest, DroppingMovesTheSelectionAsOneUndoStep) {
  Press(Cell(0, 1));
  EXPECT_EQ(editor->SelDragState(), TSelDragState::Armed);
  EXPECT_TRUE(editor->Selected());
  ExpectCaret(0, 1);
  Move(Offset(Cell(0, 1), 1, 0));
  EXPECT_EQ(editor->SelDragState(), TSelDragState::Armed);
  Move(Cell(1, 2));
  EXPECT_EQ(editor->SelDragState(), TSelDragState::Dragging);
  EXPECT_EQ(backend.ShownCursor(), crDrag);
  ExpectCaret(0, 1);
  // The window does not reset the drag pointer while it holds the capture.
  Move(Cell(1, 3));
  ExpectCaret(1, 3);
  EXPECT_EQ(backend.ShownCursor(), crDrag);
  Release(Cell(1, 3));
  EXPECT_EQ(Text(), " def\r\nxyzabc\r\n");
  EXPECT_EQ(editor->SelectionState(), TSelectionState::None);
  ExpectCaret(1, 6);
  EXPECT_EQ(UndoSteps(), 1);
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), "abc def\r\nxyz\r\n");
}

TEST_F(EditorDragTest, CtrlAtTheReleaseCopiesAndTogglesThePointerMeanwhile) {
  DragTo(Cell(0, 1), Cell(1, 1));
  Key(VK_CONTROL, true);
  EXPECT_EQ(backend.ShownCursor(), crDragSelCopy);
  Key(VK_CONTROL, false);
  EXPECT_EQ(backend.ShownCursor(), crDrag);
  Key(VK_CONTROL, true);
  Release(Cell(1, 1));
  Key(VK_CONTROL, false);
  EXPECT_EQ(Text(), "abc def\r\nxabcyz\r\n");
  ExpectCaret(1, 4);
  EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(EditorDragTest, ADropPastTheRowEndPadsWithSpaces) {
  DragTo(Cell(0, 2), Cell(0, 10));
  Release(Cell(0, 10));
  EXPECT_EQ(Text(), " def   abc\r\nxyz\r\n");
  ExpectCaret(0, 10);
  // The same row after the selection and a row above it.
  DragSelect(Cell(0, 1), Cell(0, 4));
  DragTo(Cell(0, 2), Cell(1, 0));
  Release(Cell(1, 0));
  EXPECT_EQ(Text(), "    abc\r\ndefxyz\r\n");
  DragSelect(Cell(1, 3), Cell(1, 6));
  DragTo(Cell(1, 4), Cell(0, 0));
  Release(Cell(0, 0));
  EXPECT_EQ(Text(), "xyz    abc\r\ndef\r\n");
  ExpectCaret(0, 3);
  EXPECT_EQ(UndoSteps(), 3);
}

TEST_F(EditorDragTest, DroppingOntoTheSelectionOrOutsideTheWindowKeepsTheText) {
  Press(Cell(0, 1));
  Move(Cell(0, 2));
  EXPECT_EQ(editor->SelDragState(), TSelDragState::Dragging);
  Release(Cell(0, 2));
  EXPECT_EQ(Text(), "abc def\r\nxyz\r\n");
  EXPECT_EQ(editor->SelectionState(), TSelectionState::None);

  DragSelect(Cell(0, 0), Cell(0, 3));
  DragTo(Cell(0, 1), Cell(1, 1));
  Release(At(*editor, 400, 20));
  EXPECT_EQ(Text(), "abc def\r\nxyz\r\n");
  EXPECT_EQ(editor->SelectionState(), TSelectionState::None);

  // A click inside without moving drops the selection at the click.
  DragSelect(Cell(0, 0), Cell(0, 3));
  Press(Cell(0, 2));
  Release(Cell(0, 2));
  EXPECT_EQ(editor->SelectionState(), TSelectionState::None);
  ExpectCaret(0, 2);
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorDragTest, EscapeCancelsAndTheDragDropsKeysAndOtherButtons) {
  Press(Cell(0, 1));
  // Armed: keys are dropped.
  InjectText("q");
  Key(VK_LEFT, true);
  Key(VK_LEFT, false);
  Move(Cell(1, 1));
  editor->SetSelectionMode(TSelectionMode::Box);
  editor->SetReadOnly(true);
  EXPECT_EQ(editor->SelectionMode(), TSelectionMode::Normal);
  EXPECT_FALSE(editor->ReadOnly());
  InjectWheel(-WHEEL_DELTA, Cell(1, 1));
  InjectMouseDown(VK_RBUTTON, Cell(1, 1));
  InjectMouseUp(VK_RBUTTON, Cell(1, 1));
  Run();
  EXPECT_EQ(editor->TopRow(), 0);
  Key(VK_ESCAPE, true);
  EXPECT_EQ(editor->SelDragState(), TSelDragState::None);
  EXPECT_EQ(editor->SelectionState(), TSelectionState::None);
  EXPECT_EQ(backend.ShownCursor(), crIBeam);
  Key(VK_ESCAPE, false);
  Release(Cell(1, 2));
  EXPECT_EQ(Text(), "abc def\r\nxyz\r\n");
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorDragTest, AnArmedDragRefusesNoModeOrReadOnlyChangeAndAReadOnlyDropMovesNothing) {
  Press(Cell(0, 1));
  ASSERT_EQ(editor->SelDragState(), TSelDragState::Armed);
  editor->SetSelectionMode(TSelectionMode::Box);
  EXPECT_EQ(editor->SelectionMode(), TSelectionMode::Box);
  editor->SetSelectionMode(TSelectionMode::Normal);
  editor->SetReadOnly(true);
  EXPECT_TRUE(editor->ReadOnly());
  Move(Cell(1, 1));
  Move(Cell(1, 1));
  Release(Cell(1, 1));
  EXPECT_EQ(Text(), "abc def\r\nxyz\r\n");
  EXPECT_EQ(editor->SelectionState(), TSelectionState::None);
  EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorDragTest, AManualDragModeOnlyMovesTheCaretAndReshapesFromTheOldAnchor) {
  editor->Caret()->SetSelDragMode(dmManual);
  Press(Cell(0, 2));
  EXPECT_EQ(editor->SelDragState(), TSelDragState::None);
  EXPECT_EQ(editor->GetSelText(), "abc");
  ExpectCaret(0, 2);
  Move(Cell(0, 5));
  Release(Cell(0, 5));
  EXPECT_EQ(editor->GetSelText(), "abc d");
}

TEST_F(EditorMouseTest, TokensUnderThePointer) {
  editor->Lines()->SetText("abc def(12)\r\n\x82\xa0\x82\xa2 x\r\n");
  std::string text;
  TTokenKind kind = ttEnd;
  EXPECT_TRUE(editor->GetTokenAt(editor->Window()->ScreenToClient(Cell(0, 5)), true, true, text, kind));
  EXPECT_EQ(text, "def");
  EXPECT_TRUE(editor->GetTokenAt(editor->Window()->ScreenToClient(Cell(0, 9)), false, false, text, kind));
  EXPECT_EQ(text, "12");
  EXPECT_EQ(kind, ttInteger);
  EXPECT_TRUE(editor->GetTokenAt(editor->Window()->ScreenToClient(Cell(1, 3)), false, false, text, kind));
  EXPECT_EQ(text, "\x82\xa0\x82\xa2");
  EXPECT_FALSE(editor->GetTokenAt(editor->Window()->ScreenToClient(Cell(0, 20)), true, true, text, kind));

  editor->SelectTokenAt(editor->Window()->ScreenToClient(Cell(0, 6)), true, false);
  EXPECT_EQ(editor->GetSelText(), "def");
  ExpectCaret(0, 7);
}

class EditorSearchTest : public EditorMouseTest {
 protected:
  // Rows of 48 bytes, 50 with their line break: a search block of more
  // than 8191 bytes ends with row 163, and the next begins with it.
  static std::string Rows(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
      std::string row = "row " + std::to_string(i);
      row.resize(48, '.');
      text += row + "\r\n";
    }
    return text;
  }
};

TEST_F(EditorSearchTest, ForwardFindsAStringAcrossTwoBlocks) {
  std::string text = Rows(400);
  text.replace(163 * 50 + 44, 4, "NEED");
  text.replace(164 * 50, 2, "LE");
  editor->Lines()->SetText(text);
  EXPECT_FALSE(editor->SearchText("NEEDLE", sfDown | sfMatchCase));
  EXPECT_TRUE(editor->SearchText("NEEDLE", sfDown | sfMatchCase | sfIgnoreBreaks));
  EXPECT_EQ(editor->GetSelText(), "NEED\r\nLE");
  EXPECT_EQ(editor->GetSelStart(), 163 * 50 + 44);
  EXPECT_GE(editor->Row(), editor->TopRow());
  EXPECT_LT(editor->Row(), editor->TopRow() + editor->VisibleRows());
  // The next search starts after the selection.
  EXPECT_TRUE(editor->SearchText("row 1", sfDown | sfMatchCase));
  EXPECT_EQ(editor->GetSelStart(), 165 * 50);
  EXPECT_FALSE(editor->SearchText("NEEDLE", sfDown | sfIgnoreBreaks));
  EXPECT_EQ(editor->GetSelStart(), 165 * 50);
}

TEST_F(EditorSearchTest, BackwardFromTheEndAndFromASelection) {
  editor->Lines()->SetText(Rows(400));
  editor->SetRowCol(400, 0);
  EXPECT_TRUE(editor->SearchText("row 3", sfMatchCase));
  EXPECT_EQ(editor->GetSelStart(), 399 * 50);
  EXPECT_TRUE(editor->SearchText("row 3", sfMatchCase));
  EXPECT_EQ(editor->GetSelStart(), 398 * 50);
  EXPECT_TRUE(editor->SearchText("row 1", sfMatchCase));
  EXPECT_EQ(editor->GetSelStart(), 199 * 50);
  EXPECT_TRUE(editor->SearchText("ROW 0", 0));
  EXPECT_EQ(editor->GetSelStart(), 0);
  EXPECT_FALSE(editor->SearchText("row 0", sfMatchCase));
}

TEST_F(EditorSearchTest, RepeatedSearchesStepOverTheCurrentHitAlsoWhenMatchesOverlapOrTouch) {
  const struct {
    TEditorHitStyle style;
    bool down;
    const char* text;
    std::vector<int> starts;  // one search each, then none is found
  } cases[] = {
      {hsSelect, true, "aaaaa", {0, 2}},   {hsSelect, false, "aaaaa", {3, 1}},
      {hsSelect, false, "abab", {2, 0}},   {hsDraw, false, "aaaa", {2, 0}},
      {hsCaret, true, "aaaaa", {0, 2}},    {hsCaret, true, "abab", {0, 2}},
      {hsCaret, false, "aaaa", {2, 0}},
  };
  for (const auto& c : cases) {
    editor->SetHitStyle(c.style);
    editor->Lines()->SetText(c.text);
    editor->SetRowCol(0, c.down ? 0 : static_cast<int>(std::string(c.text).size()));
    const std::string pattern(c.text, 2);
    const TSearchOptions options = c.down ? sfDown : 0;
    std::vector<int> found;
    while (found.size() < 4 && editor->SearchText(pattern, options)) found.push_back(editor->GetSelStart());
    EXPECT_EQ(found, c.starts) << c.style << " " << c.down << " " << c.text;
  }
}

TEST_F(EditorSearchTest, AHitIsBroughtAThirdIntoTheViewAlsoWithoutTheFocus) {
  editor->Lines()->SetText(Rows(400));
  // Another control holds the focus, as a find dialog's field would.
  TEditor* field = TEditor::Create(form.get());
  field->SetParent(form.get());
  field->SetBounds(0, 200, 100, 40);
  field->SetFocus();
  Run();
  ASSERT_FALSE(editor->Focused());
  const struct {
    const char* pattern;
    TSearchOptions options;
    int row;
  } searches[] = {{"row 300", sfDown | sfMatchCase, 300}, {"row 20.", sfMatchCase, 20}};
  for (const auto& s : searches) {
    ASSERT_TRUE(editor->SearchText(s.pattern, s.options)) << s.pattern;
    EXPECT_EQ(editor->Row(), s.row);
    EXPECT_EQ(editor->TopRow(), s.row - editor->VisibleRows() / 3) << s.pattern;
  }
}

TEST_F(EditorSearchTest, HitsLongRowsAndAnEmptyText) {
  EXPECT_FALSE(editor->SearchText("x", sfDown));
  EXPECT_FALSE(editor->SearchText("x", 0));
  // Rows longer than a block do not hold the search up.
  editor->Lines()->SetText("ab" + std::string(9998, 'x') + "\r\n" + std::string(10000, 'y') + "\r\nab c\r\n");
  EXPECT_TRUE(editor->SearchText("c", sfDown));
  EXPECT_EQ(editor->GetSelStart(), 20007);
  editor->SetRowCol(3, 0);
  EXPECT_TRUE(editor->SearchText("ab", 0));
  EXPECT_EQ(editor->GetSelStart(), 20004);
  EXPECT_TRUE(editor->SearchText("ab", 0));
  EXPECT_EQ(editor->GetSelStart(), 0);

  editor->SetHitStyle(hsDraw);
  editor->SetRowCol(0, 0);
  EXPECT_TRUE(editor->SearchText("c", sfDown));
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Hit);
  EXPECT_EQ(editor->GetSelStart(), 20007);
}

}  // namespace
}  // namespace corvida
