// Random key and character sequences against a plain model of the text, the
// caret offset, the selection and the undo history, with word wrap off and
// on, and again with auto indent, unindenting Backspace and a free caret.
// Horizontal moves and edits are predicted exactly; vertical and page moves
// are checked to land on a character and then followed. Where a prediction
// needs the rows (indents, wrap margins), it takes them from a second editor
// that only lays the model's text out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "editor/control/editor_fixture.h"
#include "platform/rtl/cp932.h"

namespace corvida {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultSteps = 1000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kDefaultSteps = 1000;
#else
constexpr int kDefaultSteps = 10000;
#endif
#else
constexpr int kDefaultSteps = 10000;
#endif

// CORVIDA_MODEL_STEPS overrides the number of random steps of each run.
int Steps() {
  const char* env = std::getenv("CORVIDA_MODEL_STEPS");
  return env ? std::atoi(env) : kDefaultSteps;
}

// Typed pieces: letters, a blank, double-byte characters (one with a trail
// byte below 0x80) and a half-width katakana.
const char* const kTyped[] = {"a", "b", " ", ".", "\x82\xa0", "\x88\x9f", "\x83\x41", "\xb6"};

constexpr int kTabStop = 8;

struct Reference {
  std::string text;
  int caret = 0;
  int virt = 0;  // columns past the end of the caret's line (free caret)
  bool shown = false;  // a selection is shown, maybe empty
  int anchor = 0;
  struct Step {
    std::string text;
    int caret;
    int virt;
  };
  std::vector<Step> undo;
  std::vector<Step> redo;

  // The offsets where characters start; a line break is one character.
  std::vector<int> Boundaries() const {
    std::vector<int> b;
    for (int i = 0; i < static_cast<int>(text.size());) {
      b.push_back(i);
      if (text.compare(static_cast<size_t>(i), 2, "\r\n") == 0 || IsLeadByte(text[static_cast<size_t>(i)]))
        i += 2;
      else
        ++i;
    }
    b.push_back(static_cast<int>(text.size()));
    return b;
  }
  int Previous() const {
    int p = 0;
    for (int b : Boundaries())
      if (b < caret) p = b;
    return p;
  }
  int Next() const {
    for (int b : Boundaries())
      if (b > caret) return b;
    return caret;
  }
  bool IsBoundary(int offset) const {
    for (int b : Boundaries())
      if (b == offset) return true;
    return false;
  }
  bool AtLineEnd(int offset) const {
    return offset == static_cast<int>(text.size()) || text.compare(static_cast<size_t>(offset), 2, "\r\n") == 0;
  }
  int Low() const { return std::min(anchor, caret); }
  int High() const { return std::max(anchor, caret); }

  void Edit(int from, int to, const std::string& s) {
    undo.push_back({text, caret, virt});
    redo.clear();
    text = text.substr(0, static_cast<size_t>(from)) + s + text.substr(static_cast<size_t>(to));
    caret = from + static_cast<int>(s.size());
    virt = 0;
  }
  // Drops a shown selection; true when it held text, which is deleted. The
  // caret goes to where the selection began.
  bool DeleteShown() {
    if (!shown) return false;
    shown = false;
    if (Low() == High()) {
      virt = 0;
      return false;
    }
    Edit(Low(), High(), "");
    return true;
  }
  // Typing past the end of a line fills the gap with spaces.
  void Type(const std::string& s) {
    if (shown) {
      shown = false;
      const int low = Low();
      const int high = High();
      Edit(low, high, s);
      return;
    }
    Edit(caret, caret, std::string(static_cast<size_t>(virt), ' ') + s);
  }
  void Restore(std::vector<Step>& from, std::vector<Step>& to) {
    if (from.empty()) return;
    to.push_back({text, caret, virt});
    text = from.back().text;
    caret = from.back().caret;
    virt = from.back().virt;
    from.pop_back();
  }
};

// One screen row of the model's text: its bytes, how it ends and the
// offset where it starts.
struct Row {
  std::string text;
  TRowAttribute attribute;
  int start;
};

class EditorKeyboardModelTest : public testing::EditorTest {
 protected:
  // free: auto indent, unindenting Backspace and a free caret.
  void Configure(bool wrap, bool free) {
    free_ = free;
    wrap_ = wrap;
    layout_ = TEditor::Create(form.get());
    for (TEditor* e : {editor, layout_}) {
      TEditorCaret* c = e->Caret();
      c->SetFreeCaret(free);
      c->SetNextLine(true);
      c->SetAutoIndent(free);
      c->SetBackSpaceUnIndent(free);
      c->SetTabSpaceCount(kTabStop);
      e->WrapOption()->SetWrapByte(20);
      e->SetWordWrap(wrap);
    }
    editor->SetUndoListMax(1 << 20);
    wrapByte_ = editor->WrapOption()->WrapByte();
  }
  void Key(int vk, bool shift) {
    if (shift) InjectKeyDown(VK_SHIFT);
    InjectKeyDown(vk);
    InjectKeyUp(vk);
    if (shift) InjectKeyUp(VK_SHIFT);
    Run();
  }
  // The editor's caret as an offset and the columns past its row's end.
  int EditorVirt() const { return std::max(0, editor->Col() - editor->RowWidth(editor->Row())); }
  int EditorCaret() const { return editor->CharOffset(0, editor->Row(), editor->Col() - EditorVirt()); }

