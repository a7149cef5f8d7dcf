// The bars around the text, read back from the headless framebuffer with
// the pinned 6 x 12 font: the ruler's ticks, numbers and caret mark, the
// left bar's numbers and width, the image bar's marks, and the colours.
#include <gtest/gtest.h>

#include <string>

#include "editor/control/editor_fixture.h"
#include "platform/toolkit/img_list.h"
#include "platform/winsys/sys_colors.h"
#include "support/support_resources.h"

namespace corvida {
namespace {

class EditorBarsTest : public testing::EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    editor->SetBounds(0, 0, 300, 160);
    editor->Imagebar()->SetVisible(true);
    editor->Imagebar()->SetMarkWidth(11);
    editor->Leftbar()->SetVisible(true);
    editor->Ruler()->SetVisible(true);
    editor->Ruler()->SetMarkColor(clNavy);
    Run();
  }

  // A client pixel as painted (the caret is never in the framebuffer).
  uint32_t Pixel(int x, int y) {
    const TPoint o = editor->Window()->ClientOffsetInTop();
    return form->Window()->Framebuffer()->Pixel(o.x + x, o.y + y);
  }
  bool Is(int x, int y, TColor c) { return Pixel(x, y) == ColorToPixel(c); }
  int Count(const TRect& r, TColor c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += Is(x, y, c);
    return n;
  }
  // Whether the client area at (x, y) shows exactly what picture holds.
  bool Shows(int x, int y, const TSurface& picture) {
    for (int py = 0; py < picture.Height(); ++py)
      for (int px = 0; px < picture.Width(); ++px)
        if (Pixel(x + px, y + py) != picture.Pixel(px, py)) return false;
    return true;
  }
  // text in the editor's font, each byte one 6-pixel column.
  TSurface Text(const std::string& text, TColor fg, TColor bg) {
    TSurface s(6 * static_cast<int>(text.size()), 12);
    TDeviceContext dc(&s);
    dc.SelectFont(FontHandle(*editor->Font()));
    dc.SetTextColor(fg);
    dc.SetBkColor(bg);
    const std::vector<int> dx(text.size(), 6);
    const TRect r = s.BoundsRect();
    dc.ExtTextOut(0, 0, ETO_CLIPPED | ETO_OPAQUE, &r, text, dx.data());
    return s;
  }
  // The part of an image that fits in its row: 10 of its 11 pixel rows.
  TSurface Image(const TImageListHandle& list, int index, TColor bg) {
    TSurface s(list.Width(), 10);
    TDeviceContext dc(&s);
    dc.FillRect(s.BoundsRect(), bg);
    list.Draw(dc, index, 0, 0);
    return s;
  }
  int ColX(int col) { return editor->TextLeft() + (col - editor->TopCol()) * 6; }
  int RowY(int row) { return editor->TextTop() + (row - editor->TopRow()) * editor->RowHeight(); }
  int NumberX() { return editor->BarSizes().ImagebarWidth() + editor->Leftbar()->LeftMargin(); }
  // Ink of the ruler's numbers in pixel column x, above the short ticks.
  bool RulerInk(int x) { return Count({x, 0, x + 1, 6}, clBlack) > 0; }
};

TEST_F(EditorBarsTest, TheRulerShowsTicksNumbersAndTheCaretColumn) {
  editor->SetRowCol(0, 7);
  Run();
  // A long tick every ten columns, a half one at five, short ones between.
  EXPECT_TRUE(Is(ColX(10), 0, clBlack));
  EXPECT_TRUE(Is(ColX(5), 2, clSilver));
  EXPECT_TRUE(Is(ColX(5), 3, clBlack));
  EXPECT_TRUE(Is(ColX(3), 5, clSilver));
  EXPECT_TRUE(Is(ColX(3), 8, clBlack));
  // The raised edge under it.
  EXPECT_TRUE(Is(ColX(3), 9, clWhite));
  EXPECT_TRUE(Is(ColX(3), 10, clGray));
  // "0" right of column 0's tick, "10" right of column 10's.
  EXPECT_TRUE(RulerInk(ColX(0) + 2));
  EXPECT_TRUE(RulerInk(ColX(10) + 2));
  EXPECT_FALSE(RulerInk(ColX(2) + 2));
  // The caret column's cell, without its left pixel and the edge.
  EXPECT_EQ(Count({ColX(7) + 1, 0, ColX(8), 9}, clNavy), 5 * 9);
  EXPECT_TRUE(Is(ColX(7), 8, clBlack));
  EXPECT_TRUE(Is(ColX(7) + 1, 9, clWhite));
  // The mark follows the caret.
  editor->SetCol(8);
  EXPECT_EQ(Count({ColX(7) + 1, 0, ColX(8), 9}, clNavy), 0);
  EXPECT_EQ(Count({ColX(8) + 1, 0, ColX(9), 9}, clNavy), 5 * 9);
  // Over a number the mark shows its digits in the ruler's background.
  editor->SetCol(0);
  EXPECT_GT(Count({ColX(0) + 1, 0, ColX(1), 9}, clSilver), 8);
  EXPECT_GT(Count({ColX(0) + 1, 0, ColX(1), 9}, clNavy), 20);
  EXPECT_EQ(Count({ColX(0) + 1, 0, ColX(1), 9}, clBlack), 0);
}

