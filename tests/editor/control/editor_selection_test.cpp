// The selection model: anchoring, normal and box selections over rows,
// double-byte characters and tabs at the edges, hits, offsets and lengths,
// deleting as one undo step, and repainting only what a change touched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/control/editor_fixture.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/sys_colors.h"

namespace corvida {
namespace {

constexpr const char* kBoxText =
    "\txy\r\na\x82\xa0"
    "b\x82\xa1"
    "ef\r\nabcdefgh\r\n";

class SelectionEvents : public TObject {
 public:
  void SelectionChange(TObject*, bool selected) { changes.push_back(selected); }
  void ModeChange(TObject*) { ++modeChanges; }
  void DrawLine(TObject*, const std::string&, int, int, int index, const TRect&, bool) {
    drawn.push_back(index);
  }
  std::vector<bool> changes;
  int modeChanges = 0;
  std::vector<int> drawn;
};

class EditorSelectionTest : public testing::EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    editor->SetOnSelectionChange(
        TSelectionChangeEvent::Of<&SelectionEvents::SelectionChange>(&events));
    editor->SetOnSelectionModeChange(TNotifyEvent::Of<&SelectionEvents::ModeChange>(&events));
  }
  void Select(int row0, int col0, int row1, int col1) { testing::SelectRange(*editor, row0, col0, row1, col1); }
  int UndoSteps() const { return editor->ScreenStrings()->UndoObj().UndoList().Count(); }
  std::string Text() const { return editor->Lines()->GetTextStr(); }

  SelectionEvents events;
};

TEST_F(EditorSelectionTest, AnAnchorShowsNothingUntilTheSelectionIsUpdated) {
  editor->Lines()->SetText("abcdef\r\nghij\r\n");
  editor->SetRowCol(0, 2);
  editor->StartSelection();
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Anchored);
  EXPECT_FALSE(editor->SelectedOrHit());
  EXPECT_EQ(editor->GetSelLength(), 0);
  EXPECT_TRUE(events.changes.empty());

  editor->SetRowCol(1, 3);
  editor->UpdateSelection();
  EXPECT_TRUE(editor->Selected());
  const TSelectionModel& s = editor->Selection();
  EXPECT_EQ(s.anchor.row, 0);
  EXPECT_EQ(s.anchor.index, 2);
  EXPECT_EQ(s.bytes.firstRow, 0);
  EXPECT_EQ(s.bytes.lastRow, 1);
  EXPECT_EQ(s.bytes.startIndex, 2);
  EXPECT_EQ(s.bytes.endIndex, 2);
  EXPECT_EQ(s.columns, (TSelectionColumns{0, 1, 2, 3}));
  EXPECT_EQ(editor->GetSelText(), "cdef\r\nghi");
  EXPECT_EQ(editor->GetSelLength(), 9);
  EXPECT_EQ(editor->GetSelStart(), 2);
  EXPECT_TRUE(editor->IsInSelection(0, 2));
  EXPECT_FALSE(editor->IsInSelection(0, 1));
  EXPECT_TRUE(editor->IsInSelection(1, 2));
  EXPECT_FALSE(editor->IsInSelection(1, 3));

  // Moving back above the anchor turns the selection round it.
  editor->SetRowCol(0, 0);
  editor->UpdateSelection();
  EXPECT_EQ(editor->GetSelText(), "ab");
  EXPECT_EQ(editor->GetSelStart(), 0);

  editor->CleanSelection();
  EXPECT_EQ(editor->SelectionState(), TSelectionState::None);
  EXPECT_EQ(editor->GetSelText(), "");
  EXPECT_EQ(editor->GetSelStart(), 0);  // the caret's offset
  EXPECT_EQ(events.changes, (std::vector<bool>{true, true, false}));
}

