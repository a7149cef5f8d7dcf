#include "editor/control/editor_text_out.h"

#include <algorithm>

#include "editor/model/column_map.h"
#include "platform/winsys/font.h"
#include "support/dot_lines.h"
#include "support/string_utils.h"

namespace corvida {

bool CrossesColumnLimit(std::string_view s) { return s.size() > kMaxColumns && IsLeadByteAt(s, kMaxColumns); }

void SelectTextFont(TCanvas& canvas, const TFont& font, TColor color, TFontStyles style) {
  TFont* selected = canvas.Font();
  selected->Assign(&font);
  selected->SetColor(color);
  selected->SetStyle(style);
}

void ColumnTextOut(TDeviceContext& dc, const TRect& r, int x, UINT options, std::string_view s, int y,
                   const std::vector<int>& advances, int colWidth, int fontHeight) {
  const TFontHandle* font = dc.Font();
  const bool underline = font && (font->Desc().style & fsUnderline) != 0;
  if (underline) {
    TFontDesc desc = font->Desc();
    desc.style = static_cast<TFontStyles>(desc.style & ~fsUnderline);
    dc.SelectFont(FontCache().Get(desc));
  }
  size_t n = std::min<size_t>(s.size(), kMaxColumns);
  if (CrossesColumnLimit(s)) n = kMaxColumns + 1;
  dc.ExtTextOut(x, y, options, &r, s.substr(0, n), advances.data());
  if (!underline) return;
  const int right = x + static_cast<int>(n) * colWidth;
  if (x >= r.right || r.left >= right) return;
  const int from = std::max(x, r.left);
  const int to = std::min(right, r.right);
  DrawDotLine(dc, from, y + fontHeight - 1, to, dc.TextColor(), dc.BkColor());
}

}  // namespace corvida
