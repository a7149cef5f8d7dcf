// Random key and character sequences against a plain model of the text, the
// caret offset, the selection and the undo history, with word wrap off and
// on. Horizontal moves and edits are predicted exactly; vertical and page
// moves are checked to land on a character and then followed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
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

struct Reference {
  std::string text;
  int caret = 0;
  bool shown = false;  // a selection is shown, maybe empty
  int anchor = 0;
  struct Step {
    std::string text;
    int caret;
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
  int Low() const { return std::min(anchor, caret); }
  int High() const { return std::max(anchor, caret); }

  void Edit(int from, int to, const std::string& s) {
    undo.push_back({text, caret});
    redo.clear();
    text = text.substr(0, static_cast<size_t>(from)) + s + text.substr(static_cast<size_t>(to));
    caret = from + static_cast<int>(s.size());
  }
  // Drops a shown selection; true when it held text, which is deleted.
  bool DeleteShown() {
    if (!shown) return false;
    shown = false;
    if (Low() == High()) return false;
    Edit(Low(), High(), "");
    return true;
  }
  void Type(const std::string& s) {
    if (shown) {
      shown = false;
      const int low = Low();
      const int high = High();
      Edit(low, high, s);
      return;
    }
    Edit(caret, caret, s);
  }
};

class EditorKeyboardModelTest : public testing::EditorTest {
 protected:
  void Configure(bool wrap) {
    TEditorCaret* c = editor->Caret();
    c->SetFreeCaret(false);
    c->SetNextLine(true);
    c->SetAutoIndent(false);
    c->SetBackSpaceUnIndent(false);
    editor->SetUndoListMax(1 << 20);
    editor->WrapOption()->SetWrapByte(12);
    editor->SetWordWrap(wrap);
  }
  void Key(int vk, bool shift) {
    if (shift) InjectKeyDown(VK_SHIFT);
    InjectKeyDown(vk);
    InjectKeyUp(vk);
    if (shift) InjectKeyUp(VK_SHIFT);
    Run();
  }
  int EditorCaret() const { return editor->CharOffset(0, editor->Row(), editor->Col()); }

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
        if (!ref.shown) {
          if (ref.caret > 0) ref.Edit(ref.Previous(), ref.caret, "");
        } else {
          ref.DeleteShown();
        }
      } else if (action < 44) {
        what = "delete";
        Key(VK_DELETE, false);
        if (!ref.shown) {
          if (ref.caret < static_cast<int>(ref.text.size())) {
            const int at = ref.caret;
            ref.Edit(at, ref.Next(), "");
            ref.caret = at;
          }
        } else {
          ref.DeleteShown();
        }
      } else if (action < 50) {
        what = "enter";
        InjectText("\r");
        Run();
        ref.DeleteShown();
        ref.Edit(ref.caret, ref.caret, "\r\n");
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
          if (!ref.undo.empty()) {
            ref.redo.push_back({ref.text, ref.caret});
            ref.text = ref.undo.back().text;
            ref.caret = ref.undo.back().caret;
            ref.undo.pop_back();
          }
        } else {
          editor->ScreenStrings()->Redo();
          if (!ref.redo.empty()) {
            ref.undo.push_back({ref.text, ref.caret});
            ref.text = ref.redo.back().text;
            ref.caret = ref.redo.back().caret;
            ref.redo.pop_back();
          }
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
          ref.caret = ref.Previous();
        } else if (vk == VK_RIGHT) {
          ref.caret = ref.Next();
        } else {
          const int moved = EditorCaret();
          ASSERT_TRUE(ref.IsBoundary(moved)) << "step " << step << " " << what << " at " << moved;
          ref.caret = moved;
        }
      }
      ASSERT_EQ(editor->Lines()->GetTextStr(), ref.text) << "step " << step << " " << what;
      ASSERT_EQ(EditorCaret(), ref.caret) << "step " << step << " " << what;
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
};

TEST_F(EditorKeyboardModelTest, KeysAndCharactersFollowThePlainModelWithoutWrap) {
  Configure(false);
  RunModel(12345);
}

TEST_F(EditorKeyboardModelTest, KeysAndCharactersFollowThePlainModelWithWrap) {
  Configure(true);
  RunModel(67890);
}

}  // namespace
}  // namespace corvida
