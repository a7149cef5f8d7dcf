#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/model/editor_screen.h"
#include "editor/model/fake_view.h"
#include "editor/model/scan_state.h"

namespace corvida {
namespace {

// A scanner for region comments: '{' opens one, '}' closes it.
class BraceScanner : public TRowScanner {
 public:
  void ScanRowState(int index, TRowAttributeStringList& strings, TRowAttributeData& data) override {
    for (char c : strings.StringRef(index)) {
      if (c == '{') data.BracketIndex = 0;
      if (c == '}') data.BracketIndex = -1;
    }
  }
};

// A view that scans with BraceScanner, repaints through a TEditorScreen and
// records what it was asked to repaint.
class ScreenView : public testing::FakeView, public TEditorScreenView {
 public:
  ScreenView() : screen_(this) {}

  TEditorScreenStrings* ScreenStrings() const override { return FakeView::ScreenStrings(); }
  int TopRow() const override { return FakeView::TopRow(); }
  int VisibleRows() const override { return visibleRows; }
  void RepaintTextArea() override { log.push_back("area"); }
  void RepaintRows(int first, int last) override {
    log.push_back("rows " + std::to_string(first) + "-" + std::to_string(last));
  }
  void ScrollTextRows(int row, int by) override {
    log.push_back("scroll text " + std::to_string(row) + " by " + std::to_string(by));
  }
  void ScrollImagebarRows(int row, int by) override {
    log.push_back("scroll imagebar " + std::to_string(row) + " by " + std::to_string(by));
  }
  bool ImagebarVisible() const override { return imagebarVisible; }
  bool LeftbarShowsNumbers() const override { return leftbarNumbers; }
  TShowNumberMode ShowNumberMode() const override { return numberMode; }
  void RepaintLeftbarNumbers(int first, int last) override {
    log.push_back("numbers " + std::to_string(first) + "-" + std::to_string(last));
  }

  void StringsChange() override {
    FakeView::StringsChange();
    screen_.Update();
  }
  void InvalidateRow(int row) override { invalidated.push_back(row); }
  bool InitBracketsFull() const override { return initBracketsFull; }
  std::unique_ptr<TRowScanner> CreateRowScanner() override { return std::make_unique<BraceScanner>(); }

  // 768 / 13 = 59 rows a screen, so the scan window is 118 rows.
  static constexpr int kWindow = 118;

  std::vector<std::string> log;
  std::vector<int> invalidated;
  int visibleRows = 20;
  bool imagebarVisible = false;
  bool leftbarNumbers = false;
  TShowNumberMode numberMode = nmLine;
  bool initBracketsFull = false;

 private:
  TEditorScreen screen_;
};

class ScanUpkeepTest : public ::testing::Test {
 protected:
  void SetLines(int count, const std::string& text = "a") {
    std::string all;
    for (int i = 0; i < count; ++i) all += text + std::to_string(i) + "\r\n";
    view_.Lines().SetText(all);
    view_.log.clear();
    view_.invalidated.clear();
  }
  TEditorScreenStrings& Store() { return view_.Store(); }

