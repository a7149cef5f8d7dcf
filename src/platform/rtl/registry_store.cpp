#include "platform/rtl/registry_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::string_view kStringTag = "s:";
constexpr std::string_view kBinaryTag = "b:";

// Bytes that would change the meaning of an INI line, plus every
// double-byte character whole, so that the escaped text is plain ASCII in
// which case folding touches single-byte letters only.
bool NeedsEscape(unsigned char c) {
  return c <= 0x20 || c >= 0x7F || c == '%' || c == '\\' || c == '[' || c == ']' || c == ';' || c == '=' ||
         c == '"' || c == '\'';
}

std::string Escape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const bool pair = IsLeadByte(c) && i + 1 < s.size();
    if (NeedsEscape(c) || pair) {
      for (size_t k = 0; k < (pair ? 2u : 1u); ++k) {
        const unsigned char b = static_cast<unsigned char>(s[i + k]);
        out += '%';
        out += kHexDigits[b >> 4];
        out += kHexDigits[b & 15];
      }
      if (pair) ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Decodes %XX escapes; a malformed escape is kept as it stands.
std::string Unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(s[i + 1]) << 4 | HexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string HexOf(std::string_view data) {
  std::string out;
  out.reserve(data.size() * 2);
  for (const char ch : data) {
    const unsigned char b = static_cast<unsigned char>(ch);
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 15];
  }
  return out;
}

std::optional<std::string> BytesOfHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexValue(hex[i]);
    const int low = HexValue(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high << 4 | low);
  }
  return out;
}

// The section that holds a key's values: '\' followed by the escaped names
// joined with '\'; the root is '\' alone.
std::string SectionOf(const std::vector<std::string>& path) {
  std::string section;
  for (const std::string& name : path) section.append(1, '\\').append(Escape(name));
  return section.empty() ? std::string("\\") : section;
}

std::string StoreFile(const std::string& storePath) {
  return storePath.empty() ? DefaultRegistryStorePath() : storePath;
}

}  // namespace

std::string DefaultRegistryStorePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config != nullptr && config[0] == '/') {
    folder = config;
  } else {
    // The configuration folder is made inside the home folder, never the
    // home folder itself: a missing one is no place for settings.
    auto usable = [](const char* home) {
      return home != nullptr && home[0] == '/' &&
             std::string_view(home).find_first_not_of('/') != std::string_view::npos && DirectoryExists(home);
    };
    const char* home = std::getenv("HOME");
    if (!usable(home)) {
      const passwd* user = ::getpwuid(::getuid());
      home = user != nullptr ? user->pw_dir : nullptr;
      if (!usable(home)) return std::string();
    }
    folder = std::string(home) + "/.config";
  }
  if (folder.back() != '/') folder += '/';
  return folder + "corvida/registry.ini";
}

TRegistry::TRegistry(std::string storePath) : storePath_(StoreFile(storePath)), file_(storePath_) {}

std::vector<std::string> TRegistry::Resolve(std::string_view key) const {
  std::vector<std::string> path;
  if (key.empty() || key.front() != '\\') path = current_;
  std::string name;
  for (size_t i = 0; i < key.size(); ++i) {
    if (key[i] == '\\') {
      if (!name.empty()) path.push_back(std::move(name));
      name.clear();
      continue;
    }
    name += key[i];
    if (IsLeadByte(key[i]) && i + 1 < key.size()) name += key[++i];
  }
  if (!name.empty()) path.push_back(std::move(name));
  return path;
}

bool TRegistry::KeyExists(std::string_view key) const {
  const std::vector<std::string> path = Resolve(key);
  if (path.empty()) return true;
  const std::string section = SectionOf(path);
  bool exists = false;
  file_.Read([&](const TIniText& text) {
    for (const std::string& stored : text.Sections()) {
      if (stored.size() < section.size() ||
          !AnsiSameText(std::string_view(stored).substr(0, section.size()), section))
        continue;
      if (stored.size() == section.size() || stored[section.size()] == '\\') exists = true;
    }
  });
  return exists;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
  if (!canCreate && !KeyExists(key)) return false;
  current_ = Resolve(key);
  return true;
}

std::string TRegistry::CurrentPath() const {
  std::string path;
  for (const std::string& name : current_) {
    if (!path.empty()) path += '\\';
    path += name;
  }
  return path;
}

std::optional<std::string> TRegistry::ReadRaw(std::string_view name) const {
  std::optional<std::string> raw;
  file_.Read([&](const TIniText& text) { raw = text.Value(SectionOf(current_), Escape(name)); });
  return raw;
}

bool TRegistry::ValueExists(std::string_view name) const { return ReadRaw(name).has_value(); }

std::vector<std::string> TRegistry::GetValueNames() const {
  std::vector<std::string> names;
  file_.Read([&](const TIniText& text) {
    for (const std::string& key : text.Keys(SectionOf(current_))) names.push_back(Unescape(key));
  });
  return names;
}

std::optional<std::string> TRegistry::ReadString(std::string_view name) const {
  const std::optional<std::string> raw = ReadRaw(name);
  if (!raw || !raw->starts_with(kStringTag)) return std::nullopt;
  return Unescape(std::string_view(*raw).substr(kStringTag.size()));
}

std::optional<std::string> TRegistry::ReadBinaryData(std::string_view name) const {
  const std::optional<std::string> raw = ReadRaw(name);
  if (!raw || !raw->starts_with(kBinaryTag)) return std::nullopt;
  return BytesOfHex(std::string_view(*raw).substr(kBinaryTag.size()));
}

void TRegistry::Change(const std::function<void()>& change) {
  if (storePath_.empty()) throw ERegistryException(msg::kNoConfigFolder);
  try {
    change();
  } catch (const EIniFileException& e) {
    throw ERegistryException(e.Message(), e.Utf8Message(), e.Reason());
  } catch (const EStreamError& e) {
    throw ERegistryException(e.Message(), e.Utf8Message(), e.Reason());
  }
}

void TRegistry::WriteRaw(std::string_view name, const std::string& raw) {
  const std::string section = SectionOf(current_);
  const std::string key = Escape(name);
  Change([&] {
    ForceDirectories(ExtractFilePath(storePath_));
    file_.Update([&](TIniText& text) { return text.SetValue(section, key, raw); });
  });
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  WriteRaw(name, std::string(kStringTag) + Escape(value));
}

void TRegistry::WriteBinaryData(std::string_view name, std::string_view data) {
  WriteRaw(name, std::string(kBinaryTag) + HexOf(data));
}

bool TRegistry::DeleteValue(std::string_view name) {
  const std::string section = SectionOf(current_);
  const std::string key = Escape(name);
  bool existed = false;
  Change([&] { file_.Update([&](TIniText& text) { return existed = text.DeleteKey(section, key); }); });
  return existed;
}

void TRegistry::Transaction(const std::function<void()>& body) {
  Change([&] {
    ForceDirectories(ExtractFilePath(storePath_));
    file_.Transaction(body);
  });
}

void TRegistry::Snapshot(const std::function<void()>& body) { file_.Snapshot(body); }

}  // namespace corvida
