// Random edits of the row store checked against a plain model of the text:
// Lines operations, ChangeRows with multi-line double-byte texts, word wrap
// switched and rewidthed, undo and redo runs. After every step the text
// equals the model's, the rows equal a fresh wrap of that text, and the
// marks are all still there, and the store's index answers as walks over the
// rows do; undoing a whole history gives back the rows it started from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "editor/model/fake_view.h"
#include "editor/model/row_walks.h"

namespace corvida {
namespace {

using testing::FakeView;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultSteps = 4000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kDefaultSteps = 4000;
#else
constexpr int kDefaultSteps = 100000;
#endif
#else
constexpr int kDefaultSteps = 100000;
#endif

// CORVIDA_MODEL_STEPS overrides the number of random steps.
int Steps() {
  const char* env = std::getenv("CORVIDA_MODEL_STEPS");
  return env ? std::atoi(env) : kDefaultSteps;
}

const char* const kPieces[] = {"a", "bc", " ", "\t", "\x82\xa0", "\x81\x41", "(", ")", "\xb6",
                               "xxxxxxxxx", "\x88\x9f\x88\xa0\x88\xa1", "."};

// The text as lines and whether it ends with a line break.
struct Model {
  std::vector<std::string> lines;
  bool finalBreak = false;

  static Model Of(const std::string& text) {
    Model m;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
      m.lines.push_back(text.substr(start, at - start));
    if (start < text.size())
      m.lines.push_back(text.substr(start));
    else
      m.finalBreak = !text.empty();
    return m;
  }
  std::string Text() const {
    std::string t;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) t += "\r\n";
      t += lines[i];
    }
    if (finalBreak) t += "\r\n";
    return t;
  }
};

// The rows as "text|attribute".
using Snapshot = std::vector<std::string>;

struct State {
  std::string text;
  Snapshot rows;
};

class ModelTest {
 public:
  explicit ModelTest(uint32_t seed) : rng_(seed) {}

  void Run(int steps) {
    for (step_ = 0; step_ < steps && !::testing::Test::HasFatalFailure(); ++step_) {
      Step();
      Check();
    }
  }

