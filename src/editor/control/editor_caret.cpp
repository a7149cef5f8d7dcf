// Geometry, caret and scrolling of TEditor: metrics, conversions between
// pixels, columns, bytes and offsets, caret moves, the view's first row and
// column, the scroll bars, and the messages that size, focus and scroll it.
#include <algorithm>

#include "editor/control/editor.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/scope_guard.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/ime.h"
#include "platform/winsys/input.h"
#include "platform/winsys/window_system.h"

namespace corvida {

namespace {

// The column after the last one a caret may take: one past column 999 when
// a double-byte character starts there.
constexpr int kCaretColLimit = kMaxColumns + 1;

}  // namespace

// ---- Metrics and conversions ----

void TEditor::UpdateMetrics() {
  Canvas()->Font()->Assign(Font());
  const TTextMetric& tm = FontHandle(*Font())->Metrics();
  fontHeight_ = tm.tmHeight + tm.tmExternalLeading;
  colWidth_ = margin_->Character() + tm.tmAveCharWidth;
  rowHeight_ = fontHeight_ + margin_->Line() + margin_->UnderlinePixel();
  advances_.assign(kMaxColumns + 1, colWidth_);
  italicMode_ = corvida::ItalicMode(Font()->Style(), *ActiveFountain());
  // The bars come first: the text area starts after them.
  UpdateLeftbarDigits();
  UpdateRulerHeight();
  UpdateImagebarWidth();
  UpdateLeftbarWidth();
  const TScrollStyle bars = ScrollBars();
  const int h = bars == ssHorizontal || bars == ssBoth ? GetSystemMetrics(SM_CYHSCROLL) : 0;
  const int v = bars == ssVertical || bars == ssBoth ? GetSystemMetrics(SM_CYVSCROLL) : 0;
  visibleRows_ = std::max(1, (Height() - TextTop() - 5 - h) / std::max(rowHeight_, 1));
  visibleCols_ = colWidth_ > 0 ? (Width() - TextLeft() - colWidth_ / 2 - v) / colWidth_ : 0;
}

int TEditor::TextTop() const { return margin_->Top() + (ruler_->Visible() ? barSizes_.RulerHeight() : 0); }

int TEditor::TextLeft() const {
  return margin_->Left() + barSizes_.ImagebarWidth() + barSizes_.LeftbarWidth();
}

void TEditor::PosToRowCol(int x, int y, bool round, int& col, int& row) const {
  const int left = TextLeft();
  if (x < left) x -= colWidth_ - 1;
  const int pitch = std::max(colWidth_, 1);
  col = round ? std::max(0, (x + colWidth_ / 2 - 1 - left) / pitch + topCol_)
              : std::max(0, (x - left) / pitch + topCol_);
  row = (y - TextTop()) / std::max(rowHeight_, 1) + topRow_;
}

void TEditor::CaretPixelPos(int& x, int& y) const {
  x = TextLeft() + (col_ - topCol_) * colWidth_;
  y = TextTop() + rowHeight_ * (row_ - topRow_);
  if (caret_->Style() == csBrief && !overWrite_) y += fontHeight_ - 2;
}

bool TEditor::PosToRowIndex(TPoint p, int& row, int& index) const {
  if (store_->Count() == 0 || colWidth_ == 0 || p.x < TextLeft() || p.y < TextTop()) return false;
  int col = 0;
  PosToRowCol(p.x, p.y, true, col, row);
  if (row < 0 || row >= store_->Count()) return false;
  const std::string map = ColumnMap(row);
  if (col >= static_cast<int>(map.size())) return false;
  if (MapLetter(map, col) == kColTrail) --col;
  while (col > 0 && MapLetter(map, col) == kColTab) --col;
  index = std::min(static_cast<int>(store_->StringRef(row).size()), ColToIndex(map, col));
  return true;
}

int TEditor::IndentWidth(std::string_view s) const {
  if (s.empty()) return -1;
  const TColumnLayout layout = Layout();
  int width = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ' ') {
      ++width;
    } else if (s[i] == '\t') {
      int stop = layout.tabSpaceCount - width % layout.tabSpaceCount;
      if (layout.wordWrap && layout.wrapByte > 0) stop = std::min(stop, layout.wrapByte - width % layout.wrapByte);
      width += stop;
    } else if (s.substr(i, 2) == "\x81\x40") {
      width += 2;
      ++i;
    } else {
      break;
    }
  }
  return width;
}

