// Keyboard editing of TEditor: navigation keys with and without Ctrl and
// Shift, word stops, delete forward, typed characters (Backspace, Tab,
// Enter, single and double bytes), TypeText and the input method. Every
// edit is one ChangeRows call and so one undo step.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editor/control/editor.h"
#include "editor/highlight/fountain_parser.h"
#include "editor/model/line_breaks.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/scope_guard.h"
#include "platform/winsys/ime.h"
#include "platform/winsys/window_system.h"

namespace corvida {

namespace {

constexpr int kRepeatBit = 30;

// A token of only blanks, ideographic spaces included, is no word.
bool BlankToken(const std::string& token) {
  for (size_t i = 0; i < token.size(); ++i) {
    if (token[i] == ' ' || token[i] == '\t') continue;
    if (token.compare(i, 2, "\x81\x40") != 0) return false;
    ++i;
  }
  return true;
}

struct TToken {
  int start;
  int end;
  bool blank;
};

}  // namespace

// ---- Messages ----

void TEditor::WMKeyDown(TMessage& m) {
  keyRepeat_ = (m.LParam & (LPARAM{1} << kRepeatBit)) != 0;
  m.Result = 0;
  if (DoKeyDown(m)) KeyDown(static_cast<uint16_t>(m.WParam));
}

void TEditor::WMKeyUp(TMessage& m) {
  keyRepeat_ = false;
  if (imeUpdatePending_) UpdateImeWindow();
  DoKeyUp(m);
}

void TEditor::WMChar(TMessage& m) {
  m.Result = 0;
  if (DoKeyPress(m)) KeyPress(static_cast<unsigned char>(m.WParam));
}

void TEditor::WMImeComposition(TMessage& m) {
  TCustomControl::WndProc(m);
  if ((m.LParam & GCS_RESULTSTR) == 0 || readOnly_) return;
  const HIMC context = ImmGetContext(Window());
  ScopeGuard release([this, context] { ImmReleaseContext(Window(), context); });
  const int length = ImmGetCompositionString(context, GCS_RESULTSTR, nullptr, 0);
  if (length <= 0) return;
  std::string result(static_cast<size_t>(length), '\0');
  result.resize(static_cast<size_t>(
      std::max(0, ImmGetCompositionString(context, GCS_RESULTSTR, result.data(), length))));
  // The characters the system sends for the same text follow as WM_CHAR.
  imeSkip_ = static_cast<int>(result.size());
  TypeText(result);
}

void TEditor::WMImeNotify(TMessage& m) {
  TCustomControl::WndProc(m);
  // Only a change of state counts, so a repeated or unpaired notification
  // never leaves the caret hidden.
  if (m.WParam == IMN_OPENCANDIDATE && !candidateOpen_) {
    candidateOpen_ = true;
    CaretBeginUpdate();
  } else if (m.WParam == IMN_CLOSECANDIDATE && candidateOpen_) {
    candidateOpen_ = false;
    CaretEndUpdate();
  }
}

void TEditor::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (wantTabs_ ? DLGC_WANTTAB : 0) |
             (wantReturns_ ? DLGC_WANTALLKEYS : 0);
}

// ---- Keys ----

