#include <QInputMethodEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "platform/backends/qt/qt_fixture.h"
#include "platform/toolkit/menus.h"
#include "platform/winsys/input.h"

namespace corvida {
namespace {

using testing::QtTest;
using testing::TSeen;

[[maybe_unused]] const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

constexpr LPARAM kRepeat = LPARAM{1} << 30;

class QtInputTest : public QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    rec = AddRecorder(form.get(), Bounds(0, 41, 300, 200));
    form->Show();
    rec->SetFocus();
    Pump();
    host = Host(rec);
    ASSERT_NE(host, nullptr);
  }
  testing::TRecorder* rec = nullptr;
  TQtHostWidget* host = nullptr;
};

TEST_F(QtInputTest, AKeyPressBecomesKeyDownCharAndKeyUp) {
  Key(host, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  Key(host, QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
  Pump();
  ASSERT_EQ(rec->seen.size(), 3u);
  EXPECT_EQ(rec->seen[0].msg, WM_KEYDOWN);
  EXPECT_EQ(rec->seen[0].wParam, WPARAM{'A'});
  EXPECT_EQ(rec->seen[0].lParam & kRepeat, 0);
  EXPECT_EQ(rec->seen[1], (TSeen{WM_CHAR, 'a', 1}));
  EXPECT_EQ(rec->seen[2].msg, WM_KEYUP);
  EXPECT_EQ(rec->seen[2].wParam, WPARAM{'A'});
}

TEST_F(QtInputTest, AutoRepeatSetsBit30AndSendsNoKeyUpBetween) {
  Key(host, QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  Key(host, QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, {}, true);
  Key(host, QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, {}, true);
  Key(host, QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
  Pump();
  auto downs = rec->Of(WM_KEYDOWN);
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].wParam, WPARAM{VK_DOWN});
  EXPECT_EQ(downs[0].lParam & kRepeat, 0);
  EXPECT_EQ(downs[1].lParam & kRepeat, kRepeat);
  EXPECT_EQ(rec->Of(WM_KEYUP).size(), 1u);
  EXPECT_TRUE(rec->Of(WM_CHAR).empty());
}

TEST_F(QtInputTest, ADoubleByteCharacterArrivesAsLeadAndTrailSeenTogether) {
  Key(host, QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("漢"));
  Pump();
  auto chars = rec->Of(WM_CHAR);
  ASSERT_EQ(chars.size(), 2u);
  EXPECT_EQ(chars[0].wParam, 0x8Au);
  EXPECT_EQ(chars[1].wParam, 0xBFu);
  EXPECT_EQ(rec->trails, std::vector<int>{0xBF});  // queued before the lead was handled
}

TEST_F(QtInputTest, ShiftedDigitsKeepTheirDigitKeyAndTheShiftState) {
  Key(host, QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
  Key(host, QEvent::KeyPress, Qt::Key_NumberSign, Qt::ShiftModifier, "#");
  Pump();
  auto downs = rec->Of(WM_KEYDOWN);
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].wParam, WPARAM{VK_SHIFT});
  EXPECT_EQ(downs[1].wParam, WPARAM{'3'});
  EXPECT_EQ(rec->shiftHeld, (std::vector<bool>{true, true}));
  EXPECT_EQ(rec->Of(WM_CHAR).back().wParam, WPARAM{'#'});
}

TEST_F(QtInputTest, ControlKeysTypeTheirControlCharacters) {
  Key(host, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  Key(host, QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier, "\r");
  Key(host, QEvent::KeyPress, Qt::Key_Backspace, Qt::ControlModifier);
  Key(host, QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
  Key(host, QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
  Pump();
  std::vector<WPARAM> chars;
  for (const TSeen& s : rec->Of(WM_CHAR)) chars.push_back(s.wParam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{13, 10, 127, 22}));
}

TEST_F(QtInputTest, AnInputMethodCommitIsACompositionThenItsCharacters) {
  QInputMethodEvent preedit(QString::fromUtf8("かんじ"), {});
  QCoreApplication::sendEvent(host, &preedit);
  Pump();
  EXPECT_EQ(host->Preedit(), QString::fromUtf8("かんじ"));
  EXPECT_TRUE(rec->seen.empty());

  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("漢字"));
  QCoreApplication::sendEvent(host, &commit);
  Pump();
  EXPECT_TRUE(host->Preedit().isEmpty());
  ASSERT_EQ(rec->seen.size(), 5u);
  EXPECT_EQ(rec->seen[0].msg, WM_IME_COMPOSITION);
  EXPECT_EQ(rec->seen[0].lParam & GCS_RESULTSTR, GCS_RESULTSTR);
  EXPECT_EQ(rec->imeResults, std::vector<std::string>{"\x8a\xbf\x8e\x9a"});
  std::vector<WPARAM> chars;
  for (const TSeen& s : rec->Of(WM_CHAR)) chars.push_back(s.wParam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{0x8A, 0xBF, 0x8E, 0x9A}));
}

TEST_F(QtInputTest, WheelStepsGoOnlyToTheFocusedControlOneMessagePerStep) {
  auto* other = AddRecorder(form.get(), Bounds(300, 41, 150, 200));
  Pump();
  QPointF at(10, 10);
  QWheelEvent wheel(at, Host(other)->mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(Host(other), &wheel);
  QWheelEvent half(at, host->mapToGlobal(at), QPoint(), QPoint(0, 60), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(host, &half);
  Pump();
  auto wheels = rec->Of(WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 2u);
  EXPECT_EQ(static_cast<int16_t>(HIWORD(wheels[0].wParam)), -WHEEL_DELTA);
  EXPECT_EQ(static_cast<int16_t>(HIWORD(wheels[1].wParam)), -WHEEL_DELTA);
  EXPECT_TRUE(other->Of(WM_MOUSEWHEEL).empty());
  QCoreApplication::sendEvent(host, &half);  // two halves make a step up
  Pump();
  ASSERT_EQ(rec->Of(WM_MOUSEWHEEL).size(), 3u);
  EXPECT_EQ(static_cast<int16_t>(HIWORD(rec->Of(WM_MOUSEWHEEL)[2].wParam)), WHEEL_DELTA);
}

TEST_F(QtInputTest, NativeScrollBarsSendScrollMessagesAndFollowTheWindow) {
  rec->SetScrollBars(ssVertical);
  TScrollInfo info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = 100;
  info.nPage = 10;
  info.nPos = 20;
  rec->Window()->SetScrollInfo(SB_VERT, info, true);
  Pump();
  QScrollBar* bar = host->Bar(SB_VERT);
  ASSERT_TRUE(bar->isVisibleTo(host));
  EXPECT_EQ(bar->maximum(), 91);
  EXPECT_EQ(bar->pageStep(), 10);
  EXPECT_EQ(bar->value(), 20);

  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  Pump();
  EXPECT_EQ(bar->value(), 20);  // the window did not move it
  std::vector<int> codes;
  for (const TSeen& s : rec->Of(WM_VSCROLL)) codes.push_back(LOWORD(s.wParam));
  EXPECT_EQ(codes, (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEUP, SB_ENDSCROLL, SB_BOTTOM, SB_ENDSCROLL}));

  rec->seen.clear();
  bar->setSliderPosition(57);  // what dragging the thumb does
  Pump();
  ASSERT_EQ(rec->Of(WM_VSCROLL).size(), 1u);
  EXPECT_EQ(LOWORD(rec->Of(WM_VSCROLL)[0].wParam), SB_THUMBTRACK);
  EXPECT_EQ(HIWORD(rec->Of(WM_VSCROLL)[0].wParam), 57);
  TScrollInfo track;
  track.fMask = SIF_TRACKPOS;
  rec->Window()->GetScrollInfo(SB_VERT, track);
  EXPECT_EQ(track.nTrackPos, 57);
  rec->Window()->SetScrollPos(SB_VERT, 57, true);
  EXPECT_EQ(bar->value(), 57);
}

class Menu : public TObject {
 public:
  void Popup(TObject*) {
    ++popups;
    paste->SetEnabled(false);
  }
  void Undo(TObject*) { ++undos; }
  void Paste(TObject*) { ++pastes; }
  TMenuItem* paste = nullptr;
  int popups = 0, undos = 0, pastes = 0;
};

TEST_F(QtInputTest, APopupShortcutIsConsumedBeforeTheControlsKeys) {
  Menu handlers;
  auto* menu = new TPopupMenu(rec);
  rec->SetPopupMenu(menu);
  menu->SetOnPopup(TNotifyEvent::Of<&Menu::Popup>(&handlers));
  auto* undo = new TMenuItem(menu);
  undo->SetShortCut(TextToShortCut("Ctrl+Z"));
  undo->SetOnClick(TNotifyEvent::Of<&Menu::Undo>(&handlers));
  menu->Items()->Add(undo);
  handlers.paste = new TMenuItem(menu);
  handlers.paste->SetShortCut(TextToShortCut("Ctrl+V"));
  handlers.paste->SetOnClick(TNotifyEvent::Of<&Menu::Paste>(&handlers));
  menu->Items()->Add(handlers.paste);

  Key(host, QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
  Key(host, QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
  Key(host, QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
  Pump();
  EXPECT_EQ(handlers.popups, 2);
  EXPECT_EQ(handlers.undos, 1);
  EXPECT_EQ(handlers.pastes, 0);  // disabled by OnPopup, yet consumed
  std::vector<WPARAM> keys;
  for (const TSeen& s : rec->Of(WM_KEYDOWN)) keys.push_back(s.wParam);
  EXPECT_EQ(keys, std::vector<WPARAM>{VK_CONTROL});
}

}  // namespace
}  // namespace corvida