std::string TEditor::GetRowString(int row) const {
  return row >= 0 && row < store_->Count() ? std::string(store_->StringRef(row)) : std::string();
}

TRowAttribute TEditor::GetRowAttribute(int row) const {
  return row >= 0 && row < store_->Count() ? store_->RowAttributes(row) : raEof;
}

int TEditor::RowWidth(int row) const {
  return row >= 0 && row < store_->Count() ? StrColumns(store_->StringRef(row)) : 0;
}

std::string TEditor::ColumnMap(int row) const {
  return row >= 0 && row < store_->Count() ? corvida::ColumnMap(store_->StringRef(row), Layout()) : std::string();
}

int TEditor::RowToLine(int row) const { return store_->WordWrap() ? store_->BreaksBefore(row) : row; }

int TEditor::GetTextLen() const { return store_->TextLength(); }

int TEditor::ColumnToIndex(int row, int col) const {
  return std::min(static_cast<int>(GetRowString(row).size()), ColToIndex(ColumnMap(row), col));
}

int TEditor::CharOffset(int startRow, int row, int col) const {
  const int from = std::max(startRow, 0);
  const int to = std::min(row, store_->Count());
  const int rows = to > from ? store_->RowOffset(to) - store_->RowOffset(from) : 0;
  return rows + ColToIndex(ColumnMap(row), col);
}

void TEditor::PlaceCaretAtOffset(int row, int offset) {
  row = store_->RowAtOffset(row, offset);
  SetRow(row);
  if (row >= store_->Count()) {
    SetCol(RowWidth(row_));
    return;
  }
  const std::string_view text = store_->StringRef(row);
  const size_t head = static_cast<size_t>(std::clamp(offset, 0, static_cast<int>(text.size())));
  SetCol(std::min(StrColumns(text.substr(0, head)), RowWidth(row)));
}

std::string TEditor::ExpandTabs(std::string_view s) const {
  if (s.find('\t') == std::string_view::npos) return std::string(s);
  const TColumnLayout layout = Layout();
  std::string out;
  out.reserve(s.size() + 16);
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\t') {
      const int col = static_cast<int>(out.size());
      int width = layout.tabSpaceCount - col % layout.tabSpaceCount;
      if (layout.wordWrap && layout.wrapByte > 0) width = std::min(width, layout.wrapByte - col % layout.wrapByte);
      out.append(static_cast<size_t>(width), ' ');
    } else if (IsLeadByte(c) && i + 1 < s.size()) {
      out += c;
      out += s[++i];
    } else {
      out += c;
    }
  }
  return out;
}

// ---- Caret movement ----

void TEditor::SetRow(int n) {
  const int count = store_->Count();
  if (n == row_ && row_ != count) return;
  TUnderlineUpdate underlineUpdate(*this);
  row_ = std::max(0, std::min(n, count));
  if (row_ == count && row_ > 0 && store_->RowAttributes(count - 1) == raEof) row_ = count - 1;
  AdjustCol(true, -1);
}

void TEditor::SetCol(int n) {
  n = std::min(std::max(0, n), kCaretColLimit);
  const int dir = n > col_ ? 1 : -1;
  col_ = n;
  AdjustCol(false, dir);
}

void TEditor::SetRowCol(int row, int col) {
  if (row == row_ && col == col_) return;
  caretMoving_ = true;
  ScopeGuard done([this] {
    caretMoving_ = false;
    UpdateCaret();
  });
  SetRow(row);
  const std::string map = ColumnMap(row_);
  if (MapLetter(map, col) == kColTrail) --col;
  if (!caret_->InTab())
    while (MapLetter(map, col) == kColTab) --col;
  SetCol(col);
}

