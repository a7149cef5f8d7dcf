// The edit-control messages answered by the editor: offsets, rows and
// lengths across line breaks and wrapped rows, selection, the buffers of
// EM_GETLINE and WM_GETTEXT, ReadOnly refusals and the cells of characters.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "editor/control/editor_fixture.h"
#include "platform/winsys/clipboard.h"

namespace corvida {
namespace {

using namespace std::string_literals;

class EditMessagesTest : public testing::EditorTest {
 protected:
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return editor->Window()->Perform(msg, w, l); }
  LRESULT Send(UINT msg, int w, int l = 0) {
    return Send(msg, static_cast<WPARAM>(static_cast<intptr_t>(w)), static_cast<LPARAM>(l));
  }
  void SetText(const std::string& text) { Send(WM_SETTEXT, WPARAM{0}, reinterpret_cast<LPARAM>(text.c_str())); }
  std::string Text() const { return editor->Lines()->GetTextStr(); }
  // The packed halves of a result.
  static int Low(LRESULT r) { return LOWORD(static_cast<uintptr_t>(r)); }
  static int High(LRESULT r) { return HIWORD(static_cast<uintptr_t>(r)); }
  // The client point of display column col of row, as the fixture lays rows out.
  static LPARAM Cell(int col, int row) { return MAKELPARAM(19 + 6 * col, 2 + 12 * row); }
};

TEST_F(EditMessagesTest, OffsetsRowsAndLengthsCountLineBreaksAsTwo) {
  SetText("a\r\nbc");
  EXPECT_EQ(Send(EM_GETLINECOUNT), 2);
  EXPECT_EQ(Send(WM_GETTEXTLENGTH), 5);
  EXPECT_EQ(Send(EM_LINEINDEX, 0), 0);
  EXPECT_EQ(Send(EM_LINEINDEX, 1), 3);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 2), 0);  // the CR
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 3), 1);
  EXPECT_EQ(Send(EM_LINELENGTH, 4), 2);
  EXPECT_EQ(Send(EM_LINELENGTH, 1), 1);
  // Out of range: no row 2 after a last row without a line break.
  EXPECT_EQ(Send(EM_LINEINDEX, 2), -1);
  EXPECT_EQ(Send(EM_LINEINDEX, 7), -1);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 99), 1);
  EXPECT_EQ(Send(EM_LINELENGTH, 99), 2);
  editor->SetRowCol(1, 1);
  EXPECT_EQ(Send(EM_LINEINDEX, -1), 3);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, -1), 1);
  EXPECT_EQ(Send(EM_LINELENGTH, -1), 2);
}

TEST_F(EditMessagesTest, TheEmptyRowAfterAFinalLineBreakIsALine) {
  SetText("a\r\n");
  EXPECT_EQ(Send(EM_GETLINECOUNT), 1);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 3), 1);
  EXPECT_EQ(Send(EM_LINEINDEX, 1), 3);
  EXPECT_EQ(Send(EM_LINEINDEX, 2), -1);
  EXPECT_EQ(Send(EM_LINELENGTH, 3), 0);
  editor->SetRowCol(1, 0);
  EXPECT_EQ(Send(EM_LINEINDEX, -1), 3);
  char buffer[4] = {4, 0, 'x', 'x'};
  EXPECT_EQ(Send(EM_GETLINE, WPARAM{1}, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(buffer[2], 'x');

  SetText("");
  EXPECT_EQ(Send(EM_LINEINDEX, 0), 0);
  EXPECT_EQ(Send(EM_LINEINDEX, -1), 0);
}

TEST_F(EditMessagesTest, WrappedRowsAreRowsWithoutLineBreaks) {
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  const std::string long_line(50, 'x');
  SetText(long_line + "\r\nend");
  ASSERT_EQ(Send(EM_GETLINECOUNT), 4);
  EXPECT_EQ(Send(EM_LINEINDEX, 1), 20);
  EXPECT_EQ(Send(EM_LINEINDEX, 2), 40);
  EXPECT_EQ(Send(EM_LINEINDEX, 3), 52);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 20), 1);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 51), 2);
  EXPECT_EQ(Send(EM_LINELENGTH, 45), 10);
  EXPECT_EQ(Send(WM_GETTEXTLENGTH), 55);
}

TEST_F(EditMessagesTest, SelectionByOffsets) {
  SetText("abcdef\r\ngh");
  Send(EM_SETSEL, 5, 2);
  EXPECT_EQ(editor->GetSelStart(), 2);
  EXPECT_EQ(editor->GetSelLength(), 3);
  uint32_t start = 99;
  uint32_t end = 99;
  const LRESULT r = Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(Low(r), 2);
  EXPECT_EQ(High(r), 5);
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 5u);

  Send(EM_SETSEL, 0, -1);
  EXPECT_EQ(editor->GetSelText(), "abcdef\r\ngh");
  Send(EM_SETSEL, 4, -1);
  EXPECT_EQ(editor->GetSelText(), "ef\r\ngh");

  Send(EM_SETSEL, 1, 3);
  editor->SetRowCol(0, 3);
  Send(EM_SETSEL, -1, 0);
  EXPECT_FALSE(editor->Selected());
  EXPECT_EQ(editor->Col(), 3);

  // The characters of the selection's rows left unselected: "a" and "h".
  Send(EM_SETSEL, 1, 9);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, -1), 0);
  EXPECT_EQ(Send(EM_LINELENGTH, -1), 2);
}