void TEditor::KeyDown(uint16_t key) {
  // Ctrl+Y and Ctrl+Shift+Z redo as well, the keys desktop editors use; the
  // menu's Ctrl+A stays.
  if ((key == 'Y' || key == 'Z') && KeyHeld(VK_CONTROL) && KeyHeld(VK_SHIFT) == (key == 'Z')) {
    if (!readOnly_) Redo();
    return;
  }
  if (key == VK_DELETE) {
    DeleteForward();
    return;
  }
  if (key < VK_PRIOR || key > VK_DOWN) return;
  const bool shift = KeyHeld(VK_SHIFT);
  const bool ctrl = KeyHeld(VK_CONTROL);
  // StartSelection drops a search hit first.
  if (shift && !Selected())
    StartSelection();
  else if (!shift && SelectedOrHit())
    CleanSelection();
  const int count = store_->Count();
  const auto repeat = [this](bool edge) { return keyRepeat_ && edge ? speed_->CaretVerticalAc() : 1; };
  const int page = (visibleRows_ - 1) / 2 *
                   (keyRepeat_ ? speed_->PageVerticalRangeAc() : speed_->PageVerticalRange());
  switch (key) {
    case VK_PRIOR:
      ScrollPage(-page);
      break;
    case VK_NEXT:
      ScrollPage(page);
      break;
    case VK_END:
      if (ctrl) SetRow(count);
      SetCol(row_ == count ? 0 : RowWidth(row_));
      break;
    case VK_HOME:
      if (ctrl) SetRow(0);
      SetCol(0);
      break;
    case VK_LEFT:
      if (ctrl) {
        int row = row_;
        int col = col_;
        if (FindWordStop(row, col, -1)) SetRowCol(row, col);
      } else if (col_ > 0) {
        SetCol(col_ - 1);
      } else if (row_ > 0 && (caret_->NextLine() || GetRowAttribute(row_ - 1) == raWrapped)) {
        TCaretUpdate caretUpdate(*this);
        SetRowCol(row_ - 1, RowWidth(row_ - 1));
      }
      break;
    case VK_UP: {
      if (row_ == 0) break;
      const int a = repeat(row_ == topRow_);
      if (ctrl) {
        SetTopRow(topRow_ - a);
        if (row_ >= topRow_ + visibleRows_) SetRow(row_ - a);
      } else {
        SetRow(row_ - a);
      }
      break;
    }
    case VK_RIGHT:
      if (ctrl) {
        int row = row_;
        int col = col_;
        if (FindWordStop(row, col, 1)) SetRowCol(row, col);
      } else {
        const int old = col_;
        SetCol(col_ + 1);
        const TRowAttribute a = GetRowAttribute(row_);
        if (col_ == old && row_ < count && a != raEof && (caret_->NextLine() || a == raWrapped))
          SetRowCol(row_ + 1, 0);
      }
      break;
    case VK_DOWN: {
      const int a = repeat(row_ == topRow_ + visibleRows_ - 1);
      if (ctrl) {
        SetTopRow(topRow_ + a);
        if (row_ < topRow_) SetRow(row_ + a);
      } else if (GetRowAttribute(row_) != raEof) {
        SetRow(row_ + a);
      }
      break;
    }
    default:
      break;
  }
  if (!shift) return;
  UpdateSelection();
  OfferSelection();
}

bool TEditor::FindWordStop(int& row, int& col, int dir) {
  const int count = store_->Count();
  if (row < 0 || row >= count) return false;
  const int row0 = row;
  const int col0 = col;
  std::unique_ptr<TFountainParser> parser = ActiveFountain()->CreateParser();
  // Each row is scanned on its own, outside every bracket.
  TRowAttributeData cleared;
  cleared.BracketIndex = -1;
  const auto tokens = [&](int r) {
    const std::string text = GetExpandedRow(r);
    const int length = static_cast<int>(text.size());
    std::vector<TToken> found;
    parser->StartRow(text, cleared);
    for (TTokenKind kind = parser->ScanToken(); kind != ttEnd && parser->TokenOffset() < length;
         kind = parser->ScanToken())
      found.push_back({parser->TokenOffset(), parser->TokenOffset() + parser->TokenSize(),
                       BlankToken(parser->TokenStr())});
    return found;
  };
  const bool endStops = caret_->TokenEndStop();
  if (dir > 0) {
    if (col >= RowWidth(row)) {
      if (GetRowAttribute(row) == raEof) return false;
      ++row;
      col = -1;
      if (row == count) {
        col = 0;
        return true;
      }
    }
    for (const TToken& t : tokens(row)) {
      if (endStops) {
        if (t.start > col || t.end > col) {
          col = t.start > col ? t.start : t.end;
          return true;
        }
      } else if (!t.blank && t.start > col) {
        col = t.start;
        return true;
      }
    }
    if (GetRowAttribute(row) == raWrapped) {
      ++row;
      col = 0;
    } else {
      col = static_cast<int>(GetExpandedRow(row).size());
    }
    return row != row0 || col != col0;
  }
  if (col == 0) {
    if (row == 0) return false;
    --row;
    col = RowWidth(row);
    if (GetRowAttribute(row) == raCrlf) return true;
  }
  int stop = -1;
  for (const TToken& t : tokens(row)) {
    if (t.start >= col) break;
    if (endStops) {
      stop = t.end < col ? t.end : t.start;
    } else if (!t.blank) {
      stop = t.start;
    }
  }
  if (stop >= 0) {
    col = stop;
  } else if (row > 0) {
    --row;
    col = RowWidth(row);
  } else {
    col = 0;
  }
  return row != row0 || col != col0;
}

