#include "editor/control/editor_setting_types.h"

#include <utility>

#include "platform/rtl/cp932.h"
#include "platform/winsys/win_defs.h"

namespace corvida {

namespace {

const std::pair<int, const char*> kCursorIdents[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crNo, "crNo"},             {crAppStart, "crAppStart"},
    {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
};

}  // namespace

const std::vector<const char*>& CaretStyleNames() {
  static const std::vector<const char*> names{"csDefault", "csBrief"};
  return names;
}

const std::vector<const char*>& ShowNumberModeNames() {
  static const std::vector<const char*> names{"nmRow", "nmLine"};
  return names;
}

const std::vector<const char*>& HitStyleNames() {
  static const std::vector<const char*> names{"hsSelect", "hsDraw", "hsCaret"};
  return names;
}

const std::vector<const char*>& DragModeNames() {
  static const std::vector<const char*> names{"dmManual", "dmAutomatic"};
  return names;
}

std::optional<std::string> CursorToIdent(int32_t cursor) {
  for (const auto& [value, name] : kCursorIdents)
    if (value == cursor) return std::string(name);
  return std::nullopt;
}

std::optional<int32_t> IdentToCursor(std::string_view ident) {
  for (const auto& [value, name] : kCursorIdents)
    if (AnsiSameText(name, ident)) return value;
  return std::nullopt;
}

}  // namespace corvida
