// Painting of the text area, read back from the composed headless screen:
// a face-count report in the report pane's colours, the end marks and the
// caret-row underline.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "editor/control/editor_fixture.h"
#include "editor/highlight/editor_fountain.h"
#include "platform/winsys/sys_colors.h"

namespace corvida {
namespace {

class EditorPaintTest : public testing::EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    editor->SetBounds(0, 0, 260, 120);
    TEditorViewInfo* view = editor->View();
    view->SetCommenter("//");
    view->Colors()->Int()->SetColor(clBlue);
    view->Colors()->Reserve()->SetColor(clBlue);
    view->Colors()->Comment()->SetColor(clBlack);
    TStringList words;
    words.Add("total");
    editor->SetReserveWordList(&words);
    editor->Marks()->EofMark()->SetColor(clSilver);
    editor->Marks()->EofMark()->SetVisible(true);
    editor->Marks()->RetMark()->SetVisible(true);
    editor->Marks()->Underline()->SetVisible(true);
  }

  // How many pixels of colour c the cell (row, col) of the view holds.
  int CellPixels(int row, int col, TColor c, int cells = 1) {
    const TSurface screen = backend.Compose(form->Window());
    const TPoint origin = editor->Window()->ClientOffsetInTop();
    const int x0 = origin.x + editor->TextLeft() + (col - editor->TopCol()) * 6;
    const int y0 = origin.y + editor->TextTop() + (row - editor->TopRow()) * editor->RowHeight();
    int n = 0;
    for (int y = y0; y < y0 + 12; ++y)
      for (int x = x0; x < x0 + 6 * cells; ++x) n += screen.Pixel(x, y) == ColorToPixel(c);
    return n;
  }
  uint32_t ClientPixel(int x, int y) {
    const TPoint origin = editor->Window()->ClientOffsetInTop();
    return backend.Compose(form->Window()).Pixel(origin.x + x, origin.y + y);
  }
};

TEST_F(EditorPaintTest, AReportInItsColoursWithEndMarksAndTheCaretRowUnderline) {
  editor->Lines()->Add("// cube.mqo");
  editor->Lines()->Add("       6 obj1");
  editor->Lines()->Add("      18 total");
  editor->Lines()->Add("-----");
  editor->SetRowCol(1, 0);
  Run();

  // Row 0 is a comment: black on white from "//" to its end.
  EXPECT_GT(CellPixels(0, 3, clBlack, 4), 10);
  EXPECT_EQ(CellPixels(0, 0, clBlue, 11), 0);
  // Counts and the reserved word in blue, object names in the font colour.
  EXPECT_GT(CellPixels(1, 7, clBlue), 5);
  EXPECT_EQ(CellPixels(1, 7, clBlack), 0);
  EXPECT_GT(CellPixels(1, 9, clBlack, 4), 10);
  EXPECT_EQ(CellPixels(1, 9, clBlue, 4), 0);
  EXPECT_GT(CellPixels(2, 6, clBlue, 2), 10);
  EXPECT_GT(CellPixels(2, 9, clBlue, 5), 20);
  // A return arrow after each row's text, "[EOF]" on the empty last row.
  EXPECT_GT(CellPixels(1, 13, clGray), 5);
  EXPECT_GT(CellPixels(3, 5, clGray), 5);
  EXPECT_GT(CellPixels(4, 0, clSilver, 5), 20);
  EXPECT_EQ(CellPixels(4, 0, clGray, 5), 0);

  // The underline sits on the pixel row under the caret row and follows it.
  const int underline = editor->TextTop() + editor->RowHeight() * 1 + editor->FontHeight();
  EXPECT_EQ(editor->UnderlineY(1), underline);
  EXPECT_EQ(ClientPixel(editor->TextLeft() + 100, underline), ColorToPixel(clGray));
  editor->SetRow(3);
  EXPECT_EQ(ClientPixel(editor->TextLeft() + 100, underline), ColorToPixel(clWhite));
  EXPECT_EQ(ClientPixel(editor->TextLeft() + 100, editor->UnderlineY(3)), ColorToPixel(clGray));

  if (const char* dir = std::getenv("CORVIDA_SCREENSHOT_DIR"))
    backend.SaveScreen(form->Window(), (std::filesystem::path(dir) / "editor_report.png").string());
}

