// Painting of TEditor's client area: the bars and the corner through their
// painters, rows token by token in the active fountain's colours, the
// end-of-row marks, the caret-row underline, and the invalidation of rows
// that the row store asks for.
#include <algorithm>

#include "editor/control/editor.h"
#include "editor/control/editor_text_out.h"
#include "editor/highlight/fountain_parser.h"
#include "editor/model/scan_state.h"
#include "platform/rtl/cp932.h"
#include "support/dot_lines.h"
#include "support/string_utils.h"

namespace corvida {

namespace {

constexpr const char* kEofText = "[EOF]";

}  // namespace

void TEditor::SelectTextFont(TColor color, TFontStyles style) { corvida::SelectTextFont(*Canvas(), *Font(), color, style); }

void TEditor::EditorTextOut(const TRect& r, int x, UINT options, std::string_view s, int y) {
  if (Showing()) ColumnTextOut(Canvas()->Handle(), r, x, options, s, y, advances_, colWidth_, fontHeight_);
}

void TEditor::PaintRect(const TRect& clip) {
  if (!Showing()) return;
  const bool underline = marks_->Underline()->Visible() && underlineLevel_ == 0 && UnderlineY(row_) != -1;
  const int textLeft = TextLeft();
  const int textTop = TextTop();
  const int imagebarWidth = barSizes_.ImagebarWidth();
  const int bars = imagebarWidth + barSizes_.LeftbarWidth();
  const int rulerHeight = ruler_->Visible() ? barSizes_.RulerHeight() : 0;
  const auto touches = [&](const TRect& area) { return !IntersectRect(area, clip).IsEmpty(); };
  TDeviceContext& dc = Canvas()->Handle();
  // The rows the clip covers, snapped to whole rows.
  TRect r = clip;
  r.top = std::max(textTop, r.top);
  if (rowHeight_ > 0) {
    r.top -= (r.top - textTop) % rowHeight_;
    if ((r.bottom - textTop) % rowHeight_ > 0) r.bottom += rowHeight_ - (r.bottom - textTop) % rowHeight_;
  }
  const int first = rowHeight_ > 0 ? (r.top - textTop) / rowHeight_ + topRow_ : topRow_;
  const int last = rowHeight_ > 0 ? first + (r.bottom - r.top) / rowHeight_ - 1 : first - 1;
  {
    TCaretUpdate caretUpdate(*this);
    if (touches({0, 0, textLeft, textTop})) marginView_->PaintCorner(dc, MarginInputs());
    if (rulerHeight > 0 && touches({textLeft, 0, Width(), rulerHeight})) PaintRuler();
    // Between the ruler and the text, and between the bars and the text: the
    // window's background.
    for (const TRect& gap : {TRect{textLeft, rulerHeight, Width(), textTop}, TRect{bars, textTop, textLeft, Height()}})
      if (touches(gap)) dc.FillRect(IntersectRect(gap, clip), Color());
    if (last >= first) {
      if (leftbar_->Visible() && touches({imagebarWidth, textTop, bars, Height()})) PaintLeftbar(first, last);
      if (imagebar_->Visible() && touches({0, textTop, imagebarWidth, Height()})) PaintImagebar(first, last);
    }
    r.left = std::max(textLeft, r.left);
    r.right = std::min(Width(), r.right);
    if (r.left < r.right && last >= first && colWidth_ > 0) {
      r.left = textLeft + (r.left - textLeft) / colWidth_ * colWidth_;
      const int x0 = textLeft - scrollOffset_;
      const int count = store_->Count();
      std::unique_ptr<TFountainParser> parser = ActiveFountain()->CreateParser();
      // A shown selection also fills the pixel row under the text, and
      // clears it again when it is dropped.
      const bool fillUnderline = SelectedOrHit() || cleaningSelection_;
      TRect row{r.left, r.top, r.right, r.top + fontHeight_ + (fillUnderline ? margin_->UnderlinePixel() : 0)};
      const bool drawSelection = SelectionDrawn();
      for (int i = first; i <= last; ++i) {
        if (i < count && drawSelection) {
          DrawRowParts(row, x0, *parser, i, GetExpandedRow(i), row.top);
        } else if (i < count) {
          DrawRow(row, x0, *parser, i, GetExpandedRow(i), row.top);
        } else {
          dc.FillRect(row, Color());
          if (marks_->EofMark()->Visible() && i == count && (i == 0 || store_->RowAttributes(count - 1) != raEof))
            DrawEof(x0, row.top);
        }
        // The pixel rows under the text: nothing else paints those of
        // Margin.Line, and the underline's would keep what was there before
        // the underline was turned on or the colour changed. The underline
        // of the caret row is drawn again below.
        const TRect gap{row.left, row.bottom, row.right, row.top + rowHeight_};
        if (!gap.IsEmpty()) dc.FillRect(gap, Color());
        row = row.Offset(0, rowHeight_);
      }
    }
  }
  if (underline) DrawUnderline(row_);
}

void TEditor::DrawRow(const TRect& r, int x, TFountainParser& parser, int index, std::string s, int y) {
  DrawRowText(r, x, parser, index, std::move(s), y, false);
}

void TEditor::DrawSelectedRow(const TRect& r, int x, TFountainParser& parser, int index, std::string s, int y) {
  DrawRowText(r, x, parser, index, std::move(s), y, true);
}

const TFountainColor& TEditor::SelectionColor() const {
  TEditorColors* colors = view_->Colors();
  return SelectionState() == TSelectionState::Hit ? *colors->Hit() : *colors->Select();
}

TColor TEditor::SelBk() const {
  const TColor c = SelectionColor().BkColor();
  return c == clNone ? Font()->Color() : c;
}

TColor TEditor::SelFg() const {
  const TColor c = SelectionColor().Color();
  return c == clNone ? Color() : c;
}

void TEditor::DrawRowText(const TRect& r, int x, TFountainParser& parser, int index, std::string s, int y,
                          bool selected) {
  if (!Showing()) return;
  if (store_->BracketIndexes(index) == -2) store_->RescanRows(index, false);
  const TColor defBk = Color();
  const TColor defFg = Font()->Color();
  const TFontStyles defStyle = Font()->Style();
  const TColor rowBk = selected ? SelBk() : defBk;
  const TColor rowFg = selected ? SelFg() : defFg;
  TDeviceContext& dc = Canvas()->Handle();
  dc.SetBkColor(rowBk);
  dc.SetBkMode(OPAQUE);
  if (italicMode_) {
    dc.FillRect(r, rowBk);
  } else {
    SelectTextFont(rowFg, defStyle);
    EditorTextOut(r, x, ETO_CLIPPED | ETO_OPAQUE, s, y);
  }
  const int len = static_cast<int>(s.size());
  if ((len + 5) * colWidth_ < scrollOffset_) return;
  const int limit = TextLeft() + kMaxColumns * colWidth_ - scrollOffset_;
  TRect c = r;
  c.right = std::min(r.right, limit);
  if (len > 0) {
    const TRowAttributeData data = StoredScanState(*store_, index);
    // A token that crosses the wrap is scanned whole, drawn up to the row end.
    if (store_->WordWrap() && index < store_->Count() - 1 && store_->RowAttributes(index) == raWrapped) {
      s += store_->StringRef(index + 1);
      c.right = std::min(c.right, len * colWidth_ + x);
    }
    const int textLeft = TextLeft();
    parser.StartRow(s, data);
    for (TTokenKind kind = parser.ScanToken(); kind != ttEnd && parser.TokenOffset() < len;
         kind = parser.ScanToken()) {
      const TFountainColor* color = parser.TokenColor();
      const TFontStyles style = color ? color->Style() : defStyle;
      // A selection keeps the tokens' styles, not their colours.
      const TColor bk = selected ? rowBk : color && color->BkColor() != clNone ? color->BkColor() : defBk;
      const TColor fg = selected ? rowFg : color && color->Color() != clNone ? color->Color() : defFg;
      const int tx = parser.TokenOffset() * colWidth_ + x;
      if (tx + parser.TokenSize() * colWidth_ < textLeft || tx > c.right) {
        if (tx > c.right) break;
        continue;
      }
      if (!italicMode_) {
        const bool plain = selected ? color == nullptr || style == defStyle
                                    : fg == defFg && bk == defBk && style == defStyle;
        if (plain) continue;
      }
      SelectTextFont(fg, style);
      // Italic glyphs lean over their neighbours: no background behind them.
      dc.SetBkMode(italicMode_ && (selected || bk == defBk) ? TRANSPARENT : OPAQUE);
      dc.SetBkColor(bk);
      EditorTextOut(c, tx, ETO_CLIPPED, parser.TokenStr(), y);
    }
    dc.SetBkMode(OPAQUE);
  }
  DoDrawLine(r, x, y, s, index, selected);
  const bool pastLimit = len > kMaxColumns;
  const int e = pastLimit && CrossesColumnLimit(s) ? limit + colWidth_ : std::min(len * colWidth_ + x, limit);
  if (e >= r.right) return;
  const TRowAttribute attribute = store_->RowAttributes(index);
  if (pastLimit && len * colWidth_ + x > e) {
    if (!marks_->HideMark()->Visible()) return;
    if (selected)
      DrawSelHideMark(e, y);
    else
      DrawHideMark(e, y);
  } else if (marks_->EofMark()->Visible() && index == store_->Count() - 1 && attribute == raEof) {
    DrawEof(e, y);
  } else if (marks_->RetMark()->Visible() && attribute == raCrlf) {
    if (selected)
      DrawSelRetMark(e, y);
    else
      DrawRetMark(e, y);
  } else if (marks_->WrapMark()->Visible() && attribute == raWrapped) {
    if (selected)
      DrawSelWrapMark(e, y);
    else
      DrawWrapMark(e, y);
  }
}

namespace {

// The column of s moved off the second byte of a double-byte character.
int OffTrailByte(const std::string& s, int col) {
  col = std::clamp(col, 0, static_cast<int>(s.size()));
  for (int i = 0; i < col; ++i)
    if (IsLeadByte(s[static_cast<size_t>(i)]) && ++i == col) return col + 1;
  return col;
}

}  // namespace

void TEditor::DrawRowParts(const TRect& r, int x, TFountainParser& parser, int index, const std::string& s, int y) {
  const TSelectionColumns& sel = Selection().columns;
  if (index < sel.firstRow || index > sel.lastRow) {
    DrawRow(r, x, parser, index, s, y);
    return;
  }
  const int textLeft = TextLeft();
  const auto band = [&](int left, int right, bool selected) {
    const TRect part = IntersectRect(r, TRect{left, r.top, right, r.bottom});
    if (part.IsEmpty()) return;
    if (selected)
      DrawSelectedRow(part, x, parser, index, s, y);
    else
      DrawRow(part, x, parser, index, s, y);
  };
  if (SelectionMode() == TSelectionMode::Box) {
    const auto colX = [&](int col) { return std::max(textLeft, textLeft + OffTrailByte(s, col) * colWidth_ - scrollOffset_); };
    band(colX(0), colX(sel.leftCol), false);
    band(colX(sel.leftCol), colX(sel.rightCol), true);
    band(colX(sel.rightCol), Width(), false);
    return;
  }
  const auto colX = [&](int col) { return std::max(textLeft, x + col * colWidth_); };
  if (sel.firstRow == sel.lastRow) {
    band(textLeft, colX(sel.leftCol), false);
    band(colX(sel.leftCol), colX(sel.rightCol), true);
    band(colX(sel.rightCol), Width(), false);
  } else if (index == sel.firstRow) {
    band(textLeft, colX(sel.leftCol), false);
    band(colX(sel.leftCol), Width(), true);
  } else if (index == sel.lastRow) {
    band(textLeft, colX(sel.rightCol), true);
    band(colX(sel.rightCol), Width(), false);
  } else {
    band(textLeft, Width(), true);
  }
}

void TEditor::DoDrawLine(const TRect& r, int x, int y, const std::string& s, int index, bool selected) {
  if (onDrawLine_) onDrawLine_(this, s, x, y, index, r, selected);
}

void TEditor::DrawEof(int x, int y) {
  if (!Showing()) return;
  TCaretUpdate caretUpdate(*this);
  const int textLeft = TextLeft();
  const int textTop = TextTop();
  const TRect r{std::min(std::max(textLeft, x), Width()), std::min(std::max(textTop, y), Height()),
                std::min(std::max(textLeft, x + 6 * colWidth_), Width()),
                std::min(std::max(textTop, y + fontHeight_), Height())};
  TDeviceContext& dc = Canvas()->Handle();
  SelectTextFont(FontColorFor(marks_->EofMark()->Color()), Font()->Style());
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(Color());
  EditorTextOut(r, x, ETO_CLIPPED | ETO_OPAQUE, kEofText, y);
}

void TEditor::MarkLine(TColor color, std::initializer_list<TPoint> points) {
  Canvas()->Pen() = TPen{color, 1, psSolid};
  TDeviceContext& dc = Canvas()->Handle();
  const TPoint* p = points.begin();
  dc.MoveTo(p->x, p->y);
  for (++p; p != points.end(); ++p) dc.LineTo(p->x, p->y);
}

void TEditor::RetMarkShape(TColor color, int x, int y) {
  if (!Showing() || x < TextLeft()) return;
  const int d = std::max(1, fontHeight_ / 8);
  const int f = std::max(d, 3);
  const int cx = x + colWidth_ / 2;
  const int bottom = y + fontHeight_ - 2 * d;
  MarkLine(color, {{cx, y + 2 * d}, {cx, bottom}, {cx + f, bottom - f}});
  MarkLine(color, {{cx, bottom}, {cx - f, bottom - f}});
}

void TEditor::WrapMarkShape(TColor color, int x, int y) {
  if (!Showing() || x < TextLeft()) return;
  const int e = std::max(2, colWidth_ * 3 / 5);
  const int cy = y + fontHeight_ / 2;
  MarkLine(color, {{x + colWidth_, cy - e}, {x + colWidth_ - e, cy}, {x + colWidth_ + 1, cy + e + 1}});
}

void TEditor::HideMarkShape(TColor color, int x, int y) {
  if (!Showing() || x < TextLeft()) return;
  const int e = std::max(2, colWidth_ * 3 / 5);
  const int cy = y + fontHeight_ / 2;
  MarkLine(color, {{x + colWidth_ - e, cy - e}, {x + colWidth_, cy}, {x + colWidth_ - e - 1, cy + e + 1}});
}

void TEditor::DrawRetMark(int x, int y) { RetMarkShape(FontColorFor(marks_->RetMark()->Color()), x, y); }
void TEditor::DrawWrapMark(int x, int y) { WrapMarkShape(FontColorFor(marks_->WrapMark()->Color()), x, y); }
void TEditor::DrawHideMark(int x, int y) { HideMarkShape(FontColorFor(marks_->HideMark()->Color()), x, y); }
void TEditor::DrawSelRetMark(int x, int y) { RetMarkShape(SelFg(), x, y); }
void TEditor::DrawSelWrapMark(int x, int y) { WrapMarkShape(SelFg(), x, y); }
void TEditor::DrawSelHideMark(int x, int y) { HideMarkShape(SelFg(), x, y); }

int TEditor::UnderlineY(int row) const {
  const int y = TextTop() + rowHeight_ * (row - topRow_) + fontHeight_;
  return y <= TextTop() || y >= Height() ? -1 : y;
}

void TEditor::DrawUnderline(int row) {
  const int y = UnderlineY(row);
  if (!Showing() || y == -1) return;
  TCaretUpdate caretUpdate(*this);
  MarkLine(FontColorFor(marks_->Underline()->Color()), {{TextLeft(), y}, {Width(), y}});
}

void TEditor::EraseUnderline(int row) {
  const int y = UnderlineY(row);
  if (!Showing() || y == -1) return;
  TCaretUpdate caretUpdate(*this);
  MarkLine(Color(), {{TextLeft(), y}, {Width(), y}});
}

void TEditor::UnderlineBeginUpdate() {
  if (underlineLevel_++ == 0 && marks_->Underline()->Visible() && !SelectedOrHit()) EraseUnderline(row_);
}

void TEditor::UnderlineEndUpdate() {
  if (underlineLevel_ == 0) return;
  if (--underlineLevel_ == 0 && marks_->Underline()->Visible() && !SelectedOrHit()) DrawUnderline(row_);
}

// ---- Repainting for the row store ----

namespace {

// Rows first..last clipped to the visible ones; false when none is visible.
bool VisibleRange(int topRow, int visibleRows, int& first, int& last) {
  first = std::max(first, topRow);
  last = std::min(last, topRow + visibleRows);
  return first <= last;
}

}  // namespace

void TEditor::RepaintTextArea() {
  if (!HandleAllocated()) return;
  const TRect r{0, TextTop(), Width(), Height()};
  Window()->InvalidateRect(&r, false);
  Window()->Update();
}

void TEditor::RepaintRows(int first, int last) {
  if (first > last) std::swap(first, last);
  if (!HandleAllocated() || !VisibleRange(topRow_, visibleRows_, first, last)) return;
  const TRect r{0, TextTop() + rowHeight_ * (first - topRow_), Width(),
                TextTop() + rowHeight_ * (last - topRow_) + fontHeight_};
  Window()->InvalidateRect(&r, false);
  Window()->Update();
}

void TEditor::InvalidateRow(int row) {
  int first = row;
  int last = row;
  if (!HandleAllocated() || !VisibleRange(topRow_, visibleRows_, first, last)) return;
  const int top = TextTop() + rowHeight_ * (row - topRow_);
  const TRect r{TextLeft(), top, Width(), top + fontHeight_};
  Window()->InvalidateRect(&r, false);
}

}  // namespace corvida