  // ---- The model's layout ----

  std::vector<Row> RowsOf(const std::string& text) {
    layout_->Lines()->SetText(text);
    std::vector<Row> rows;
    int start = 0;
    for (int r = 0; r < layout_->ScreenStrings()->Count(); ++r) {
      rows.push_back({layout_->GetRowString(r), layout_->GetRowAttribute(r), start});
      start += static_cast<int>(rows.back().text.size()) + (rows.back().attribute == raCrlf ? 2 : 0);
    }
    return rows;
  }
  // The width of the character at byte i of a row that reaches column col
  // there: a tab runs to the next stop, never past the wrap margin.
  int CharColumns(std::string_view row, size_t i, int col) const {
    if (row[i] == '\t') {
      int width = kTabStop - col % kTabStop;
      if (wrap_) width = std::min(width, wrapByte_ - col % wrapByte_);
      return width;
    }
    return IsLeadByte(row[i]) ? 2 : 1;
  }
  size_t CharBytes(std::string_view row, size_t i) const { return IsLeadByte(row[i]) && i + 1 < row.size() ? 2 : 1; }
  int Columns(std::string_view row, size_t bytes) const {
    int col = 0;
    for (size_t i = 0; i < bytes; i += CharBytes(row, i)) col += CharColumns(row, i, col);
    return col;
  }
  // The columns of a row's leading blanks; -1 for an empty row.
  int Indent(std::string_view row) const {
    if (row.empty()) return -1;
    int col = 0;
    for (size_t i = 0; i < row.size() && (row[i] == ' ' || row[i] == '\t'); ++i) col += CharColumns(row, i, col);
    return col;
  }
  // The row holding offset and the byte inside it; past the last line
  // break the row count.
  static void Locate(const std::vector<Row>& rows, int offset, int& row, int& byte) {
    for (row = 0; row < static_cast<int>(rows.size()); ++row) {
      const Row& r = rows[static_cast<size_t>(row)];
      byte = offset - r.start;
      const int size = static_cast<int>(r.text.size());
      if (byte < size || (byte == size && r.attribute != raWrapped)) return;
    }
    byte = 0;
  }
  static int FirstRowOfLine(const std::vector<Row>& rows, int row) {
    while (row > 0 && rows[static_cast<size_t>(row - 1)].attribute == raWrapped) --row;
    return row;
  }

  // ---- Predictions ----