TEST_F(EditorPaintTest, EofFollowsTextWithoutAFinalBreakAndAnEmptyTextShowsItAtTheTop) {
  Run();
  EXPECT_GT(CellPixels(0, 0, clSilver, 5), 20);
  editor->Lines()->SetText("abc");
  Run();
  EXPECT_EQ(CellPixels(0, 0, clSilver, 3), 0);
  EXPECT_GT(CellPixels(0, 3, clSilver, 5), 20);
  EXPECT_EQ(CellPixels(1, 0, clSilver, 5), 0);
}

TEST_F(EditorPaintTest, TextPastColumn1000IsCutAndMarked) {
  editor->Marks()->HideMark()->SetVisible(true);
  editor->Lines()->SetText(std::string(1200, 'a') + "\r\n");
  editor->SetRowCol(0, 1000);
  // Without the focus no caret covers the cells.
  editor->Window()->Perform(WM_KILLFOCUS);
  Run();
  ASSERT_GT(editor->TopCol(), 990 - editor->VisibleCols());
  EXPECT_GT(CellPixels(0, 999, clBlack), 3);
  EXPECT_EQ(CellPixels(0, 1000, clBlack), 0);
  EXPECT_GT(CellPixels(0, 1000, clGray), 3);
}

TEST_F(EditorPaintTest, ADoubleByteCharacterAtColumn999IsDrawnWholeBeforeTheHideMark) {
  editor->Marks()->HideMark()->SetVisible(true);
  editor->Lines()->SetText(std::string(999, 'a') + "\x8a\xbf" + std::string(50, 'b') + "\r\n");
  editor->SetRowCol(0, 1001);
  editor->Window()->Perform(WM_KILLFOCUS);
  Run();
  EXPECT_GT(CellPixels(0, 999, clBlack), 3);
  EXPECT_GT(CellPixels(0, 1000, clBlack), 3);
  EXPECT_EQ(CellPixels(0, 1001, clBlack), 0);
  EXPECT_GT(CellPixels(0, 1001, clGray), 3);
}

TEST_F(EditorPaintTest, AnUnderlinedTokenGetsADottedLine) {
  editor->View()->Colors()->Reserve()->SetStyle(fsUnderline);
  editor->Lines()->SetText("total 1\r\n");
  editor->SetRowCol(1, 0);
  Run();
  // Dots from the token's first pixel to the one after its last, inclusive.
  const int y = editor->TextTop() + editor->FontHeight() - 1;
  for (int k = 0; k <= 30; ++k)
    EXPECT_EQ(ClientPixel(editor->TextLeft() + k, y), ColorToPixel(k % 2 == 0 ? clBlue : clWhite)) << k;
}

TEST_F(EditorPaintTest, ASelectedTokenKeepsItsBoldOrUnderlineInTheSelectionColours) {
  editor->View()->Colors()->Select()->SetBkColor(clNavy);
  editor->View()->Colors()->Select()->SetColor(clWhite);
  editor->Lines()->SetText("total 1\r\n");
  testing::SelectRange(*editor, 0, 0, 0, 7);
  const auto ink = [&](TFontStyles style) {
    editor->View()->Colors()->Reserve()->SetStyle(style);
    Run();
    EXPECT_EQ(CellPixels(0, 0, clBlue, 5), 0) << "a selection takes no token colour";
    return CellPixels(0, 0, clWhite, 5);
  };
  const int plain = ink(0);
  for (TFontStyles style : {TFontStyles(fsBold), TFontStyles(fsUnderline)}) EXPECT_GT(ink(style), plain + 5) << style;
}

