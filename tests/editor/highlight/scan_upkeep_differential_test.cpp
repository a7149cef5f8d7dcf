// Random edits against a scan of the whole text from the top: the stored
// state of every computed row must equal the full scan's, and scrolling
// through the text must compute the rest the same way.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/highlight/scan_helpers.h"
#include "editor/model/scan_state.h"

namespace corvida {
namespace {

using testing::AddBracket;
using testing::NewEditorFountain;
using testing::StatesFromTop;

constexpr int kWindow = 24;

class ScanUpkeepDifferential : public ::testing::Test {
 protected:
  ScanUpkeepDifferential() : fountain_(NewEditorFountain()), rng_(20261207) {
    AddBracket(*fountain_, "/*", "*/");
    AddBracket(*fountain_, "{", "}");
    fountain_->SetCommenter("//");
    fountain_->SetQuotation("\"");
    fountain_->ReserveWordList()->Add("total");
    fountain_->ReserveWordList()->Add("if");
    parser_ = fountain_->CreateParser();
    reference_ = testing::TFullScanParser::Create(fountain_.get());
  }

  int Random(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::string RandomText() {
    static const char* const kPieces[] = {"/*", "*/", "{", "}", "//", "\"", "total", "if", "x", "12.5", " ", " ",
                                          "ab", "\x8a\xbf", "\x82\xa0", "*", "/", "\t", "1", ".", "e", "2"};
    std::string s;
    const int n = Random(5);
    for (int i = 0; i < n; ++i) s += kPieces[Random(std::size(kPieces))];
    return s;
  }

  void AddRandomRow(int at, bool wrap) {
    rows_.Insert(at, RandomText());
    rows_.SetRowAttributes(at, wrap && Random(2) == 0 ? raWrapped : raCrlf);
  }

  // Only the last row may end the text without a break, and it never wraps.
  // A row whose attribute has to change is rewritten, as the store does;
  // returns the first such row (Count when none).
  int FixLastRow() {
    const int last = rows_.Count() - 1;
    int changed = rows_.Count();
    auto rewrite = [&](int row, TRowAttribute attribute) {
      const std::string text = rows_.Strings(row);
      rows_.Delete(row);
      rows_.Insert(row, text);
      rows_.SetRowAttributes(row, attribute);
      changed = std::min(changed, row);
    };
    if (last > 0 && rows_.RowAttributes(last - 1) == raEof) rewrite(last - 1, raCrlf);
    if (last >= 0 && rows_.RowAttributes(last) == raWrapped) rewrite(last, Random(2) ? raEof : raCrlf);
    return changed;
  }

  // Replaces up to three rows at a random place by up to three new ones (new
  // rows are not computed) and keeps the states up to date, as an edit does.
  void RandomEdit(bool wrap) {
    const int count = rows_.Count();
    const int at = Random(count + 1);
    const int removed = std::min(Random(4), count - at);
    const int added = Random(4);
    for (int i = 0; i < removed; ++i) rows_.Delete(at);
    for (int i = 0; i < added; ++i) AddRandomRow(at + i, wrap);
    const int from = std::min(at, FixLastRow());
    if (from < rows_.Count()) RescanRowStates(rows_, from, *parser_, kWindow, true, {});
  }

  void ExpectComputedRowsMatchFullScan(const char* when) {
    const auto full = StatesFromTop(*reference_, rows_);
    bool computed = true;
    for (int r = 0; r < rows_.Count(); ++r) {
      if (!ScanStateValid(rows_, r)) {
        computed = false;
        continue;
      }
      ASSERT_TRUE(computed) << when << ": row " << r << " is computed below a row that is not";
      ASSERT_TRUE(StoredScanState(rows_, r) == full[r]) << when << ": row " << r << " of " << rows_.Count();
    }
  }

  // Shows every row from the top, scanning those not computed on demand.
  void ScrollThrough() {
    for (int r = 0; r < rows_.Count(); ++r) {
      if (!ScanStateValid(rows_, r)) {
        EXPECT_EQ(RescanRowStates(rows_, r, *parser_, kWindow, false, {}), 0);
      }
      ASSERT_TRUE(ScanStateValid(rows_, r));
    }
    ExpectComputedRowsMatchFullScan("after scrolling");
  }

  std::unique_ptr<TEditorFountain> fountain_;
  std::unique_ptr<TFountainParser> parser_;
  std::unique_ptr<TFountainParser> reference_;
  TRowAttributeStringList rows_;
  std::mt19937 rng_;
};

TEST_F(ScanUpkeepDifferential, RandomEditsKeepEveryComputedRowRight) {
  for (int round = 0; round < 4; ++round) {
    const bool wrap = round % 2 == 1;
    rows_.Clear();
    for (int i = 0; i < 40; ++i) AddRandomRow(i, wrap);
    FixLastRow();
    InitRowStates(rows_, *parser_, kWindow);
    ExpectComputedRowsMatchFullScan("after the initial scan");
    for (int edit = 0; edit < 5000; ++edit) {
      RandomEdit(wrap);
      ExpectComputedRowsMatchFullScan("after an edit");
      if (HasFatalFailure()) return;
      if (edit % 500 == 499) ScrollThrough();
      // Keep the text between about 20 and 120 rows.
      if (rows_.Count() > 120) {
        for (int i = 0; i < 60; ++i) rows_.Delete(rows_.Count() - 1);
        const int from = FixLastRow();
        if (from < rows_.Count()) RescanRowStates(rows_, from, *parser_, kWindow, true, {});
      }
    }
    ScrollThrough();
  }
}

TEST_F(ScanUpkeepDifferential, AnEditThatKeepsTheStateBelowRescansOneRow) {
  for (int i = 0; i < 300; ++i) rows_.Add(i % 3 == 0 ? "/* comment" : "text */ more { x }");
  InitRowStates(rows_, *parser_, 1000);
  rows_.SetStrings(150, "/* comment, edited");
  InvalidateScanState(rows_, 150);
  std::vector<int> rewritten;
  EXPECT_EQ(RescanRowStates(rows_, 150, *parser_, kWindow, true, [&](int r) { rewritten.push_back(r); }), 1);
  EXPECT_EQ(rewritten, std::vector<int>{150});
}

TEST_F(ScanUpkeepDifferential, OpeningACommentRewritesTheWindowAndMarksTheRestNotComputed) {
  for (int i = 0; i < 300; ++i) rows_.Add("code { x } 12");
  InitRowStates(rows_, *parser_, 1000);
  rows_.SetStrings(10, "/* open");
  InvalidateScanState(rows_, 10);
  EXPECT_EQ(RescanRowStates(rows_, 10, *parser_, kWindow, true, {}), kWindow + 1);
  for (int r = 11; r <= 10 + kWindow; ++r) ASSERT_EQ(rows_.BracketIndexes(r), 0) << r;
  for (int r = 11 + kWindow; r < 300; ++r) ASSERT_FALSE(ScanStateValid(rows_, r)) << r;
  ScrollThrough();
}

}  // namespace
}  // namespace corvida