 private:
  int Random(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

  std::string Piece(bool breaks) {
    std::string s;
    const int n = Random(14);
    for (int i = 0; i < n; ++i) {
      if (breaks && Random(8) == 0)
        s += "\r\n";
      else
        s += kPieces[Random(std::size(kPieces))];
    }
    return s;
  }

  TEditorScreenStrings& Store() { return view_.Store(); }

  void Edited(const State& before) {
    undo_.push_back(before);
    if (undo_.size() > 64) undo_.erase(undo_.begin());
    redo_.clear();
  }

  void Step() {
    const State before{text_, Take()};
    Model m = Model::Of(text_);
    const int lineCount = static_cast<int>(m.lines.size());
    // Keep the text small so that every step can be checked whole.
    const bool shrink = text_.size() > 800;
    const int op = shrink ? 30 : Random(100);
    if (op < 12) {
      const std::string s = Piece(false);
      view_.Lines().Add(s);
      m.lines.push_back(s);
      if (lineCount > 0 && !m.finalBreak) {
        m.finalBreak = false;
      } else {
        m.finalBreak = true;
      }
      text_ = m.Text();
      Edited(before);
    } else if (op < 20) {
      const int i = Random(lineCount + 1);
      const std::string s = Piece(false);
      view_.Lines().Insert(i, s);
      if (i == lineCount) {
        m.lines.push_back(s);
        m.finalBreak = lineCount == 0 || m.finalBreak;
      } else {
        m.lines.insert(m.lines.begin() + i, s);
      }
      text_ = m.Text();
      Edited(before);
    } else if (op < 28 && lineCount > 0) {
      const int i = Random(lineCount);
      const std::string s = Random(4) == 0 ? std::string() : Piece(false);
      view_.Lines().Put(i, s);
      if (s.empty() && i == lineCount - 1 && !m.finalBreak) {
        // A last line without a break that is emptied goes away.
        m.lines.pop_back();
        m.finalBreak = !m.lines.empty();
      } else {
        m.lines[static_cast<size_t>(i)] = s;
      }
      text_ = m.Text();
      Edited(before);
    } else if (op < 34 && lineCount > 0) {
      const int i = Random(lineCount);
      view_.Lines().Delete(i);
      if (i == lineCount - 1 && !m.finalBreak) m.finalBreak = true;
      m.lines.erase(m.lines.begin() + i);
      if (m.lines.empty()) m.finalBreak = false;
      text_ = m.Text();
      Edited(before);
    } else if (op < 70) {
      const int count = Store().Count();
      const int row = Random(count + 1);
      const int n = Random(std::min(3, count - row) + 1);
      std::string s = Piece(true);
      if (n == 0 && s.empty()) s = "z";
      TRowAttribute a;
      int k;
      std::string head, range;
      Store().GetRowsText(0, row, a, k, head);
      if (row == count) head = text_;
      Store().GetRowsText(row, n, a, k, range);
      Store().ChangeRows(row, n, s);
      text_ = text_.substr(0, head.size()) + s + text_.substr(head.size() + range.size());
      Edited(before);
    } else if (op < 78) {
      if (undo_.empty()) return;
      redo_.push_back(before);
      Store().Undo();
      text_ = undo_.back().text;
      ASSERT_EQ(Take(), undo_.back().rows) << "step " << step_;
      undo_.pop_back();
    } else if (op < 84) {
      if (redo_.empty()) return;
      undo_.push_back(before);
      Store().Redo();
      text_ = redo_.back().text;
      ASSERT_EQ(Take(), redo_.back().rows) << "step " << step_;
      redo_.pop_back();
    } else if (op < 87) {
      UndoAllAndBack();
    } else if (op < 90) {
      Store().SetWordWrap(!Store().WordWrap());
      WrapChanged(true);
    } else if (op < 93) {
      const int wrapByte = 20 + Random(12);
      const bool changed = wrapByte != Store().WrapOption().WrapByte();
      Store().WrapOption().SetWrapByte(wrapByte);
      WrapChanged(changed && Store().WordWrap());
    } else if (op < 95) {
      TEditorWrapOption& o = Store().WrapOption();
      switch (Random(4)) {
        case 0: o.SetFollowRetMark(!o.FollowRetMark()); break;
        case 1: o.SetFollowPunctuation(!o.FollowPunctuation()); break;
        case 2: o.SetLeading(!o.Leading()); break;
        default: o.SetWordBreak(!o.WordBreak()); break;
      }
      WrapChanged(Store().WordWrap());
    } else if (op < 98) {
      PlaceMark();
    } else {
      view_.SetCol(Random(3));
    }
  }

  // A rewrap empties both undo lists.
  void WrapChanged(bool rewrapped) {
    if (!rewrapped) return;
    undo_.clear();
    redo_.clear();
    ASSERT_FALSE(Store().UndoObj().CanUndo());
    ASSERT_FALSE(Store().UndoObj().CanRedo());
  }

  void PlaceMark() {
    if (Store().Count() == 0) return;
    const int mark = Random(10);
    for (int r = 0; r < Store().Count(); ++r) {
      TRowMarks m = Store().RowMarks(r);
      m.Exclude(mark);
      Store().SetRowMarks(r, m);
    }
    const int row = Random(Store().Count());
    TRowMarks m = Store().RowMarks(row);
    m.Include(mark);
    Store().SetRowMarks(row, m);
    Store().IncludeMarks(TRowMarks{mark});
  }

  Snapshot Take() { return testing::Rows(Store()); }

  void UndoAllAndBack() {
    const Snapshot now = Take();
    const std::string nowText = text_;
    const size_t steps = undo_.size();
    if (steps == 0) return;
    for (size_t i = 0; i < steps; ++i) Store().Undo();
    ASSERT_EQ(view_.Lines().Text(), undo_.front().text) << "step " << step_;
    ASSERT_FALSE(Store().UndoObj().CanUndo());
    ASSERT_EQ(Take(), undo_.front().rows) << "step " << step_;
    for (size_t i = 0; i < steps; ++i) Store().Redo();
    ASSERT_EQ(view_.Lines().Text(), nowText) << "step " << step_;
    ASSERT_EQ(Take(), now) << "step " << step_;
    (void)nowText;
  }

  // The rows of text wrapped afresh with the store's settings.
  Snapshot Rewrapped(const std::string& text) {
    FakeView fresh;
    fresh.Store().WrapOption().Assign(&Store().WrapOption());
    fresh.Store().SetWordWrap(Store().WordWrap());
    fresh.Lines().SetText(text);
    return testing::Rows(fresh.Store());
  }

  void Check() {
    TEditorScreenStrings& s = Store();
    ASSERT_EQ(view_.Lines().Text(), text_) << "step " << step_;
    ASSERT_EQ(view_.Lines().Count(), static_cast<int>(Model::Of(text_).lines.size())) << "step " << step_;
    ASSERT_EQ(Take(), Rewrapped(text_)) << "step " << step_;
    testing::ExpectIndexMatchesWalks(s, checkRng_, "step " + std::to_string(step_));
    if (::testing::Test::HasFatalFailure()) return;
    const TColumnLayout layout = s.Layout();
    uint16_t marks = 0;
    for (int r = 0; r < s.Count(); ++r) {
      ASSERT_EQ(s.StringRef(r).find_first_of("\r\n"), std::string::npos);
      if (r < s.Count() - 1) {
        ASSERT_NE(s.RowAttributes(r), raEof) << "step " << step_;
      }
      if (!s.WordWrap()) {
        ASSERT_NE(s.RowAttributes(r), raWrapped);
      } else {
        // Within the margin, or past it by hanging punctuation: up to two
        // columns, and a double-byte mark may begin in the second.
        ASSERT_LE(StrColumns(s.StringRef(r), layout), layout.wrapByte + 3) << "step " << step_;
        if (s.RowAttributes(r) == raWrapped) {
          ASSERT_FALSE(s.StringRef(r).empty()) << "step " << step_;
        }
      }
      ASSERT_EQ(marks & s.RowMarks(r).Bits(), 0) << "a mark twice, step " << step_;
      marks |= s.RowMarks(r).Bits();
    }
    ASSERT_EQ(marks, s.UsedMarks().Bits()) << "step " << step_;
    ASSERT_EQ(s.UndoObj().UndoList().Count(), static_cast<int>(undo_.size())) << "step " << step_;
    ASSERT_EQ(s.UpdateCount(), 0);
    ASSERT_EQ(view_.caretLevel, 0);
  }

  std::mt19937 rng_;
  // Picks the offsets the index is asked about, apart from the edits' own
  // sequence.
  std::mt19937 checkRng_{7};
  FakeView view_;
  std::string text_;
  std::vector<State> undo_;
  std::vector<State> redo_;
  int step_ = 0;
};

TEST(RowStoreModel, RandomEditsMatchAPlainModelOfTheText) {
  const int steps = Steps();
  ModelTest(1).Run(steps / 2);
  ModelTest(2).Run(steps - steps / 2);
}

}  // namespace
}  // namespace corvida
