#pragma once
// Errors are exceptions carrying a CP932 message, one class per error kind.
#include <exception>
#include <string>

namespace corvida {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
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

#undef CORVIDA_EXCEPTION

}  // namespace corvida