void TEditor::AdjustCol(bool vertical, int dir) {
  const std::string map = ColumnMap(row_);
  const int w = static_cast<int>(map.size());
  const auto remember = [&](int col) {
    if (vertical && !colKept_) {
      keptCol_ = col;
      colKept_ = true;
    }
  };
  if (!vertical)
    colKept_ = false;
  else if (colKept_)
    col_ = keptCol_;
  if (!caret_->FreeCaret() && col_ > w) {
    const bool mouseDown = KeyHeld(VK_LBUTTON);
    if (caret_->KeepCaret()) remember(mouseDown ? w : col_);
    if (!(caret_->FreeRow() && vertical && !mouseDown)) {
      col_ = w;
      if (!caret_->KeepCaret()) colKept_ = false;
    }
  }
  if (MapLetter(map, col_) == kColTrail) {
    remember(col_);
    col_ += dir;
  }
  if (!caret_->InTab() && MapLetter(map, col_) == kColTab) {
    remember(col_);
    while (MapLetter(map, col_) == kColTab) col_ += dir;
  }
  if (store_->WordWrap() && col_ >= w) {
    remember(col_);
    const int wrapByte = store_->WrapOption().WrapByte();
    if (GetRowAttribute(row_) == raWrapped)
      col_ = w - 1;
    else if (col_ >= wrapByte)
      col_ = std::max(w, wrapByte - 1);
    if (MapLetter(map, col_) == kColTrail) --col_;
    if (!caret_->InTab())
      while (MapLetter(map, col_) == kColTab) --col_;
    col_ = std::max(col_, 0);
  }
  if (col_ > kMaxColumns && MapLetter(map, kMaxColumns - 1) != kColLead) col_ = kMaxColumns;
  MoveRulerMark();
  if (!caretMoving_) UpdateCaret();
}

void TEditor::ScrollPage(int rows) {
  if (topRow_ == 0 && rows < 0) {
    SetRow(0);
    return;
  }
  if (rows > 0 && (topRow_ >= store_->Count() || store_->RowAttributes(topRow_) == raEof)) return;
  TCaretUpdate caretUpdate(*this);
  const int oldRow = row_;
  const int oldTop = topRow_;
  SetTopRow(std::max(0, std::min(topRow_ + rows, store_->Count())));
  SetRow(oldRow + topRow_ - oldTop);
}

// ---- The view ----

void TEditor::SetTopRow(int n) {
  if (!HandleAllocated()) return;
  TCaretUpdate caretUpdate(*this);
  TUnderlineUpdate underlineUpdate(*this);
  const int newTop = std::max(0, std::min(n, store_->Count()));
  const int delta = std::clamp(topRow_ - newTop, -(visibleRows_ + 1), visibleRows_ + 1);
  topRow_ = newTop;
  if (delta * rowHeight_ == 0) return;
  Scroll(0, delta * rowHeight_, {0, TextTop(), Width(), Height()});
  Window()->SetScrollPos(SB_VERT, topRow_, true);
  if (keyRepeat_)
    imeUpdatePending_ = true;
  else
    UpdateImeWindow();
  if (onTopRowChange_) onTopRowChange_(this);
}

void TEditor::SetTopCol(int n) {
  if (!HandleAllocated()) return;
  TCaretUpdate caretUpdate(*this);
  const int newCol = std::max(0, std::min(n, kMaxColumns - visibleCols_ / 2));
  const int delta = (topCol_ - newCol) * colWidth_;
  // The mark moves with the scrolled ruler: off before, on again after.
  if (delta != 0) EraseRulerMark(marginView_->RulerMarkCol());
  topCol_ = newCol;
  if (delta == 0) return;
  Scroll(delta, 0, {TextLeft(), 0, Width(), Height()});
  DrawRulerMark(col_);
  Window()->SetScrollPos(SB_HORZ, topCol_, true);
  if (keyRepeat_)
    imeUpdatePending_ = true;
  else
    UpdateImeWindow();
  if (onTopColChange_) onTopColChange_(this);
}

