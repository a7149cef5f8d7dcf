#include "editor/model/editor_undo.h"

#include <gtest/gtest.h>

#include <string>

#include "editor/model/fake_view.h"

namespace corvida {
namespace {

using testing::FakeView;
using testing::Rows;
using V = std::vector<std::string>;

TEST(Undo, AddedLineGoesAndComesBack) {
  FakeView v;
  v.Lines().Add("a");
  v.Store().Undo();
  EXPECT_EQ(v.Store().Count(), 0);
  EXPECT_TRUE(v.Store().UndoObj().CanRedo());
  EXPECT_FALSE(v.Store().UndoObj().CanUndo());
  v.Store().Redo();
  EXPECT_EQ(Rows(v.Store()), V{"a|c"});
  EXPECT_FALSE(v.Store().UndoObj().CanRedo());
  v.Store().Undo();
  EXPECT_EQ(v.Store().Count(), 0);
  EXPECT_EQ(v.caretLevel, 0);
  EXPECT_EQ(v.Store().UpdateCount(), 0);
}

TEST(Undo, DeletedLinesComeBackWithTheirBreak) {
  FakeView v;
  v.Lines().SetText("a\r\nb\r\nc");
  v.Lines().Delete(1);
  v.Store().Undo();
  EXPECT_EQ(Rows(v.Store()), (V{"a|c", "b|c", "c|e"}));
  v.Lines().Delete(2);
  EXPECT_EQ(Rows(v.Store()), (V{"a|c", "b|c"}));
  v.Store().Undo();
  EXPECT_EQ(Rows(v.Store()), (V{"a|c", "b|c", "c|e"}));
  v.Store().Redo();
  EXPECT_EQ(Rows(v.Store()), (V{"a|c", "b|c"}));
}

TEST(Undo, EachStepPublishesOneChange) {
  FakeView v;
  v.Lines().SetText("a\r\nb\r\n");
  v.Lines().Put(0, "xx");
  v.changes = v.onChanges = 0;
  v.Store().Undo();
  EXPECT_EQ(v.changes, 1);
  EXPECT_EQ(v.onChanges, 1);
  // A change that ends a line takes the next line in with it.
  EXPECT_EQ(v.lastUpdate, (FakeView::Update{0, 2, 2}));
}

TEST(Undo, WrappedLineGetsItsOldRowsBack) {
  FakeView v;
  v.Store().SetWordWrap(true);
  v.Store().WrapOption().SetWrapByte(20);
  v.Lines().SetText(std::string(45, 'a') + "\r\nb");
  const V before = Rows(v.Store());
  v.Store().ChangeRows(1, 1, "xy");
  EXPECT_NE(Rows(v.Store()), before);
  v.Store().Undo();
  EXPECT_EQ(Rows(v.Store()), before);
  // An edit that ends inside a wrapped line.
  v.Store().ChangeRows(0, 1, std::string(20, 'z'));
  v.Store().Undo();
  EXPECT_EQ(Rows(v.Store()), before);
}

TEST(Undo, TheListKeepsAtMostUndoListMaxSteps) {
  FakeView v;
  for (int i = 0; i < 65; ++i) v.Lines().Add(std::to_string(i));
  int steps = 0;
  while (v.Store().UndoObj().CanUndo()) {
    v.Store().Undo();
    ++steps;
  }
  EXPECT_EQ(steps, 64);
  EXPECT_EQ(v.Lines().Text(), "0\r\n");
  v.Store().UndoObj().SetUndoListMax(10);
  EXPECT_EQ(v.Store().UndoObj().UndoListMax(), 64);
  v.Store().UndoObj().SetUndoListMax(100);
  EXPECT_EQ(v.Store().UndoObj().UndoListMax(), 100);
}

TEST(Undo, ANewEditEmptiesTheRedoList) {
  FakeView v;
  v.Lines().Add("a");
  v.Lines().Add("b");
  v.Store().Undo();
  EXPECT_TRUE(v.Store().UndoObj().CanRedo());
  v.Lines().Add("c");
  EXPECT_FALSE(v.Store().UndoObj().CanRedo());
}

TEST(Undo, TheCaretReturnsToWhereItWas) {
  FakeView v;
  v.Lines().SetText("abc\r\ndef\r\n");
  v.SetRow(1);
  v.SetCol(2);
  v.Store().ChangeRows(0, 1, "x\r\n");
  v.SetRow(0);
  v.SetCol(1);
  v.Store().Undo();
  EXPECT_EQ(v.Row(), 1);
  EXPECT_EQ(v.Col(), 2);
  v.SetRow(2);
  v.SetCol(0);
  v.Store().Redo();
  // Where it was before the redone edit was undone.
  EXPECT_EQ(v.Row(), 0);
  EXPECT_EQ(v.Col(), 1);
  EXPECT_EQ(v.Lines().Text(), "x\r\ndef\r\n");
}

TEST(Undo, WrapChangesEmptyBothLists) {
  FakeView v;
  v.Lines().Add("a");
  v.Lines().Add("b");
  v.Store().Undo();
  v.Store().SetWordWrap(true);
  EXPECT_FALSE(v.Store().UndoObj().CanUndo());
  EXPECT_FALSE(v.Store().UndoObj().CanRedo());
}

TEST(Undo, RecordsTellTheChange) {
  FakeView v;
  v.Lines().SetText("ab\r\ncd");
  v.SetRow(1);
  v.SetCol(1);
  v.Store().ChangeRows(1, 1, "x\r\ny\r\nz");
  const TUndoData& d = *v.Store().UndoObj().UndoList().Last();
  EXPECT_EQ(d.Row, 1);
  EXPECT_EQ(d.RowCount, 3);
  EXPECT_EQ(d.RowAttribute, raEof);
  EXPECT_EQ(d.Text, "cd");
  EXPECT_EQ(d.CaretRow, 1);
  EXPECT_EQ(d.CaretCol, 1);
  // Text put after the last row joins it while it has no line break.
  v.Store().ChangeRows(4, 0, "w\r\n");
  EXPECT_EQ(Rows(v.Store()), (V{"ab|c", "x|c", "y|c", "zw|c"}));
  EXPECT_EQ(v.Store().UndoObj().UndoList().Last()->RowAttribute, raEof);
  v.Store().ChangeRows(4, 0, "v");
  EXPECT_EQ(Rows(v.Store()), (V{"ab|c", "x|c", "y|c", "zw|c", "v|e"}));
  EXPECT_EQ(v.Store().UndoObj().UndoList().Last()->RowAttribute, raInvalid);
  EXPECT_EQ(v.Store().UndoObj().UndoList().Last()->RowCount, 1);
}

}  // namespace
}  // namespace corvida
