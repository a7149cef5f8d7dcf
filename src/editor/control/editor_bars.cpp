// The margins and bars around TEditor's text: the image bar with bookmarks,
// the left bar with row or line numbers, the ruler with its caret-column
// mark and the corner, all copied from pre-built bitmaps.
#include <algorithm>
#include <string>

#include "editor/control/editor.h"
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

}  // namespace

// ---- Colours ----

TColor TEditor::BarBkColor() const { return OrDefault(leftbar_->BkColor(), Color()); }
TColor TEditor::NumberColor() const { return OrDefault(leftbar_->Color(), Font()->Color()); }
TColor TEditor::RulerBkColor() const { return OrDefault(ruler_->BkColor(), Color()); }
TColor TEditor::TickColor() const { return OrDefault(ruler_->Color(), Font()->Color()); }
TColor TEditor::RulerMarkColor() const { return OrDefault(ruler_->MarkColor(), Font()->Color()); }

// ---- Building the bitmaps ----

std::unique_ptr<TEditorBitmaps> TEditor::CreateBitmaps() { return std::make_unique<TEditorBitmaps>(); }

void TEditor::FreeBitmaps() { bitmaps_.reset(); }

void TEditor::BuildDigitGlyphs() {
  TSurface& glyphs = bitmaps_->digitGlyphs;
  glyphs.Fill(glyphs.BoundsRect(), kWhitePixel);
  for (int row = 0; row < 7; ++row)
    for (int x = 0; kDigitGlyphRows[row][x] != '\0'; ++x)
      if (kDigitGlyphRows[row][x] == '#') glyphs.SetPixel(x, row + 1, kBlackPixel);
}

void TEditor::BuildRulerEdge() {
  TSurface& edge = bitmaps_->rulerEdge;
  edge.SetSize(GetSystemMetrics(SM_CXSCREEN), 2);
  TDeviceContext dc(&edge);
  dc.FillRect({0, 0, edge.Width(), 1}, kEdgeLight);
  dc.FillRect({0, 1, edge.Width(), 2}, kEdgeShadow);
}

void TEditor::BuildLeftbarEdge() {
  TSurface& edge = bitmaps_->leftbarEdge;
  edge.SetSize(2, GetSystemMetrics(SM_CYSCREEN));
  TDeviceContext dc(&edge);
  const bool raised = leftbar_->Edge();
  dc.FillRect({0, 0, 1, edge.Height()}, raised ? kEdgeLight : BarBkColor());
  dc.FillRect({1, 0, 2, edge.Height()}, raised ? kEdgeShadow : NumberColor());
}

void TEditor::BuildMarginBitmap() {
  if (!HandleAllocated()) return;
  TSurface& margin = bitmaps_->margin;
  const int textTop = TextTop();
  margin.SetSize(TextLeft(), textTop);
  TDeviceContext dc(&margin);
  dc.FillRect(margin.BoundsRect(), Color());
  const int bars = barSizes_.ImagebarWidth() + barSizes_.LeftbarWidth();
  const bool barEdge = leftbar_->Visible() && leftbar_->Edge();
  if (barEdge) {
    dc.FillRect({0, 0, bars, textTop}, BarBkColor());
    Draw(dc, bars - 2, 0, bitmaps_->leftbarEdge);
  }
  if (ruler_->Visible() && ruler_->Edge()) {
    const int x = barEdge ? bars : 0;
    const int height = barSizes_.RulerHeight();
    dc.FillRect({x, 0, margin.Width(), height}, RulerBkColor());
    Draw(dc, x - 1, height - 2, bitmaps_->rulerEdge);
  }
}

int TEditor::RulerImageWidth() const {
  const int span = ruler_->GaugeRange() * colWidth_;
  return span > 0 ? span * (GetSystemMetrics(SM_CXSCREEN) / span + 2) : 0;
}

void TEditor::SizeRulerImages() {
  bitmaps_->rulerImage.SetSize(RulerImageWidth(), barSizes_.RulerHeight());
  bitmaps_->markedRulerImage.SetSize(RulerImageWidth(), barSizes_.RulerHeight());
  rulerImagesStart_ = -1;
}

void TEditor::RebuildRuler() {
  if (!HandleAllocated()) return;
  BuildDigitStrips();
  BuildGauge();
  SizeRulerImages();
}

// Ink pixels take fg, the others bg, by raster operations on the glyphs.
void TEditor::BuildDigitStrips() {
  TSurface& glyphs = bitmaps_->digitGlyphs;
  TDeviceContext glyphDc(&glyphs);
  const TRect all = glyphs.BoundsRect();
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
  build(bitmaps_->rulerDigits, TickColor(), RulerBkColor());
  build(bitmaps_->markedDigits, RulerBkColor(), RulerMarkColor());
}