TEST_F(EditorSelectionTest, OffsetsAndLengthsCountLineBreaksAsTwo) {
  editor->Lines()->SetText(
      "ab\x82\xa0"
      "cd\r\n\tx\r\nlast");
  editor->SetSelStart(3);  // inside the double-byte character: the caret steps off it
  EXPECT_EQ(editor->Row(), 0);
  editor->SetSelStart(6);
  EXPECT_EQ(editor->Col(), 6);
  editor->SetSelLength(5);
  // The caret cannot stand between CR and LF: the selection ends at the
  // row's end.
  EXPECT_EQ(editor->GetSelText(), "\r\n\tx");
  EXPECT_EQ(editor->GetSelStart(), 6);
  EXPECT_EQ(editor->Selection().selLength, 5);
  EXPECT_EQ(editor->GetSelLength(), 4);
  EXPECT_EQ(editor->Row(), 1);
  EXPECT_EQ(editor->Col(), 9);

  editor->SetSelStart(2);
  editor->SetSelLength(2);
  EXPECT_EQ(editor->GetSelText(), "\x82\xa0");
  EXPECT_EQ(editor->Col(), 4);

  // Past the end the selection runs to the end of the last row.
  editor->SetSelLength(100);
  EXPECT_EQ(editor->GetSelText(),
            "\x82\xa0"
            "cd\r\n\tx\r\nlast");
  EXPECT_EQ(editor->Row(), 2);
  EXPECT_EQ(editor->Col(), 4);
  EXPECT_EQ(editor->GetSelStart(), 2);

  // A length of 0 leaves the caret at the selection's start.
  editor->SetSelLength(0);
  EXPECT_FALSE(editor->SelectedOrHit());
  EXPECT_EQ(editor->Row(), 0);
  EXPECT_EQ(editor->Col(), 2);
  EXPECT_EQ(editor->Selection().selLength, 0);

  editor->SelectAll();
  EXPECT_EQ(editor->GetSelText(), Text());
  EXPECT_EQ(editor->GetSelLength(), editor->GetTextLen());
  editor->SetSelStart(-4);
  EXPECT_EQ(editor->Row(), 0);
  EXPECT_EQ(editor->Col(), 0);
  EXPECT_FALSE(editor->SelectedOrHit());
}

TEST_F(EditorSelectionTest, WrappedRowsJoinWithoutBreaks) {
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  // The wide character does not fit at the end of the first row.
  const std::string text =
      "0123456789abcdefghi\x82\xa0"
      "ABCDEFGHIJKLMNOPQRklm\r\nnext\r\n";
  editor->Lines()->SetText(text);
  ASSERT_EQ(editor->ScreenStrings()->Count(), 4);
  ASSERT_EQ(editor->GetRowString(0), "0123456789abcdefghi");
  editor->SetSelStart(7);
  editor->SetSelLength(16);
  EXPECT_EQ(editor->GetSelText(),
            "789abcdefghi\x82\xa0"
            "AB");
  EXPECT_EQ(editor->Selection().columns, (TSelectionColumns{0, 1, 7, 4}));
  EXPECT_EQ(editor->GetSelStart(), 7);
  editor->SetSelLength(38);
  EXPECT_EQ(editor->GetSelText(),
            "789abcdefghi\x82\xa0"
            "ABCDEFGHIJKLMNOPQRklm\r\nn");

  editor->DeleteSelection();
  EXPECT_EQ(Text(), "0123456ext\r\n");
  EXPECT_EQ(editor->Row(), 0);
  EXPECT_EQ(editor->Col(), 7);
  EXPECT_EQ(UndoSteps(), 1);
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), text);

  // Deleting inside a wrapped line rewraps it and keeps the caret there.
  editor->SetSelStart(21);
  editor->SetSelLength(3);
  EXPECT_EQ(editor->GetSelText(), "ABC");
  editor->DeleteSelection();
  EXPECT_EQ(Text(),
            "0123456789abcdefghi\x82\xa0"
            "DEFGHIJKLMNOPQRklm\r\nnext\r\n");
  EXPECT_EQ(editor->Row(), 1);
  EXPECT_EQ(editor->Col(), 2);
}

