#include <gtest/gtest.h>

#include "platform/backends/qt/qt_keys.h"
#include "platform/winsys/win_defs.h"

namespace corvida {
namespace {

TEST(QtKeys, TheDigitRowKeepsItsDigitWhateverTheLayoutTypes) {
  // X11 keycode 12 is the "3" key: Shift+3 types "#" on one layout and
  // something else on another, but stays the key '3'.
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_NumberSign, Qt::ShiftModifier, 12), '3');
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_QuoteDbl, Qt::ShiftModifier, 11), '2');
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_ParenRight, Qt::ShiftModifier, 19), '0');
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_ParenLeft, Qt::ShiftModifier, 0), '9');
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Exclam, Qt::NoModifier, 0), 0);
}

TEST(QtKeys, NamedKeysMapToTheirVirtualKeys) {
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_F5, Qt::NoModifier, 0), VK_F1 + 4);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_PageDown, Qt::NoModifier, 0), VK_NEXT);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Backtab, Qt::ShiftModifier, 0), VK_TAB);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Enter, Qt::NoModifier, 0), VK_RETURN);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Henkan, Qt::NoModifier, 0), VK_CONVERT);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_unknown, Qt::NoModifier, 0), 0);
}

TEST(QtKeys, AltAloneTypesNothingAndHalfWidthKatakanaIsOneByte) {
  QKeyEvent alt(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier, "f");
  EXPECT_EQ(TypedBytes(alt), "");
  QKeyEvent kana(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("ｱ"));
  EXPECT_EQ(TypedBytes(kana), "\xb1");
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  EXPECT_EQ(TypedBytes(escape), "\x1b");
}

}  // namespace
}  // namespace corvida
