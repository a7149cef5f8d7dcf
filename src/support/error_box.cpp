#include "support/error_box.h"

#include <cstdio>
#include <string>

#include "platform/rtl/cp932.h"

namespace corvida {
namespace {

TErrorBoxHook errorBoxHook = nullptr;

}  // namespace

TErrorBoxHook SetErrorBoxHook(TErrorBoxHook hook) {
  const TErrorBoxHook previous = errorBoxHook;
  errorBoxHook = hook;
  return previous;
}

void ShowErrorBox(std::string_view text) {
  if (errorBoxHook != nullptr) {
    errorBoxHook(text);
    return;
  }
  const std::string shown = Cp932ToUtf8(text) + "\n";
  std::fputs(shown.c_str(), stderr);
}

}  // namespace corvida