TEST_F(EditorSelectionTest, DeletingIsOneEditAndOneUndoStep) {
  editor->Lines()->SetText("one\r\ntwo\r\nthree");
  Select(0, 1, 2, 2);
  EXPECT_EQ(editor->GetSelText(), "ne\r\ntwo\r\nth");
  editor->ClearSelection();
  EXPECT_EQ(Text(), "oree");
  EXPECT_FALSE(editor->SelectedOrHit());
  EXPECT_EQ(editor->Row(), 0);
  EXPECT_EQ(editor->Col(), 1);
  EXPECT_EQ(UndoSteps(), 1);
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), "one\r\ntwo\r\nthree");

  // A selection up to the empty row after the final break takes the break.
  editor->Lines()->SetText("ab\r\ncd\r\n");
  Select(0, 1, 2, 0);
  EXPECT_EQ(editor->GetSelText(), "b\r\ncd\r\n");
  editor->DeleteSelection();
  EXPECT_EQ(Text(), "a");
  EXPECT_EQ(editor->Col(), 1);

  // Nothing selected changes nothing and leaves no step.
  editor->Lines()->SetText("abc");
  Select(0, 1, 0, 1);
  ASSERT_TRUE(editor->Selected());
  editor->DeleteSelection();
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(UndoSteps(), 0);
  EXPECT_FALSE(editor->Selected());

  // A hit is not deleted.
  editor->SetHitStyle(hsDraw);
  editor->SetSelStart(0);
  editor->SetSelLength(2);
  editor->DeleteSelection();
  EXPECT_EQ(Text(), "abc");
}

TEST_F(EditorSelectionTest, ABoxKeepsDoubleByteCharactersAndTabsWholeOnTheSideWhereTheyBegin) {
  // Row 0: a tab over columns 0-7. Row 1: wide characters over columns 1-2
  // and 4-5. The box covers columns 2-4.
  editor->Lines()->SetText(kBoxText);
  editor->SetSelectionMode(TSelectionMode::Box);
  EXPECT_EQ(events.modeChanges, 1);
  editor->SetSelectionMode(TSelectionMode::Box);
  EXPECT_EQ(events.modeChanges, 1);
  editor->Caret()->SetInTab(true);
  Select(0, 2, 2, 5);
  EXPECT_EQ(editor->Col(), 5);
  EXPECT_EQ(editor->Selection().columns, (TSelectionColumns{0, 2, 2, 5}));
  // The tab and the first wide character begin left of the box: they stay
  // out. The second wide character begins inside: it is taken whole.
  EXPECT_EQ(editor->GetSelText(), "\r\nb\x82\xa1\r\ncde\r\n");
  EXPECT_EQ(editor->GetSelLength(), 0 + 3 + 3 + 3 * 2);
  EXPECT_TRUE(editor->IsInSelection(1, 4));
  EXPECT_FALSE(editor->IsInSelection(1, 5));
  EXPECT_FALSE(editor->IsInSelection(3, 3));

  const std::vector<TRowWithoutSelection> rows = editor->RowsWithoutSelection();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].text, "\txy");
  EXPECT_EQ(rows[0].index, 1);
  EXPECT_EQ(rows[1].text,
            "a\x82\xa0"
            "ef");
  EXPECT_EQ(rows[1].index, 3);
  EXPECT_EQ(rows[2].text, "abfgh");
  EXPECT_EQ(rows[2].attribute, raCrlf);

  editor->DeleteSelection();
  EXPECT_EQ(Text(),
            "\txy\r\na\x82\xa0"
            "ef\r\nabfgh\r\n");
  EXPECT_EQ(editor->Row(), 0);
  EXPECT_EQ(editor->Col(), 0);
  EXPECT_EQ(UndoSteps(), 1);
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), kBoxText);
}

TEST_F(EditorSelectionTest, ABoxPastShortRowsKeepsTheCaretOnItsRow) {
  editor->Lines()->SetText("ab\r\nabcdefgh\r\nabcdefgh");
  editor->SetSelectionMode(TSelectionMode::Box);
  Select(0, 4, 2, 6);  // free caret: column 4 lies past the first row
  EXPECT_EQ(editor->GetSelText(), "\r\nef\r\nef\r\n");
  editor->DeleteSelection();
  EXPECT_EQ(Text(), "ab\r\nabcdgh\r\nabcdgh");
  EXPECT_EQ(editor->Row(), 0);
  EXPECT_EQ(editor->Col(), 2);
}

