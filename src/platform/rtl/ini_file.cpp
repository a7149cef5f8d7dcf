#include "platform/rtl/ini_file.h"

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/scope_guard.h"

namespace corvida {
namespace {

// How long a writer waits for another to finish with the file.
constexpr std::chrono::seconds kLockWait{5};

// The profile functions' white space; 0x1A is the old end-of-file mark.
bool IsIniSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsIniSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsIniSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view stored, std::string_view asked) { return AnsiSameText(stored, Trim(asked)); }

// Cuts s to at most max bytes without leaving the lead byte of a double-byte
// character alone at the end.
std::string_view CutBytes(std::string_view s, size_t max) {
  if (s.size() <= max) return s;
  size_t end = 0;
  for (size_t i = 0; i < max;) {
    const size_t width = IsLeadByte(s[i]) ? 2 : 1;
    if (i + width > max) break;
    i += width;
    end = i;
  }
  return s.substr(0, end);
}

}  // namespace

TIniText::TIniText(std::string_view content) {
  constexpr std::string_view kUtf8Mark = "\xef\xbb\xbf";
  if (content.starts_with(kUtf8Mark)) {
    byteOrderMark_ = kUtf8Mark;
    content.remove_prefix(kUtf8Mark.size());
  }
  auto add = [&](std::string text, std::string end) {
    TLine line = ParseLine(std::move(text), std::move(end));
    if (line.kind == lkSection) sections_.emplace_back();
    sections_.back().lines.push_back(std::move(line));
  };
  bool sawEnd = false;
  size_t start = 0;
  for (size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (c != '\r' && c != '\n') continue;
    const size_t endLength = (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ? 2 : 1;
    std::string end(content.substr(i, endLength));
    if (!sawEnd) {
      newLine_ = end;
      sawEnd = true;
    }
    add(std::string(content.substr(start, i - start)), std::move(end));
    i += endLength - 1;
    start = i + 1;
  }
  if (start < content.size()) add(std::string(content.substr(start)), std::string());
}

TIniText::TLine TIniText::ParseLine(std::string text, std::string end) {
  TLine line;
  const std::string_view body = Trim(text);
  if (!body.empty() && body.front() == '[') {
    const size_t close = body.rfind(']');
    if (close != std::string_view::npos) {
      line.kind = lkSection;
      line.name = Trim(body.substr(1, close - 1));
    }
  }
  if (line.kind == lkOther && !body.empty() && body.front() != ';') {
    const size_t equals = body.find('=');
    if (equals != std::string_view::npos) {
      line.kind = lkKey;
      line.name = Trim(body.substr(0, equals));
      line.value = Trim(body.substr(equals + 1));
    }
  }
  line.text = std::move(text);
  line.end = std::move(end);
  return line;
}

size_t TIniText::FindSection(std::string_view section) const {
  for (size_t i = 1; i < sections_.size(); ++i)
    if (SameName(sections_[i].lines.front().name, section)) return i;
  return std::string::npos;
}

void TIniText::Index(const TSection& s) const {
  s.firstKey.clear();
  s.lastKey = 0;
  for (size_t i = 1; i < s.lines.size(); ++i) {
    if (s.lines[i].kind != lkKey) continue;
    s.firstKey.try_emplace(AnsiUpperCase(s.lines[i].name), i);
    s.lastKey = i;
  }
  s.indexed = true;
}

size_t TIniText::FindKey(const TSection& s, std::string_view key) const {
  if (!s.indexed) Index(s);
  const auto found = s.firstKey.find(AnsiUpperCase(Trim(key)));
  return found == s.firstKey.end() ? std::string::npos : found->second;
}

std::optional<std::string> TIniText::Value(std::string_view section, std::string_view key) const {
  const size_t at = FindSection(section);
  if (at == std::string::npos) return std::nullopt;
  const TSection& s = sections_[at];
  const size_t line = FindKey(s, key);
  if (line == std::string::npos) return std::nullopt;
  return s.lines[line].value;
}

std::vector<std::string> TIniText::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const size_t at = FindSection(section);
  if (at == std::string::npos) return keys;
  for (const TLine& line : sections_[at].lines)
    if (line.kind == lkKey) keys.push_back(line.name);
  return keys;
}

std::vector<std::string> TIniText::Sections() const {
  std::vector<std::string> sections;
  for (size_t i = 1; i < sections_.size(); ++i) sections.push_back(sections_[i].lines.front().name);
  return sections;
}

void TIniText::EndLastLine() {
  for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
    if (s->lines.empty()) continue;
    if (s->lines.back().end.empty()) s->lines.back().end = newLine_;
    return;
  }
}

