#pragma once
// Font styles as a bit set: bit n stands for the n-th style, the order in
// which stored properties name them.
#include <cstdint>

namespace corvida {

using TFontStyles = uint8_t;

inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;
inline constexpr TFontStyles kAllFontStyles = 0x0F;

using TFontCharset = uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SHIFTJIS_CHARSET = 128;

}  // namespace corvida
