#include <gtest/gtest.h>

#include <string>

#include "editor/model/column_map.h"
#include "editor/model/editor_attribute_array.h"
#include "editor/model/editor_screen_strings.h"
#include "editor/model/fake_view.h"

namespace corvida {
namespace {

using testing::FakeView;
using testing::Rows;
using V = std::vector<std::string>;

const std::string kA = "\x82\xa0";           // "あ", two columns
const std::string kComma = "\x81\x41";       // "、"
const std::string kOpenParen = "\x81\x69";   // "（"

class WordWrap : public ::testing::Test {
 protected:
  void SetUp() override {
    view.Store().SetWordWrap(true);
    option().SetWrapByte(20);
  }
  TEditorWrapOption& option() { return view.Store().WrapOption(); }
  V Wrap(const std::string& text) {
    TEditorStringList rows;
    view.Store().WrapLines(text, rows);
    V out;
    for (int r = 0; r < rows.Count(); ++r)
      out.push_back(rows.Get(r) + (rows.RowAttributes(r) == raWrapped ? "|w" : "|c"));
    return out;
  }
  FakeView view;
};

TEST(ColumnMap, CodesTabsAndLimits) {
  TColumnLayout layout;
  layout.tabSpaceCount = 4;
  EXPECT_EQ(ColumnMap("a b_\t" + kA + "\tx", layout), "1211233345231");
  EXPECT_EQ(StrColumns("a b_\t" + kA + "\tx", layout), 13);
  EXPECT_EQ(StrColumns("abc", layout), 3);
  EXPECT_EQ(ColumnMap(std::string(2000, 'a'), layout).size(), 1000u);
  layout.wordWrap = true;
  layout.wrapByte = 20;
  layout.tabSpaceCount = 8;
  // A tab stops at the wrap margin.
  EXPECT_EQ(ColumnMap(std::string(17, 'a') + "\tb", layout), std::string(17, '1') + "233" + "1");
  EXPECT_EQ(ColumnMap(std::string(40, 'a'), layout).size(), 23u);
  EXPECT_EQ(MapLength(std::string(40, 'a'), layout), 23);
}

TEST(AttributeArray, WalksColumnsAndBytes) {
  const std::string text = "a\t" + kA + "b";
  TColumnLayout layout;
  layout.tabSpaceCount = 4;
  const std::string map = ColumnMap(text, layout);  // "1233451"
  TEditorAttributeArray c;
  c.Init(text, map);
  EXPECT_EQ(c.Position(), 1);
  EXPECT_EQ(c.ByteIndex(), 1);
  EXPECT_EQ(c.ColumnCount(), 7);
  c.MoveTo(4);
  EXPECT_EQ(c.Code(), '3');
  EXPECT_EQ(c.ByteIndex(), 2);
  EXPECT_EQ(c.Current(), "\t");
  EXPECT_EQ(c.PeekNext(), kA);
  EXPECT_EQ(c.Position(), 4);
  c.Next();
  c.Next();
  EXPECT_EQ(c.Code(), '5');
  EXPECT_EQ(c.Current(), kA);
  c.StepBack();
  EXPECT_EQ(c.Position(), 4);
  c.MoveTo(99);
  EXPECT_EQ(c.Code(), '0');
  EXPECT_EQ(c.Current(), "");
  EXPECT_EQ(c.PeekNext(), "");
  EXPECT_EQ(c.Position(), 8);
  c.MoveTo(1);
  EXPECT_EQ(c.ByteIndex(), 1);
}

TEST_F(WordWrap, WidthsAroundTheMargin) {
  EXPECT_EQ(Wrap(std::string(19, 'a')), V{std::string(19, 'a') + "|c"});
  EXPECT_EQ(Wrap(std::string(20, 'a')), (V{std::string(20, 'a') + "|w", "|c"}));
  EXPECT_EQ(Wrap(std::string(45, 'a')), (V{std::string(20, 'a') + "|w", std::string(20, 'a') + "|w", "aaaaa|c"}));
  EXPECT_EQ(Wrap(""), V{"|c"});
  EXPECT_EQ(Wrap("a\r\n\r\nb\r\n"), (V{"a|c", "|c", "b|c"}));
  option().SetFollowRetMark(true);
  EXPECT_EQ(Wrap(std::string(20, 'a')), V{std::string(20, 'a') + "|c"});
  EXPECT_EQ(view.Store().WrapCount(std::string(20, 'a')), 1);
  option().SetFollowRetMark(false);
  EXPECT_EQ(view.Store().WrapCount(std::string(20, 'a')), 2);
  EXPECT_EQ(view.Store().WrapCount(std::string(45, 'a')), 3);
}

TEST_F(WordWrap, DoubleByteCharactersAreNeverSplit) {
  const std::string text = std::string(19, 'a') + kA + "b";
  EXPECT_EQ(Wrap(text), (V{std::string(19, 'a') + "|w", kA + "b|c"}));
  // A lead byte cut off at the end of a line stays a whole row.
  EXPECT_EQ(Wrap(std::string(19, 'a') + "\x82"), (V{std::string(19, 'a') + "|w", "\x82|c"}));
}

TEST_F(WordWrap, HangingPunctuation) {
  option().SetFollowPunctuation(true);
  const std::string base(20, 'a');
  EXPECT_EQ(Wrap(base + kComma + "b"), (V{base + kComma + "|w", "b|c"}));
  EXPECT_EQ(Wrap(base + ",,,b"), (V{base + ",,|w", ",b|c"}));
  EXPECT_EQ(Wrap(base + kComma + kComma + "b"), (V{base + kComma + "|w", kComma + "b|c"}));
}

TEST_F(WordWrap, LeadingAndFollowingCharacters) {
  option().SetLeading(true);
  // A "（" ending at the margin moves to the next row.
  EXPECT_EQ(Wrap(std::string(18, 'a') + kOpenParen + "bb"), (V{std::string(18, 'a') + "|w", kOpenParen + "bb|c"}));
  // A ")" that would start the next row pulls the break back one character,
  // and further while the rules keep holding.
  EXPECT_EQ(Wrap(std::string(20, 'a') + ")b"), (V{std::string(19, 'a') + "|w", "a)b|c"}));
  EXPECT_EQ(Wrap(std::string(19, 'a') + "))b"), (V{std::string(18, 'a') + "|w", "a))b|c"}));
  EXPECT_EQ(Wrap(std::string(18, 'a') + "(()b"), (V{std::string(18, 'a') + "|w", "(()b|c"}));
  // Neither rule moves the break below column 16 ((20 div 5) * 4).
  EXPECT_EQ(Wrap(std::string(16, 'a') + "((((((b"), (V{std::string(16, 'a') + "|w", "((((((b|c"}));
  EXPECT_EQ(Wrap(std::string(16, 'a') + "((((" + ")))))"), (V{std::string(16, 'a') + "|w", "(((()))))|c"}));
  EXPECT_EQ(Wrap(std::string(16, 'b') + std::string(9, ')')),
            (V{std::string(16, 'b') + "|w", std::string(9, ')') + "|c"}));
}

TEST_F(WordWrap, WordBreak) {
  option().SetWordBreak(true);
  EXPECT_EQ(Wrap("aaaa bbbb cccc ddddd eeee"), (V{"aaaa bbbb cccc |w", "ddddd eeee|c"}));
  EXPECT_EQ(Wrap("aaaa bbbb cccc dddd eeee"), (V{"aaaa bbbb cccc dddd |w", "eeee|c"}));
  EXPECT_EQ(Wrap("aaaaaaaaaaaaaa" + kA + "bbbbbbbbbbb"), (V{"aaaaaaaaaaaaaa" + kA + "|w", "bbbbbbbbbbb|c"}));
  // No delimiter after column 6 (20 div 3): cut there, on every row that
  // is still too long.
  EXPECT_EQ(Wrap("aa " + std::string(30, 'b')),
            (V{"aa bbb|w", "bbbbbb|w", "bbbbbb|w", std::string(15, 'b') + "|c"}));
  // A line that just fills the margin is not broken back.
  EXPECT_EQ(Wrap("aaaa bbbb cccc ddddd"), (V{"aaaa bbbb cccc ddddd|w", "|c"}));
}

TEST_F(WordWrap, TabsStopAtTheMarginAndRestartOnTheNextRow) {
  view.tabSpaceCount = 8;
  EXPECT_EQ(Wrap(std::string(17, 'a') + "\tb\tc"), (V{std::string(17, 'a') + "\t|w", "b\tc|c"}));
}

TEST_F(WordWrap, OptionsKeepTheirRangeAndChangeOnlyWhenDifferent) {
  option().SetWrapByte(10);
  EXPECT_EQ(option().WrapByte(), 20);
  option().SetWrapByte(1000);
  EXPECT_EQ(option().WrapByte(), 250);
  view.Lines().SetText(std::string(300, 'a'));
  view.Lines().Add("x");
  ASSERT_TRUE(view.Store().UndoObj().CanUndo());
  option().SetWrapByte(250);
  option().SetLeadStr(option().LeadStr());
  EXPECT_TRUE(view.Store().UndoObj().CanUndo());
  option().SetWrapByte(100);
  EXPECT_FALSE(view.Store().UndoObj().CanUndo());
  EXPECT_EQ(view.Store().Count(), 5);

  TEditorWrapOption other;
  other.SetWrapByte(30);
  other.SetWordBreak(true);
  int changes = 0;
  struct Counter {
    int* n;
    void Changed(TObject*) { ++*n; }
  } counter{&changes};
  TEditorWrapOption target;
  target.SetOnChange(TNotifyEvent::Of<&Counter::Changed>(&counter));
  target.Assign(&other);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(target.WrapByte(), 30);
  EXPECT_TRUE(target.WordBreak());
}

TEST_F(WordWrap, SwitchingWrapRewrapsKeepsMarksAndEmptiesUndo) {
  view.Store().SetWordWrap(false);
  view.Lines().SetText(std::string(45, 'a') + "\r\nb\r\n" + std::string(25, 'c'));
  view.Lines().Add("d");
  view.Store().SetRowMarks(0, {1});
  view.Store().SetRowMarks(2, {2});
  view.Store().SetWordWrap(true);
  EXPECT_FALSE(view.Store().UndoObj().CanUndo());
  EXPECT_EQ(Rows(view.Store()), (V{std::string(20, 'a') + "|w", std::string(20, 'a') + "|w", "aaaaa|c", "b|c",
                                   std::string(20, 'c') + "|w", "ccccc|c", "d|e"}));
  EXPECT_EQ(view.Store().RowMarks(0), (TRowMarks{1}));
  EXPECT_EQ(view.Store().RowMarks(4), (TRowMarks{2}));
  view.Store().SetRowMarks(2, {3});
  view.Store().SetRowMarks(5, {4});
  // Marks go to the new rows by position; when a line has fewer rows than
  // before, the surplus rows' marks go to its last row.
  option().SetWrapByte(23);
  EXPECT_EQ(view.Store().RowMarks(0), (TRowMarks{1}));
  EXPECT_EQ(view.Store().RowMarks(1), (TRowMarks{3}));
  EXPECT_EQ(view.Store().RowMarks(3), (TRowMarks{2}));
  EXPECT_EQ(view.Store().RowMarks(4), (TRowMarks{4}));
  view.Store().SetWordWrap(false);
  EXPECT_EQ(Rows(view.Store()), (V{std::string(45, 'a') + "|c", "b|c", std::string(25, 'c') + "|c", "d|e"}));
  EXPECT_EQ(view.Store().RowMarks(0), (TRowMarks{1, 3}));
  EXPECT_EQ(view.Store().RowMarks(2), (TRowMarks{2, 4}));
  EXPECT_EQ(view.Col(), 0);
}

TEST_F(WordWrap, NothingRewrapsWhileTheViewLoads) {
  view.Store().SetWordWrap(false);
  view.Lines().SetText(std::string(45, 'a'));
  view.loading = true;
  view.Store().SetWordWrap(true);
  EXPECT_EQ(view.Store().Count(), 1);
  view.loading = false;
  view.Store().WrapAll();
  EXPECT_EQ(view.Store().Count(), 3);
  EXPECT_EQ(view.Store().RowAttributes(2), raEof);
}

TEST_F(WordWrap, TypingIntoAWrappedLineRewrapsIt) {
  view.Lines().SetText(std::string(45, 'a') + "\r\nb\r\n");
  // Replace the middle row of the first line.
  view.Store().ChangeRows(1, 1, std::string(10, 'x'));
  EXPECT_EQ(Rows(view.Store()), (V{std::string(20, 'a') + "|w", std::string(10, 'x') + "aaaaa|c", "b|c"}));
  EXPECT_EQ(view.Lines().Get(0), std::string(20, 'a') + std::string(10, 'x') + "aaaaa");
}

}  // namespace
}  // namespace corvida
