#include "editor/control/editor_margin_view.h"

#include <algorithm>
#include <string>

#include "editor/control/editor_text_out.h"
#include "editor/model/column_map.h"
#include "platform/winsys/window_system.h"
#include "support/builtin_images.h"
#include "support/support_resources.h"

namespace corvida {

namespace {

constexpr TColor kEdgeLight = 0xFFFFFF;
constexpr TColor kEdgeShadow = 0x808080;

TColor OrDefault(TColor color, TColor fallback) { return color == clNone ? fallback : color; }

// Copies all of src to (x, y) of dc.
void Draw(TDeviceContext& dc, int x, int y, TSurface& src) {
  TDeviceContext from(&src);
  dc.BitBlt(x, y, src.Width(), src.Height(), from, 0, 0, SRCCOPY);
}

// Writes the decimal digits of n from (x, 0) with the strip's cells.
void WriteNumber(TDeviceContext& dc, int x, int n, TSurface& strip) {
  TDeviceContext from(&strip);
  for (const char c : std::to_string(n)) {
    const int d = c - '0';
    const int w = d == 1 ? kDigitOneWidth : kDigitWidth;
    dc.BitBlt(x, 0, w, kDigitHeight, from, d * kDigitWidth, 0, SRCCOPY);
    x += w;
  }
}

// How row ends; raEof outside the store, as the editor answers.
TRowAttribute AttributeOf(const TEditorScreenStrings& store, int row) {
  return row >= 0 && row < store.Count() ? store.RowAttributes(row) : raEof;
}

}  // namespace

TEditorMarginView::TEditorMarginView(const TEditorLeftbar& leftbar, const TEditorRuler& ruler,
                                     const TEditorImagebar& imagebar)
    : leftbar_(leftbar), ruler_(ruler), imagebar_(imagebar) {}

// ---- Colours ----

TColor TEditorMarginView::BarBkColor(const TMarginInputs& in) const { return OrDefault(leftbar_.BkColor(), in.color); }
TColor TEditorMarginView::NumberColor(const TMarginInputs& in) const {
  return OrDefault(leftbar_.Color(), in.fontColor);
}
TColor TEditorMarginView::RulerBkColor(const TMarginInputs& in) const { return OrDefault(ruler_.BkColor(), in.color); }
TColor TEditorMarginView::TickColor(const TMarginInputs& in) const { return OrDefault(ruler_.Color(), in.fontColor); }
TColor TEditorMarginView::RulerMarkColor(const TMarginInputs& in) const {
  return OrDefault(ruler_.MarkColor(), in.fontColor);
}

// ---- Building the bitmaps ----

void TEditorMarginView::BuildDigitGlyphs() {
  digitGlyphs_.Fill(digitGlyphs_.BoundsRect(), kWhitePixel);
  for (int row = 0; row < 7; ++row)
    for (int x = 0; kDigitGlyphRows[row][x] != '\0'; ++x)
      if (kDigitGlyphRows[row][x] == '#') digitGlyphs_.SetPixel(x, row + 1, kBlackPixel);
}

void TEditorMarginView::BuildRulerEdge() {
  rulerEdge_.SetSize(GetSystemMetrics(SM_CXSCREEN), 2);
  TDeviceContext dc(&rulerEdge_);
  dc.FillRect({0, 0, rulerEdge_.Width(), 1}, kEdgeLight);
  dc.FillRect({0, 1, rulerEdge_.Width(), 2}, kEdgeShadow);
}

void TEditorMarginView::BuildLeftbarEdge(const TMarginInputs& in) {
  leftbarEdge_.SetSize(2, GetSystemMetrics(SM_CYSCREEN));
  TDeviceContext dc(&leftbarEdge_);
  const bool raised = leftbar_.Edge();
  dc.FillRect({0, 0, 1, leftbarEdge_.Height()}, raised ? kEdgeLight : BarBkColor(in));
  dc.FillRect({1, 0, 2, leftbarEdge_.Height()}, raised ? kEdgeShadow : NumberColor(in));
}

void TEditorMarginView::BuildMarginBitmap(const TMarginInputs& in) {
  margin_.SetSize(in.textLeft, in.textTop);
  TDeviceContext dc(&margin_);
  dc.FillRect(margin_.BoundsRect(), in.color);
  const int bars = in.sizes.ImagebarWidth() + in.sizes.LeftbarWidth();
  const bool barEdge = leftbar_.Visible() && leftbar_.Edge();
  if (barEdge) {
    dc.FillRect({0, 0, bars, in.textTop}, BarBkColor(in));
    Draw(dc, bars - 2, 0, leftbarEdge_);
  }
  if (ruler_.Visible() && ruler_.Edge()) {
    const int x = barEdge ? bars : 0;
    const int height = in.sizes.RulerHeight();
    dc.FillRect({x, 0, margin_.Width(), height}, RulerBkColor(in));
    Draw(dc, x - 1, height - 2, rulerEdge_);
  }
}

int TEditorMarginView::RulerImageWidth(int colWidth) const {
  const int span = ruler_.GaugeRange() * colWidth;
  return span > 0 ? span * (GetSystemMetrics(SM_CXSCREEN) / span + 2) : 0;
}

void TEditorMarginView::SizeRulerImages(const TMarginInputs& in) {
  rulerImage_.SetSize(RulerImageWidth(in.colWidth), in.sizes.RulerHeight());
  markedRulerImage_.SetSize(RulerImageWidth(in.colWidth), in.sizes.RulerHeight());
  rulerImagesStart_ = -1;
}

void TEditorMarginView::RebuildRuler(const TMarginInputs& in) {
  BuildDigitStrips(in);
  BuildGauge(in);
  SizeRulerImages(in);
}

// Ink pixels take fg, the others bg, by raster operations on the glyphs.
void TEditorMarginView::BuildDigitStrips(const TMarginInputs& in) {
  TDeviceContext glyphDc(&digitGlyphs_);
  const TRect all = digitGlyphs_.BoundsRect();
  const auto build = [&](TSurface& strip, TColor fg, TColor bg) {
    TSurface scratch(all.Width(), all.Height());
    TDeviceContext scratchDc(&scratch);
    scratchDc.FillRect(all, bg);
    scratchDc.BitBlt(0, 0, all.right, all.bottom, glyphDc, 0, 0, SRCAND);
    glyphDc.BitBlt(0, 0, all.right, all.bottom, glyphDc, 0, 0, DSTINVERT);
    TDeviceContext stripDc(&strip);
    stripDc.FillRect(all, fg);
    stripDc.BitBlt(0, 0, all.right, all.bottom, glyphDc, 0, 0, SRCAND);
    stripDc.BitBlt(0, 0, all.right, all.bottom, scratchDc, 0, 0, SRCPAINT);
    glyphDc.BitBlt(0, 0, all.right, all.bottom, glyphDc, 0, 0, DSTINVERT);
  };
  build(rulerDigits_, TickColor(in), RulerBkColor(in));
  build(markedDigits_, RulerBkColor(in), RulerMarkColor(in));
}

void TEditorMarginView::BuildGauge(const TMarginInputs& in) {
  const int height = in.sizes.RulerHeight();
  const int colWidth = in.colWidth;
  gauge_.SetSize(RulerImageWidth(colWidth), height);
  TDeviceContext dc(&gauge_);
  dc.FillRect(gauge_.BoundsRect(), RulerBkColor(in));
  dc.SetPen(TickColor(in));
  const int range = ruler_.GaugeRange();
  for (int i = 0; i < range; ++i) {
    const int y0 = i == 0 ? 0 : i == range / 2 ? 3 : 6;
    dc.MoveTo(i * colWidth, y0);
    dc.LineTo(i * colWidth, height - 1);
  }
  const int span = range * colWidth;
  if (ruler_.Edge()) {
    Draw(dc, 0, height - 2, rulerEdge_);
  } else {
    dc.MoveTo(0, height - 1);
    dc.LineTo(span, height - 1);
  }
  for (int x = span; span > 0 && x < gauge_.Width(); x += span) dc.BitBlt(x, 0, span, height, dc, x - span, 0, SRCCOPY);
}

// Past 999 the last number is written and the rest of the image left blank.
void TEditorMarginView::BuildRulerImages(const TMarginInputs& in) {
  const int range = ruler_.GaugeRange();
  const int start = range * (in.topCol / range);
  TDeviceContext imageDc(&rulerImage_);
  TDeviceContext markedDc(&markedRulerImage_);
  TDeviceContext gaugeDc(&gauge_);
  imageDc.BitBlt(0, 0, rulerImage_.Width(), rulerImage_.Height(), gaugeDc, 0, 0, SRCCOPY);
  markedDc.FillRect(markedRulerImage_.BoundsRect(), RulerMarkColor(in));
  const int span = range * in.colWidth;
  const int width = rulerImage_.Width();
  const int blankHeight = rulerImage_.Height() - (ruler_.Edge() ? 2 : 1);
  const auto write = [&](TDeviceContext& dc, TSurface& strip, TColor bk) {
    int n = start;
    for (int x = 1; span > 0 && x < width; x += span, n += range) {
      if (n >= kMaxColumns) {
        dc.FillRect({x, 0, width, blankHeight}, bk);
        WriteNumber(dc, x, n, strip);
        return;
      }
      WriteNumber(dc, x, n, strip);
    }
  };
  write(imageDc, rulerDigits_, RulerBkColor(in));
  write(markedDc, markedDigits_, RulerMarkColor(in));
  rulerImagesStart_ = start;
}

// ---- The corner and the ruler ----

void TEditorMarginView::PaintCorner(TDeviceContext& dc, const TMarginInputs& in) {
  TDeviceContext margin(&margin_);
  dc.BitBlt(0, 0, in.textLeft, in.textTop, margin, 0, 0, SRCCOPY);
}

void TEditorMarginView::PaintRuler(TDeviceContext& dc, const TMarginInputs& in, int caretCol) {
  BuildRulerImages(in);
  TDeviceContext image(&rulerImage_);
  const int offset = in.colWidth * (in.topCol % ruler_.GaugeRange());
  dc.BitBlt(in.textLeft, 0, in.width - in.textLeft, in.sizes.RulerHeight(), image, offset, 0, SRCCOPY);
  DrawRulerMark(dc, in, caretCol);
}

void TEditorMarginView::CopyRulerCell(TDeviceContext& dc, const TMarginInputs& in, int col, TSurface& from) {
  if (!ruler_.Visible() || col < in.topCol || col > in.topCol + in.visibleCols) return;
  const int range = ruler_.GaugeRange();
  // A mark drawn between paints may find the images built for another view.
  if (rulerImagesStart_ != range * (in.topCol / range)) BuildRulerImages(in);
  const int height = in.sizes.RulerHeight() - (ruler_.Edge() ? 2 : 1);
  TDeviceContext src(&from);
  const int sx = 1 + in.colWidth * (col - in.topCol + in.topCol % range);
  dc.BitBlt(in.textLeft + in.colWidth * (col - in.topCol) + 1, 0, in.colWidth - 1, height, src, sx, 0, SRCCOPY);
}

void TEditorMarginView::DrawRulerMark(TDeviceContext& dc, const TMarginInputs& in, int col) {
  CopyRulerCell(dc, in, col, markedRulerImage_);
  rulerMarkCol_ = col;
}

void TEditorMarginView::EraseRulerMark(TDeviceContext& dc, const TMarginInputs& in, int col) {
  CopyRulerCell(dc, in, col, rulerImage_);
}

// ---- The left bar ----

void TEditorMarginView::PaintLeftbar(const TMarginCanvas& on, const TMarginInputs& in, int first, int last,
                                     int firstLine) {
  const int left = in.sizes.ImagebarWidth();
  const int right = left + in.sizes.LeftbarWidth() - 2;
  TDeviceContext& dc = on.canvas.Handle();
  {
    TDeviceContext edge(&leftbarEdge_);
    dc.BitBlt(right, in.textTop, 2, leftbarEdge_.Height(), edge, 0, 0, SRCCOPY);
  }
  const auto rowTop = [&](int row) { return in.textTop + (row - in.topRow) * in.rowHeight; };
  const TColor bk = BarBkColor(in);
  if (!leftbar_.ShowNumber()) {
    dc.FillRect({left, rowTop(first), right, rowTop(last + 1)}, bk);
    return;
  }
  SelectTextFont(on.canvas, on.font, NumberColor(in), on.font.Style());
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(bk);
  const TEditorScreenStrings& store = on.store;
  const int count = store.Count();
  const bool byLine = leftbar_.ShowNumberMode() == nmLine;
  const int base = leftbar_.ZeroBase() ? 0 : 1;
  const int digits = in.sizes.LeftbarDigits();
  // Lines count on from the first painted row's, so the text is not walked.
  const auto beginsLine = [&](int row) { return row == 0 || AttributeOf(store, row - 1) == raCrlf; };
  int line = byLine ? firstLine + (beginsLine(first) ? 0 : 1) : 0;
  for (int row = first; row <= last; ++row) {
    const TRect r{left, rowTop(row), right, rowTop(row + 1)};
    bool numbered = false;
    int number = 0;
    if (byLine) {
      numbered = row <= count && beginsLine(row);
      if (numbered) number = line++;
    } else {
      numbered = row == 0 || row < count || (row == count && AttributeOf(store, count - 1) != raEof);
      number = row;
    }
    if (!numbered) {
      dc.FillRect(r, bk);
      continue;
    }
    std::string text = std::to_string(number + base);
    if (static_cast<int>(text.size()) < digits)
      text.insert(0, static_cast<size_t>(digits) - text.size(), leftbar_.ZeroLead() ? '0' : ' ');
    // The canvas hands its font to the context as it is asked for it.
    ColumnTextOut(on.canvas.Handle(), r, left + leftbar_.LeftMargin(), ETO_CLIPPED | ETO_OPAQUE, text, r.top,
                  on.advances, in.colWidth, in.fontHeight);
  }
}

void TEditorMarginView::RepaintLeftbarRows(TWindow& window, const TMarginInputs& in, int a, int b) {
  const int first = std::max(std::min(a, b), in.topRow);
  const int last = std::min(std::max(a, b), in.topRow + in.visibleRows);
  if (first > last) return;
  const int left = in.sizes.ImagebarWidth();
  const TRect r{left, in.textTop + in.rowHeight * (first - in.topRow), left + in.sizes.LeftbarWidth(),
                in.textTop + in.rowHeight * (last - in.topRow) + in.fontHeight};
  window.InvalidateRect(&r, false);
  window.Update();
}

// Everything right of the image bar moves with the bar's edge; only the
// uncovered strip and the bar itself are painted anew.
void TEditorMarginView::LeftbarResized(TWindow& window, const TMarginInputs& in, int oldWidth, int newWidth) {
  const int left = in.sizes.ImagebarWidth();
  const TRect area{left, 0, in.width, in.height};
  TRect uncovered;
  window.ScrollWindowEx(newWidth - oldWidth, 0, &area, &area, &uncovered, SW_INVALIDATE | SW_SCROLLCHILDREN);
  window.InvalidateRect(&uncovered, false);
  const TRect bar{left, 0, left + newWidth, in.height};
  window.InvalidateRect(&bar, false);
  window.Update();
}

// ---- The image bar ----

void TEditorMarginView::PaintImagebar(const TMarginCanvas& on, const TMarginInputs& in, int first, int last) {
  TDeviceContext& dc = on.canvas.Handle();
  const TColor bk = leftbar_.Visible() && leftbar_.BkColor() != clNone ? leftbar_.BkColor() : in.color;
  const int width = in.sizes.ImagebarWidth();
  const int count = on.store.Count();
  const TSupportResources& resources = SupportResources();
  const auto lowest = [](TRowMarks marks, int from, int to) {
    for (int m = from; m <= to; ++m)
      if (marks.Contains(m)) return m;
    return -1;
  };
  for (int row = first; row <= last; ++row) {
    const int top = in.textTop + (row - in.topRow) * in.rowHeight;
    const TRect cell{0, top, width, top + in.rowHeight};
    dc.FillRect(cell, bk);
    if (row < 0 || row >= count) continue;
    const TRowMarks marks = on.store.RowMarks(row);
    if (marks == TRowMarks{}) continue;
    // An image taller than the row stays inside it: the next row's cell
    // would cut it or not depending on which of the two was painted last.
    TDeviceContext inCell = dc;
    inCell.IntersectClipRect(cell);
    const int x = imagebar_.LeftMargin();
    // An own list serves the images it holds; the built-in ones the rest.
    if (const int d = lowest(marks, 0, 9); d >= 0) {
      if (!on.imageDigits || !on.imageDigits->Handle().Draw(inCell, d, x, top + 2))
        resources.DigitImages().Draw(inCell, d, x, top + 2);
    }
    if (const int m = lowest(marks, 10, 15); m >= 0) {
      const int image = m - 10;
      const int mx = x + imagebar_.DigitWidth();
      if (!on.imageMarks || !on.imageMarks->Handle().Draw(inCell, image, mx, top + 2))
        resources.MarkImages().Draw(inCell, image, mx, top + 2);
    }
  }
}

}  // namespace corvida
