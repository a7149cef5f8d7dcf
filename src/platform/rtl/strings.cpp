#include "platform/rtl/strings.h"

#include <algorithm>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/streams.h"

namespace corvida {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      ++i;
      if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

void TStrings::Put(int index, const std::string& s) {
  TUpdateBracket update(*this);
  Delete(index);
  Insert(index, s);
}

int TStrings::Add(const std::string& s) {
  const int index = GetCount();
  Insert(index, s);
  return index;
}

void TStrings::Exchange(int index1, int index2) {
  TUpdateBracket update(*this);
  const std::string a = Get(index1);
  const std::string b = Get(index2);
  Put(index1, b);
  Put(index2, a);
}

int TStrings::IndexOf(std::string_view s) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (AnsiCompareText(Get(i), s) == 0) return i;
  return -1;
}

std::string TStrings::GetTextStr() const {
  std::string text;
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    text += Get(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetTextStr(std::string_view text) {
  TUpdateBracket update(*this);
  Clear();
  for (const std::string& line : SplitLines(text)) Add(line);
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

void TStrings::AddStrings(const TStrings& strings) {
  TUpdateBracket update(*this);
  const int n = strings.GetCount();
  for (int i = 0; i < n; ++i) Add(strings.Get(i));
}

void TStrings::AddText(std::string_view text) {
  TUpdateBracket update(*this);
  for (const std::string& line : SplitLines(text)) Add(line);
}

void TStrings::Assign(const TPersistent* source) {
  if (source == this) return;  // clearing first would lose the lines
  if (auto* strings = dynamic_cast<const TStrings*>(source)) {
    TUpdateBracket update(*this);
    Clear();
    AddStrings(*strings);
    return;
  }
  TPersistent::Assign(source);
}

bool TStrings::Equals(const TStrings& other) const {
  const int n = GetCount();
  if (n != other.GetCount()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  TUpdateBracket update(*this);
  const std::string s = Get(curIndex);
  Delete(curIndex);
  Insert(newIndex, s);
}

void TStrings::LoadFromStream(TStream& stream) {
  const int64_t size = stream.Size() - stream.Position();
  std::string text(static_cast<size_t>(size), '\0');
  stream.ReadBuffer(text.data(), size);
  SetTextStr(text);
}

void TStrings::SaveToStream(TStream& stream) const {
  const std::string text = GetTextStr();
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

TStringList::~TStringList() {
  onChange_ = {};
  onChanging_ = {};
}

void TStringList::Check(int index) const {
  if (index < 0 || index >= GetCount()) throw EStringListError(msg::kListIndexError);
}

std::string TStringList::Get(int index) const {
  Check(index);
  return items_[index];
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) throw EStringListError(msg::kSortedListError);
  Check(index);
  Changing();
  items_[index] = s;
  Changed();
}

void TStringList::InsertItem(int index, const std::string& s) {
  Changing();
  items_.insert(items_.begin() + index, s);
  Changed();
}

void TStringList::Insert(int index, const std::string& s) {
  if (sorted_) throw EStringListError(msg::kSortedListError);
  if (index < 0 || index > GetCount()) throw EStringListError(msg::kListIndexError);
  InsertItem(index, s);
}

int TStringList::Add(const std::string& s) {
  int index = GetCount();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError(msg::kDuplicateString);
  }
  InsertItem(index, s);
  return index;
}

void TStringList::Delete(int index) {
  Check(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  items_.shrink_to_fit();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  Check(index1);
  Check(index2);
  Changing();
  std::swap(items_[index1], items_[index2]);
  Changed();
}

int TStringList::IndexOf(std::string_view s) const {
  if (!sorted_) {
    for (size_t i = 0; i < items_.size(); ++i)
      if (CompareStrings(items_[i], s) == 0) return static_cast<int>(i);
    return -1;
  }
  int index = 0;
  return Find(s, index) ? index : -1;
}

void TStringList::SetCapacity(int capacity) {
  if (capacity >= GetCount()) items_.reserve(static_cast<size_t>(capacity));
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(std::string_view s, int& index) const {
  int lo = 0;
  int hi = GetCount() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = CompareStrings(items_[mid], s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const std::string& a, const std::string& b) { return CompareStrings(a, b) < 0; });
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted_ == sorted) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

void TStringList::Changed() {
  if (!updating_ && onChange_) onChange_(this);
}

void TStringList::Changing() {
  if (!updating_ && onChanging_) onChanging_(this);
}

void TStringList::SetUpdateState(bool updating) {
  updating_ = updating;
  if (updating) {
    if (onChanging_) onChanging_(this);
  } else {
    Changed();
  }
}

}  // namespace corvida