bool TIniText::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view name = Trim(key);
  size_t at = FindSection(section);
  if (at == std::string::npos) {
    std::string header(1, '[');
    header.append(Trim(section)).push_back(']');
    EndLastLine();
    sections_.emplace_back().lines.push_back(ParseLine(std::move(header), newLine_));
    at = sections_.size() - 1;
  }
  TSection& s = sections_[at];
  const size_t found = FindKey(s, key);
  if (found != std::string::npos) {
    TLine& line = s.lines[found];
    const std::string text = line.name + "=" + std::string(value);
    if (line.text == text) return false;
    line = ParseLine(text, line.end);
    return true;
  }
  // After the section's last key, so that comments and blank lines before
  // the next section stay with it. No key line follows, so the index holds.
  const size_t insertAt = s.lastKey + 1;
  if (TLine& before = s.lines[insertAt - 1]; before.end.empty()) before.end = newLine_;
  s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                 ParseLine(std::string(name) + "=" + std::string(value), newLine_));
  s.firstKey.emplace(AnsiUpperCase(name), insertAt);
  s.lastKey = insertAt;
  return true;
}

bool TIniText::DeleteKey(std::string_view section, std::string_view key) {
  const size_t at = FindSection(section);
  if (at == std::string::npos) return false;
  TSection& s = sections_[at];
  const size_t line = FindKey(s, key);
  if (line == std::string::npos) return false;
  s.lines.erase(s.lines.begin() + static_cast<std::ptrdiff_t>(line));
  if (line == s.lastKey) {
    // The last key goes, as when a list is cut short: no key line moves.
    s.firstKey.erase(AnsiUpperCase(Trim(key)));
    while (--s.lastKey > 0 && s.lines[s.lastKey].kind != lkKey) {
    }
  } else {
    s.indexed = false;
  }
  return true;
}

bool TIniText::DeleteSection(std::string_view section) {
  const size_t at = FindSection(section);
  if (at == std::string::npos) return false;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(at));
  return true;
}

std::string TIniText::Content() const {
  std::string content = byteOrderMark_;
  for (const TSection& s : sections_) {
    for (const TLine& line : s.lines) {
      content += line.text;
      content += line.end;
    }
  }
  return content;
}

bool TIniText::CanStore(std::string_view section, std::string_view key, std::string_view value) {
  auto breaksLine = [](std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; };
  if (breaksLine(section) || breaksLine(key) || breaksLine(value)) return false;
  const std::string_view name = Trim(key);
  if (name.find('=') != name.npos) return false;
  return name.empty() || (name.front() != '[' && name.front() != ';');
}

std::string ProfileString(const TIniText& text, std::string_view section, std::string_view key,
                          std::string_view defaultValue) {
  const std::optional<std::string> stored = text.Value(section, key);
  std::string_view value;
  if (stored) {
    value = *stored;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
  } else {
    value = defaultValue;
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  }
  // The value reaches the caller as a C string in a fixed buffer.
  value = value.substr(0, value.find('\0'));
  return std::string(CutBytes(value, kProfileBufferSize - 1));
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  std::string value;
  Read([&](const TIniText& text) { value = ProfileString(text, section, key, defaultValue); });
  return value;
}

std::vector<std::string> TIniFile::ReadKeys(std::string_view section) const {
  std::vector<std::string> keys;
  Read([&](const TIniText& text) { keys = text.Keys(section); });
  return keys;
}

TIniText TIniFile::ReadText() const {
  if (held_ != nullptr) return *held_;
  try {
    return TIniText(ReadFileIfExists(fileName_).value_or(std::string()));
  } catch (const EFOpenError&) {
    return TIniText();
  }
}

void TIniFile::Read(const std::function<void(const TIniText&)>& reader) const {
  if (held_ != nullptr) return reader(*held_);
  reader(ReadText());
}

void TIniFile::WriteError(std::string_view reason) const {
  RaisePathError<EIniFileException>(reason.empty() ? msg::kCannotWrite : msg::kCannotWriteBecause, fileName_, reason);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!TIniText::CanStore(section, key, value)) WriteError();
  Update([&](TIniText& text) { return text.SetValue(section, key, value); });
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Update([&](TIniText& text) { return text.DeleteKey(section, key); });
}

void TIniFile::Update(const std::function<bool(TIniText&)>& edit) {
  if (editing_ != nullptr) {
    changed_ |= edit(*editing_);
    return;
  }
  if (fileName_.empty()) WriteError();
  std::optional<TFileLock> lock;
  try {
    lock.emplace(fileName_, kLockWait);
  } catch (const EInOutError& e) {
    throw EIniFileException(e.Message(), e.Utf8Message(), e.Reason());
  }
  std::optional<std::string> content;
  try {
    content = ReadFileIfExists(fileName_);
  } catch (const EFOpenError& e) {
    WriteError(e.Reason());
  }
  TIniText text(content.value_or(std::string()));
  if (!edit(text)) return;
  try {
    WriteFileAtomic(fileName_, text.Content());
  } catch (const EFCreateError& e) {
    WriteError(e.Reason());
  }
}

void TIniFile::Transaction(const std::function<void()>& body) {
  if (editing_ != nullptr) return body();
  Update([&](TIniText& text) {
    held_ = editing_ = &text;
    changed_ = false;
    ScopeGuard release([&] { held_ = editing_ = nullptr; });
    body();
    return changed_;
  });
}

void TIniFile::Snapshot(const std::function<void()>& body) {
  if (held_ != nullptr) return body();
  const TIniText text = ReadText();
  held_ = &text;
  ScopeGuard release([&] { held_ = nullptr; });
  body();
}

}  // namespace corvida
