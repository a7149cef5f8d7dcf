#include "editor/model/editor_strings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "editor/model/fake_view.h"
#include "platform/rtl/exceptions.h"

namespace corvida {
namespace {

using testing::FakeView;
using testing::Rows;
using V = std::vector<std::string>;

std::string TempFile(const std::string& name, const std::string& bytes) {
  const std::string path = ::testing::TempDir() + "corvida_" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(EditorLines, AddAppendsLinesAndReturnsTheCountBefore) {
  FakeView v;
  EXPECT_EQ(v.Lines().Add("a"), 0);
  EXPECT_EQ(Rows(v.Store()), V{"a|c"});
  EXPECT_EQ(v.Lines().Count(), 1);
  EXPECT_EQ(v.Lines().Text(), "a\r\n");
  EXPECT_EQ(v.Row(), 1);

  FakeView w;
  w.Lines().SetText("x");
  EXPECT_EQ(w.Lines().Add("y"), 1);
  EXPECT_EQ(Rows(w.Store()), (V{"x|c", "y|e"}));
  EXPECT_EQ(w.Lines().Text(), "x\r\ny");
  EXPECT_EQ(w.Row(), 1);
  EXPECT_EQ(w.Col(), 1);
  EXPECT_EQ(w.Lines().Add("z"), 2);
}

TEST(EditorLines, OneChangeIsOneNotificationAndOneUndoStep) {
  FakeView v;
  v.Lines().Add("a");
  EXPECT_EQ(v.changes, 1);
  EXPECT_EQ(v.onChanges, 1);
  EXPECT_TRUE(v.Modified());
  EXPECT_EQ(v.lastUpdate, (FakeView::Update{0, 0, 1}));
  EXPECT_FALSE(v.Store().UpdatePending());
  EXPECT_EQ(v.Store().UndoObj().UndoList().Count(), 1);
  EXPECT_EQ(v.caretLevel, 0);

  // AddStrings: one notification for the whole batch, one undo step per line.
  TStringList more;
  more.Add("b");
  more.Add("c");
  v.changes = 0;
  v.Lines().AddStrings(more);
  EXPECT_EQ(v.changes, 1);
  EXPECT_EQ(v.refreshes, 0);
  EXPECT_EQ(v.Store().UndoObj().UndoList().Count(), 3);
  EXPECT_EQ(v.Lines().Text(), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(v.Row(), 3);
  EXPECT_EQ(v.caretLevel, 0);
  EXPECT_EQ(v.underlineLevel, 0);
  EXPECT_FALSE(v.linesUpdating);
}

// A batch of lines is one change and one undo step, and leaves the rows and
// the caret as adding each line would.
TEST(EditorLines, AddTextIsOneStepThatLeavesWhatAddingEachLineWould) {
  struct Case {
    std::string before;  // the text before, set without undo
    std::string text;    // the lines added
    bool wordWrap;
  };
  const Case cases[] = {
      {"", "a\r\nb\r\n", false},
      {"x\r\n", "a\r\n\r\nb\r\n", false},
      {"x", "a\r\nb\r\n", false},
      {"x", "\r\n", false},
      {"x\r\ny", "a\nb\rc", false},
      {"x\r\n", std::string(50, 'w') + "\r\nshort\r\n", true},
      {"x", std::string(50, 'w') + "\r\n", true},
  };
  for (const Case& c : cases) {
    FakeView batch;
    FakeView each;
    for (FakeView* v : {&batch, &each}) {
      v->Store().SetWordWrap(c.wordWrap);
      v->Store().WrapOption().SetWrapByte(20);
      v->Lines().SetText(c.before);
      v->changes = 0;
    }
    batch.Lines().AddText(c.text);
    for (const std::string& line : SplitLines(c.text)) each.Lines().Add(line);
    EXPECT_EQ(Rows(batch.Store()), Rows(each.Store())) << c.before << "+" << c.text;
    EXPECT_EQ(batch.Row(), each.Row()) << c.before << "+" << c.text;
    EXPECT_EQ(batch.Col(), each.Col()) << c.before << "+" << c.text;
    EXPECT_EQ(batch.changes, 1);
    EXPECT_EQ(batch.caretLevel, 0);
    ASSERT_EQ(batch.Store().UndoObj().UndoList().Count(), 1) << c.before << "+" << c.text;
    batch.Store().Undo();
    EXPECT_EQ(batch.Lines().Text(), c.before) << c.before << "+" << c.text;
  }
}

TEST(EditorLines, AVisibleViewStopsDrawingDuringABatch) {
  FakeView v;
  v.showing = true;
  TStringList more;
  more.Add("a");
  v.Lines().AddStrings(more);
  EXPECT_EQ(v.redraws, (std::vector<bool>{false, true}));
  EXPECT_EQ(v.refreshes, 1);
}

TEST(EditorLines, InsertPutDeleteAndGet) {
  FakeView v;
  v.Lines().SetText("a\r\nb\r\nc");
  v.Lines().Insert(1, "x");
  EXPECT_EQ(Rows(v.Store()), (V{"a|c", "x|c", "b|c", "c|e"}));
  EXPECT_EQ(v.Row(), 2);
  v.Lines().Put(3, "cc");
  EXPECT_EQ(Rows(v.Store()), (V{"a|c", "x|c", "b|c", "cc|e"}));
  v.Lines().Put(0, "aa");
  EXPECT_EQ(v.Lines().Get(0), "aa");
  v.Lines().Delete(1);
  EXPECT_EQ(v.Lines().Text(), "aa\r\nb\r\ncc");
  v.Lines().Insert(3, "d");
  EXPECT_EQ(v.Lines().Text(), "aa\r\nb\r\ncc\r\nd");
  v.Lines().Delete(3);
  EXPECT_EQ(v.Lines().Text(), "aa\r\nb\r\ncc\r\n");
  EXPECT_THROW(v.Lines().Get(3), EStringListError);
  EXPECT_THROW(v.Lines().Put(3, "x"), EStringListError);
  EXPECT_THROW(v.Lines().Delete(-1), EStringListError);
  EXPECT_THROW(v.Lines().Insert(5, "x"), EStringListError);
  EXPECT_EQ(v.Lines().Text(), "aa\r\nb\r\ncc\r\n");
}

TEST(EditorLines, ChangeRowsBoundsAndWholeTextDeletion) {
  FakeView v;
  v.Lines().SetText("a\r\nb\r\n");
  v.changes = 0;
  v.Store().ChangeRows(0, 0, "");
  v.Store().ChangeRows(-1, 1, "x");
  v.Store().ChangeRows(1, 2, "x");
  EXPECT_EQ(v.changes, 0);
  EXPECT_EQ(v.Store().UndoObj().UndoList().Count(), 0);
  v.Store().SetRowMarks(0, {3});
  v.Store().SetRowMarks(1, {5});
  v.Store().IncludeMarks({3, 5});
  v.Store().ChangeRows(0, 2, "");
  EXPECT_EQ(v.Store().Count(), 0);
  EXPECT_TRUE(v.Store().UsedMarks().Empty());
}

TEST(EditorLines, MarksFollowTheirText) {
  // Deleted rows give their marks to the row that takes their place.
  FakeView v;
  v.Lines().SetText("a\r\nb\r\nc\r\n");
  v.Store().SetRowMarks(1, {1});
  v.Store().IncludeMarks({1});
  v.Lines().Delete(1);
  EXPECT_EQ(v.Store().RowMarks(1), (TRowMarks{1}));
  v.Store().ChangeRows(0, 2, "z\r\n");
  EXPECT_EQ(v.Store().RowMarks(0), (TRowMarks{1}));

  // A line inserted above a marked line at column 0 leaves the mark on the
  // old text; with the caret elsewhere the mark stays on the changed range's
  // first row.
  FakeView w;
  w.Lines().SetText("a\r\nb\r\n");
  w.Store().SetRowMarks(1, {2});
  w.SetCol(0);
  w.Store().ChangeRows(1, 1, "new\r\nb\r\n");
  EXPECT_EQ(w.Store().RowMarks(2), (TRowMarks{2}));
  EXPECT_TRUE(w.Store().RowMarks(1).Empty());
  w.SetCol(1);
  w.Store().ChangeRows(2, 1, "b\r\nmore\r\n");
  EXPECT_EQ(w.Store().RowMarks(2), (TRowMarks{2}));
  EXPECT_EQ(Rows(w.Store()), (V{"a|c", "new|c", "b|c", "more|c"}));
}

TEST(EditorLines, ClearEmptiesTextUndoMarksAndCaret) {
  FakeView v;
  v.Lines().Add("a");
  v.Store().IncludeMarks({4});
  v.selected = true;
  v.changes = v.onChanges = 0;
  v.Lines().Clear();
  EXPECT_EQ(v.Store().Count(), 0);
  EXPECT_FALSE(v.Store().UndoObj().CanUndo());
  EXPECT_TRUE(v.Store().UsedMarks().Empty());
  EXPECT_FALSE(v.selected);
  EXPECT_EQ(v.onChanges, 1);
  EXPECT_EQ(v.Row(), 0);
}

TEST(EditorLines, SetTextAndAssign) {
  FakeView v;
  v.Lines().SetText("a\rb\nc\r\n\r\nd");
  EXPECT_EQ(Rows(v.Store()), (V{"a|c", "b|c", "c|c", "|c", "d|e"}));
  EXPECT_FALSE(v.Store().UndoObj().CanUndo());
  TStringList source;
  source.Add("p");
  source.Add("q");
  v.Lines().Assign(&source);
  EXPECT_EQ(Rows(v.Store()), (V{"p|c", "q|c"}));
  EXPECT_EQ(v.Row(), 2);
  EXPECT_TRUE(v.Lines().Equals(source));
}

TEST(EditorLines, LoadFromFileLineBreaksAndCtrlZ) {
  struct Case {
    std::string bytes;
    V rows;
  };
  const Case cases[] = {
      {"a\r\nb", {"a|c", "b|e"}},
      {"a\r\n", {"a|c"}},
      {"a\rb\nc", {"a|c", "b|c", "c|e"}},
      {"a\r\nb\x1a" "c\r\nd", {"a|c", "b|e"}},
      {"a\r\n\x1a" "c", {"a|c"}},
      {"", {}},
      {"\r\n\n\r", {"|c", "|c", "|c"}},
      {std::string("a\0b\r\n\0", 6), {std::string("a\0b|c", 5), std::string("\0|e", 3)}},
  };
  for (const Case& c : cases) {
    FakeView v;
    v.Lines().Add("old");
    v.Lines().LoadFromFile(TempFile("lines.txt", c.bytes));
    EXPECT_EQ(Rows(v.Store()), c.rows) << c.bytes;
    EXPECT_FALSE(v.Store().UndoObj().CanUndo());
  }
}

TEST(EditorLines, LoadFromFileJoinsLinesAcrossBlocks) {
  // A CR that ends the first 8 KB block and the LF that starts the next are
  // one break; a line running over the block edge is one row.
  std::string bytes(8191, 'x');
  bytes += "\r\n" + std::string(9000, 'y') + "\r" + "z";
  FakeView v;
  v.Lines().LoadFromFile(TempFile("blocks.txt", bytes));
  ASSERT_EQ(v.Store().Count(), 3);
  EXPECT_EQ(v.Store().Get(0), std::string(8191, 'x'));
  EXPECT_EQ(v.Store().Get(1), std::string(9000, 'y'));
  EXPECT_EQ(Rows(v.Store())[2], "z|e");
}

TEST(EditorLines, LoadFromFileOfOneLongLine) {
  // Many blocks without a break, ending inside a double-byte character.
  const std::string line = std::string(3 * 1024 * 1024, 'a') + "\x82\xa0\x82";
  FakeView v;
  v.Store().SetWordWrap(true);
  v.Lines().LoadFromFile(TempFile("long.txt", line));
  EXPECT_EQ(v.Lines().Count(), 1);
  EXPECT_EQ(v.Lines().Get(0), line);
  EXPECT_EQ(v.Store().Count(), 3 * 1024 * 1024 / 80 + 1);
  EXPECT_EQ(v.Store().RowAttributes(v.Store().Count() - 1), raEof);
}

TEST(EditorLines, LoadFromFileOfBadInput) {
  FakeView v;
  v.Lines().Add("keep?");
  EXPECT_THROW(v.Lines().LoadFromFile("/nonexistent/corvida/none.txt"), EFOpenError);
  EXPECT_EQ(v.Store().Count(), 0);
  EXPECT_EQ(v.Store().UpdateCount(), 0);
  EXPECT_EQ(v.caretLevel, 0);
  EXPECT_THROW(v.Lines().LoadFromFile(::testing::TempDir()), EFOpenError);
  EXPECT_EQ(v.Store().Count(), 0);

  // Binary bytes, lone CRs and a cut double-byte character load whole.
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i == 26 ? 27 : i);
  binary += "\x83";
  v.Lines().LoadFromFile(TempFile("binary.bin", binary));
  std::string joined;
  for (int r = 0; r < v.Store().Count(); ++r) joined += v.Store().Get(r);
  std::string expected;
  for (char c : binary)
    if (c != '\r' && c != '\n') expected += c;
  EXPECT_EQ(joined, expected);
  EXPECT_EQ(v.Store().RowAttributes(v.Store().Count() - 1), raEof);
}

TEST(EditorLines, WordWrapCountsLogicalLines) {
  FakeView v;
  v.Store().SetWordWrap(true);
  v.Store().WrapOption().SetWrapByte(20);
  v.Lines().SetText(std::string(45, 'a') + "\r\nb\r\n");
  EXPECT_EQ(v.Store().Count(), 4);
  EXPECT_EQ(v.Lines().Count(), 2);
  EXPECT_EQ(v.Lines().Get(0), std::string(45, 'a'));
  EXPECT_EQ(v.Lines().Get(1), "b");
  EXPECT_EQ(v.Lines().LineToRow(1), 3);
  v.Lines().Put(0, std::string(25, 'c'));
  EXPECT_EQ(Rows(v.Store()), (V{std::string(20, 'c') + "|w", "ccccc|c", "b|c"}));
  EXPECT_EQ(v.Lines().WriteStrings(), (V{std::string(25, 'c'), "b"}));
  v.Lines().Delete(0);
  EXPECT_EQ(Rows(v.Store()), (V{"b|c"}));
}

TEST(EditorLines, StreamingAsStrings) {
  FakeView v;
  EXPECT_FALSE(v.Lines().StringsStored(nullptr));
  v.Lines().Add("a");
  EXPECT_TRUE(v.Lines().StringsStored(nullptr));
  TStringList same;
  same.Add("a");
  EXPECT_FALSE(v.Lines().StringsStored(&same));
  same.Add("b");
  EXPECT_TRUE(v.Lines().StringsStored(&same));

  FakeView w;
  w.Store().SetWordWrap(true);
  w.Store().WrapOption().SetWrapByte(20);
  w.Lines().ReadStrings({"x", std::string(30, 'y')});
  EXPECT_EQ(Rows(w.Store()), (V{"x|c", std::string(30, 'y') + "|c"}));
  EXPECT_FALSE(w.Store().UndoObj().CanUndo());

  // A reader that adds string by string while the view loads.
  FakeView r;
  r.Store().SetWordWrap(true);
  r.loading = true;
  r.Lines().BeginUpdate();
  r.Lines().Clear();
  r.Lines().Add(std::string(30, 'z'));
  r.Lines().Add("q");
  r.Lines().EndUpdate();
  EXPECT_EQ(Rows(r.Store()), (V{std::string(30, 'z') + "|c", "q|c"}));
  EXPECT_FALSE(r.Store().UndoObj().CanUndo());
  r.loading = false;
  r.Store().WrapOption().SetWrapByte(20);
  EXPECT_EQ(r.Store().Count(), 3);
}

TEST(EditorStore, TwoViewsShareOneStore) {
  auto first = std::make_unique<FakeView>();
  FakeView second(first.get());
  first->Lines().Add("a");
  EXPECT_EQ(first->changes, 1);
  EXPECT_EQ(second.changes, 1);
  EXPECT_EQ(&first->Store(), &second.Store());
  second.focused = true;
  EXPECT_EQ(second.Store().ActiveView(), &second);
  first.reset();
  EXPECT_EQ(second.Store().ViewCount(), 1);
  second.Lines().Add("b");
  EXPECT_EQ(second.Lines().Text(), "a\r\nb\r\n");
}

TEST(EditorStore, ClampViewsKeepsCaretsInTheText) {
  FakeView v;
  v.Lines().SetText("a\r\nb\r\nc\r\n");
  v.SetRow(3);
  v.SetTopRow(3);
  v.Store().ChangeRows(1, 2, "");
  EXPECT_EQ(v.Row(), 1);
  EXPECT_EQ(v.TopRow(), 1);
  v.Store().ChangeRows(0, 1, "x");
  EXPECT_EQ(Rows(v.Store()), V{"x|e"});
  EXPECT_EQ(v.Row(), 0);
}

TEST(EditorStore, RowsOfLinesAndTheirText) {
  FakeView v;
  v.Store().SetWordWrap(true);
  v.Store().WrapOption().SetWrapByte(20);
  v.Lines().SetText(std::string(45, 'a') + "\r\nb");
  const TEditorScreenStrings& s = v.Store();
  EXPECT_EQ(s.FirstRowOfLine(2), 0);
  EXPECT_EQ(s.FirstRowOfLine(3), 3);
  EXPECT_EQ(s.FirstRowOfLine(4), 4);
  EXPECT_EQ(s.LastRowOfLine(0), 2);
  EXPECT_EQ(s.LastRowOfLine(3), 3);
  EXPECT_EQ(s.LastRowOfLine(-1), -1);
  TRowAttribute last;
  int rows;
  std::string text;
  s.GetRowsText(1, -1, last, rows, text);
  EXPECT_EQ(text, std::string(25, 'a') + "\r\n");
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(last, raCrlf);
  s.GetRowsText(4, 1, last, rows, text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(last, raInvalid);
}

}  // namespace
}  // namespace corvida
