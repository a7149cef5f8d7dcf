#include "platform/rtl/ini_file.h"

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

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
    lines_.push_back(ParseLine(std::string(content.substr(start, i - start)), std::move(end)));
    i += endLength - 1;
    start = i + 1;
  }
  if (start < content.size()) lines_.push_back(ParseLine(std::string(content.substr(start)), std::string()));
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
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == lkSection && SameName(lines_[i].name, section)) return i;
  return std::string::npos;
}

size_t TIniText::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != lkSection) ++i;
  return i;
}

size_t TIniText::FindKey(size_t header, std::string_view key) const {
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == lkKey && SameName(lines_[i].name, key)) return i;
  return std::string::npos;
}

std::optional<std::string> TIniText::Value(std::string_view section, std::string_view key) const {
  const size_t header = FindSection(section);
  if (header == std::string::npos) return std::nullopt;
  const size_t at = FindKey(header, key);
  if (at == std::string::npos) return std::nullopt;
  return lines_[at].value;
}

std::vector<std::string> TIniText::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const size_t header = FindSection(section);
  if (header == std::string::npos) return keys;
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == lkKey) keys.push_back(lines_[i].name);
  return keys;
}

std::vector<std::string> TIniText::Sections() const {
  std::vector<std::string> sections;
  for (const TLine& line : lines_)
    if (line.kind == lkSection) sections.push_back(line.name);
  return sections;
}

void TIniText::InsertLine(size_t at, std::string text) {
  // The line before the new one may be a last line without a line end.
  if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = newLine_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ParseLine(std::move(text), newLine_));
}

bool TIniText::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view name = Trim(key);
  size_t header = FindSection(section);
  if (header == std::string::npos) {
    std::string text(1, '[');
    text.append(Trim(section)).push_back(']');
    InsertLine(lines_.size(), std::move(text));
    header = lines_.size() - 1;
  }
  const size_t at = FindKey(header, key);
  if (at != std::string::npos) {
    TLine& line = lines_[at];
    const std::string text = line.name + "=" + std::string(value);
    if (line.text == text) return false;
    line = ParseLine(text, line.end);
    return true;
  }
  // After the section's last key, so that comments and blank lines before
  // the next section stay with it.
  size_t insertAt = header + 1;
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == lkKey) insertAt = i + 1;
  InsertLine(insertAt, std::string(name) + "=" + std::string(value));
  return true;
}

bool TIniText::DeleteKey(std::string_view section, std::string_view key) {
  const size_t header = FindSection(section);
  if (header == std::string::npos) return false;
  const size_t at = FindKey(header, key);
  if (at == std::string::npos) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(at));
  return true;
}

bool TIniText::DeleteSection(std::string_view section) {
  const size_t header = FindSection(section);
  if (header == std::string::npos) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
               lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
  return true;
}

std::string TIniText::Content() const {
  std::string content;
  for (const TLine& line : lines_) {
    content += line.text;
    content += line.end;
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
  return ProfileString(ReadText(), section, key, defaultValue);
}

std::vector<std::string> TIniFile::ReadKeys(std::string_view section) const { return ReadText().Keys(section); }

TIniText TIniFile::ReadText() const {
  try {
    return TIniText(ReadFileIfExists(fileName_).value_or(std::string()));
  } catch (const EFOpenError&) {
    return TIniText();
  }
}

void TIniFile::WriteError() const { throw EIniFileException(Format(msg::kCannotWrite, {Utf8ToCp932(fileName_)})); }

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!TIniText::CanStore(section, key, value)) WriteError();
  Update([&](TIniText& text) { return text.SetValue(section, key, value); });
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Update([&](TIniText& text) { return text.DeleteKey(section, key); });
}

void TIniFile::Update(const std::function<bool(TIniText&)>& edit) {
  if (fileName_.empty()) WriteError();
  std::optional<std::string> content;
  try {
    content = ReadFileIfExists(fileName_);
  } catch (const EFOpenError&) {
    WriteError();
  }
  TIniText text(content.value_or(std::string()));
  if (!edit(text)) return;
  try {
    WriteFileAtomic(fileName_, text.Content());
  } catch (const EFCreateError&) {
    WriteError();
  }
}

}  // namespace corvida