TEST_F(EditorSelectionTest, SwitchingTheModeRecomputesAShownSelection) {
  editor->Lines()->SetText("abcdef\r\nab\r\nabcdef");
  Select(0, 4, 2, 2);
  EXPECT_EQ(editor->GetSelText(), "ef\r\nab\r\nab");
  editor->SetCursor(crArrow);
  editor->SetSelectionMode(TSelectionMode::Box);
  EXPECT_EQ(editor->Cursor(), editor->Caret()->Cursors()->DefaultCursor());
  EXPECT_EQ(editor->Selection().columns, (TSelectionColumns{0, 2, 2, 4}));
  EXPECT_EQ(editor->GetSelText(), "cd\r\n\r\ncd\r\n");
  // Setting a length is always a normal selection.
  editor->SetSelStart(0);
  editor->SetSelLength(3);
  EXPECT_EQ(editor->SelectionMode(), TSelectionMode::Normal);
  EXPECT_EQ(events.modeChanges, 2);

  // Turning ReadOnly on over a selection takes back the drag pointer.
  editor->SetCursor(crArrow);
  editor->SetReadOnly(true);
  EXPECT_EQ(editor->Cursor(), editor->Caret()->Cursors()->DefaultCursor());
  EXPECT_TRUE(editor->ReadOnly());
}

TEST_F(EditorSelectionTest, HitsAreMarkedByTheHitStyle) {
  editor->Lines()->SetText("find the needle here\r\n");
  editor->SetHitStyle(hsDraw);
  editor->SetSelStart(9);
  editor->SetSelLength(6);
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Hit);
  EXPECT_TRUE(editor->SelectionDrawn());
  EXPECT_FALSE(editor->Selected());
  EXPECT_EQ(editor->GetSelText(), "");
  EXPECT_EQ(editor->GetSelStart(), 9);
  EXPECT_EQ(editor->Selection().selLength, 6);
  // A new hit replaces the old one.
  editor->SetSelStart(0);
  editor->SetSelLength(4);
  EXPECT_EQ(editor->GetSelStart(), 0);
  EXPECT_EQ(editor->Selection().columns, (TSelectionColumns{0, 0, 0, 4}));

  // A hit shown as a caret: the caret stays at the hit's start, as wide as
  // the hit, until the hit is dropped.
  editor->SetHitStyle(hsCaret);
  EXPECT_FALSE(editor->SelectedOrHit());
  editor->SetSelStart(9);
  editor->SetSelLength(6);
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Hit);
  EXPECT_FALSE(editor->SelectionDrawn());
  EXPECT_EQ(editor->Col(), 9);
  EXPECT_EQ(CaretState().size.cx, 6 * 6);
  TPoint pos;
  GetCaretPos(pos);
  EXPECT_EQ(pos.x, 19 + 9 * 6);
  editor->CleanSelection();
  EXPECT_EQ(CaretState().size.cx, 2);
  EXPECT_EQ(editor->Selection().selLength, 0);
}

TEST_F(EditorSelectionTest, EditsOfTheTextDropTheSelectionAlsoWithoutAWindow) {
  TEditor* hidden = TEditor::Create(form.get());
  hidden->Lines()->SetText("abc\r\ndef\r\n");
  hidden->SetSelStart(1);
  hidden->SetSelLength(4);
  ASSERT_TRUE(hidden->Selected());
  EXPECT_EQ(hidden->GetSelText(), "bc\r\n");
  hidden->Lines()->Clear();
  EXPECT_FALSE(hidden->SelectedOrHit());
  EXPECT_EQ(hidden->GetSelText(), "");

  editor->Lines()->SetText("abc\r\ndef\r\n");
  editor->SelectAll();
  editor->Lines()->Add("ghi");
  EXPECT_FALSE(editor->SelectedOrHit());

  // An edit made through another view of the same text.
  TEditor* other = TEditor::Create(form.get());
  other->SetParent(form.get());
  other->ExchangeScreenStrings(editor);
  editor->SetSelStart(5);
  editor->SetSelLength(3);
  ASSERT_EQ(editor->GetSelText(), "def");
  other->SetSelStart(0);
  other->SetSelLength(5);
  other->DeleteSelection();
  EXPECT_FALSE(editor->SelectedOrHit());
  editor->DeleteSelection();
  EXPECT_EQ(Text(), "def\r\nghi\r\n");
}

