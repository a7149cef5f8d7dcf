#pragma once
// Qt keys as Windows virtual keys and the characters a key press types, as
// the window system would queue them.
#include <string>

#include <QKeyEvent>

namespace corvida {

// The virtual key of a Qt key (0 for none). Shifted digits are given back
// their digit key, as the key's place on the keyboard is what counts; the
// native scan code decides when the platform reports one.
int QtKeyToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode);

// The CP932 bytes a key press types, one WM_CHAR each: its text, control
// characters for Ctrl+letter, 10 for Ctrl+Enter, 127 for Ctrl+Backspace;
// nothing for Delete or with Alt alone.
std::string TypedBytes(const QKeyEvent& event);

}  // namespace corvida
