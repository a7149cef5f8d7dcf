// The row store's own edits (ChangeRows, undo, redo, rewrapping) with the
// default fountain's tokenizer: every computed row must hold the state a
// scan of the whole text from the top gives, and scrolling computes the rest.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/highlight/scan_helpers.h"
#include "editor/model/fake_view.h"
#include "editor/model/scan_state.h"

namespace corvida {
namespace {

using testing::AddBracket;
using testing::NewEditorFountain;
using testing::StatesFromTop;

// A view on a 130-pixel screen of 13-pixel rows: a scan window of 20 rows.
class FountainView : public testing::FakeView {
 public:
  explicit FountainView(TFountain* fountain) : fountain_(fountain) {}
  int ScreenHeight() const override { return 130; }
  std::unique_ptr<TRowScanner> CreateRowScanner() override { return fountain_->CreateParser(); }

 private:
  TFountain* fountain_;
};

class StoreScanDifferential : public ::testing::Test {
 protected:
  StoreScanDifferential() : fountain_(NewEditorFountain()), view_(fountain_.get()), rng_(7) {
    AddBracket(*fountain_, "/*", "*/");
    AddBracket(*fountain_, "{", "}");
    fountain_->SetCommenter("//");
    fountain_->SetQuotation("\"");
    fountain_->ReserveWordList()->Add("total");
    reference_ = testing::TFullScanParser::Create(fountain_.get());
    view_.Store().WrapOption().SetWrapByte(20);
  }

  int Random(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::string RandomText() {
    static const char* const kPieces[] = {"/*", "*/", "{", "}", "//", "\"", "total", "abcdefgh", " ", "12.5",
                                          "\x8a\xbf\x8e\x9a", "\r\n", "\r\n", "\r\n", "\r\n", "\t", "*", "/", "1", "."};
    std::string s;
    const int n = Random(11);
    for (int i = 0; i < n; ++i) s += kPieces[Random(std::size(kPieces))];
    return s;
  }

  void RandomEdit() {
    TEditorScreenStrings& store = view_.Store();
    const int count = store.Count();
    switch (Random(10)) {
      case 0:
        store.Undo();
        return;
      case 1:
        store.Redo();
        return;
      default: {
        const int row = Random(count + 1);
        const int n = std::min(Random(3), count - row);
        store.ChangeRows(row, n, RandomText());
      }
    }
  }

  void ExpectComputedRowsMatchFullScan() {
    TEditorScreenStrings& store = view_.Store();
    const auto full = StatesFromTop(*reference_, store);
    bool computed = true;
    for (int r = 0; r < store.Count(); ++r) {
      if (!ScanStateValid(store, r)) {
        computed = false;
        continue;
      }
      ASSERT_TRUE(computed) << "row " << r << " is computed below a row that is not";
      ASSERT_TRUE(StoredScanState(store, r) == full[r]) << "row " << r << " of " << store.Count();
    }
  }

  void ScrollThrough() {
    TEditorScreenStrings& store = view_.Store();
    for (int r = 0; r < store.Count(); ++r) {
      if (!ScanStateValid(store, r)) store.RescanRows(r, false);
      ASSERT_TRUE(ScanStateValid(store, r)) << r;
    }
    ExpectComputedRowsMatchFullScan();
  }

  std::unique_ptr<TEditorFountain> fountain_;
  FountainView view_;
  std::unique_ptr<TFountainParser> reference_;
  std::mt19937 rng_;
};

TEST_F(StoreScanDifferential, EditsUndoAndRewrapKeepEveryComputedRowRight) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += RandomText() + "\r\n";
  view_.Lines().SetText(text);
  for (int round = 0; round < 4; ++round) {
    view_.Store().SetWordWrap(round % 2 == 1);
    ExpectComputedRowsMatchFullScan();
    for (int edit = 0; edit < 1000; ++edit) {
      RandomEdit();
      ExpectComputedRowsMatchFullScan();
      if (HasFatalFailure()) return;
      if (edit % 250 == 249) ScrollThrough();
      // Keep the text between about 40 and 200 rows.
      TEditorScreenStrings& store = view_.Store();
      if (store.Count() > 200) store.ChangeRows(100, store.Count() - 100, "");
      if (store.Count() < 40) store.ChangeRows(Random(store.Count() + 1), 0, RandomText() + "\r\n\r\n\r\n\r\n");
    }
    ScrollThrough();
  }
}

}  // namespace
}  // namespace corvida