  void Backspace(Reference& ref) {
    if (ref.shown) {
      ref.DeleteShown();
      return;
    }
    if (!free_) {
      if (ref.caret > 0) ref.Edit(ref.Previous(), ref.caret, "");
      return;
    }
    const std::vector<Row> rows = RowsOf(ref.text);
    if (rows.empty()) {
      ref.virt = std::max(0, ref.virt - 1);
      return;
    }
    int r = 0;
    int b = 0;
    Locate(rows, ref.caret, r, b);
    const bool past = r == static_cast<int>(rows.size());
    const std::string text = past ? std::string() : rows[static_cast<size_t>(r)].text;
    const int size = static_cast<int>(text.size());
    if (b + ref.virt < 1) {
      if (ref.caret > 0) ref.Edit(ref.Previous(), ref.caret, "");
      return;
    }
    const int width = Columns(text, text.size());
    const int col = Columns(text, static_cast<size_t>(b)) + ref.virt;
    const int indent = Indent(text);
    if (indent != -1 && indent != width && col != indent) {
      if (ref.virt > 0)
        --ref.virt;
      else
        ref.Edit(ref.Previous(), ref.caret, "");
      return;
    }
    // Back to the indent of the nearest row above indented less than the
    // caret, passing over unindented rows of the caret's own line.
    const int lineStart = past ? r : FirstRowOfLine(rows, r);
    int target = 0;
    for (int above = r - 1; above >= 0; --above) {
      const int a = std::max(0, Indent(rows[static_cast<size_t>(above)].text));
      if (above >= lineStart && a == 0) continue;
      if (a < col) {
        target = a;
        break;
      }
    }
    const int rowStart = past ? static_cast<int>(ref.text.size()) : rows[static_cast<size_t>(r)].start;
    if (target >= width) {
      ref.caret = rowStart + size;
      ref.virt = target - width;
      return;
    }
    // The row keeps its text up to column target, a tab cut there leaving
    // spaces up to it, and its text from the caret on.
    size_t keep = 0;
    int keptCols = 0;
    while (keep < text.size() && keptCols + CharColumns(text, keep, keptCols) <= target) {
      keptCols += CharColumns(text, keep, keptCols);
      keep += CharBytes(text, keep);
    }
    ref.Edit(rowStart + static_cast<int>(keep), rowStart + std::min(b + ref.virt, size),
             std::string(static_cast<size_t>(target - keptCols), ' '));
  }

  void Delete(Reference& ref) {
    if (ref.shown) {
      ref.DeleteShown();
      return;
    }
    if (ref.caret >= static_cast<int>(ref.text.size())) return;
    if (ref.virt > 0) {
      // The next line joins at the caret, the gap filled with spaces.
      ref.Edit(ref.caret, ref.caret + 2, std::string(static_cast<size_t>(ref.virt), ' '));
      return;
    }
    const int at = ref.caret;
    ref.Edit(at, ref.Next(), "");
    ref.caret = at;
  }

  void Enter(Reference& ref) {
    ref.DeleteShown();
    if (!free_) {
      ref.Edit(ref.caret, ref.caret, "\r\n");
      return;
    }
    const std::vector<Row> rows = RowsOf(ref.text);
    int r = 0;
    int b = 0;
    Locate(rows, ref.caret, r, b);
    if (r == static_cast<int>(rows.size())) {
      ref.Edit(ref.caret, ref.caret, "\r\n");
      return;
    }
    // The new line takes the indent of the line's first row, or the caret's
    // column when the caret stands inside that indent.
    const int lineStart = FirstRowOfLine(rows, r);
    const int indent = Indent(rows[static_cast<size_t>(lineStart)].text);
    const int col = Columns(rows[static_cast<size_t>(r)].text, static_cast<size_t>(b)) + ref.virt;
    const int spaces = indent < 1 ? 0 : r == lineStart && col < indent ? col : indent;
    ref.Edit(ref.caret, ref.caret, "\r\n" + std::string(static_cast<size_t>(spaces), ' '));
  }

  void Right(Reference& ref) {
    if (!free_ || !ref.AtLineEnd(ref.caret)) {
      ref.caret = ref.Next();
      return;
    }
    // Past the end of a line the caret goes on, up to the wrap margin; there
    // it goes to the next line.
    if (!wrap_) {
      ++ref.virt;
      return;
    }
    const std::vector<Row> rows = RowsOf(ref.text);
    int r = 0;
    int b = 0;
    Locate(rows, ref.caret, r, b);
    const bool past = r == static_cast<int>(rows.size());
    const int width = past ? 0 : Columns(rows[static_cast<size_t>(r)].text, static_cast<size_t>(b));
    const int col = width + ref.virt;
    const int next = col + 1 >= wrapByte_ ? std::max(width, wrapByte_ - 1) : col + 1;
    if (next != col) {
      ref.virt = next - width;
    } else if (!past && rows[static_cast<size_t>(r)].attribute != raEof) {
      ref.caret += 2;
      ref.virt = 0;
    }
  }

  void Left(Reference& ref) {
    if (ref.virt > 0)
      --ref.virt;
    else
      ref.caret = ref.Previous();
  }