TEST_F(EditorBarsTest, ScrolledSidewaysTheNumbersKeepTheirColumns) {
  editor->SetTopCol(23);
  Run();
  // 20 would stand three columns left of the view; 30 is at column 30.
  EXPECT_TRUE(RulerInk(ColX(30) + 2));
  EXPECT_FALSE(RulerInk(ColX(29) + 2));
  EXPECT_TRUE(Is(ColX(25), 3, clBlack));
  EXPECT_TRUE(Is(ColX(25), 2, clSilver));
  // Between them only the ticks: six short ones and the half one at 25.
  EXPECT_EQ(Count({editor->TextLeft(), 0, ColX(30), 9}, clBlack), 6 * 3 + 6);
}

TEST_F(EditorBarsTest, TheDigitOneIsThreePixelsWide) {
  editor->SetTopCol(105);
  Run();
  // "110": the two ones take 3 pixels each, so the 0 starts 6 pixels in.
  const int x = ColX(110) + 1;
  for (int dx : {1, 2, 4, 5, 7, 10}) EXPECT_TRUE(RulerInk(x + dx)) << dx;
  for (int dx : {0, 3, 6, 11, 12}) EXPECT_FALSE(RulerInk(x + dx)) << dx;
}

TEST_F(EditorBarsTest, AtColumn1000TheRulerEnds) {
  editor->SetTopCol(1000);
  Run();
  ASSERT_LT(editor->TopCol(), 1000);
  const int x = ColX(1000) + 1;
  EXPECT_TRUE(Is(ColX(1000), 0, clBlack));
  // "1000" is 3 + 5 + 5 + 5 pixels; right of it no tick and no number.
  EXPECT_TRUE(RulerInk(x + 1));
  EXPECT_TRUE(RulerInk(x + 15));
  EXPECT_EQ(Count({x + 18, 0, editor->ClientWidth(), 9}, clBlack), 0);
  EXPECT_TRUE(Is(editor->ClientWidth() - 1, 9, clWhite));
}

TEST_F(EditorBarsTest, LeftbarNumbersPadWithBlanksOrZeros) {
  editor->Lines()->SetText(NumberedLines(10));
  Run();
  EXPECT_TRUE(Shows(NumberX(), RowY(7), Text("   8", clBlack, clSilver)));
  editor->Leftbar()->SetZeroLead(true);
  Run();
  EXPECT_TRUE(Shows(NumberX(), RowY(7), Text("0008", clBlack, clSilver)));
  editor->Leftbar()->SetZeroBase(true);
  Run();
  EXPECT_TRUE(Shows(NumberX(), RowY(7), Text("0007", clBlack, clSilver)));
  // The empty line after the final break has a number, the rows below none.
  EXPECT_TRUE(Shows(NumberX(), RowY(10), Text("0010", clBlack, clSilver)));
  EXPECT_EQ(Count({NumberX(), RowY(11), NumberX() + 24, RowY(12)}, clBlack), 0);
}

TEST_F(EditorBarsTest, AnEmptyTextNumbersItsFirstRow) {
  EXPECT_TRUE(Shows(NumberX(), RowY(0), Text("   1", clBlack, clSilver)));
  EXPECT_EQ(Count({NumberX(), RowY(1), NumberX() + 24, RowY(2)}, clBlack), 0);
}

