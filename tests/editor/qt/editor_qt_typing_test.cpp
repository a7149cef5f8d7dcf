// The editor in a Qt window (offscreen): keys, a double-byte character and
// an input-method commit typed through Qt's events, each one undo step.
#include <QInputMethodEvent>

#include "editor/control/editor.h"
#include "platform/backends/qt/qt_fixture.h"

namespace corvida {
namespace {

[[maybe_unused]] const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

class QtEditorTest : public testing::QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    editor = TEditor::Create(form.get());
    editor->SetParent(form.get());
    editor->SetBounds(0, 0, 400, 300);
    form->Show();
    editor->SetFocus();
    Pump();
    host = Host(editor);
    ASSERT_NE(host, nullptr);
  }
  void Press(int key, const QString& text) {
    Key(host, QEvent::KeyPress, key, Qt::NoModifier, text);
    Key(host, QEvent::KeyRelease, key, Qt::NoModifier, text);
  }
  std::string Text() const { return editor->Lines()->GetTextStr(); }

  TEditor* editor = nullptr;
  TQtHostWidget* host = nullptr;
};

TEST_F(QtEditorTest, TypedKeysAndAnInputMethodCommitAreOneUndoStepEach) {
  Press(Qt::Key_A, "a");
  Press(Qt::Key_B, "b");
  Press(0, QString::fromUtf8("漢"));
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("漢字"));
  QCoreApplication::sendEvent(host, &commit);
  Pump();
  EXPECT_EQ(Text(), "ab\x8a\xbf\x8a\xbf\x8e\x9a");
  EXPECT_EQ(editor->Col(), 8);
  EXPECT_EQ(editor->ScreenStrings()->UndoObj().UndoList().Count(), 4);

  // Left over a double-byte character moves two columns.
  Press(Qt::Key_Left, {});
  Pump();
  EXPECT_EQ(editor->Col(), 6);
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), "ab\x8a\xbf");
  EXPECT_EQ(editor->Col(), 4);
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), "ab");
  editor->ScreenStrings()->Undo();
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(editor->ScreenStrings()->UndoObj().CanUndo());
}

}  // namespace
}  // namespace corvida
