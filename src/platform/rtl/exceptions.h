#pragma once
// Errors are exceptions carrying a CP932 message, one class per error kind.
#include <exception>
#include <string>

#include "platform/rtl/cp932.h"
#include "platform/rtl/escaped_text.h"
#include "platform/rtl/format.h"

namespace corvida {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  // A message that names something CP932 cannot spell, such as a path with
  // Korean in it, also keeps its exact UTF-8 form for a terminal.
  Exception(std::string message, std::string utf8Message, std::string reason = {})
      : message_(std::move(message)), utf8Message_(std::move(utf8Message)), reason_(std::move(reason)) {}
  const std::string& Message() const { return message_; }
  // The system's reason (CP932) when the system failed the operation, so
  // that a caller can tell it in words of its own; empty otherwise.
  const std::string& Reason() const { return reason_; }
  // The message as a terminal shows it.
  std::string Utf8Message() const { return utf8Message_.empty() ? Cp932ToUtf8(message_) : utf8Message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
  std::string utf8Message_;
  std::string reason_;
};

#define CORVIDA_EXCEPTION(Name, Base)   \
  class Name : public Base {            \
   public:                              \
    using Base::Base;                   \
  }

CORVIDA_EXCEPTION(EStringListError, Exception);
CORVIDA_EXCEPTION(EListError, Exception);
CORVIDA_EXCEPTION(EConvertError, Exception);
CORVIDA_EXCEPTION(EParserError, Exception);
CORVIDA_EXCEPTION(EStreamError, Exception);
CORVIDA_EXCEPTION(EReadError, EStreamError);
CORVIDA_EXCEPTION(EWriteError, EStreamError);
CORVIDA_EXCEPTION(EFOpenError, EStreamError);
CORVIDA_EXCEPTION(EFCreateError, EStreamError);
CORVIDA_EXCEPTION(EComponentError, Exception);
CORVIDA_EXCEPTION(EInOutError, Exception);
CORVIDA_EXCEPTION(EInvalidOperation, Exception);
CORVIDA_EXCEPTION(EOutOfResources, Exception);
CORVIDA_EXCEPTION(EClassNotFound, Exception);
CORVIDA_EXCEPTION(EPropertyError, Exception);
CORVIDA_EXCEPTION(EIniFileException, Exception);
CORVIDA_EXCEPTION(ERegistryException, Exception);
CORVIDA_EXCEPTION(EFontError, Exception);
CORVIDA_EXCEPTION(EClipboardError, Exception);
CORVIDA_EXCEPTION(EFountainError, Exception);
// A run stopped because it was asked to: nothing went wrong, nothing to show.
CORVIDA_EXCEPTION(EAbort, Exception);

#undef CORVIDA_EXCEPTION

// Raises E with a message that names a path (the file system's bytes) by
// the template's first %s: spelled in CP932 for the window with the escapes
// of EscapedText, kept as it is in the UTF-8 form. The other arguments are
// CP932 texts.
template <class E>
[[noreturn]] void RaisePathError(std::string_view templ, const std::string& path, std::string_view reason = {}) {
  throw E(Format(templ, {EscapedText(path, tcUtf8, tcCp932), reason}),
          Format(Cp932ToUtf8(templ), {path, Cp932ToUtf8(reason)}), std::string(reason));
}

}  // namespace corvida
