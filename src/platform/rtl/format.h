#pragma once
// A small Format for the message templates the program uses: %s, %d, %x,
// widths such as %8d, left alignment %-8d, argument indexes such as %1:d,
// and %% for a percent sign.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace corvida {

class FormatArg {
 public:
  FormatArg(int v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(long long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(const char* v) : value_(std::string_view(v)) {}
  FormatArg(std::string_view v) : value_(v) {}
  FormatArg(const std::string& v) : value_(std::string_view(v)) {}

  const std::variant<int64_t, std::string_view>& Value() const { return value_; }

 private:
  std::variant<int64_t, std::string_view> value_;
};

// Raises EConvertError for a malformed template or a missing argument.
std::string Format(std::string_view templ, std::initializer_list<FormatArg> args);

}  // namespace corvida
