#pragma once
// The editor's one way of writing text, shared by the rows and the left
// bar's numbers: every byte one column of the advance table, at most the
// first 1000 columns, an underlined font's line drawn dotted by hand.
#include <string_view>
#include <vector>

#include "platform/rtl/colors.h"
#include "platform/rtl/font_style.h"
#include "platform/toolkit/graphics.h"
#include "platform/winsys/device_context.h"

namespace corvida {

// The font of the next text output: the editor's font in color and style.
// The canvas applies its font to the context at every use, so it is set on
// the canvas.
void SelectTextFont(TCanvas& canvas, const TFont& font, TColor color, TFontStyles style);

// A double-byte character takes the last column before the limit and the
// first after it: it is drawn whole.
bool CrossesColumnLimit(std::string_view s);

// Writes s with its column 0 at x and its top at y, inside r; options are
// ETO_CLIPPED, with ETO_OPAQUE or without.
void ColumnTextOut(TDeviceContext& dc, const TRect& r, int x, UINT options, std::string_view s, int y,
                   const std::vector<int>& advances, int colWidth, int fontHeight);

}  // namespace corvida