TEST_F(EditorPaintTest, AWrappedRowEndsInAChevron) {
  editor->Marks()->WrapMark()->SetVisible(true);
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  editor->Lines()->SetText(std::string(25, 'a') + "\r\n");
  editor->SetRowCol(1, 0);
  Run();
  // E = 3 for 6-pixel columns: (x+6, y-3) to (x+3, y) to (x+7, y+4), the
  // last point left out.
  const int x = editor->TextLeft() + 20 * 6;
  const int y = editor->TextTop() + 6;
  for (const TPoint p : {TPoint{x + 6, y - 3}, TPoint{x + 5, y - 2}, TPoint{x + 3, y}, TPoint{x + 6, y + 3}})
    EXPECT_EQ(ClientPixel(p.x, p.y), ColorToPixel(clGray)) << p.x - x << "," << p.y - y;
  EXPECT_EQ(ClientPixel(x + 7, y + 4), ColorToPixel(clWhite));
  // The row that goes on to its line break has the arrow instead.
  EXPECT_GT(CellPixels(1, 5, clGray), 0);
}

TEST_F(EditorPaintTest, AnItalicColourSlantsItsTokensOverTheFilledRow) {
  editor->View()->Colors()->Int()->SetStyle(fsItalic);
  editor->Lines()->SetText("12ab\r\n");
  editor->SetRowCol(1, 0);
  Run();
  ASSERT_TRUE(editor->ItalicMode());
  const auto digits = [&] {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) pixels.push_back(ClientPixel(editor->TextLeft() + x, editor->TextTop() + y));
    return pixels;
  };
  const std::vector<uint32_t> slanted = digits();
  EXPECT_GT(CellPixels(0, 0, clBlue, 2), 6);
  EXPECT_GT(CellPixels(0, 2, clBlack, 2), 6);
  editor->View()->Colors()->Int()->SetStyle(0);
  Run();
  EXPECT_FALSE(editor->ItalicMode());
  EXPECT_GT(CellPixels(0, 0, clBlue, 2), 6);
  EXPECT_NE(digits(), slanted);
}

// The pixel rows under the text are the background's: turning the underline
// on moves the rows, and no glyph pixels of the old places stay behind.
TEST_F(EditorPaintTest, PixelRowsBetweenTextRowsKeepNothingStale) {
  editor->Marks()->Underline()->SetVisible(false);
  editor->Margin()->SetLine(2);
  editor->Lines()->SetText(NumberedLines(6));
  editor->SetRowCol(5, 0);
  Run();
  editor->Marks()->Underline()->SetVisible(true);
  editor->SetColor(clYellow);
  Run();
  ASSERT_EQ(editor->RowHeight(), 12 + 2 + 1);
  for (int row = 0; row < 5; ++row)
    for (int dy = 12; dy < 15; ++dy) {
      const int y = editor->TextTop() + row * editor->RowHeight() + dy;
      for (int x = editor->TextLeft(); x < editor->TextLeft() + 60; ++x)
        ASSERT_EQ(ClientPixel(x, y), ColorToPixel(clYellow)) << row << ": " << x << "," << y;
    }
}

TEST_F(EditorPaintTest, AnAttachedFountainColoursTheTextUntilItGoes) {
  editor->Lines()->SetText("12 ab\r\n");
  auto* fountain = TFountain::Create<TEditorFountain>(form.get());
  fountain->Colors()->Int()->SetColor(clRed);
  editor->SetFountain(fountain);
  Run();
  EXPECT_GT(CellPixels(0, 0, clRed, 2), 10);
  EXPECT_EQ(CellPixels(0, 0, clBlue, 2), 0);
  // A change of the shared fountain repaints the editor.
  fountain->Colors()->Int()->SetColor(clGreen);
  Run();
  EXPECT_GT(CellPixels(0, 0, clGreen, 2), 10);
  delete fountain;
  Run();
  EXPECT_GT(CellPixels(0, 0, clBlue, 2), 10);
}

