#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include "platform/backends/qt/qt_fixture.h"
#include "platform/toolkit/menus.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/sys_colors.h"

namespace corvida {
namespace {

using testing::QtTest;
using testing::TSeen;

class QtPointerTest : public QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    rec = AddRecorder(form.get(), Bounds(20, 41, 300, 200));
    rec->SetBorderStyle(bsSingle);  // a client edge two pixels deep
    form->Show();
    rec->SetFocus();
    Pump();
    host = Host(rec);
    ASSERT_NE(host, nullptr);
  }
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(at), QPointF(host->mapToGlobal(at)), button, held, mods);
    QCoreApplication::sendEvent(host, &e);
  }
  testing::TRecorder* rec = nullptr;
  TQtHostWidget* host = nullptr;
};

TEST_F(QtPointerTest, ButtonsMovesAndDoubleClicksCarryClientPointsAndKeyFlags) {
  Mouse(QEvent::MouseButtonPress, {12, 10}, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  Mouse(QEvent::MouseMove, {30, 15}, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
  Mouse(QEvent::MouseButtonRelease, {30, 15}, Qt::LeftButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonDblClick, {30, 15}, Qt::LeftButton, Qt::LeftButton);
  Pump();
  std::vector<TSeen> want{
      {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 8)},
      {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(28, 13)},
      {WM_LBUTTONUP, 0, MAKELPARAM(28, 13)},
      {WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(28, 13)},
  };
  EXPECT_EQ(rec->seen, want);
}

TEST_F(QtPointerTest, TheCaretIsDrawnInvertedOverTheFramebuffer) {
  CreateCaret(rec->Window(), 0, 2, 14);
  SetCaretPos(5, 6);
  ShowCaret(rec->Window());
  Pump();
  EXPECT_EQ(host->CaretRect(), QRect(7, 8, 2, 14));  // behind the client edge
  QImage shot = host->grab().toImage();
  uint32_t face = ColorToPixel(clBtnFace);
  EXPECT_EQ(shot.pixel(7, 10), (face ^ 0x00FFFFFFu));
  EXPECT_EQ(shot.pixel(10, 10), face);
  HideCaret(rec->Window());
  EXPECT_TRUE(host->CaretRect().isEmpty());
}

class Handlers : public TObject {
 public:
  void Popup(TObject*) {
    ++popups;
    paste->SetEnabled(false);
  }
  void Undo(TObject*) { ++undos; }
  TMenuItem* paste = nullptr;
  int popups = 0, undos = 0;
};

TEST_F(QtPointerTest, ARightClickShowsTheMenuAndRunsTheChosenItem) {
  Handlers handlers;
  auto* menu = new TPopupMenu(rec);
  rec->SetPopupMenu(menu);
  menu->SetOnPopup(TNotifyEvent::Of<&Handlers::Popup>(&handlers));
  auto* undo = new TMenuItem(menu);
  undo->SetCaption("&Undo");
  undo->SetShortCut(TextToShortCut("Ctrl+Z"));
  undo->SetOnClick(TNotifyEvent::Of<&Handlers::Undo>(&handlers));
  menu->Items()->Add(undo);
  handlers.paste = new TMenuItem(menu);
  handlers.paste->SetCaption("&Paste");
  menu->Items()->Add(handlers.paste);

  QStringList texts;
  std::vector<bool> enabled;
  QTimer chooser;  // runs inside the menu's own loop
  chooser.setInterval(0);
  QObject::connect(&chooser, &QTimer::timeout, [&] {
    auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!shown) return;
    chooser.stop();
    for (QAction* a : shown->actions()) {
      texts << a->text();
      enabled.push_back(a->isEnabled());
    }
    shown->setActiveAction(shown->actions().first());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(shown, &enter);
  });
  Mouse(QEvent::MouseButtonPress, {40, 40}, Qt::RightButton, Qt::RightButton);
  Mouse(QEvent::MouseButtonRelease, {40, 40}, Qt::RightButton, Qt::NoButton);
  chooser.start();
  Application().ProcessMessages();
  chooser.stop();
  EXPECT_EQ(texts, (QStringList{"&Undo\tCtrl+Z", "&Paste"}));
  EXPECT_EQ(enabled, (std::vector<bool>{true, false}));  // OnPopup ran first
  EXPECT_EQ(handlers.popups, 1);
  EXPECT_EQ(handlers.undos, 1);
}

}  // namespace
}  // namespace corvida