  void RunModel(unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    Reference ref;
    const int steps = Steps();
    for (int step = 0; step < steps; ++step) {
      std::string what;
      const int action = pick(100);
      const bool shift = pick(3) == 0;
      if (action < 30) {
        const std::string s = kTyped[pick(static_cast<int>(std::size(kTyped)))];
        what = "type " + s;
        InjectText(s);
        Run();
        ref.Type(s);
      } else if (action < 38) {
        what = "backspace";
        InjectText("\b");
        Run();
        Backspace(ref);
      } else if (action < 44) {
        what = "delete";
        Key(VK_DELETE, false);
        Delete(ref);
      } else if (action < 50) {
        what = "enter";
        InjectText("\r");
        Run();
        Enter(ref);
      } else if (action < 53) {
        what = "tab";
        InjectText("\t");
        Run();
        ref.Type("\t");
      } else if (action < 61) {
        const bool undo = action < 57;
        what = undo ? "undo" : "redo";
        editor->CleanSelection();
        ref.shown = false;
        if (undo) {
          editor->ScreenStrings()->Undo();
          ref.Restore(ref.undo, ref.redo);
        } else {
          editor->ScreenStrings()->Redo();
          ref.Restore(ref.redo, ref.undo);
        }
      } else {
        // Navigation; Shift anchors a selection at the caret first.
        static const int kKeys[] = {VK_LEFT, VK_RIGHT, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT};
        const int vk = kKeys[pick(static_cast<int>(std::size(kKeys)))];
        what = "key " + std::to_string(vk) + (shift ? " shift" : "");
        Key(vk, shift);
        if (shift && !ref.shown) {
          ref.anchor = ref.caret;
          ref.shown = !ref.text.empty();
        } else if (!shift) {
          ref.shown = false;
        }
        if (vk == VK_LEFT) {
          Left(ref);
        } else if (vk == VK_RIGHT) {
          Right(ref);
        } else {
          const int moved = EditorCaret();
          ASSERT_TRUE(ref.IsBoundary(moved)) << "step " << step << " " << what << " at " << moved;
          ASSERT_TRUE(EditorVirt() == 0 || (free_ && ref.AtLineEnd(moved))) << "step " << step << " " << what;
          ref.caret = moved;
          ref.virt = EditorVirt();
        }
      }
      ASSERT_EQ(editor->Lines()->GetTextStr(), ref.text) << "step " << step << " " << what;
      ASSERT_EQ(EditorCaret(), ref.caret) << "step " << step << " " << what;
      ASSERT_EQ(EditorVirt(), ref.virt) << "step " << step << " " << what;
      ASSERT_EQ(editor->Selected(), ref.shown) << "step " << step << " " << what;
      if (ref.shown) {
        ASSERT_EQ(editor->GetSelText(),
                  ref.text.substr(static_cast<size_t>(ref.Low()), static_cast<size_t>(ref.High() - ref.Low())))
            << "step " << step << " " << what;
      }
      ASSERT_EQ(editor->ScreenStrings()->UndoObj().UndoList().Count(), static_cast<int>(ref.undo.size()))
          << "step " << step << " " << what;
      ASSERT_EQ(editor->ScreenStrings()->UndoObj().RedoList().Count(), static_cast<int>(ref.redo.size()))
          << "step " << step << " " << what;
      // Keep the text small enough for quick steps.
      if (ref.text.size() > 300) {
        editor->Lines()->SetText(std::string());
        Run();
        ref = Reference();
      }
    }
  }

  TEditor* layout_ = nullptr;
  bool free_ = false;
  bool wrap_ = false;
  int wrapByte_ = 0;
};

TEST_F(EditorKeyboardModelTest, KeysAndCharactersFollowThePlainModelWithoutWrap) {
  Configure(false, false);
  RunModel(12345);
}

TEST_F(EditorKeyboardModelTest, KeysAndCharactersFollowThePlainModelWithWrap) {
  Configure(true, false);
  RunModel(67890);
}

TEST_F(EditorKeyboardModelTest, IndentingAndAFreeCaretFollowTheModelWithoutWrap) {
  Configure(false, true);
  RunModel(24680);
}

TEST_F(EditorKeyboardModelTest, IndentingAndAFreeCaretFollowTheModelWithWrap) {
  Configure(true, true);
  RunModel(13579);
}

}  // namespace
}  // namespace corvida