void TEditor::BuildGauge() {
  if (!HandleAllocated()) return;
  TSurface& gauge = bitmaps_->gauge;
  const int height = barSizes_.RulerHeight();
  gauge.SetSize(RulerImageWidth(), height);
  TDeviceContext dc(&gauge);
  dc.FillRect(gauge.BoundsRect(), RulerBkColor());
  dc.SetPen(TickColor());
  const int range = ruler_->GaugeRange();
  for (int i = 0; i < range; ++i) {
    const int y0 = i == 0 ? 0 : i == range / 2 ? 3 : 6;
    dc.MoveTo(i * colWidth_, y0);
    dc.LineTo(i * colWidth_, height - 1);
  }
  const int span = range * colWidth_;
  if (ruler_->Edge()) {
    Draw(dc, 0, height - 2, bitmaps_->rulerEdge);
  } else {
    dc.MoveTo(0, height - 1);
    dc.LineTo(span, height - 1);
  }
  for (int x = span; span > 0 && x < gauge.Width(); x += span) dc.BitBlt(x, 0, span, height, dc, x - span, 0, SRCCOPY);
}

// The numbers start at the numbered column at or before TopCol; past 999
// the last number is written and the rest of the image left blank.
void TEditor::BuildRulerImages() {
  const int range = ruler_->GaugeRange();
  const int start = range * (topCol_ / range);
  TSurface& image = bitmaps_->rulerImage;
  TSurface& marked = bitmaps_->markedRulerImage;
  TDeviceContext imageDc(&image);
  TDeviceContext markedDc(&marked);
  TDeviceContext gaugeDc(&bitmaps_->gauge);
  imageDc.BitBlt(0, 0, image.Width(), image.Height(), gaugeDc, 0, 0, SRCCOPY);
  markedDc.FillRect(marked.BoundsRect(), RulerMarkColor());
  const int span = range * colWidth_;
  const int blankHeight = image.Height() - (ruler_->Edge() ? 2 : 1);
  const auto write = [&](TDeviceContext& dc, TSurface& strip, TColor bk) {
    int n = start;
    for (int x = 1; span > 0 && x < image.Width(); x += span, n += range) {
      if (n >= kMaxColumns) {
        dc.FillRect({x, 0, image.Width(), blankHeight}, bk);
        WriteNumber(dc, x, n, strip);
        return;
      }
      WriteNumber(dc, x, n, strip);
    }
  };
  write(imageDc, bitmaps_->rulerDigits, RulerBkColor());
  write(markedDc, bitmaps_->markedDigits, RulerMarkColor());
  rulerImagesStart_ = start;
}

// ---- The ruler ----

void TEditor::PaintRuler() {
  if (!Showing()) return;
  BuildRulerImages();
  TDeviceContext image(&bitmaps_->rulerImage);
  const int textLeft = TextLeft();
  const int offset = colWidth_ * (topCol_ % ruler_->GaugeRange());
  Canvas()->Handle().BitBlt(textLeft, 0, Width() - textLeft, barSizes_.RulerHeight(), image, offset, 0, SRCCOPY);
  DrawRulerMark(col_);
}

void TEditor::CopyRulerCell(int col, TSurface& from) {
  if (!Showing() || !ruler_->Visible() || col < topCol_ || col > topCol_ + visibleCols_) return;
  // A mark drawn between paints may find the images built for another view.
  if (rulerImagesStart_ != ruler_->GaugeRange() * (topCol_ / ruler_->GaugeRange())) BuildRulerImages();
  const int height = barSizes_.RulerHeight() - (ruler_->Edge() ? 2 : 1);
  TDeviceContext src(&from);
  const int sx = 1 + colWidth_ * (col - topCol_ + topCol_ % ruler_->GaugeRange());
  Canvas()->Handle().BitBlt(TextLeft() + colWidth_ * (col - topCol_) + 1, 0, colWidth_ - 1, height, src, sx, 0,
                            SRCCOPY);
}

void TEditor::DrawRulerMark(int col) {
  CopyRulerCell(col, bitmaps_->markedRulerImage);
  rulerMarkCol_ = col;
}

void TEditor::EraseRulerMark(int col) { CopyRulerCell(col, bitmaps_->rulerImage); }

void TEditor::MoveRulerMark() {
  if (rulerMarkCol_ == col_ || !HandleAllocated() || !ruler_->Visible()) return;
  EraseRulerMark(rulerMarkCol_);
  DrawRulerMark(col_);
}

// ---- The left bar ----

int TEditor::LeftbarLine(int row) const { return RowToLine(row); }

