#include "editor/model/editor_strings.h"

#include <climits>
#include <vector>

#include "editor/model/line_breaks.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/streams.h"

namespace corvida {
namespace {

constexpr size_t kBlockSize = 8192;
constexpr char kCtrlZ = 26;

[[noreturn]] void IndexError() { throw EStringListError(msg::kListIndexError); }

// Splits a file's bytes into lines block by block: CR, LF and CR LF end a
// line (also a CR ending one block and an LF starting the next), and Ctrl-Z
// ends the text. NUL bytes are text, so that nothing of the file is lost.
class LineSplitter {
 public:
  // line(piece, complete): piece is the next part of the current line;
  // complete says the line ends after it.
  template <typename F>
  void Feed(const char* data, size_t size, F&& line) {
    size_t i = 0;
    if (pendingCr_ && size > 0) {
      pendingCr_ = false;
      if (data[0] == '\n') i = 1;
    }
    size_t start = i;
    for (; i < size; ++i) {
      const char c = data[i];
      if (c != '\r' && c != '\n' && c != kCtrlZ) continue;
      if (c == kCtrlZ) {
        ended_ = true;
        break;
      }
      line(std::string_view(data + start, i - start), true);
      partial_ = false;
      if (c == '\r') {
        if (i + 1 == size)
          pendingCr_ = true;
        else if (data[i + 1] == '\n')
          ++i;
      }
      start = i + 1;
    }
    if (i > start) {
      line(std::string_view(data + start, i - start), false);
      partial_ = true;
    }
  }
  bool Ended() const { return ended_; }
  // A last line without a break is waiting.
  bool Partial() const { return partial_; }

 private:
  bool pendingCr_ = false;
  bool ended_ = false;
  bool partial_ = false;
};

// Returns true when the last line has no line break.
template <typename F>
bool ReadLines(TFileStream& file, F&& line) {
  file.SetPosition(0);
  std::vector<char> block(kBlockSize);
  LineSplitter splitter;
  while (!splitter.Ended()) {
    const int64_t n = file.Read(block.data(), static_cast<int64_t>(kBlockSize));
    if (n <= 0) break;
    splitter.Feed(block.data(), static_cast<size_t>(n), line);
  }
  if (splitter.Partial()) line(std::string_view(), true);
  return splitter.Partial();
}

}  // namespace

int TEditorStrings::LineToRow(int index) const {
  const TEditorScreenStrings& store = Store();
  if (!store.WordWrap()) return index;
  if (index < 0) IndexError();
  return store.LineStartRow(index);
}

int TEditorStrings::GetCount() const {
  const TEditorScreenStrings& store = Store();
  return store.WordWrap() ? store.LineCount() : store.Count();
}

std::string TEditorStrings::Get(int index) const {
  const TEditorScreenStrings& store = Store();
  if (!store.WordWrap()) return store.Get(index);
  const int row = LineToRow(index);
  if (row >= store.Count()) IndexError();
  TRowAttribute last;
  int rows;
  std::string text;
  store.GetRowsText(row, -1, last, rows, text);
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, kLineBreak) == 0) text.resize(text.size() - 2);
  return text;
}

int TEditorStrings::Add(const std::string& s) {
  TEditorScreenStrings& store = Store();
  const int result = GetCount();
  if (view_->Loading()) {
    // The stored "Strings" being read: one row per string, no undo; the
    // view wraps and scans when its loading ends.
    store.Add(s);
    return result;
  }
  view_->CleanSelection();
  TCaretUpdate caretUpdate(*view_);
  const int count = store.Count();
  if (count > 0 && store.RowAttributes(count - 1) != raCrlf) {
    std::string text(store.StringRef(count - 1));
    text.append(kLineBreak).append(s);
    store.ChangeRows(count - 1, 1, text);
    view_->PlaceCaretAtOffset(count - 1, static_cast<int>(text.size()));
  } else {
    const std::string text = s + std::string(kLineBreak);
    store.ChangeRows(count, 0, text);
    view_->PlaceCaretAtOffset(count, static_cast<int>(text.size()));
  }
  return result;
}

void TEditorStrings::AddText(std::string_view text) {
  if (text.empty()) return;
  if (view_->Loading()) {
    TStrings::AddText(text);
    return;
  }
  // Each line of text ends with a break, as each Add gives its line one.
  std::string ended;
  if (text.back() != '\n' && text.back() != '\r') {
    ended.reserve(text.size() + kLineBreak.size());
    ended.append(text).append(kLineBreak);
    text = ended;
  }
  TEditorScreenStrings& store = Store();
  view_->CleanSelection();
  TCaretUpdate caretUpdate(*view_);
  const int count = store.Count();
  if (count > 0 && store.RowAttributes(count - 1) != raCrlf) {
    // After a last row without a break the lines join it, and the last of
    // them is left without one.
    const size_t lastBreak = text.ends_with(kLineBreak) ? kLineBreak.size() : 1;
    std::string joined(store.StringRef(count - 1));
    joined.append(kLineBreak).append(text.substr(0, text.size() - lastBreak));
    store.ChangeRows(count - 1, 1, joined);
  } else {
    store.ChangeRows(count, 0, text);
  }
  // The caret goes to the end of the text, as after the last Add.
  const int last = store.Count() - 1;
  if (store.RowAttributes(last) == raCrlf)
    view_->PlaceCaretAtOffset(last + 1, 0);
  else
    view_->PlaceCaretAtOffset(last, static_cast<int>(store.StringRef(last).size()));
}