// Edits repaint only what they change (scrolling the pixels of the rows
// below): the result must equal a full paint of the same text.
TEST_F(EditorPaintTest, IncrementalRepaintsEqualAFullPaint) {
  editor->SetBounds(0, 0, 200, 150);
  auto* full = TEditor::Create(form.get());
  full->Font()->SetHeight(-12);
  full->Imagebar()->SetVisible(false);
  full->SetParent(form.get());
  full->SetBounds(0, 200, 200, 150);
  full->SetView(editor->View());
  full->SetReserveWordList(editor->ReserveWordList());
  editor->Marks()->Underline()->SetVisible(false);
  full->SetMarks(editor->Marks());
  Run();
  const auto same = [&] {
    full->Lines()->SetText(editor->Lines()->GetTextStr());
    Run();
    const TSurface& screen = *form->Window()->Framebuffer();
    const TPoint a = editor->Window()->ClientOffsetInTop();
    const TPoint b = full->Window()->ClientOffsetInTop();
    for (int y = 0; y < 140; ++y)
      for (int x = 0; x < 190; ++x)
        if (screen.Pixel(a.x + x, a.y + y) != screen.Pixel(b.x + x, b.y + y))
          return ::testing::AssertionFailure() << "differs at " << x << "," << y;
    return ::testing::AssertionSuccess();
  };
  editor->Lines()->SetText(NumberedLines(8));
  EXPECT_TRUE(same());
  editor->Lines()->Insert(2, "inserted 12");
  EXPECT_TRUE(same());
  editor->Lines()->Delete(0);
  EXPECT_TRUE(same());
  editor->Lines()->Put(3, "// changed");
  EXPECT_TRUE(same());
  editor->Lines()->Add("total 99");
  EXPECT_TRUE(same());
  editor->Lines()->Delete(editor->Lines()->Count() - 1);
  editor->Lines()->Delete(1);
  EXPECT_TRUE(same());
}

TEST_F(EditorPaintTest, TwoEditorsOnOneStoreBothShowAnEditMadeInEither) {
  auto* second = TEditor::Create(form.get());
  second->Font()->SetHeight(-12);
  second->Imagebar()->SetVisible(false);
  second->SetParent(form.get());
  second->SetBounds(0, 200, 200, 100);
  editor->Lines()->Add("first");
  second->ExchangeScreenStrings(editor);
  Run();
  second->Lines()->Add("second");
  Run();
  const TSurface& screen = *form->Window()->Framebuffer();
  for (TEditor* e : {editor, static_cast<TEditor*>(second)}) {
    const TPoint o = e->Window()->ClientOffsetInTop();
    int ink = 0;
    for (int y = 14; y < 26; ++y)
      for (int x = 19; x < 19 + 36; ++x) ink += screen.Pixel(o.x + x, o.y + y) == ColorToPixel(clBlack);
    EXPECT_GT(ink, 30) << e->Name();
  }
  EXPECT_TRUE(editor->Modified());
  EXPECT_TRUE(second->Modified());
}

class EditorSelectionPaintTest : public testing::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    editor = TEditor::Create(form.get());
    editor->Font()->SetHeight(-12);
    editor->Imagebar()->SetVisible(false);
    editor->SetParent(form.get());
    editor->SetBounds(0, 0, 200, 100);
    editor->View()->Colors()->Select()->SetBkColor(clNavy);
    editor->View()->Colors()->Select()->SetColor(clWhite);
    editor->Lines()->SetText("abcdef\r\nghijkl\r\nmnopqr\r\n");
    form->Show();
    Run();
  }
  // The cell's pixels of colour c.
  int CellPixels(int row, int col, TColor c) {
    const TSurface screen = backend.Compose(form->Window());
    const TPoint o = editor->Window()->ClientOffsetInTop();
    int n = 0;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 6; ++x)
        n += screen.Pixel(o.x + 19 + col * 6 + x, o.y + 2 + row * 12 + y) == ColorToPixel(c);
    return n;
  }
  void Select(int row0, int col0, int row1, int col1) { testing::SelectRange(*editor, row0, col0, row1, col1); }
  TEditor* editor = nullptr;
};

