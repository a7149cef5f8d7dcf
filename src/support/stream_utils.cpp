#include "support/stream_utils.h"

#include <algorithm>

#include "platform/rtl/component_text.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/int_reading.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string CountKey(std::string_view stem) { return std::string(stem) + "_c"; }
std::string LinePrefix(std::string_view stem) { return std::string(stem) + "_d"; }

// Reads the stored line count as an integer; damaged counts are limited to
// the lines that are actually stored.
int StoredLineCount(const TIniText& text, std::string_view section, std::string_view stem) {
  const int count = StrToIntDef(ProfileString(text, section, CountKey(stem), "0"), 0);
  return std::min(count, StoredIndexLimit(text.Keys(section), LinePrefix(stem)));
}

// The control and its owned components, depth-first, each with its name.
void RecordNames(TComponent& component, std::vector<std::pair<TComponent*, std::string>>& names) {
  names.emplace_back(&component, component.Name());
  for (int i = 0; i < component.ComponentCount(); ++i) RecordNames(*component.Components(i), names);
}

}  // namespace

void WriteComponentToStream(TComponent& component, TMemoryStream& stream) {
  const std::string text = WriteComponentText(component);
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

bool ReadComponentFromStream(TMemoryStream& stream, TComponent& control, const TClassRegistry& classes) {
  const int64_t position = std::min(stream.Position(), stream.Size());
  const std::string_view text(stream.Memory() + position, static_cast<size_t>(stream.Size() - position));
  std::vector<std::pair<TComponent*, std::string>> names;
  RecordNames(control, names);
  std::string before;
  try {
    before = WriteComponentText(control);
    TComponent* read = ReadComponentText(text, control, classes);
    if (read == &control) return true;
    // The text held a component of another class, which the reader created
    // beside the control's own; it cannot take the control's place.
    delete read;
  } catch (const std::exception&) {
  }
  try {
    if (!before.empty()) ReadComponentText(before, control, classes);
  } catch (const std::exception&) {
  }
  for (const auto& [component, name] : names) {
    try {
      component->SetName(name);
    } catch (const std::exception&) {
    }
  }
  return false;
}

int StoredIndexLimit(const std::vector<std::string>& keys, std::string_view prefix) {
  int limit = 0;
  for (const std::string& key : keys) {
    if (key.size() <= prefix.size() || !AnsiSameText(std::string_view(key).substr(0, prefix.size()), prefix))
      continue;
    const std::string_view digits = std::string_view(key).substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
    if (digits.size() > 1 && digits.front() == '0') continue;
    const std::optional<int32_t> index = TryStrToInt(digits);
    if (index && *index < INT32_MAX) limit = std::max(limit, *index + 1);
  }
  return limit;
}

void StreamToHexLines(TStream& stream, TStrings& lines) {
  TUpdateBracket update(lines);
  lines.Clear();
  char buffer[kHexLineBytes];
  for (;;) {
    const int64_t n = stream.Read(buffer, kHexLineBytes);
    if (n <= 0) break;
    std::string line;
    line.reserve(static_cast<size_t>(n) * 2);
    for (int64_t i = 0; i < n; ++i) {
      const unsigned char b = static_cast<unsigned char>(buffer[i]);
      line += kHexDigits[b >> 4];
      line += kHexDigits[b & 15];
    }
    lines.Add(line);
    if (n < kHexLineBytes) break;
  }
}

void HexLinesToStream(const TStrings& lines, TStream& stream) {
  const int count = lines.Count();
  std::string pair;
  for (int i = 0; i < count; ++i) {
    const std::string line = lines.Strings(i);
    std::string bytes;
    bytes.reserve(line.size() / 2 + 1);
    for (size_t at = 0; at < line.size(); at += 2) {
      pair.assign(1, '$').append(line, at, 2);
      bytes += static_cast<char>(StrToIntDef(pair, 0) & 0xFF);
    }
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
}

void WriteStreamToIni(TStream& stream, const std::string& iniPath, std::string_view section,
                      std::string_view stem) {
  TStringList lines;
  StreamToHexLines(stream, lines);
  const int lineCount = lines.Count();
  TIniFile ini(iniPath);
  if (!TIniText::CanStore(section, LinePrefix(stem), "")) ini.WriteError();
  ini.Update([&](TIniText& text) {
    bool changed = false;
    const int oldCount = StoredLineCount(text, section, stem);
    for (int i = oldCount - 1; i >= lineCount; --i)
      changed |= text.DeleteKey(section, LinePrefix(stem) + std::to_string(i));
    if (lineCount == 0) changed |= text.DeleteKey(section, CountKey(stem));
    if (lineCount > 0) {
      changed |= text.SetValue(section, CountKey(stem), std::to_string(lineCount));
      for (int i = 0; i < lineCount; ++i)
        changed |= text.SetValue(section, LinePrefix(stem) + std::to_string(i), lines.Strings(i));
    }
    return changed;
  });
}

void ReadStreamFromIni(TStream& stream, const std::string& iniPath, std::string_view section,
                       std::string_view stem) {
  const TIniText text = TIniFile(iniPath).ReadText();
  const int count = StoredLineCount(text, section, stem);
  if (count <= 0) return;
  TStringList lines;
  for (int i = 0; i < count; ++i) lines.Add(ProfileString(text, section, LinePrefix(stem) + std::to_string(i), ""));
  HexLinesToStream(lines, stream);
}

void WriteStreamToRegistry(TStream& stream, std::string_view keyPath, std::string_view section,
                           std::string_view name, const std::string& storePath) {
  TStreamReg reg(storePath);
  reg.OpenKey(keyPath, true);
  reg.OpenKey(section, true);
  std::string buffer(static_cast<size_t>(stream.Size()), '\0');
  stream.ReadBuffer(buffer.data(), static_cast<int64_t>(buffer.size()));
  reg.WriteBinaryData(name, buffer);
}

void ReadStreamFromRegistry(TStream& stream, std::string_view keyPath, std::string_view section,
                            std::string_view name, const std::string& storePath) {
  TStreamReg reg(storePath);
  reg.OpenKey(keyPath, true);
  reg.OpenKey(section, true);
  if (const std::optional<std::string> data = reg.ReadBinaryData(name))
    stream.WriteBuffer(data->data(), static_cast<int64_t>(data->size()));
}

}  // namespace corvida