void TEditor::Scroll(int dx, int dy, const TRect& clip) {
  TUnderlineUpdate underlineUpdate(*this);
  scrollOffset_ -= dx;
  TRect uncovered;
  // Only the pixels inside clip move: what lies above a scrolled row range
  // stays where it is.
  Window()->ScrollWindowEx(dx, dy, &clip, &clip, &uncovered, SW_INVALIDATE);
  Window()->InvalidateRect(&uncovered, false);
  Window()->Update();
}

void TEditor::ScrollTextRows(int fromRow, int rows) {
  if (!HandleAllocated()) return;
  fromRow = std::clamp(fromRow, topRow_, topRow_ + visibleRows_);
  rows = std::clamp(rows, -(visibleRows_ + 1), visibleRows_ + 1);
  TCaretUpdate caretUpdate(*this);
  TUnderlineUpdate underlineUpdate(*this);
  Scroll(0, rows * rowHeight_, {TextLeft(), TextTop() + rowHeight_ * (fromRow - topRow_), Width(), Height()});
}

void TEditor::ScrollImagebarRows(int fromRow, int rows) {
  if (!HandleAllocated()) return;
  fromRow = std::clamp(fromRow, topRow_, topRow_ + visibleRows_);
  rows = std::clamp(rows, -(visibleRows_ + 1), visibleRows_ + 1);
  Scroll(0, rows * rowHeight_, {0, TextTop() + rowHeight_ * (fromRow - topRow_), barSizes_.ImagebarWidth(), Height()});
}

void TEditor::ScrollCaret() {
  if (!HandleAllocated() || !Focused()) return;
  if (row_ < topRow_)
    SetTopRow(row_);
  else if (row_ > topRow_ + visibleRows_ - 1)
    SetTopRow(row_ - visibleRows_ + 1);
  if (col_ < topCol_)
    SetTopCol(std::max(0, std::min(col_, topCol_ - visibleCols_ / 4)));
  else if (col_ > topCol_ + visibleCols_ - 1)
    SetTopCol(std::min(std::max(col_ - visibleCols_ + 1, topCol_ + visibleCols_ / 4), kMaxColumns - visibleCols_ / 2));
}

void TEditor::InitScroll() {
  if (!HandleAllocated()) return;
  maxTopRow_ = std::max(0, store_->Count() + visibleRows_ - 1);
  topRow_ = std::min(topRow_, maxTopRow_);
  topCol_ = std::min(topCol_, kMaxColumns - visibleCols_ / 2);
  scrollOffset_ = topCol_ * colWidth_;
  const TScrollStyle bars = ScrollBars();
  if (bars == ssVertical || bars == ssBoth) {
    TScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = std::max(visibleRows_, maxTopRow_);
    info.nPage = visibleRows_;
    info.nPos = topRow_;
    Window()->SetScrollInfo(SB_VERT, info, true);
  }
  if (bars == ssHorizontal || bars == ssBoth) {
    TScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = visibleCols_ / 2 + kMaxColumns;
    info.nPage = visibleCols_;
    info.nPos = topCol_;
    Window()->SetScrollInfo(SB_HORZ, info, true);
  }
}

// ---- The system caret ----

void TEditor::UpdateCaret() {
  InitCaret();
  ScrollCaret();
  PlaceCaret();
  CaretShow();
}

void TEditor::InitCaret() {
  if (!HandleAllocated() || !Focused()) return;
  const int d = colWidth_ - margin_->Character();
  const int cells = MapLetter(ColumnMap(row_), col_) == kColLead ? 2 : 1;
  int width = 2;
  int height = fontHeight_;
  if (overWrite_) {
    width = d * cells;
  } else if (caret_->Style() == csBrief) {
    width = d * cells;
    height = 2;
  }
  CaretHide();
  DestroyCaret();
  CreateCaret(Window(), 0, width, height);
}

void TEditor::PlaceCaret() {
  if (!HandleAllocated() || !Focused()) return;
  int x = 0;
  int y = 0;
  CaretPixelPos(x, y);
  SetCaretPos(x, y);
  if (keyRepeat_)
    imeUpdatePending_ = true;
  else
    UpdateImeWindow();
  if (onCaretMoved_) onCaretMoved_(this);
}