void TEditorStrings::Insert(int index, const std::string& s) {
  TEditorScreenStrings& store = Store();
  if (index < 0 || (!store.WordWrap() && index > store.Count())) IndexError();
  const int row = LineToRow(index);
  if (row == store.Count()) {
    Add(s);
    return;
  }
  view_->CleanSelection();
  TCaretUpdate caretUpdate(*view_);
  store.ChangeRows(row, 0, s + std::string(kLineBreak));
  view_->PlaceCaretAtOffset(row, static_cast<int>(s.size()) + 2);
}

void TEditorStrings::Put(int index, const std::string& s) {
  TEditorScreenStrings& store = Store();
  view_->CleanSelection();
  const int row = LineToRow(index);
  if (row < 0 || row >= store.Count()) IndexError();
  const int last = store.LastRowOfLine(row);
  std::string text = s;
  if (store.RowAttributes(last) == raCrlf) text += kLineBreak;
  TCaretUpdate caretUpdate(*view_);
  store.ChangeRows(row, last - row + 1, text);
  view_->PlaceCaretAtOffset(row, static_cast<int>(text.size()));
}

void TEditorStrings::Delete(int index) {
  TEditorScreenStrings& store = Store();
  view_->CleanSelection();
  const int row = LineToRow(index);
  if (row < 0 || row >= store.Count()) IndexError();
  TCaretUpdate caretUpdate(*view_);
  store.ChangeRows(row, store.LastRowOfLine(row) - store.FirstRowOfLine(row) + 1, "");
  view_->PlaceCaretAtOffset(row, 0);
}

void TEditorStrings::Clear() { Store().Clear(); }

std::string TEditorStrings::GetTextStr() const {
  TRowAttribute last;
  int rows;
  std::string text;
  Store().GetRowsText(0, Store().Count(), last, rows, text);
  return text;
}

void TEditorStrings::SetTextStr(std::string_view text) {
  TEditorScreenStrings& store = Store();
  TUpdateBracket update(*this);
  Clear();
  store.SetTextStr(text);
  if (!text.empty() && text.back() != '\n' && text.back() != '\r' && store.Count() > 0)
    store.SetRowAttributes(store.Count() - 1, raEof);
  if (store.WordWrap()) store.WrapAll();
  store.InitScan();
}

void TEditorStrings::Assign(const TPersistent* source) {
  if (const auto* strings = dynamic_cast<const TStrings*>(source)) {
    SetTextStr(strings->GetTextStr());
    view_->SetRow(Store().Count());
    view_->SetCol(0);
    return;
  }
  TStrings::Assign(source);
}

void TEditorStrings::LoadRows(const std::string& fileName) {
  TEditorScreenStrings& store = Store();
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  int64_t lines = 0;
  ReadLines(file, [&lines](std::string_view, bool complete) {
    if (complete) ++lines;
  });
  if (lines > INT_MAX) throw EReadError(msg::kReadError);
  store.SetCapacity(static_cast<int>(lines));
  for (int64_t i = 0; i < lines; ++i) store.Add(std::string());
  int row = 0;
  std::string line;
  const bool unterminated = ReadLines(file, [&](std::string_view piece, bool complete) {
    line.append(piece);
    if (!complete) return;
    // The file may have grown between the passes.
    if (row < store.Count())
      store.Put(row, line);
    else
      store.Add(line);
    ++row;
    line.clear();
  });
  if (unterminated && store.Count() > 0) store.SetRowAttributes(store.Count() - 1, raEof);
}

void TEditorStrings::LoadFromFile(const std::string& fileName) {
  TEditorScreenStrings& store = Store();
  TUpdateBracket update(*this);
  Clear();
  try {
    LoadRows(fileName);
  } catch (...) {
    store.Clear();
    throw;
  }
  if (store.WordWrap()) store.WrapAll();
  store.InitScan();
  store.RefreshViews();
}

bool TEditorStrings::StringsStored(const TPersistent* ancestor) const {
  if (const auto* strings = dynamic_cast<const TStrings*>(ancestor)) return !Equals(*strings);
  if (ancestor) return true;
  return GetCount() > 0;
}

std::vector<std::string> TEditorStrings::WriteStrings() const {
  const TEditorScreenStrings& store = Store();
  std::vector<std::string> strings;
  std::string line;
  for (int row = 0; row < store.Count(); ++row) {
    line += store.StringRef(row);
    if (store.RowAttributes(row) == raCrlf || row == store.Count() - 1) {
      strings.push_back(std::move(line));
      line.clear();
    }
  }
  return strings;
}

void TEditorStrings::ReadStrings(const std::vector<std::string>& strings) {
  TEditorScreenStrings& store = Store();
  TUpdateBracket update(*this);
  Clear();
  for (const std::string& s : strings) store.Add(s);
}

void TEditorStrings::SetUpdateState(bool updating) {
  TEditorScreenStrings& store = Store();
  if (updating) {
    ++updateCount_;
    store.BeginUpdate();
    view_->CaretBeginUpdate();
    view_->UnderlineBeginUpdate();
    view_->SetLinesUpdating(true);
  } else {
    --updateCount_;
    ScopeGuard caret([this] {
      view_->SetLinesUpdating(false);
      view_->UpdateCaret();
    });
    ScopeGuard caretEnd([this] { view_->CaretEndUpdate(); });
    ScopeGuard underlineEnd([this] { view_->UnderlineEndUpdate(); });
    store.EndUpdate();
  }
  if (view_->Showing()) {
    view_->SetRedraw(!updating);
    if (!updating) store.RefreshViews();
  }
}

}  // namespace corvida
