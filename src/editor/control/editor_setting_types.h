#pragma once
// The enumerations of the editor's settings with their stored names, the
// pointer-shape numbers they hold, and the store-and-notify step every
// settings setter shares.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/model/editor_screen.h"
#include "support/notify_classes.h"

namespace corvida {

enum TEditorCaretStyle { csDefault, csBrief };
// The row store's numbering modes, so that the left bar and the repaint
// logic speak of one type.
using TEditorShowNumberMode = TShowNumberMode;
enum TEditorHitStyle { hsSelect, hsDraw, hsCaret };
// When dragging a selection starts: only when asked for, or at once on a
// press inside it.
enum TDragMode { dmManual, dmAutomatic };

// The stored names, in the order of the values.
const std::vector<const char*>& CaretStyleNames();
const std::vector<const char*>& ShowNumberModeNames();
const std::vector<const char*>& HitStyleNames();
const std::vector<const char*>& DragModeNames();

// A caret and page speed factor.
using TEditorSpeedRange = int;
inline constexpr TEditorSpeedRange kMinSpeedRange = 1;
inline constexpr TEditorSpeedRange kMaxSpeedRange = 4;

// An index of the pointer-shape table: the standard shapes are negative
// (crIBeam, ...), 0 is the default, positive numbers are registered shapes.
using TCursor = int16_t;

// The identifier of a standard shape ("crIBeam"), or none.
std::optional<std::string> CursorToIdent(int32_t cursor);
// The shape of an identifier, compared without case, or none.
std::optional<int32_t> IdentToCursor(std::string_view ident);

}  // namespace corvida
