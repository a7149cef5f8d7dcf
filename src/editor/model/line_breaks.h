#pragma once
// How screen rows join into text: a raCrlf row is followed by CR LF, a
// wrapped row and the last row by nothing.
#include <string_view>

#include "editor/model/row_attribute_string_list.h"

namespace corvida {

inline constexpr std::string_view kLineBreak = "\r\n";

// What follows a row ending as attribute says in the joined text.
constexpr const char* LineBreakAfter(TRowAttribute attribute) { return attribute == raCrlf ? "\r\n" : ""; }

}  // namespace corvida
