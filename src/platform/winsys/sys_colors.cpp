#include "platform/winsys/sys_colors.h"

namespace corvida {
namespace {

// The classic desktop scheme, as 0x00BBGGRR.
TColor table[kSysColorCount] = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop background
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3-D dark shadow
    0xDFDFDF,  // 3-D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
};

}  // namespace

TColor ColorToRGB(TColor c) {
  if (c < 0) return GetSysColor(c & 0xFF);
  return c & 0xFFFFFF;
}

TColor GetSysColor(int index) {
  return index >= 0 && index < kSysColorCount ? table[index] : 0;
}

void SetSysColor(int index, TColor rgb) {
  if (index >= 0 && index < kSysColorCount) table[index] = rgb & 0xFFFFFF;
}

}  // namespace corvida