// ---- Edits ----

void TEditor::ReplaceRows(int row, int n, const std::string& text, int offsetRow, int offset) {
  TCaretUpdate caretUpdate(*this);
  store_->ChangeRows(row, n, text);
  PlaceCaretAtOffset(offsetRow, offset);
}

int TEditor::EditStartRow(int row) const {
  return row >= store_->Count() ? row : std::max(store_->FirstRowOfLine(row), row - 1);
}

void TEditor::DeleteForward() {
  if (readOnly_) return;
  if (Selected()) {
    DeleteSelection();
    return;
  }
  if (SelectedOrHit()) CleanSelection();
  if (row_ < 0 || row_ >= store_->Count()) return;
  std::string text = GetRowString(row_);
  const std::string map = ColumnMap(row_);
  const int i = ColToIndex(map, col_);
  const int start = EditStartRow(row_);
  const int offset = CharOffset(start, row_, col_);
  const TRowAttribute attribute = GetRowAttribute(row_);
  if (i < static_cast<int>(text.size())) {
    text.erase(static_cast<size_t>(i), MapLetter(map, col_) == kColLead ? 2 : 1);
    ReplaceRows(row_, 1, text + LineBreakAfter(attribute), start, offset);
    return;
  }
  if (attribute == raEof) return;
  // The next row joins at the caret, the gap filled with spaces.
  text.append(static_cast<size_t>(i) - text.size(), ' ');
  const bool last = row_ == store_->Count() - 1;
  if (!last) text += GetRowString(row_ + 1) + LineBreakAfter(GetRowAttribute(row_ + 1));
  ReplaceRows(row_, last ? 1 : 2, text, start, offset);
}

void TEditor::KeyPress(unsigned char c) {
  switch (c) {
    case 8:
      Backspace();
      return;
    case 9:
      TabKey();
      return;
    case 13:
      EnterKey(KeyHeld(VK_SHIFT));
      return;
    default:
      break;
  }
  if (IsLeadByte(c)) {
    TMsg trail;
    if (!PeekMessage(trail, Window(), 0, 0, PM_NOREMOVE) || trail.message != WM_CHAR ||
        trail.wParam < 0x40 || trail.wParam > 0xFF)
      return;
    PeekMessage(trail, Window(), WM_CHAR, WM_CHAR, PM_REMOVE);
    if (imeSkip_ > 0)
      imeSkip_ = std::max(0, imeSkip_ - 2);
    else if (!readOnly_)
      TypeTyped({static_cast<char>(c), static_cast<char>(trail.wParam)});
    return;
  }
  if ((c < 0x20 || c > 0x7E) && c < 0xA0) return;
  if (imeSkip_ > 0)
    --imeSkip_;
  else if (!readOnly_)
    TypeTyped(std::string(1, static_cast<char>(c)));
}

void TEditor::TypeTyped(const std::string& s) {
  if (imeUpdatePending_) UpdateImeWindow();
  TypeText(s);
}

void TEditor::Backspace() {
  if (readOnly_) return;
  if (Selected()) {
    DeleteSelection();
    return;
  }
  if (store_->Count() == 0) {
    SetCol(col_ - 1);
    return;
  }
  if (SelectedOrHit()) CleanSelection();
  const std::string text = GetRowString(row_);
  const std::string map = ColumnMap(row_);
  const int size = static_cast<int>(text.size());
  const int i = ColToIndex(map, col_);
  if (i < 1) {
    if (row_ == 0) return;
    std::string above = GetRowString(row_ - 1);
    if (GetRowAttribute(row_ - 1) == raWrapped && !above.empty()) {
      const std::string aboveMap = ColumnMap(row_ - 1);
      above.resize(above.size() - (aboveMap.back() == kColTrail ? 2 : 1));
    }
    const int start = std::max(store_->FirstRowOfLine(row_ - 1), row_ - 2);
    const int offset = CharOffset(start, row_ - 1, 0) + static_cast<int>(above.size());
    const bool pastEnd = row_ >= store_->Count();
    if (!pastEnd) above += text + LineBreakAfter(GetRowAttribute(row_));
    ReplaceRows(row_ - 1, pastEnd ? 1 : 2, above, start, offset);
    return;
  }
  const int indent = IndentWidth(text);
  const bool plain = !caret_->BackSpaceUnIndent() ||
                     (indent != -1 && indent != static_cast<int>(map.size()) && col_ != indent);
  if (plain) {
    if (i > size) {
      SetCol(col_ - 1);
      return;
    }
    // A caret inside a tab's filler removes that tab.
    const bool inTab = MapLetter(map, col_) == kColTab;
    const int removed = MapLetter(map, col_ - 1) == kColTrail ? 2 : 1;
    const int from = inTab ? i : i - removed;
    const int start = EditStartRow(row_);
    const int offset = CharOffset(start, row_, 0) + from;
    std::string edited = text;
    edited.erase(static_cast<size_t>(from), static_cast<size_t>(inTab ? 1 : removed));
    ReplaceRows(row_, 1, edited + LineBreakAfter(GetRowAttribute(row_)), start, offset);
    return;
  }
  Unindent(text, map);
}

