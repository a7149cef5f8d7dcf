// The editor in the Qt window, driven by Qt's own mouse and key events:
// selecting by dragging, then dragging the selection to another row as a
// move and again, with Ctrl pressed during the drag, as a copy.
#include <QMouseEvent>

#include "editor/control/editor.h"
#include "platform/backends/qt/qt_fixture.h"
#include "platform/winsys/cursors.h"

namespace corvida {
namespace {

// The typing test of the same binary registers the one QApplication.
class QtEditorMouseTest : public testing::QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    editor = TEditor::Create(form.get());
    editor->Font()->SetHeight(-12);
    editor->Imagebar()->SetVisible(false);
    editor->SetParent(form.get());
    editor->SetBounds(10, 10, 300, 200);
    form->Show();
    editor->SetFocus();
    Pump();
    host = Host(editor);
    ASSERT_NE(host, nullptr);
    editor->Lines()->SetText("abc def\r\nxyz\r\n");
    editor->ScreenStrings()->UndoObj().Clear();
    Pump();
  }
  // The host widget's point inside the cell of (row, col).
  QPoint Cell(int row, int col) const {
    const int edge = BorderDepth(editor->Window());
    return {edge + editor->TextLeft() + editor->ColWidth() * col + 1,
            edge + editor->TextTop() + editor->RowHeight() * row + 5};
  }
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), QPointF(host->mapToGlobal(at)), button, held, mods);
    QCoreApplication::sendEvent(host, &e);
    Pump();
  }
  // Press at from, two moves to to (the first starts a drag of a selection,
  // the second sets its drop point), release there.
  void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(QEvent::MouseMove, to, Qt::LeftButton, mods);
    Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton, mods);
  }
  std::string Text() const { return editor->Lines()->GetTextStr(); }

  TEditor* editor = nullptr;
  TQtHostWidget* host = nullptr;
};

TEST_F(QtEditorMouseTest, ASelectionIsMovedAndThenCopiedByDragging) {
  Drag(Cell(0, 0), Cell(0, 3));
  EXPECT_EQ(editor->GetSelText(), "abc");

  Drag(Cell(0, 1), Cell(1, 1));
  EXPECT_EQ(Text(), " def\r\nxabcyz\r\n");
  EXPECT_FALSE(editor->Selected());

  Drag(Cell(1, 1), Cell(1, 4));
  EXPECT_EQ(editor->GetSelText(), "abc");
  Mouse(QEvent::MouseButtonPress, Cell(1, 2), Qt::LeftButton);
  Mouse(QEvent::MouseMove, Cell(0, 0), Qt::LeftButton);
  Mouse(QEvent::MouseMove, Cell(0, 0), Qt::LeftButton);
  EXPECT_EQ(editor->SelDragState(), TSelDragState::Dragging);
  Key(host, QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
  Pump();
  EXPECT_EQ(GetCursor(), editor->Caret()->Cursors()->DragSelCopyCursor());
  Mouse(QEvent::MouseButtonRelease, Cell(0, 0), Qt::NoButton, Qt::ControlModifier);
  Key(host, QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
  Pump();
  EXPECT_EQ(Text(), "abc def\r\nxabcyz\r\n");
  EXPECT_EQ(editor->Row(), 0);
  EXPECT_EQ(editor->Col(), 3);

  EXPECT_EQ(editor->ScreenStrings()->UndoObj().UndoList().Count(), 2);
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), " def\r\nxabcyz\r\n");
  editor->ScreenStrings()->Undo();
  EXPECT_EQ(Text(), "abc def\r\nxyz\r\n");
}

}  // namespace
}  // namespace corvida
