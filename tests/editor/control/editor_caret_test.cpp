// Caret placement and the caret rules, the view's first row and column,
// the scroll bars' codes and the system caret, with pixel positions from the
// pinned 6 x 12 font.
#include <gtest/gtest.h>

#include <string>

#include "editor/control/editor_fixture.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/ime.h"
#include "platform/winsys/input.h"

namespace corvida {
namespace {

using testing::EditorTest;

class Counter : public TObject {
 public:
  void TopRowChanged(TObject*) { ++topRowChanges; }
  void CaretMoved(TObject*) { ++caretMoves; }
  int topRowChanges = 0;
  int caretMoves = 0;
};

TEST_F(EditorTest, MetricsComeFromTheFontMarginsAndWindowSize) {
  EXPECT_EQ(editor->FontHeight(), 12);
  EXPECT_EQ(editor->ColWidth(), 6);
  EXPECT_EQ(editor->RowHeight(), 12);
  EXPECT_EQ(editor->TextLeft(), 19);
  EXPECT_EQ(editor->TextTop(), 2);
  EXPECT_EQ(editor->VisibleRows(), (130 - 2 - 5) / 12);
  EXPECT_EQ(editor->VisibleCols(), (200 - 19 - 3) / 6);

  editor->Margin()->SetCharacter(2);
  editor->Margin()->SetLine(3);
  editor->Ruler()->SetVisible(true);
  EXPECT_EQ(editor->ColWidth(), 8);
  EXPECT_EQ(editor->RowHeight(), 15);
  EXPECT_EQ(editor->TextTop(), 2 + 11);

  // WM_SIZE refits the visible rows and columns.
  editor->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(editor->VisibleRows(), (300 - 13 - 5) / 15);
  EXPECT_EQ(editor->VisibleCols(), (400 - 19 - 4) / 8);

  int col = 0;
  int row = 0;
  editor->PosToRowCol(19 + 8 * 3 + 5, 13 + 15 * 2 + 1, false, col, row);
  EXPECT_EQ(col, 3);
  EXPECT_EQ(row, 2);
  editor->PosToRowCol(19 + 8 * 3 + 5, 13, true, col, row);
  EXPECT_EQ(col, 4);
}

TEST_F(EditorTest, PointsMapToCharactersOfTheText) {
  editor->Lines()->SetText("a\x82\xa0\tz\r\nq");
  int row = -1;
  int index = -1;
  const auto at = [](int col, int r) { return TPoint{19 + col * 6 + 1, 2 + r * 12 + 3}; };
  ASSERT_TRUE(editor->PosToRowIndex(at(2, 0), row, index));  // second half of the wide character
  EXPECT_EQ(row, 0);
  EXPECT_EQ(index, 1);
  ASSERT_TRUE(editor->PosToRowIndex(at(5, 0), row, index));  // inside the tab
  EXPECT_EQ(index, 3);
  ASSERT_TRUE(editor->PosToRowIndex(at(8, 0), row, index));
  EXPECT_EQ(index, 4);
  EXPECT_FALSE(editor->PosToRowIndex(at(9, 0), row, index));  // past the row's end
  EXPECT_FALSE(editor->PosToRowIndex(at(0, 2), row, index));  // below the rows
  EXPECT_FALSE(editor->PosToRowIndex({5, 5}, row, index));     // left of the text

  EXPECT_EQ(editor->IndentWidth(""), -1);
  EXPECT_EQ(editor->IndentWidth("x"), 0);
  EXPECT_EQ(editor->IndentWidth(" \x81\x40\tx"), 8);
  EXPECT_EQ(editor->ExpandTabs("ab\tc"), "ab      c");
  EXPECT_EQ(editor->GetRowString(7), "");
  EXPECT_EQ(editor->GetRowAttribute(7), raEof);
}

TEST_F(EditorTest, RowsClampToTheTextAndItsFinalBreak) {
  editor->SetRow(5);
  EXPECT_EQ(editor->Row(), 0);
  editor->Lines()->SetText("ab\r\n");
  editor->SetRow(5);
  EXPECT_EQ(editor->Row(), 1);
  editor->Lines()->SetText("ab");
  editor->SetRow(1);
  EXPECT_EQ(editor->Row(), 0);
  editor->SetRow(-3);
  EXPECT_EQ(editor->Row(), 0);
}

TEST_F(EditorTest, ColumnsStopAtTheLimitAndNeverInsideACharacterOrTab) {
  editor->Lines()->SetText(std::string(1200, 'a') + "\r\n" + std::string(999, 'a') + "\x82\xa0xyz\r\n" +
                           "a\x82\xa0z\r\n" + "\tb\r\n");
  editor->SetRowCol(0, 0);
  editor->SetCol(5000);
  EXPECT_EQ(editor->Col(), 1000);
  editor->SetRow(1);
  editor->SetCol(5000);
  EXPECT_EQ(editor->Col(), 1001);

  // Onto the second half of a double-byte character: past it going right,
  // before it going left.
  editor->SetRowCol(2, 0);
  editor->SetCol(2);
  EXPECT_EQ(editor->Col(), 3);
  editor->SetCol(2);
  EXPECT_EQ(editor->Col(), 1);
  // SetRowCol lands on the character's start and on a tab itself.
  editor->SetRowCol(2, 2);
  EXPECT_EQ(editor->Col(), 1);
  editor->SetRowCol(3, 5);
  EXPECT_EQ(editor->Col(), 0);
  editor->Caret()->SetInTab(true);
  editor->SetRowCol(3, 4);
  EXPECT_EQ(editor->Col(), 4);
}

TEST_F(EditorTest, KeepCaretReturnsToTheRememberedColumn) {
  editor->Caret()->SetFreeCaret(false);
  editor->Caret()->SetKeepCaret(true);
  editor->Lines()->SetText(std::string(30, 'a') + "\r\n12345\r\n" + std::string(30, 'b') + "\r\n");
  editor->SetRowCol(0, 20);
  editor->SetRow(1);
  EXPECT_EQ(editor->Col(), 5);
  editor->SetRow(2);
  EXPECT_EQ(editor->Col(), 20);
  // A horizontal move forgets it.
  editor->SetRow(1);
  editor->SetCol(3);
  editor->SetRow(2);
  EXPECT_EQ(editor->Col(), 3);
}

TEST_F(EditorTest, FreeRowKeepsTheColumnOnVerticalMovesOnly) {
  editor->Caret()->SetFreeCaret(false);
  editor->Caret()->SetFreeRow(true);
  editor->Lines()->SetText(std::string(30, 'a') + "\r\n12345\r\n");
  editor->SetRowCol(0, 20);
  editor->SetRow(1);
  EXPECT_EQ(editor->Col(), 20);
  editor->SetCol(21);
  EXPECT_EQ(editor->Col(), 5);
}

TEST_F(EditorTest, CaretOffsetsCountLineBreaksAsTwo) {
  editor->Lines()->SetText("abc\r\n\tde\r\nxy");
  editor->PlaceCaretAtOffset(0, 6);
  EXPECT_EQ(editor->Row(), 1);
  EXPECT_EQ(editor->Col(), 8);
  EXPECT_EQ(editor->CharOffset(0, 1, 9), 7);
  EXPECT_EQ(editor->CharOffset(0, 1, 4), 5);  // inside the tab: the tab itself
  editor->PlaceCaretAtOffset(0, 100);
  EXPECT_EQ(editor->Row(), 2);
  EXPECT_EQ(editor->Col(), 2);
  editor->PlaceCaretAtOffset(1, 1);
  EXPECT_EQ(editor->Row(), 1);
  EXPECT_EQ(editor->Col(), 8);
}

// With word wrap the rows of one line share its number; offsets run on
// across the wrapped rows without a break between them.
TEST_F(EditorTest, WrappedRowsMapToTheirLineAndOffsets) {
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  editor->Lines()->SetText(std::string(45, 'a') + "\r\nb\r\n" + std::string(25, 'c') + "\r\n");
  // Rows: a x20, a x20, a x5 | b | c x20, c x5 | (the empty row after the last break)
  const int lines[] = {0, 0, 0, 1, 2, 2, 3};
  for (int row = 0; row < 7; ++row) EXPECT_EQ(editor->RowToLine(row), lines[row]) << row;
  EXPECT_EQ(editor->Lines()->Count(), 3);
  EXPECT_EQ(editor->Lines()->LineToRow(2), 4);
  EXPECT_EQ(editor->GetTextLen(), 45 + 1 + 25 + 6);
  EXPECT_EQ(editor->CharOffset(0, 2, 3), 43);
  editor->PlaceCaretAtOffset(1, 21);
  EXPECT_EQ(editor->Row(), 2);
  EXPECT_EQ(editor->Col(), 1);

  // A line inserted above moves the numbers below it on.
  editor->ScreenStrings()->ChangeRows(3, 0, "new\r\n");
  EXPECT_EQ(editor->RowToLine(4), 2);
  EXPECT_EQ(editor->RowToLine(6), 3);
  EXPECT_EQ(editor->Lines()->LineToRow(3), 5);
  EXPECT_EQ(editor->GetTextLen(), 45 + 1 + 25 + 3 + 8);

  editor->SetWordWrap(false);
  EXPECT_EQ(editor->RowToLine(2), 2);
}

TEST_F(EditorTest, TheViewFollowsTheCaretAndTheSystemCaretSitsOnIt) {
  Counter counter;
  editor->SetOnTopRowChange(TNotifyEvent::Of<&Counter::TopRowChanged>(&counter));
  editor->SetOnCaretMoved(TNotifyEvent::Of<&Counter::CaretMoved>(&counter));
  editor->Lines()->SetText(NumberedLines(40) + std::string(100, 'w'));
  const int rows = editor->VisibleRows();
  editor->SetRowCol(25, 3);
  EXPECT_EQ(editor->TopRow(), 25 - rows + 1);
  EXPECT_GE(counter.topRowChanges, 1);
  EXPECT_GE(counter.caretMoves, 1);
  EXPECT_EQ(CaretState().owner, editor->Handle());
  EXPECT_EQ(CaretState().size, (TSize{2, 12}));
  EXPECT_EQ(CaretState().pos, (TPoint{19 + 3 * 6, 2 + 12 * (rows - 1)}));
  EXPECT_TRUE(CaretVisible());

  editor->SetRow(2);
  EXPECT_EQ(editor->TopRow(), 2);
  EXPECT_EQ(CaretState().pos, (TPoint{19 + 3 * 6, 2}));

  // Sideways the view jumps by at least a quarter of its columns.
  const int cols = editor->VisibleCols();
  editor->SetRowCol(40, cols + 1);
  EXPECT_EQ(editor->TopCol(), cols / 4);
  EXPECT_EQ(CaretState().pos.x, 19 + (cols + 1 - cols / 4) * 6);
  editor->SetCol(0);
  EXPECT_EQ(editor->TopCol(), 0);

  // A brief caret is an underline one character wide.
  editor->Caret()->SetStyle(csBrief);
  EXPECT_EQ(CaretState().size, (TSize{6, 2}));
}

TEST_F(EditorTest, FocusCreatesAndDestroysTheSystemCaret) {
  editor->Lines()->SetText("abc");
  editor->Window()->Perform(WM_KILLFOCUS);
  EXPECT_NE(CaretState().owner, editor->Handle());
  editor->Window()->Perform(WM_SETFOCUS);
  EXPECT_EQ(CaretState().owner, editor->Handle());
  EXPECT_TRUE(CaretVisible());
  // Hidden inside an update bracket, shown once the outermost closes.
  editor->CaretBeginUpdate();
  editor->CaretBeginUpdate();
  EXPECT_FALSE(CaretVisible());
  editor->CaretEndUpdate();
  EXPECT_FALSE(CaretVisible());
  editor->CaretEndUpdate();
  EXPECT_TRUE(CaretVisible());
}

TEST_F(EditorTest, VerticalScrollCodesMoveTheViewWithinItsRange) {
  editor->SetScrollBars(ssVertical);
  editor->Lines()->SetText(NumberedLines(60));
  editor->SetRowCol(0, 0);
  const int rows = editor->VisibleRows();
  EXPECT_EQ(editor->MaxTopRow(), 60 + rows - 1);
  EXPECT_EQ(VScroll(SB_LINEDOWN), 0);
  EXPECT_EQ(editor->TopRow(), 1);
  VScroll(SB_PAGEDOWN);
  EXPECT_EQ(editor->TopRow(), 1 + rows);
  VScroll(SB_LINEUP);
  EXPECT_EQ(editor->TopRow(), rows);
  VScroll(SB_PAGEUP);
  EXPECT_EQ(editor->TopRow(), 0);
  VScroll(SB_LINEUP);
  EXPECT_EQ(editor->TopRow(), 0);
  VScroll(SB_BOTTOM);
  EXPECT_EQ(editor->TopRow(), 60);
  EXPECT_EQ(editor->Window()->GetScrollPos(SB_VERT), 60);
  VScroll(SB_TOP);
  EXPECT_EQ(editor->TopRow(), 0);
  editor->Window()->SetScrollTrackPos(SB_VERT, 33);
  VScroll(SB_THUMBTRACK);
  EXPECT_EQ(editor->TopRow(), 33);
  VScroll(SB_ENDSCROLL);
  EXPECT_EQ(editor->TopRow(), 33);
  // Scrolling does not move the caret unless it is locked to the view.
  EXPECT_EQ(editor->Row(), 0);
}

TEST_F(EditorTest, LockScrollMovesTheCaretByWhatTheViewMoved) {
  editor->SetScrollBars(ssVertical);
  editor->Caret()->SetLockScroll(true);
  editor->Lines()->SetText(NumberedLines(60));
  editor->SetRowCol(55, 0);
  const int top = editor->TopRow();
  editor->Window()->SetScrollTrackPos(SB_VERT, 500);
  VScroll(SB_THUMBTRACK);
  EXPECT_EQ(editor->TopRow(), 60);
  EXPECT_EQ(editor->Row(), 60);
  editor->Window()->SetScrollTrackPos(SB_VERT, 50);
  VScroll(SB_THUMBPOSITION);
  EXPECT_EQ(editor->TopRow(), 50);
  EXPECT_EQ(editor->Row(), 50);
  EXPECT_NE(top, 50);
}

TEST_F(EditorTest, HorizontalScrollCodesMoveTheFirstColumn) {
  editor->SetScrollBars(ssBoth);
  editor->Lines()->SetText(std::string(2000, 'h'));
  const int cols = editor->VisibleCols();
  TScrollInfo info;
  editor->Window()->GetScrollInfo(SB_HORZ, info);
  EXPECT_EQ(info.nMax, cols / 2 + 1000);
  EXPECT_EQ(info.nPage, cols);
  HScroll(SB_LINERIGHT);
  EXPECT_EQ(editor->TopCol(), 1);
  HScroll(SB_PAGERIGHT);
  EXPECT_EQ(editor->TopCol(), 1 + cols);
  HScroll(SB_PAGELEFT);
  HScroll(SB_LINELEFT);
  EXPECT_EQ(editor->TopCol(), 0);
  HScroll(SB_THUMBTRACK, 200);
  EXPECT_EQ(editor->TopCol(), 200);
  EXPECT_EQ(editor->Window()->GetScrollPos(SB_HORZ), 200);
  HScroll(SB_RIGHT);
  EXPECT_EQ(editor->TopCol(), 1000 - cols / 2);
  HScroll(SB_LEFT);
  EXPECT_EQ(editor->TopCol(), 0);
}

TEST_F(EditorTest, PageMovesCarryTheCaretWithTheView) {
  editor->Lines()->SetText(NumberedLines(60));
  editor->SetRowCol(3, 0);
  editor->ScrollPage(10);
  EXPECT_EQ(editor->TopRow(), 10);
  EXPECT_EQ(editor->Row(), 13);
  editor->ScrollPage(-30);
  EXPECT_EQ(editor->TopRow(), 0);
  EXPECT_EQ(editor->Row(), 3);
  editor->ScrollPage(-5);
  EXPECT_EQ(editor->Row(), 0);
}

TEST_F(EditorTest, ScrollingMovesPixelsAndRepaintsOnlyTheUncoveredStrip) {
  editor->Lines()->SetText(NumberedLines(60));
  Run();
  TWindow* w = editor->Window();
  TSurface* fb = form->Window()->Framebuffer();
  const TPoint origin = w->ClientOffsetInTop();
  // Mark one pixel of row 3, scroll by one row: the mark moves up one row.
  fb->SetPixel(origin.x + 30, origin.y + 2 + 12 * 3 + 4, 0xFF123456u);
  editor->SetTopRow(1);
  EXPECT_EQ(fb->Pixel(origin.x + 30, origin.y + 2 + 12 * 2 + 4), 0xFF123456u);
  // A jump of more rows than fit moves nothing: all of it is repainted.
  editor->SetTopRow(40);
  EXPECT_EQ(editor->TopRow(), 40);
  TRect pending;
  EXPECT_FALSE(w->GetUpdateRect(pending));
}

// Where the composition window of the editor's input context stands.
TPoint ImeWindowPos(TEditor& editor) {
  const HIMC context = ImmGetContext(editor.Window());
  TCompositionForm form;
  ImmGetCompositionWindow(context, form);
  ImmReleaseContext(editor.Window(), context);
  return form.ptCurrentPos;
}

TEST_F(EditorTest, UnderWordWrapTheCaretStaysInsideTheRowsItWrapsTo) {
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  editor->Lines()->SetText(std::string(18, 'a') + "\x82\xa0" + "tail\r\n" + std::string(30, 'b'));
  ASSERT_EQ(editor->GetRowAttribute(0), raWrapped);
  // The end of a wrapped row is the start of the next: the caret stops
  // before the last character, off a double-byte character's second half.
  editor->SetRowCol(0, 25);
  EXPECT_EQ(editor->Col(), 18);
  editor->SetRowCol(0, 17);
  EXPECT_EQ(editor->Col(), 17);
  // A free caret on the line's last row goes up to the wrap margin.
  editor->SetRowCol(1, 15);
  EXPECT_EQ(editor->Col(), 15);
  editor->SetRowCol(1, 40);
  EXPECT_EQ(editor->Col(), 19);
  // A vertical move remembers the column it could not keep.
  editor->SetRowCol(1, 19);
  editor->SetRow(0);
  EXPECT_EQ(editor->Col(), 18);
  editor->SetRow(1);
  EXPECT_EQ(editor->Col(), 19);
}

TEST_F(EditorTest, ARepeatedKeyDefersTheInputMethodWindowUntilTheKeyIsUp) {
  editor->Lines()->SetText(NumberedLines(5));
  InjectKeyDown(VK_DOWN);
  Run();
  EXPECT_EQ(ImeWindowPos(*editor), (TPoint{19, 2 + 12}));
  InjectKeyDown(VK_DOWN, true);
  InjectKeyDown(VK_DOWN, true);
  Run();
  EXPECT_EQ(editor->Row(), 3);
  EXPECT_EQ(ImeWindowPos(*editor), (TPoint{19, 2 + 12}));
  InjectKeyUp(VK_DOWN);
  Run();
  EXPECT_EQ(ImeWindowPos(*editor), (TPoint{19, 2 + 36}));
  // A typed character catches up with the caret before it is inserted.
  InjectKeyDown(VK_UP);
  InjectKeyDown(VK_UP, true);
  InjectText("x");
  Run();
  EXPECT_EQ(editor->Lines()->Strings(1), "xline 1");
  EXPECT_EQ(ImeWindowPos(*editor), (TPoint{19, 2 + 12}));
  InjectKeyUp(VK_UP);
  Run();
  EXPECT_EQ(ImeWindowPos(*editor), (TPoint{19 + 6, 2 + 12}));
}

TEST_F(EditorTest, OverwriteAndBriefCaretsCoverTheCharacterUnderThem) {
  editor->Lines()->SetText("a\x82\xa0");
  editor->SetRowCol(0, 0);
  editor->SetOverWrite(true);
  editor->UpdateCaret();
  EXPECT_EQ(CaretState().size, (TSize{6, 12}));
  EXPECT_EQ(CaretState().pos, (TPoint{19, 2}));
  editor->SetCol(1);
  EXPECT_EQ(CaretState().size, (TSize{12, 12}));
  // The overwrite block wins over the brief style and sits on the row.
  editor->Caret()->SetStyle(csBrief);
  EXPECT_EQ(CaretState().size, (TSize{12, 12}));
  EXPECT_EQ(CaretState().pos, (TPoint{19 + 6, 2}));
  editor->SetOverWrite(false);
  editor->UpdateCaret();
  EXPECT_EQ(CaretState().size, (TSize{12, 2}));
  EXPECT_EQ(CaretState().pos, (TPoint{19 + 6, 2 + 12 - 2}));
  editor->SetCol(3);
  EXPECT_EQ(CaretState().size, (TSize{6, 2}));
}

}  // namespace
}  // namespace corvida