int TEditor::UnindentTarget() const {
  // The empty row after a final line break is a line of its own.
  const int lineStart = row_ >= store_->Count() ? row_ : store_->FirstRowOfLine(row_);
  for (int r = row_ - 1; r >= 0; --r) {
    const int indent = std::max(0, IndentWidth(GetRowString(r)));
    if (r >= lineStart && indent == 0) continue;
    if (indent < col_) return indent;
  }
  return 0;
}

void TEditor::Unindent(const std::string& text, const std::string& map) {
  const int target = UnindentTarget();
  if (target >= static_cast<int>(map.size())) {
    SetCol(target);
    return;
  }
  const int size = static_cast<int>(text.size());
  // The row up to column target; a double-byte blank or a tab cut there
  // leaves spaces up to the column.
  std::string edited;
  const int t = ColToIndex(map, target);
  if (MapLetter(map, target) == kColTrail) {
    edited = text.substr(0, static_cast<size_t>(t - 1)) + " ";
  } else if (MapLetter(map, target) == kColTab) {
    int tabCol = target;
    while (MapLetter(map, tabCol) == kColTab) --tabCol;
    edited = text.substr(0, static_cast<size_t>(t)) + std::string(static_cast<size_t>(target - tabCol), ' ');
  } else {
    edited = text.substr(0, static_cast<size_t>(t));
  }
  int rest = std::min(ColToIndex(map, col_), size);
  if (MapLetter(map, col_) == kColTab) {
    // The caret's tab keeps the columns from the caret on as spaces.
    int filler = 0;
    while (MapLetter(map, col_ + filler) == kColTab) ++filler;
    edited.append(static_cast<size_t>(filler), ' ');
    ++rest;
  }
  edited += text.substr(static_cast<size_t>(rest)) + LineBreakAfter(GetRowAttribute(row_));
  TCaretUpdate caretUpdate(*this);
  store_->ChangeRows(row_, 1, edited);
  SetCol(target);
}

void TEditor::TabKey() {
  if (KeyHeld(VK_SHIFT) || KeyHeld(VK_CONTROL) || readOnly_ || !wantTabs_) return;
  const int tabs = caret_->TabSpaceCount();
  int n = tabs - col_ % tabs;
  if (store_->WordWrap()) {
    const int wrap = store_->WrapOption().WrapByte();
    n = std::min(n, wrap - col_ % wrap);
  }
  if (overWrite_)
    SetCol(col_ + n);
  else if (caret_->SoftTab())
    TypeText(std::string(static_cast<size_t>(n), ' '));
  else
    TypeText("\t");
}

int TEditor::PrevLineIndent(int lineStart) const {
  for (int r = lineStart - 1; r >= 0; r = store_->FirstRowOfLine(r) - 1) {
    const int indent = IndentWidth(GetRowString(store_->FirstRowOfLine(r)));
    if (indent >= 0) return indent;
  }
  return 0;
}

std::string TEditor::NewLineIndent(int lineStart) const {
  int f = 0;
  if (caret_->AutoIndent()) {
    const std::string first = GetRowString(lineStart);
    const int v = IndentWidth(first);
    if (v >= 1)
      f = row_ == lineStart && col_ < v ? col_ : v;
    else if (caret_->PrevSpaceIndent() && row_ == lineStart && first.empty())
      f = std::max(0, PrevLineIndent(lineStart));
  }
  if (!caret_->TabIndent()) return std::string(static_cast<size_t>(f), ' ');
  const int tabs = caret_->TabSpaceCount();
  return std::string(static_cast<size_t>(f / tabs), '\t') + std::string(static_cast<size_t>(f % tabs), ' ');
}