void TEditor::UpdateImeWindow() {
  imeUpdatePending_ = false;
  if (!HandleAllocated()) return;
  const HIMC context = ImmGetContext(Window());
  TCompositionForm form;
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = {TextLeft() + (col_ - topCol_) * colWidth_, TextTop() + rowHeight_ * (row_ - topRow_)};
  ImmSetCompositionWindow(context, form);
  ImmSetCompositionFont(context, FontHandle(*Font())->Desc());
  ImmReleaseContext(Window(), context);
}

bool TEditor::CaretOutOfView() const {
  return row_ < topRow_ || row_ > topRow_ + visibleRows_ || col_ < topCol_ || col_ > topCol_ + visibleCols_;
}

void TEditor::CaretShow() {
  if (caretHideLevel_ != 0 || !HandleAllocated() || !Focused() || caretShown_ || CaretOutOfView()) return;
  caretShown_ = ShowCaret(Window());
}

void TEditor::CaretHide() {
  if (!caretShown_) return;
  if (HandleAllocated()) HideCaret(Window());
  caretShown_ = false;
}

void TEditor::CaretBeginUpdate() {
  if (caretHideLevel_++ == 0 && HandleAllocated() && Focused()) CaretHide();
}

void TEditor::CaretEndUpdate() {
  if (caretHideLevel_ == 0) return;
  if (--caretHideLevel_ == 0) CaretShow();
}

// ---- Messages ----

void TEditor::WMVScroll(TMessage& m) {
  m.Result = 0;
  int delta = 0;
  switch (LOWORD(m.WParam)) {
    case SB_LINEUP: delta = -1; break;
    case SB_LINEDOWN: delta = 1; break;
    case SB_PAGEUP: delta = std::min(-1, -visibleRows_); break;
    case SB_PAGEDOWN: delta = std::max(1, visibleRows_); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      TScrollInfo info;
      info.fMask = SIF_ALL;
      Window()->GetScrollInfo(SB_VERT, info);
      delta = info.nTrackPos - topRow_;
      break;
    }
    case SB_TOP: delta = -topRow_; break;
    case SB_BOTTOM: delta = maxTopRow_ - topRow_; break;
    default: return;
  }
  delta = std::clamp(delta, -topRow_, std::max(maxTopRow_ - topRow_, -topRow_));
  if (delta == 0) return;
  const int oldTop = topRow_;
  SetTopRow(topRow_ + delta);
  // The caret travels by what the view really moved.
  if (caret_->LockScroll()) SetRow(row_ + topRow_ - oldTop);
}

void TEditor::WMHScroll(TMessage& m) {
  m.Result = 0;
  const int pos = HIWORD(m.WParam);
  const int limit = visibleCols_ / 2 + kMaxColumns - topCol_;
  int delta = 0;
  switch (LOWORD(m.WParam)) {
    case SB_LINELEFT: delta = -1; break;
    case SB_LINERIGHT: delta = 1; break;
    case SB_PAGELEFT: delta = std::min(-1, -visibleCols_); break;
    case SB_PAGERIGHT: delta = std::max(1, visibleCols_); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: delta = pos - topCol_; break;
    case SB_LEFT: delta = -topCol_; break;
    case SB_RIGHT: delta = limit; break;
    default: return;
  }
  delta = std::clamp(delta, -topCol_, std::max(limit, -topCol_));
  if (delta != 0) SetTopCol(topCol_ + delta);
}

void TEditor::WMSize(TMessage& m) {
  TCustomControl::WndProc(m);
  UpdateMetrics();
  InitScroll();
  Invalidate();
}

void TEditor::WMSetFocus(TMessage& m) {
  TCustomControl::WndProc(m);
  InitCaret();
  PlaceCaret();
  CaretShow();
}

void TEditor::WMKillFocus(TMessage& m) {
  CaretHide();
  DestroyCaret();
  TCustomControl::WndProc(m);
}

}  // namespace corvida
