// The store's answers about rows, lines and character offsets come from its
// index of the rows; here they are checked against walks over the rows after
// random changes through every path that changes rows: the edit primitive,
// Lines, undo and redo, rewraps, loading and the list's own operations, on
// texts long enough that the index's blocks are cut up and joined.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/model/fake_view.h"
#include "editor/model/row_walks.h"
#include "temp_folder.h"

namespace corvida {
namespace {

using testing::FakeView;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSteps = 300;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kSteps = 300;
#else
constexpr int kSteps = 1500;
#endif
#else
constexpr int kSteps = 1500;
#endif

const char* const kPieces[] = {"a", "bc", " ", "\t", "\x82\xa0", "\x81\x41", "(", "\xb6", "xxxxxxxxx", "."};

class IndexDifferential {
 public:
  explicit IndexDifferential(uint32_t seed) : rng_(seed) {}

  // Edits as a user and the program make them.
  void RunEdits(int steps) {
    view_.Store().WrapOption().SetWrapByte(20);
    view_.Lines().SetText(Text(1500, true));
    for (step_ = 0; step_ < steps && !::testing::Test::HasFatalFailure(); ++step_) {
      EditStep();
      Check();
    }
  }

  // The list's own operations, which may leave rows no edit would make
  // (an end-of-text row inside the text, an invalid attribute).
  void RunListOperations(int steps) {
    view_.Lines().SetText(Text(1200, true));
    for (step_ = 0; step_ < steps && !::testing::Test::HasFatalFailure(); ++step_) {
      ListStep();
      Check();
    }
  }

