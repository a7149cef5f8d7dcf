// Word wrap of the row store: cutting lines into rows by display width with
// the Japanese line-breaking rules, and rewrapping the whole text.
#include <algorithm>

#include "editor/model/editor_attribute_array.h"
#include "editor/model/editor_screen_strings.h"
#include "platform/rtl/huge_pages.h"
#include "platform/rtl/scope_guard.h"
#include "support/string_utils.h"

namespace corvida {
namespace {

// The lines of text: a line ends at CR LF, LF or a lone CR, and a final
// break makes no empty line. Every other byte, NUL included, is text, so
// that nothing the rows held is lost when they are joined and cut again.
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    f(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) f(text.substr(start));
}

// The number of lines ForEachLine gives.
size_t CountLines(std::string_view text) {
  size_t lines = 0;
  size_t i = 0;
  for (size_t n = text.size(); i < n; ++i) {
    const char c = text[i];
    if (c == '\n' || (c == '\r' && (i + 1 == n || text[i + 1] != '\n'))) ++lines;
  }
  return lines + (!text.empty() && text.back() != '\n' && text.back() != '\r' ? 1 : 0);
}

bool In(std::string_view character, const std::string& option) { return StrIncluded(character, option); }

// A row with the text of item and nothing else, made without copying the text.
TqdStringItem TakeText(TqdStringItem&& item) {
  TqdStringItem row = std::move(item);
  row.Data = 0;
  row.Attributes = 0;
  row.Attributes2 = 0;
  row.SetDataStr({});
  return row;
}

}  // namespace

template <typename Emit>
void TEditorScreenStrings::CutLine(std::string_view line, Emit&& emit) {
  const TColumnLayout layout = Layout();
  const TEditorWrapOption& option = WrapOption();
  const int wrapByte = option.WrapByte();
  if (!wordWrap_ || MapLength(line, layout) < wrapByte) {
    emit(line, raCrlf);
    return;
  }
  std::string map = ColumnMap(line, layout);
  const int leadingLimit = (wrapByte / 5) * 4;
  TEditorAttributeArray cursor;
  cursor.Init(line, map);
  cursor.MoveTo(wrapByte);
  bool emitted = false;
  for (;;) {
    if (cursor.Code() == TEditorAttributeArray::kPastEnd) {
      if (!line.empty())
        emit(line, raCrlf);
      else if (!option.FollowRetMark() || !emitted)
        emit(std::string_view(), raCrlf);
      else
        emit(std::string_view(), raInvalid);  // the last row emitted ends the line
      return;
    }
    if (cursor.Code() == kColLead) {
      cursor.Prev();
    } else if (option.WordBreak() && cursor.ColumnCount() > wrapByte) {
      while (cursor.Code() != kColDelimiter && cursor.Code() != kColTab && cursor.Code() != kColTrail &&
             cursor.Position() > wrapByte / 3)
        cursor.StepBack();
    }
    if (option.FollowPunctuation()) {
      while (cursor.Position() < wrapByte + 2 && In(cursor.PeekNext(), option.PunctuationStr())) {
        cursor.Next();
        if (cursor.Code() == kColLead) cursor.Next();
      }
    }
    if (option.Leading() && cursor.Position() < cursor.ColumnCount()) {
      while (cursor.Position() > leadingLimit && In(cursor.Current(), option.LeadStr())) cursor.StepBack();
      if (cursor.Position() + 1 < cursor.ColumnCount()) {
        std::string_view next = cursor.PeekNext();
        std::string_view current = cursor.Current();
        if (In(next, option.FollowStr())) {
          while (cursor.Position() > leadingLimit &&
                 (In(current, option.LeadStr()) || In(next, option.FollowStr()))) {
            cursor.StepBack();
            next = current;
            current = cursor.Current();
          }
        }
      }
    }
    const size_t cut = std::min(static_cast<size_t>(std::max(cursor.ByteIndex(), 1)), line.size());
    emit(line.substr(0, cut), raWrapped);
    emitted = true;
    line.remove_prefix(cut);
    map = ColumnMap(line, layout);
    cursor.Init(line, map);
    cursor.MoveTo(wrapByte);
  }
}

void TEditorScreenStrings::WrapLines(std::string_view s, std::vector<TqdStringItem>& rows) {
  rows.clear();
  // Without wrap a line is a row; wrapped lines make more.
  rows.reserve(std::max<size_t>(CountLines(s), 1));
  AdviseHugePages(rows.data(), rows.capacity() * sizeof(TqdStringItem));
  auto emit = [&rows](std::string_view piece, TRowAttribute attribute) {
    if (attribute == raInvalid) {
      SetRowAttributeOf(rows.back(), raCrlf);
      return;
    }
    SetRowAttributeOf(rows.emplace_back(piece), attribute);
  };
  if (s.empty())
    emit(std::string_view(), raCrlf);
  else
    ForEachLine(s, [&](std::string_view line) { CutLine(line, emit); });
  if (rows.empty()) emit(std::string_view(), raCrlf);
}

