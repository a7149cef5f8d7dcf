#include "platform/backends/qt/qt_keys.h"

#include "platform/rtl/cp932.h"
#include "platform/winsys/win_defs.h"

namespace corvida {
namespace {

constexpr int VK_OEM_1 = 0xBA;       // ; :
constexpr int VK_OEM_PLUS = 0xBB;    // = +
constexpr int VK_OEM_COMMA = 0xBC;   // , <
constexpr int VK_OEM_MINUS = 0xBD;   // - _
constexpr int VK_OEM_PERIOD = 0xBE;  // . >
constexpr int VK_OEM_2 = 0xBF;       // / ?
constexpr int VK_OEM_3 = 0xC0;       // ` ~
constexpr int VK_OEM_4 = 0xDB;       // [ {
constexpr int VK_OEM_5 = 0xDC;       // \ |
constexpr int VK_OEM_6 = 0xDD;       // ] }
constexpr int VK_OEM_7 = 0xDE;       // ' "

// X11 keycodes of the digit row, 1 to 9 then 0.
constexpr quint32 kX11DigitRowFirst = 10;

int ShiftedDigit(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
  }
}

}  // namespace

int QtKeyToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode) {
  if (nativeScanCode >= kX11DigitRowFirst && nativeScanCode < kX11DigitRowFirst + 10)
    return nativeScanCode == kX11DigitRowFirst + 9 ? '0' : static_cast<int>('1' + nativeScanCode - kX11DigitRowFirst);
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + (qtKey - Qt::Key_F1);
  if (modifiers & Qt::ShiftModifier)
    if (int digit = ShiftedDigit(qtKey)) return digit;
  switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Henkan: return VK_CONVERT;
    case Qt::Key_Muhenkan: return VK_NONCONVERT;
    case Qt::Key_Zenkaku_Hankaku:
    case Qt::Key_Kanji: return VK_KANJI;
    case Qt::Key_Kana_Lock:
    case Qt::Key_Hiragana_Katakana: return VK_KANA;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma:
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period:
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash:
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
    case Qt::Key_yen: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    default: return 0;
  }
}

std::string TypedBytes(const QKeyEvent& event) {
  Qt::KeyboardModifiers mods = event.modifiers();
  bool ctrl = mods & Qt::ControlModifier;
  bool alt = mods & Qt::AltModifier;
  int key = event.key();
  if (alt && !ctrl) return {};  // a system key: no character
  if (key == Qt::Key_Delete) return {};
  if (ctrl && (key == Qt::Key_Return || key == Qt::Key_Enter)) return "\n";
  if (ctrl && key == Qt::Key_Backspace) return "\x7f";
  if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z) return std::string(1, static_cast<char>(key - Qt::Key_A + 1));
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return "\r";
  if (key == Qt::Key_Backspace) return "\b";
  // Ctrl+Tab moves the focus and types nothing.
  if (key == Qt::Key_Tab) return ctrl ? "" : "\t";
  if (key == Qt::Key_Escape) return "\x1b";
  QString text = event.text();
  if (text.isEmpty() || ctrl) return {};
  return Utf8ToCp932(text.toStdString());
}

}  // namespace corvida