 private:
  int Random(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

  std::string Line() {
    std::string s;
    for (int i = Random(24); i > 0; --i) s += kPieces[Random(std::size(kPieces))];
    return s;
  }

  std::string Text(int lines, bool finalBreak) {
    std::string s;
    for (int i = 0; i < lines; ++i) {
      if (i > 0) s += "\r\n";
      s += Line();
    }
    if (finalBreak && lines > 0) s += "\r\n";
    return s;
  }

  // Mostly a few lines, now and then enough to cut up a block.
  int SomeLines() { return Random(10) == 0 ? Random(700) : Random(4); }

  TEditorScreenStrings& Store() { return view_.Store(); }

  void EditStep() {
    TEditorScreenStrings& s = Store();
    const int count = s.Count();
    const int op = count > 6000 ? 0 : Random(100);
    if (op < 40) {
      const int row = Random(count + 1);
      const int n = Random(std::min(count - row, SomeLines() + 1) + 1);
      std::string text = Text(SomeLines(), Random(2) == 0);
      if (n == 0 && text.empty()) text = "z";
      s.ChangeRows(row, n, text);
    } else if (op < 50) {
      const int lines = view_.Lines().Count();
      switch (Random(4)) {
        case 0: view_.Lines().Add(Line()); break;
        case 1: view_.Lines().Insert(Random(lines + 1), Line()); break;
        case 2:
          if (lines > 0) view_.Lines().Put(Random(lines), Line());
          break;
        default:
          if (lines > 0) view_.Lines().Delete(Random(lines));
          break;
      }
    } else if (op < 62) {
      for (int i = Random(6); i >= 0 && s.UndoObj().CanUndo(); --i) s.Undo();
    } else if (op < 70) {
      for (int i = Random(6); i >= 0 && s.UndoObj().CanRedo(); --i) s.Redo();
    } else if (op < 75) {
      s.SetWordWrap(!s.WordWrap());
    } else if (op < 79) {
      s.WrapOption().SetWrapByte(20 + Random(30));
    } else if (op < 81) {
      view_.Lines().SetText(Text(Random(3000), Random(2) == 0));
    } else if (op < 82) {
      testing::TempFolder folder;
      testing::WriteAll(folder.File("t.txt"), Text(Random(3000), Random(2) == 0));
      view_.Lines().LoadFromFile(folder.File("t.txt"));
    } else {
      // Typing: one row rewritten with a character more or less.
      if (count == 0) return;
      const int row = Random(count);
      std::string text(s.StringRef(row));
      if (Random(2) == 0 || text.empty())
        text += kPieces[Random(std::size(kPieces))];
      else
        text.pop_back();
      if (s.RowAttributes(row) == raCrlf) text += "\r\n";
      s.ChangeRows(row, 1, text);
    }
  }

  void ListStep() {
    TEditorScreenStrings& s = Store();
    const int count = s.Count();
    const int op = count > 5000 ? 0 : Random(100);
    if (op < 15) {
      const int row = Random(count);
      const int n = std::min(count - row, Random(10) == 0 ? Random(900) : Random(3));
      for (int i = 0; i < n; ++i) s.Delete(row);
    } else if (op < 30) {
      const int row = Random(count + 1);
      for (int i = SomeLines(); i > 0; --i) s.Insert(row, Line());
    } else if (op < 40) {
      const int row = Random(count + 1);
      const int n = std::min(count - row, Random(10) == 0 ? Random(2000) : Random(3));
      std::vector<TqdStringItem> rows = s.TakeRows(row, n);
      s.InsertRows(Random(s.Count() + 1), std::move(rows));
    } else if (op < 60) {
      if (count > 0) s.Put(Random(count), Line());
    } else if (op < 70) {
      if (count > 0) s.Exchange(Random(count), Random(count));
    } else if (op < 90) {
      if (count > 0) s.SetRowAttributes(Random(count), static_cast<TRowAttribute>(Random(4)));
    } else if (op < 95) {
      // Scan state and marks share the words with the row's attribute.
      if (count > 0) s.SetBracketIndexes(Random(count), Random(14));
      if (count > 0) s.SetRowMarks(Random(count), TRowMarks{Random(10)});
    } else if (op < 97) {
      s.Clear();
    } else {
      for (int i = Random(3000); i > 0; --i) s.Add(Line());
    }
  }

  void Check() {
    const std::string where = "step " + std::to_string(step_);
    if (step_ % 20 == 0) {
      testing::ExpectIndexMatchesWalks(Store(), rng_, where);
      return;
    }
    // Between the full checks, the totals and a few rows and lines.
    const TEditorScreenStrings& s = Store();
    ASSERT_EQ(s.TextLength(), testing::WalkTextLength(s)) << where;
    ASSERT_EQ(s.LineCount(), testing::WalkLineCount(s)) << where;
    for (int i = 0; i < 4; ++i) {
      const int row = Random(s.Count() + 2);
      ASSERT_EQ(s.BreaksBefore(row), testing::WalkBreaksBefore(s, row)) << where << " row " << row;
      ASSERT_EQ(s.RowOffset(row), testing::WalkRowOffset(s, row)) << where << " row " << row;
      testing::ExpectLineStartRow(s, Random(s.LineCount() + 2), where);
      testing::ExpectRowAtOffset(s, Random(s.Count() + 1), Random(testing::WalkRowOffset(s, s.Count()) + 2), where);
    }
  }

  std::mt19937 rng_;
  FakeView view_;
  int step_ = 0;
};

TEST(LineIndex, EditsWithAndWithoutWordWrapMatchWalksOverTheRows) {
  IndexDifferential(11).RunEdits(kSteps);
  IndexDifferential(12).RunEdits(kSteps / 2);
}

TEST(LineIndex, TheListsOwnOperationsMatchWalksOverTheRows) { IndexDifferential(21).RunListOperations(kSteps); }

// The questions a view asks about an empty store and about rows outside it.
TEST(LineIndex, EmptyStoreAndRowsOutside) {
  FakeView view;
  const TEditorScreenStrings& s = view.Store();
  EXPECT_EQ(s.LineCount(), 0);
  EXPECT_EQ(s.TextLength(), 0);
  EXPECT_EQ(s.LineStartRow(0), 0);
  EXPECT_THROW(s.LineStartRow(1), EStringListError);
  int offset = 5;
  EXPECT_EQ(s.RowAtOffset(3, offset), 0);
  view.Lines().SetText("ab\r\ncd");
  EXPECT_EQ(s.RowOffset(9), 7);  // the end of the text counts one
  EXPECT_EQ(s.BreaksBefore(-4), 0);
  offset = -1;
  EXPECT_EQ(s.RowAtOffset(1, offset), 1);
  EXPECT_EQ(offset, -1);
}

}  // namespace
}  // namespace corvida