void TEditorScreenStrings::WrapLines(std::string_view s, TEditorStringList& rows) {
  std::vector<TqdStringItem> items;
  WrapLines(s, items);
  TUpdateBracket update(rows);
  rows.Clear();
  rows.InsertRows(0, std::move(items));
}

int TEditorScreenStrings::WrapCount(std::string_view line) {
  int count = 0;
  CutLine(line, [&count](std::string_view, TRowAttribute attribute) {
    if (attribute != raInvalid) ++count;
  });
  return count;
}

void TEditorScreenStrings::ReplaceAllRows(std::vector<TqdStringItem>&& rows) {
  TakeRows(0, Count());
  InsertRows(0, std::move(rows));
}

void TEditorScreenStrings::WrapAll() {
  if (Count() == 0 || OwnerLoading()) return;
  CleanViewSelections();
  const TNotifyEvent onChange = OnChange();
  SetOnChange({});
  BeginUpdate();
  ScopeGuard restore([this, onChange] {
    EndUpdate();
    SetOnChange(onChange);
  });
  const TRowAttribute lastAttribute = RowAttributes(Count() - 1);
  const int wrapByte = WrapOption().WrapByte();
  const TColumnLayout layout = Layout();
  std::vector<TqdStringItem> old = TakeRows(0, Count());
  std::vector<TqdStringItem> rows;
  rows.reserve(old.size());
  std::string joined;
  for (size_t r = 0; r < old.size();) {
    size_t e = r;
    while (e + 1 < old.size() && (old[e].Attributes & 3u) == raWrapped) ++e;
    TRowMarks lineMarks;
    for (size_t k = r; k <= e; ++k) lineMarks = lineMarks | TRowMarks(static_cast<uint16_t>(old[k].Attributes2 >> 16));
    std::string_view line = old[r].Str();
    if (e > r) {
      joined.clear();
      for (size_t k = r; k <= e; ++k) joined += old[k].Str();
      line = joined;
    }
    auto markBits = [](TRowMarks marks) { return static_cast<uint32_t>(marks.Bits()) << 16; };
    // The same test as the cut's, so that a line ending in a lone lead
    // byte is laid out alike both ways.
    if (MapLength(line, layout) < wrapByte) {
      TqdStringItem item = e > r ? TqdStringItem(line) : TakeText(std::move(old[r]));
      item.Attributes = raCrlf;
      item.Attributes2 = markBits(lineMarks);
      rows.push_back(std::move(item));
    } else {
      const size_t firstNew = rows.size();
      CutLine(line, [&rows](std::string_view piece, TRowAttribute attribute) {
        if (attribute == raInvalid) {
          rows.back().Attributes = raCrlf;
          return;
        }
        TqdStringItem item{piece};
        item.Attributes = attribute;
        rows.push_back(std::move(item));
      });
      const size_t newRows = rows.size() - firstNew;
      for (size_t j = 0; j <= e - r; ++j) {
        TqdStringItem& to = rows[firstNew + std::min(j, newRows - 1)];
        to.Attributes2 |= static_cast<uint32_t>(old[r + j].Attributes2 & 0xFFFF0000u);
      }
    }
    r = e + 1;
  }
  rows.back().Attributes = lastAttribute;
  ReplaceAllRows(std::move(rows));
}

void TEditorScreenStrings::UnwrapAll() {
  if (Count() == 0) return;
  CleanViewSelections();
  const TRowAttribute last = RowAttributes(Count() - 1);
  const TRowAttribute endAttribute = last == raWrapped ? raEof : last;
  const TNotifyEvent onChange = OnChange();
  SetOnChange({});
  BeginUpdate();
  ScopeGuard restore([this, onChange] {
    EndUpdate();
    SetOnChange(onChange);
  });
  std::vector<TqdStringItem> old = TakeRows(0, Count());
  std::vector<TqdStringItem> rows;
  for (size_t r = 0; r < old.size();) {
    size_t e = r;
    while (e + 1 < old.size() && (old[e].Attributes & 3u) == raWrapped) ++e;
    uint32_t marks = old[r].Attributes2 & 0xFFFF0000u;
    TqdStringItem item;
    if (e == r) {
      item = TakeText(std::move(old[r]));
    } else {
      std::string line(old[r].Str());
      for (size_t k = r + 1; k <= e; ++k) {
        line += old[k].Str();
        marks |= old[k].Attributes2 & 0xFFFF0000u;
      }
      item.SetStr(line);
    }
    item.Attributes = raCrlf;
    item.Attributes2 = marks;
    rows.push_back(std::move(item));
    r = e + 1;
  }
  rows.back().Attributes = endAttribute;
  ReplaceAllRows(std::move(rows));
}

void TEditorScreenStrings::Rewrap() {
  UndoObj().Clear();
  if (wordWrap_)
    WrapAll();
  else
    UnwrapAll();
  InitScan();
  RefreshViews();
  ClampViews();
  ResetViewColumns();
}

void TEditorScreenStrings::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  if (OwnerLoading()) return;
  Rewrap();
}

void TEditorScreenStrings::WrapOptionChange(TObject*) {
  if (OwnerLoading() || !wordWrap_) return;
  Rewrap();
}

}  // namespace corvida
