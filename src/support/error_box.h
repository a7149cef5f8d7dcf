#pragma once
// The error box through which non-visual components report a problem and
// carry on: a modal message dialog of the error kind with one OK button. The
// program points the hook at the toolkit's message dialog at start; until
// then the text goes to the standard error stream.
#include <string_view>

namespace corvida {

using TErrorBoxHook = void (*)(std::string_view text);

// Returns the previous hook; null restores the standard error stream.
TErrorBoxHook SetErrorBoxHook(TErrorBoxHook hook);
// Shows text (CP932) and returns when the box is closed.
void ShowErrorBox(std::string_view text);

}  // namespace corvida