TEST_F(EditMessagesTest, BuffersAreFilledAsFarAsTheySay) {
  SetText("hello\r\nworld");
  char line[8] = {1, 0, '#', '#', '#', '#', '#', '#'};
  EXPECT_EQ(Send(EM_GETLINE, WPARAM{1}, reinterpret_cast<LPARAM>(line)), 1);
  EXPECT_EQ(std::string(line, 3), "w\0#"s);
  uint16_t room = 8;
  std::memcpy(line, &room, sizeof room);
  EXPECT_EQ(Send(EM_GETLINE, WPARAM{0}, reinterpret_cast<LPARAM>(line)), 5);
  EXPECT_EQ(std::string(line, 6), "hello#");
  EXPECT_EQ(Send(EM_GETLINE, WPARAM{2}, reinterpret_cast<LPARAM>(line)), 0);
  EXPECT_EQ(Send(EM_GETLINE, WPARAM{0}, LPARAM{0}), 0);

  char text[16] = "###############";
  EXPECT_EQ(Send(WM_GETTEXT, WPARAM{1}, reinterpret_cast<LPARAM>(text)), 0);
  EXPECT_EQ(text[0], '\0');
  EXPECT_EQ(text[1], '#');
  EXPECT_EQ(Send(WM_GETTEXT, WPARAM{0}, reinterpret_cast<LPARAM>(text + 1)), 0);
  EXPECT_EQ(text[1], '#');
  EXPECT_EQ(Send(WM_GETTEXT, WPARAM{9}, reinterpret_cast<LPARAM>(text)), 8);
  EXPECT_STREQ(text, "hello\r\nw");
  EXPECT_EQ(Send(WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 12);
  EXPECT_STREQ(text, "hello\r\nworld");
}

TEST_F(EditMessagesTest, ReadOnlyRefusesChangesButAnswersQuestions) {
  SetText("keep\r\n");
  editor->SetModified(false);
  EXPECT_EQ(Send(EM_SETREADONLY, 1), 1);
  EXPECT_TRUE(editor->ReadOnly());
  EXPECT_EQ(Send(WM_SETTEXT, WPARAM{0}, reinterpret_cast<LPARAM>("gone")), 0);
  Send(EM_SETSEL, 0, 2);
  Send(WM_CLEAR);
  Send(EM_SETMODIFY, 1);
  EXPECT_EQ(Text(), "keep\r\n");
  EXPECT_EQ(Send(EM_GETMODIFY), 0);
  EXPECT_EQ(Send(WM_GETTEXTLENGTH), 6);

  Send(EM_SETREADONLY, 0);
  EXPECT_FALSE(editor->ReadOnly());
  Send(WM_CLEAR);
  EXPECT_EQ(Text(), "ep\r\n");
  EXPECT_EQ(Send(EM_GETMODIFY), 1);
  // Only the low byte counts as the flag.
  Send(EM_SETMODIFY, 0x100);
  EXPECT_EQ(Send(EM_GETMODIFY), 0);
  EXPECT_EQ(Send(WM_SETTEXT, WPARAM{0}, LPARAM{0}), 1);
  EXPECT_EQ(Text(), "");
}

TEST_F(EditMessagesTest, CharacterCellsCountTabsAndDoubleByteColumns) {
  editor->Caret()->SetTabSpaceCount(8);
  // Row 0: a tab and "ab"; row 1: a double-byte character and "x".
  SetText("\tab\r\n\x82\xa0x");
  EXPECT_EQ(Send(EM_POSFROMCHAR, 0), Cell(0, 0));
  EXPECT_EQ(Send(EM_POSFROMCHAR, 1), Cell(8, 0));
  EXPECT_EQ(Send(EM_POSFROMCHAR, 5), Cell(0, 1));
  EXPECT_EQ(Send(EM_POSFROMCHAR, 7), Cell(2, 1));
  EXPECT_EQ(Send(EM_POSFROMCHAR, 8), Cell(3, 1));  // the end of the text
  EXPECT_EQ(Send(EM_POSFROMCHAR, 9), -1);
  EXPECT_EQ(Send(EM_POSFROMCHAR, -1), -1);

  EXPECT_EQ(Send(EM_CHARFROMPOS, WPARAM{0}, Cell(9, 0)), MAKELPARAM(2, 0));
  EXPECT_EQ(Send(EM_CHARFROMPOS, WPARAM{0}, Cell(4, 0)), MAKELPARAM(0, 0));  // inside the tab
  EXPECT_EQ(Send(EM_CHARFROMPOS, WPARAM{0}, Cell(1, 1)), MAKELPARAM(5, 1));  // the trail byte
  EXPECT_EQ(Send(EM_CHARFROMPOS, WPARAM{0}, Cell(2, 1)), MAKELPARAM(7, 1));
  EXPECT_EQ(Send(EM_CHARFROMPOS, WPARAM{0}, Cell(25, 1)), MAKELPARAM(8, 1));
  EXPECT_EQ(Send(EM_CHARFROMPOS, WPARAM{0}, MAKELPARAM(1000, 5)), -1);

  // Scrolled: cells move with the first visible row and column.
  SetText(NumberedLines(40));
  editor->SetTopRow(10);
  editor->SetTopCol(2);
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 10);
  const int offset = static_cast<int>(Send(EM_LINEINDEX, 12)) + 3;
  EXPECT_EQ(Send(EM_POSFROMCHAR, offset), Cell(1, 2));
  EXPECT_EQ(Send(EM_CHARFROMPOS, WPARAM{0}, Cell(1, 2)), MAKELPARAM(offset, 12));
}

