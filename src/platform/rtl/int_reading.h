#pragma once
// Integer reading with a default: leading spaces (0x20), an optional sign,
// then decimal digits within 32 bits or up to 8 hexadecimal digits after
// '$', 'x', 'X', "0x" or "0X"; the text must end right after the digits.
#include <cstdint>
#include <optional>
#include <string_view>

namespace corvida {

std::optional<int32_t> TryStrToInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t defaultValue);

}  // namespace corvida
