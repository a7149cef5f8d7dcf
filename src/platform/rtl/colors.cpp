#include "platform/rtl/colors.h"

#include <array>
#include <cstdio>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/int_reading.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

struct TColorIdent {
  TColor color;
  const char* name;
};

constexpr std::array<TColorIdent, 43> kColorIdents = {{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
}};

}  // namespace

std::optional<std::string> ColorToIdent(TColor color) {
  for (const TColorIdent& entry : kColorIdents)
    if (entry.color == color) return std::string(entry.name);
  return std::nullopt;
}

std::optional<TColor> IdentToColor(std::string_view ident) {
  for (const TColorIdent& entry : kColorIdents)
    if (AnsiSameText(entry.name, ident)) return entry.color;
  return std::nullopt;
}

std::string ColorToString(TColor color) {
  if (std::optional<std::string> ident = ColorToIdent(color)) return *ident;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(color));
  return buffer;
}

TColor StringToColor(std::string_view text) {
  if (std::optional<TColor> color = IdentToColor(text)) return *color;
  if (std::optional<int32_t> value = TryStrToInt(text)) return *value;
  throw EConvertError(Format(msg::kInvalidInteger, {text}));
}

}  // namespace corvida