TEST_F(EditMessagesTest, APointOnTheRulerAboveTheTextIsOnTheFirstRow) {
  editor->Ruler()->SetVisible(true);
  SetText("abc\r\ndef");
  ASSERT_GE(editor->TextTop(), editor->RowHeight());
  EXPECT_EQ(Send(EM_CHARFROMPOS, WPARAM{0}, MAKELPARAM(editor->TextLeft() + 6 * 2 + 1, 0)), MAKELPARAM(2, 0));
}

TEST_F(EditMessagesTest, ScrollCaretBringsTheCaretAThirdIntoTheView) {
  SetText(NumberedLines(100));
  const int rows = editor->VisibleRows();
  editor->SetRowCol(60, 0);
  editor->SetTopRow(0);
  Send(EM_SCROLLCARET);
  EXPECT_EQ(editor->TopRow(), 60 - rows / 3);
  Send(EM_SCROLLCARET);
  EXPECT_EQ(editor->TopRow(), 60 - rows / 3);
}

TEST_F(EditMessagesTest, EmptyUndoBufferDropsTheHistoryUnlessReadOnly) {
  SetText("abc");
  Send(EM_SETSEL, 0, 1);
  Send(WM_CLEAR);
  auto& undo = editor->ScreenStrings()->UndoObj();
  ASSERT_EQ(undo.UndoList().Count(), 1);
  editor->SetReadOnly(true);
  Send(EM_EMPTYUNDOBUFFER);
  EXPECT_EQ(undo.UndoList().Count(), 1);
  editor->SetReadOnly(false);
  Send(EM_EMPTYUNDOBUFFER);
  EXPECT_EQ(undo.UndoList().Count(), 0);
}

TEST_F(EditMessagesTest, CutAndCopyWithoutASelectionLeaveTheClipboard) {
  SetClipboardText("kept");
  SetText("abc");
  Send(WM_COPY);
  Send(WM_CUT);
  // An empty selection shown is nothing to copy either.
  testing::SelectRange(*editor, 0, 1, 0, 1);
  ASSERT_TRUE(editor->Selected());
  Send(WM_COPY);
  Send(WM_CUT);
  editor->SetReadOnly(true);
  Send(EM_SETSEL, 0, 2);
  Send(WM_CUT);
  EXPECT_EQ(GetClipboardText(), "kept");
  EXPECT_EQ(Text(), "abc");
}

TEST_F(EditMessagesTest, ClipboardReplaceAndUndoMessagesEditTheText) {
  SetText("abcdef");
  Send(EM_SETSEL, 1, 3);
  Send(WM_CUT);
  EXPECT_EQ(GetClipboardText(), "bc");
  EXPECT_EQ(Text(), "adef");
  Send(EM_SETSEL, 4, 4);
  Send(WM_PASTE);
  EXPECT_EQ(Text(), "adefbc");
  Send(EM_SETSEL, 0, 1);
  Send(WM_COPY);
  EXPECT_EQ(GetClipboardText(), "a");
  const std::string replacement = "XY";
  Send(EM_REPLACESEL, WPARAM{0}, reinterpret_cast<LPARAM>(replacement.c_str()));
  EXPECT_EQ(Text(), "XYdefbc");
  EXPECT_EQ(Send(EM_CANUNDO), 1);
  EXPECT_EQ(Send(EM_UNDO), 1);
  EXPECT_EQ(Text(), "adefbc");
  editor->SetReadOnly(true);
  EXPECT_EQ(Send(EM_CANUNDO), 0);
  Send(WM_PASTE);
  EXPECT_EQ(Text(), "adefbc");
}

}  // namespace
}  // namespace corvida