TEST_F(EditorBarsTest, TheLeftbarWidensAtTheFifthDigitAndMovesTheTextAlong) {
  editor->Lines()->SetText(NumberedLines(9998));
  editor->SetTopRow(9990);
  Run();
  ASSERT_EQ(editor->BarSizes().LeftbarDigits(), 4);
  const int left = editor->TextLeft();
  editor->Lines()->Add("line 9998");
  Run();
  EXPECT_EQ(editor->BarSizes().LeftbarDigits(), 5);
  EXPECT_EQ(editor->TextLeft(), left + 6);
  EXPECT_TRUE(Shows(NumberX(), RowY(9999), Text("10000", clBlack, clSilver)));
  // Moving the pixels gives what a full paint gives, also when narrowing.
  const auto sameAsFullPaint = [&] {
    const TSurface moved = *form->Window()->Framebuffer();
    editor->Invalidate();
    Run();
    const TSurface& full = *form->Window()->Framebuffer();
    const TPoint o = editor->Window()->ClientOffsetInTop();
    for (int y = 0; y < editor->ClientHeight(); ++y)
      for (int x = 0; x < editor->ClientWidth(); ++x)
        if (moved.Pixel(o.x + x, o.y + y) != full.Pixel(o.x + x, o.y + y))
          return ::testing::AssertionFailure() << "differs at " << x << "," << y;
    return ::testing::AssertionSuccess();
  };
  EXPECT_TRUE(sameAsFullPaint());
  editor->Lines()->Delete(editor->Lines()->Count() - 1);
  Run();
  EXPECT_EQ(editor->TextLeft(), left);
  EXPECT_TRUE(sameAsFullPaint());
}

TEST_F(EditorBarsTest, LineNumbersCountLogicalLinesUnderWordWrap) {
  editor->Leftbar()->SetShowNumberMode(nmLine);
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  editor->Lines()->SetText("short\r\n" + std::string(50, 'x') + "\r\nlast\r\n");
  Run();
  ASSERT_EQ(editor->GetRowAttribute(1), raWrapped);
  const auto numbered = [&](int row) { return Count({NumberX(), RowY(row), NumberX() + 24, RowY(row + 1)}, clBlack) > 0; };
  EXPECT_TRUE(Shows(NumberX(), RowY(1), Text("   2", clBlack, clSilver)));
  EXPECT_FALSE(numbered(2));
  EXPECT_FALSE(numbered(3));
  EXPECT_TRUE(Shows(NumberX(), RowY(4), Text("   3", clBlack, clSilver)));
  EXPECT_TRUE(Shows(NumberX(), RowY(5), Text("   4", clBlack, clSilver)));
  EXPECT_FALSE(numbered(6));
  // Painted from inside the wrapped line, the count goes on the same.
  editor->SetTopRow(2);
  editor->Invalidate();
  Run();
  EXPECT_FALSE(numbered(2));
  EXPECT_TRUE(Shows(NumberX(), RowY(4), Text("   3", clBlack, clSilver)));
}

TEST_F(EditorBarsTest, TheImagebarShowsTheLowestBookmarkAndTheLowestImageMark) {
  editor->Lines()->SetText(NumberedLines(5));
  for (int mark : {5, 3, 12, 11}) editor->SetRowMark(1, mark);
  Run();
  const TSupportResources& resources = SupportResources();
  EXPECT_TRUE(Shows(2, RowY(1) + 2, Image(resources.DigitImages(), 3, clSilver)));
  EXPECT_TRUE(Shows(2 + 8, RowY(1) + 2, Image(resources.MarkImages(), 1, clSilver)));
  EXPECT_EQ(Count({0, RowY(0), 23, RowY(1)}, clSilver), 23 * 12);
  // Moving bookmark 3 to another row repaints both rows' cells.
  editor->SetRowMark(3, 3);
  Run();
  EXPECT_TRUE(Shows(2, RowY(1) + 2, Image(resources.DigitImages(), 5, clSilver)));
  EXPECT_TRUE(Shows(2, RowY(3) + 2, Image(resources.DigitImages(), 3, clSilver)));
}

