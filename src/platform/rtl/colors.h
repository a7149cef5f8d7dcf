#pragma once
// Colours: a 32-bit TColor is either 0x00BBGGRR or 0x80000000 plus a system
// colour index, resolved by the window system.
#include <cstdint>

namespace corvida {

using TColor = int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TColor clScrollBar = TColor(0x80000000);
inline constexpr TColor clBackground = TColor(0x80000001);
inline constexpr TColor clActiveCaption = TColor(0x80000002);
inline constexpr TColor clInactiveCaption = TColor(0x80000003);
inline constexpr TColor clMenu = TColor(0x80000004);
inline constexpr TColor clWindow = TColor(0x80000005);
inline constexpr TColor clWindowFrame = TColor(0x80000006);
inline constexpr TColor clMenuText = TColor(0x80000007);
inline constexpr TColor clWindowText = TColor(0x80000008);
inline constexpr TColor clCaptionText = TColor(0x80000009);
inline constexpr TColor clActiveBorder = TColor(0x8000000A);
inline constexpr TColor clInactiveBorder = TColor(0x8000000B);
inline constexpr TColor clAppWorkSpace = TColor(0x8000000C);
inline constexpr TColor clHighlight = TColor(0x8000000D);
inline constexpr TColor clHighlightText = TColor(0x8000000E);
inline constexpr TColor clBtnFace = TColor(0x8000000F);
inline constexpr TColor clBtnShadow = TColor(0x80000010);
inline constexpr TColor clGrayText = TColor(0x80000011);
inline constexpr TColor clBtnText = TColor(0x80000012);
inline constexpr TColor clInactiveCaptionText = TColor(0x80000013);
inline constexpr TColor clBtnHighlight = TColor(0x80000014);
inline constexpr TColor cl3DDkShadow = TColor(0x80000015);
inline constexpr TColor cl3DLight = TColor(0x80000016);
inline constexpr TColor clInfoText = TColor(0x80000017);
inline constexpr TColor clInfoBk = TColor(0x80000018);

}  // namespace corvida