// Painting: a changing selection repaints only its difference, dropping it
// repaints its rows once, and what is shown equals a full repaint.
class EditorSelectionPaintingTest : public EditorSelectionTest {
 protected:
  void SetUp() override {
    EditorSelectionTest::SetUp();
    editor->Marks()->Underline()->SetVisible(true);
    editor->View()->Colors()->Select()->SetBkColor(clNavy);
    editor->View()->Colors()->Select()->SetColor(clWhite);
    editor->SetOnDrawLine(TDrawLineEvent::Of<&SelectionEvents::DrawLine>(&events));
    editor->Lines()->SetText(NumberedLines(8));
    Run();
    events.drawn.clear();
  }
  TSurface Screen() { return backend.Compose(form->Window()); }
  // The screen equals a full repaint of the editor.
  ::testing::AssertionResult SameAsFullPaint() {
    Run();
    const TSurface shown = *form->Window()->Framebuffer();
    editor->Invalidate();
    Run();
    const TSurface& full = *form->Window()->Framebuffer();
    const TPoint o = editor->Window()->ClientOffsetInTop();
    for (int y = 0; y < editor->Height(); ++y)
      for (int x = 0; x < editor->Width(); ++x)
        if (shown.Pixel(o.x + x, o.y + y) != full.Pixel(o.x + x, o.y + y))
          return ::testing::AssertionFailure() << "differs at " << x << "," << y;
    events.drawn.clear();
    return ::testing::AssertionSuccess();
  }
  std::vector<int> Drawn() {
    std::vector<int> rows = events.drawn;
    events.drawn.clear();
    return rows;
  }
};

TEST_F(EditorSelectionPaintingTest, AChangeRepaintsOnlyTheRowsItTouched) {
  Select(1, 2, 3, 4);
  EXPECT_TRUE(SameAsFullPaint());
  editor->SetCol(5);
  editor->UpdateSelection();
  // Only the last row's moved end is drawn: one normal and one selected part
  // at most.
  const std::vector<int> moved = Drawn();
  ASSERT_FALSE(moved.empty());
  for (int row : moved) EXPECT_EQ(row, 3);
  EXPECT_TRUE(SameAsFullPaint());

  editor->SetRowCol(5, 1);
  editor->UpdateSelection();
  for (int row : Drawn()) EXPECT_TRUE(row >= 3 && row <= 5) << row;
  EXPECT_TRUE(SameAsFullPaint());

  editor->SetRowCol(0, 0);
  editor->UpdateSelection();
  EXPECT_TRUE(SameAsFullPaint());

  // Dropping repaints the row above the selection down to its last row.
  editor->CleanSelection();
  const std::vector<int> cleaned = Drawn();
  ASSERT_FALSE(cleaned.empty());
  for (int row : cleaned) EXPECT_TRUE(row >= 0 && row <= 1) << row;
  EXPECT_TRUE(SameAsFullPaint());
}

TEST_F(EditorSelectionPaintingTest, TheCaretRowUnderlineHidesWhileASelectionIsShown) {
  const auto underlined = [&] {
    const TSurface screen = Screen();
    const TPoint o = editor->Window()->ClientOffsetInTop();
    return screen.Pixel(o.x + 60, o.y + editor->UnderlineY(editor->Row())) != ColorToPixel(clWhite);
  };
  editor->SetRowCol(2, 3);
  Run();
  EXPECT_TRUE(underlined());
  editor->StartSelection();
  EXPECT_TRUE(underlined());
  editor->SetCol(5);
  editor->UpdateSelection();
  Run();
  EXPECT_FALSE(underlined());
  editor->SetRowCol(4, 2);
  editor->UpdateSelection();
  Run();
  EXPECT_FALSE(underlined());
  editor->CleanSelection();
  Run();
  EXPECT_TRUE(underlined());
  EXPECT_TRUE(SameAsFullPaint());
}

TEST_F(EditorSelectionPaintingTest, ABoxRepaintsEqualAFullPaint) {
  editor->Lines()->SetText(kBoxText);
  editor->Caret()->SetInTab(true);
  editor->SetSelectionMode(TSelectionMode::Box);
  Select(0, 2, 1, 3);
  EXPECT_TRUE(SameAsFullPaint());
  editor->SetRowCol(2, 4);
  editor->UpdateSelection();
  EXPECT_TRUE(SameAsFullPaint());
  editor->SetRowCol(2, 1);
  editor->UpdateSelection();
  EXPECT_TRUE(SameAsFullPaint());
  editor->SetSelectionMode(TSelectionMode::Normal);
  EXPECT_TRUE(SameAsFullPaint());
  editor->DeleteSelection();
  EXPECT_TRUE(SameAsFullPaint());
}

}  // namespace
}  // namespace corvida