TEST_F(EditorSelectionPaintTest, ASelectionAcrossRowsIsDrawnInTheSelectColours) {
  Select(0, 2, 1, 3);
  Run();
  EXPECT_EQ(CellPixels(0, 1, clNavy), 0);
  EXPECT_GT(CellPixels(0, 2, clNavy), 20);
  EXPECT_GT(CellPixels(0, 2, clWhite), 5);  // the letter
  EXPECT_GT(CellPixels(0, 10, clNavy), 60);  // on to the right edge
  EXPECT_GT(CellPixels(1, 0, clNavy), 20);
  EXPECT_GT(CellPixels(1, 2, clNavy), 20);
  EXPECT_EQ(CellPixels(1, 3, clNavy), 0);
  EXPECT_EQ(CellPixels(2, 0, clNavy), 0);

  // A box covers the same columns on every row.
  editor->SetSelectionMode(TSelectionMode::Box);
  Select(0, 1, 2, 3);
  Run();
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(CellPixels(row, 0, clNavy), 0);
    EXPECT_GT(CellPixels(row, 1, clNavy), 20);
    EXPECT_GT(CellPixels(row, 2, clNavy), 20);
    EXPECT_EQ(CellPixels(row, 3, clNavy), 0);
  }
}

TEST_F(EditorSelectionPaintTest, WithoutSelectColoursTheSelectionIsInverted) {
  editor->View()->Colors()->Select()->SetBkColor(clNone);
  editor->View()->Colors()->Select()->SetColor(clNone);
  Select(1, 0, 1, 2);
  Run();
  EXPECT_GT(CellPixels(1, 0, clBlack), 20);
  EXPECT_GT(CellPixels(1, 0, clWhite), 5);
  EXPECT_LT(CellPixels(1, 3, clBlack), 20);  // right of the caret
  // A hit is drawn only when hits are drawn.
  editor->View()->Colors()->Hit()->SetBkColor(clRed);
  editor->SetHitStyle(hsCaret);
  editor->SetSelStart(16);
  editor->SetSelLength(2);
  Run();
  EXPECT_EQ(editor->SelectionState(), TSelectionState::Hit);
  EXPECT_EQ(CellPixels(2, 0, clRed), 0);
  // Changing the hit style drops the shown hit first.
  editor->SetHitStyle(hsDraw);
  EXPECT_FALSE(editor->SelectedOrHit());
  editor->SetSelStart(16);
  editor->SetSelLength(2);
  Run();
  EXPECT_GT(CellPixels(2, 0, clRed), 20);
  // Emptying the text drops the selection.
  editor->Lines()->Clear();
  EXPECT_FALSE(editor->SelectedOrHit());
}

TEST_F(EditorSelectionPaintTest, SelectedEndMarksTakeTheSelectionsTextColour) {
  editor->Marks()->RetMark()->SetVisible(true);
  Select(0, 0, 1, 0);
  Run();
  EXPECT_GT(CellPixels(0, 6, clWhite), 3);
  EXPECT_GT(CellPixels(0, 6, clNavy), 40);
  EXPECT_EQ(CellPixels(0, 6, clGray), 0);
  EXPECT_GT(CellPixels(1, 6, clGray), 3);
  EXPECT_EQ(CellPixels(1, 6, clNavy), 0);
}

class DrawLineRecorder : public TObject {
 public:
  void DrawLine(TObject*, const std::string& s, int, int, int index, const TRect&, bool selected) {
    lines.push_back(std::to_string(index) + ":" + s + (selected ? "*" : ""));
  }
  std::vector<std::string> lines;
};

TEST_F(EditorPaintTest, OnDrawLineSeesEveryRowAndAWrappedRowWithItsContinuation) {
  DrawLineRecorder recorder;
  editor->SetOnDrawLine(TDrawLineEvent::Of<&DrawLineRecorder::DrawLine>(&recorder));
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  editor->Lines()->SetText("short\r\n" + std::string(20, 'x') + "yy\r\n");
  editor->Invalidate();
  recorder.lines.clear();
  Run();
  EXPECT_EQ(recorder.lines,
            (std::vector<std::string>{"0:short", "1:" + std::string(20, 'x') + "yy", "2:yy"}));
}

}  // namespace
}  // namespace corvida