void TEditor::PaintLeftbar(int first, int last) {
  if (!Showing()) return;
  const int left = barSizes_.ImagebarWidth();
  const int right = left + barSizes_.LeftbarWidth() - 2;
  const int textTop = TextTop();
  TDeviceContext& dc = Canvas()->Handle();
  {
    TDeviceContext edge(&bitmaps_->leftbarEdge);
    dc.BitBlt(right, textTop, 2, bitmaps_->leftbarEdge.Height(), edge, 0, 0, SRCCOPY);
  }
  const auto rowTop = [&](int row) { return textTop + (row - topRow_) * rowHeight_; };
  if (!leftbar_->ShowNumber()) {
    dc.FillRect({left, rowTop(first), right, rowTop(last + 1)}, BarBkColor());
    return;
  }
  SelectTextFont(NumberColor(), Font()->Style());
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(BarBkColor());
  const int count = store_->Count();
  const bool byLine = leftbar_->ShowNumberMode() == nmLine;
  const int base = leftbar_->ZeroBase() ? 0 : 1;
  const int digits = barSizes_.LeftbarDigits();
  // Lines count on from the first painted row's, so the text is not walked.
  const auto beginsLine = [&](int row) { return row == 0 || GetRowAttribute(row - 1) == raCrlf; };
  int line = byLine ? LeftbarLine(first) + (beginsLine(first) ? 0 : 1) : 0;
  for (int row = first; row <= last; ++row) {
    const TRect r{left, rowTop(row), right, rowTop(row + 1)};
    bool numbered = false;
    int number = 0;
    if (byLine) {
      numbered = row <= count && beginsLine(row);
      if (numbered) number = line++;
    } else {
      numbered = row == 0 || row < count || (row == count && GetRowAttribute(count - 1) != raEof);
      number = row;
    }
    if (!numbered) {
      dc.FillRect(r, BarBkColor());
      continue;
    }
    std::string text = std::to_string(number + base);
    if (static_cast<int>(text.size()) < digits)
      text.insert(0, static_cast<size_t>(digits) - text.size(), leftbar_->ZeroLead() ? '0' : ' ');
    EditorTextOut(r, left + leftbar_->LeftMargin(), ETO_CLIPPED | ETO_OPAQUE, text, r.top);
  }
}

void TEditor::RepaintLeftbarRows(int a, int b) {
  if (!HandleAllocated()) return;
  const int first = std::max(std::min(a, b), topRow_);
  const int last = std::min(std::max(a, b), topRow_ + visibleRows_);
  if (first > last) return;
  const int left = barSizes_.ImagebarWidth();
  const TRect r{left, TextTop() + rowHeight_ * (first - topRow_), left + barSizes_.LeftbarWidth(),
                TextTop() + rowHeight_ * (last - topRow_) + fontHeight_};
  Window()->InvalidateRect(&r, false);
  Window()->Update();
}

// Everything right of the image bar moves with the bar's edge; only the
// uncovered strip and the bar itself are painted anew.
void TEditor::LeftbarResized(int oldWidth, int newWidth) {
  if (!Showing()) return;
  const int left = barSizes_.ImagebarWidth();
  const TRect area{left, 0, Width(), Height()};
  TRect uncovered;
  Window()->ScrollWindowEx(newWidth - oldWidth, 0, &area, &area, &uncovered, SW_INVALIDATE | SW_SCROLLCHILDREN);
  Window()->InvalidateRect(&uncovered, false);
  const TRect bar{left, 0, left + newWidth, Height()};
  Window()->InvalidateRect(&bar, false);
  Window()->Update();
}

// ---- The image bar ----

void TEditor::PaintImagebar(int first, int last) {
  if (!Showing()) return;
  TDeviceContext& dc = Canvas()->Handle();
  const TColor bk = leftbar_->Visible() && leftbar_->BkColor() != clNone ? leftbar_->BkColor() : Color();
  const int width = barSizes_.ImagebarWidth();
  const int count = store_->Count();
  const TSupportResources& resources = SupportResources();
  const auto lowest = [](TRowMarks marks, int from, int to) {
    for (int m = from; m <= to; ++m)
      if (marks.Contains(m)) return m;
    return -1;
  };
  for (int row = first; row <= last; ++row) {
    const int top = TextTop() + (row - topRow_) * rowHeight_;
    const TRect cell{0, top, width, top + rowHeight_};
    dc.FillRect(cell, bk);
    if (row < 0 || row >= count) continue;
    const TRowMarks marks = store_->RowMarks(row);
    if (marks == TRowMarks{}) continue;
    // An image taller than the row stays inside it: the next row's cell
    // would cut it or not depending on which of the two was painted last.
    TDeviceContext inCell = dc;
    inCell.IntersectClipRect(cell);
    const int x = imagebar_->LeftMargin();
    // An own list serves the images it holds; the built-in ones the rest.
    if (const int d = lowest(marks, 0, 9); d >= 0) {
      if (!imageDigits_ || !imageDigits_->Handle().Draw(inCell, d, x, top + 2))
        resources.DigitImages().Draw(inCell, d, x, top + 2);
    }
    if (const int m = lowest(marks, 10, 15); m >= 0) {
      const int image = m - 10;
      const int mx = x + imagebar_->DigitWidth();
      if (!imageMarks_ || !imageMarks_->Handle().Draw(inCell, image, mx, top + 2))
        resources.MarkImages().Draw(inCell, image, mx, top + 2);
    }
  }
}

}  // namespace corvida