void TEditor::EnterKey(bool shift) {
  if (readOnly_) return;
  if (Selected()) {
    if (shift) return;
    DeleteSelection();
  } else if (SelectedOrHit()) {
    CleanSelection();
  }
  const int count = store_->Count();
  if (row_ >= count) {
    TCaretUpdate caretUpdate(*this);
    store_->ChangeRows(count, 0, "\r\n");
    SetRow(row_ + 1);
    SetCol(0);
    return;
  }
  if (overWrite_) {
    SetRow(row_ + 1);
    SetCol(0);
    return;
  }
  const int lineStart = store_->FirstRowOfLine(row_);
  const std::string indent = NewLineIndent(lineStart);
  const int indentLength = static_cast<int>(indent.size());
  if (shift) {
    ReplaceRows(lineStart, 0, indent + "\r\n", lineStart, indentLength);
    return;
  }
  const std::string text = GetRowString(row_);
  const std::string map = ColumnMap(row_);
  const int cut = std::min(ColToIndex(map, col_), static_cast<int>(text.size()));
  const int offset =
      CharOffset(lineStart, row_, std::min(static_cast<int>(map.size()), col_)) + 2 + indentLength;
  ReplaceRows(row_, 1,
              text.substr(0, static_cast<size_t>(cut)) + "\r\n" + indent + text.substr(static_cast<size_t>(cut)) +
                  LineBreakAfter(GetRowAttribute(row_)),
              lineStart, offset);
}

void TEditor::TypeText(const std::string& s) {
  if (s.empty()) return;
  if (Selected()) {
    const int first = Selection().bytes.firstRow;
    const int last = std::min(Selection().bytes.lastRow, store_->Count() - 1);
    std::vector<TRowWithoutSelection> rows = RowsWithoutSelection();
    const int at = rows.front().index;
    rows.front().Put(s);
    const std::string text = JoinRows(rows);
    const int start = EditStartRow(first);
    const int offset = CharOffset(start, first, 0) + at + static_cast<int>(s.size());
    CleanSelection();
    ReplaceRows(first, last - first + 1, text, start, offset);
    return;
  }
  const int count = store_->Count();
  const std::string row = GetRowString(row_);
  const std::string map = ColumnMap(row_);
  const int size = static_cast<int>(row.size());
  const int c = ColToIndex(map, col_);
  int lastRow = row_;
  std::string text;
  if (c >= size) {
    text = row + std::string(static_cast<size_t>(c - size), ' ') + s;
  } else if (overWrite_) {
    text = row.substr(0, static_cast<size_t>(c)) + s + OverwrittenRest(col_ + static_cast<int>(s.size()), lastRow);
  } else {
    text = row;
    text.insert(static_cast<size_t>(c), s);
  }
  text += LineBreakAfter(GetRowAttribute(lastRow));
  const int start = EditStartRow(row_);
  const int offset = CharOffset(start, row_, col_) + static_cast<int>(s.size());
  if (SelectedOrHit()) CleanSelection();
  ReplaceRows(std::min(row_, count), row_ >= count ? 0 : lastRow - row_ + 1, text, start, offset);
}

std::string TEditor::OverwrittenRest(int col, int& lastRow) const {
  // Columns past a wrapped row go on in the rows after it.
  while (GetRowAttribute(lastRow) == raWrapped && lastRow + 1 < store_->Count() &&
         col >= static_cast<int>(ColumnMap(lastRow).size())) {
    col -= static_cast<int>(ColumnMap(lastRow).size());
    ++lastRow;
  }
  const std::string text = GetRowString(lastRow);
  const std::string map = ColumnMap(lastRow);
  if (col >= static_cast<int>(map.size())) return std::string();
  const int index = ColToIndex(map, col);
  // A tab only partly overwritten stays, so the text after it keeps its
  // column; half a double-byte character becomes a space.
  if (MapLetter(map, col) == kColTrail) return " " + text.substr(static_cast<size_t>(index) + 1);
  return text.substr(static_cast<size_t>(index));
}

}  // namespace corvida