  ScreenView view_;
};

TEST(ScanState, MarkingNotComputedKeepsHowTheRowEndsAndItsMarks) {
  TRowAttributeStringList rows;
  rows.Add("x");
  rows.SetRowAttributes(0, raWrapped);
  rows.SetRowMarks(0, TRowMarks{1, 9});
  TRowAttributeData state;
  state.PrevRowAttribute = raWrapped;
  state.BracketIndex = 13;
  state.ElementIndex = 255;
  state.WrappedByte = 200;
  state.Remain = 17;
  state.PrevToken = 26;
  state.StartToken = 3;
  state.DataStr = "s";
  StoreScanState(rows, 0, state);
  state.RowAttribute = raWrapped;
  EXPECT_EQ(StoredScanState(rows, 0), state);
  InvalidateScanState(rows, 0);
  TRowAttributeData invalid;
  invalid.RowAttribute = raWrapped;
  invalid.BracketIndex = -2;
  EXPECT_EQ(StoredScanState(rows, 0), invalid);
  EXPECT_EQ(rows.RowMarks(0), (TRowMarks{1, 9}));
}

TEST_F(ScanUpkeepTest, InitScanComputesTheWindowOrEverything) {
  SetLines(500);
  for (int r = 0; r < 500; ++r) ASSERT_EQ(ScanStateValid(Store(), r), r <= ScreenView::kWindow) << r;
  view_.initBracketsFull = true;
  Store().InitScan();
  for (int r = 0; r < 500; ++r) ASSERT_TRUE(ScanStateValid(Store(), r)) << r;
}

TEST_F(ScanUpkeepTest, InitScanWaitsForTheViewToFinishLoading) {
  SetLines(5);
  view_.loading = true;
  Store().SetStrings(0, "{");
  for (int r = 0; r < 5; ++r) InvalidateScanState(Store(), r);
  Store().InitScan();
  EXPECT_FALSE(ScanStateValid(Store(), 0));
}

TEST_F(ScanUpkeepTest, TypingInsideACommentRescansOnlyTheEditedRow) {
  SetLines(20);
  Store().ChangeRows(3, 1, "{ open\r\n");
  Store().ChangeRows(10, 1, "} close\r\n");
  ASSERT_EQ(Store().BracketIndexes(7), 0);
  view_.invalidated.clear();
  Store().ChangeRows(7, 0, "x");  // typed at the start of row 7
  EXPECT_EQ(view_.invalidated, std::vector<int>{7});
  EXPECT_EQ(Store().BracketIndexes(8), 0);
  EXPECT_EQ(Store().BracketIndexes(11), -1);
}

TEST_F(ScanUpkeepTest, OpeningACommentRewritesTwoScreensAndTheRestOnDemand) {
  SetLines(500);
  view_.initBracketsFull = true;
  Store().InitScan();
  Store().ChangeRows(5, 1, "{\r\n");
  const int limit = 5 + ScreenView::kWindow;
  for (int r = 6; r <= limit; ++r) ASSERT_EQ(Store().BracketIndexes(r), 0) << r;
  for (int r = limit + 1; r < 500; ++r) ASSERT_FALSE(ScanStateValid(Store(), r)) << r;
  // A row scrolled into view is scanned on demand, without repaints.
  view_.invalidated.clear();
  EXPECT_EQ(Store().RescanRows(300, false), 0);
  EXPECT_TRUE(view_.invalidated.empty());
  EXPECT_EQ(Store().BracketIndexes(300), 0);
  EXPECT_EQ(Store().BracketIndexes(limit + 1), 0);
}

TEST_F(ScanUpkeepTest, ScanningAheadComputesTheRowsBelowInStepsAndResumesAfterAnEdit) {
  SetLines(1000);
  Store().ChangeRows(5, 1, "{\r\n");
  view_.invalidated.clear();
  const int computed = FirstRowNotComputed(Store());
  ASSERT_LT(computed, 200);
  // Each step takes the next rows from the first row not computed.
  EXPECT_TRUE(Store().ScanAhead(300));
  EXPECT_EQ(FirstRowNotComputed(Store()), computed + 300);
  while (Store().ScanAhead(300)) {
  }
  EXPECT_EQ(FirstRowNotComputed(Store()), Store().Count());
  EXPECT_EQ(Store().BracketIndexes(Store().Count() - 1), 0);
  EXPECT_FALSE(Store().ScanAhead(300));
  EXPECT_TRUE(view_.invalidated.empty());
  // Closing the comment leaves the rows below the window to be computed again.
  Store().ChangeRows(6, 0, "}\r\n");
  ASSERT_LT(FirstRowNotComputed(Store()), Store().Count());
  while (Store().ScanAhead(300)) {
  }
  for (int r = 7; r < Store().Count(); ++r) ASSERT_EQ(Store().BracketIndexes(r), -1) << r;
  // Not while the view loads.
  Store().ChangeRows(6, 1, "");
  view_.loading = true;
  EXPECT_FALSE(Store().ScanAhead(300));
}

TEST_F(ScanUpkeepTest, RescanWithoutAValidRowOrScannerDoesNothing) {
  SetLines(3);
  EXPECT_EQ(Store().RescanRows(3, true), 0);
  EXPECT_EQ(Store().RescanRows(-1, true), 0);
  testing::FakeView plain;  // its fountain gives no scanner
  plain.Lines().SetText("{\r\nb\r\n");
  EXPECT_EQ(plain.Store().RescanRows(0, true), 0);
  EXPECT_FALSE(ScanStateValid(plain.Store(), 1));
}

// The repaint range.

TEST_F(ScanUpkeepTest, ReplacingRowsRepaintsThemOnly) {
  SetLines(10);
  view_.leftbarNumbers = true;
  Store().ChangeRows(3, 1, "x\r\n");  // rows 3 and 4 are rewritten as one range
  EXPECT_EQ(view_.log, (std::vector<std::string>{"rows 3-4", "numbers 5-20"}));
}

TEST_F(ScanUpkeepTest, RowNumbersAreRepaintedOnlyWhenTheRowCountChangesNearTheEnd) {
  SetLines(10);
  view_.leftbarNumbers = true;
  view_.numberMode = nmRow;
  Store().ChangeRows(3, 1, "x\r\n");
  EXPECT_EQ(view_.log, (std::vector<std::string>{"rows 3-4"}));
  view_.log.clear();
  Store().ChangeRows(3, 0, "new\r\n");
  EXPECT_EQ(view_.log, (std::vector<std::string>{"rows 3-4", "scroll text 5 by 1", "numbers 5-20"}));
  SetLines(40);
  Store().ChangeRows(3, 0, "new\r\n");
  EXPECT_EQ(view_.log, (std::vector<std::string>{"rows 3-4", "scroll text 5 by 1"}));
}

TEST_F(ScanUpkeepTest, InsertingScrollsTheRowsBelow) {
  SetLines(10);
  view_.imagebarVisible = true;
  Store().ChangeRows(3, 0, "new\r\n");
  EXPECT_EQ(view_.log, (std::vector<std::string>{"rows 3-4", "scroll imagebar 5 by 1", "scroll text 5 by 1"}));
}

TEST_F(ScanUpkeepTest, ANewScanStateBelowTheTextRepaintsDownToIt) {
  SetLines(10);
  Store().ChangeRows(2, 1, "{\r\n");  // every row below changes state
  EXPECT_EQ(view_.log, (std::vector<std::string>{"rows 2-11"}));
}

TEST_F(ScanUpkeepTest, DeletingTheLastLineRepaintsTheEndOfFileMark) {
  SetLines(10);
  view_.Lines().Delete(9);
  EXPECT_EQ(view_.log, (std::vector<std::string>{"scroll text 9 by -1", "rows 9-10"}));
}

TEST_F(ScanUpkeepTest, InsertingMoreRowsThanTheViewShowsRepaintsTheWholeView) {
  SetLines(10);
  std::string many;
  for (int i = 0; i < 25; ++i) many += "n\r\n";
  Store().ChangeRows(3, 0, many);
  EXPECT_EQ(view_.log, (std::vector<std::string>{"area"}));
}

TEST_F(ScanUpkeepTest, NoPendingChangeRepaintsNothing) {
  SetLines(10);
  TEditorScreen screen(&view_);
  screen.Update();
  EXPECT_TRUE(view_.log.empty());
}

}  // namespace
}  // namespace corvida