TEST_F(EditorBarsTest, AnOwnImageListServesTheImagesItHolds) {
  auto* marks = new TImageList(form.get());
  marks->SetSize(11, 11);
  TSurface two(22, 11);
  TDeviceContext dc(&two);
  dc.FillRect({0, 0, 11, 11}, clRed);
  dc.FillRect({11, 0, 22, 11}, clLime);
  marks->AddMasked(two, clWhite);
  editor->SetImageMarks(marks);
  editor->Lines()->SetText(NumberedLines(5));
  editor->SetRowMark(0, 10);
  editor->SetRowMark(1, 11);
  editor->SetRowMark(2, 12);
  Run();
  EXPECT_EQ(Count({10, RowY(0) + 2, 21, RowY(1)}, clRed), 110);
  EXPECT_EQ(Count({10, RowY(1) + 2, 21, RowY(2)}, clLime), 110);
  EXPECT_EQ(Count({10, RowY(1), 21, RowY(1) + 1}, clRed), 0);
  EXPECT_TRUE(Shows(10, RowY(2) + 2, Image(SupportResources().MarkImages(), 2, clSilver)));
  // A freed list leaves the built-in images.
  delete marks;
  Run();
  EXPECT_TRUE(Shows(10, RowY(0) + 2, Image(SupportResources().MarkImages(), 0, clSilver)));
}

TEST_F(EditorBarsTest, BarsWithoutColoursOfTheirOwnFollowTheEditorsColour) {
  editor->Ruler()->SetBkColor(clNone);
  editor->Leftbar()->SetBkColor(clNone);
  editor->SetColor(clYellow);
  Run();
  EXPECT_TRUE(Is(ColX(2) + 3, 2, clYellow));
  EXPECT_TRUE(Is(NumberX(), RowY(3) + 1, clYellow));
  EXPECT_TRUE(Is(1, RowY(3) + 1, clYellow));
  EXPECT_TRUE(Is(1, 1, clYellow));
  // The corner above the bars ends in the bar's edge.
  const int edge = editor->BarSizes().ImagebarWidth() + editor->BarSizes().LeftbarWidth() - 2;
  EXPECT_TRUE(Is(edge, 1, clWhite));
  EXPECT_TRUE(Is(edge + 1, RowY(3), clGray));
}

TEST_F(EditorBarsTest, WithoutEdgesTheBarsEndInPlainLines) {
  editor->Leftbar()->SetEdge(false);
  editor->Ruler()->SetEdge(false);
  Run();
  EXPECT_EQ(editor->TextTop(), 2 + 10);
  const int edge = editor->BarSizes().ImagebarWidth() + editor->BarSizes().LeftbarWidth() - 2;
  EXPECT_TRUE(Is(edge, RowY(1), clSilver));
  EXPECT_TRUE(Is(edge + 1, RowY(1), clBlack));
  EXPECT_TRUE(Is(ColX(3) + 2, 9, clBlack));
  EXPECT_TRUE(Is(ColX(3) + 2, 8, clSilver));
}

// A descendant that watches the overridable steps of the bar sizes.
class TStepsEditor : public TEditor {
 public:
  using TEditor::TEditor;
  bool UpdateLeftbarDigits() override {
    steps += "digits ";
    return TEditor::UpdateLeftbarDigits();
  }
  void UpdateRulerHeight() override {
    steps += "ruler ";
    TEditor::UpdateRulerHeight();
  }
  void UpdateImagebarWidth() override {
    steps += "imagebar ";
    TEditor::UpdateImagebarWidth();
  }
  void UpdateLeftbarWidth() override {
    steps += "leftbar ";
    TEditor::UpdateLeftbarWidth();
  }
  std::string steps;
};

TEST_F(EditorBarsTest, ADescendantsBarSizeStepsAreTheOnesTheEditorRuns) {
  auto* own = TEditor::Create<TStepsEditor>(form.get());
  own->SetParent(form.get());
  own->Leftbar()->SetVisible(true);
  Run();
  own->steps.clear();
  own->Ruler()->SetEdge(false);
  EXPECT_EQ(own->steps, "digits ruler imagebar leftbar ");
  // A text that needs another digit asks the digits step first.
  own->steps.clear();
  own->Lines()->SetText(NumberedLines(10000));
  EXPECT_EQ(own->steps.rfind("digits digits ruler imagebar leftbar ", 0), 0u) << own->steps;
}

}  // namespace
}  // namespace corvida
