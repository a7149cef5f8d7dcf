#pragma once
// The per-user registry store: keys below one root, named by paths of names
// separated by '\', each holding string and binary values. The store is one
// file, by default `$XDG_CONFIG_HOME/corvida/registry.ini` (else
// `~/.config/corvida/registry.ini`). Each key is a section named by its path,
// each value a line `name=s:text` or `name=b:hex`; names and texts are
// escaped so that any bytes survive. Keys and value names compare without
// case. Every write replaces the file atomically, under the file's lock, and
// keeps lines it does not understand.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/ini_file.h"
#include "platform/rtl/object.h"

namespace corvida {

// The default store file of the current user; empty when neither
// XDG_CONFIG_HOME (an absolute path) nor a home folder (HOME, else the
// account's; an existing folder other than the root) gives a place.
std::string DefaultRegistryStorePath();

class TRegistry : public TObject {
 public:
  CORVIDA_CLASS_NAME(TRegistry)
  // An empty path means the default store of the current user. Without a
  // place for that store, reads find nothing and writes raise
  // ERegistryException saying that there is no folder for settings.
  explicit TRegistry(std::string storePath = std::string());

  const std::string& StorePath() const { return storePath_; }

  // Opens key, relative to the open key unless it starts with '\'. With
  // canCreate a missing key is opened too and comes into being with its first
  // value; without it a missing key is not opened and false is returned.
  bool OpenKey(std::string_view key, bool canCreate);
  // Goes back to the root.
  void CloseKey() { current_.clear(); }
  // The open key's path, names separated by '\'; empty for the root.
  std::string CurrentPath() const;
  bool KeyExists(std::string_view key) const;

  bool ValueExists(std::string_view name) const;
  std::vector<std::string> GetValueNames() const;
  // None when the value is missing or of the other kind.
  std::optional<std::string> ReadString(std::string_view name) const;
  std::optional<std::string> ReadBinaryData(std::string_view name) const;

  // Raise ERegistryException "%s に書き込めません" naming the store when the
  // store cannot be written.
  void WriteString(std::string_view name, std::string_view value);
  void WriteBinaryData(std::string_view name, std::string_view data);
  // Returns whether the value existed.
  bool DeleteValue(std::string_view name);

  // Runs body with every access of this object going to one copy of the
  // store, held under the store's lock and written once at the end (see
  // TIniFile::Transaction). Errors as for the writes.
  void Transaction(const std::function<void()>& body);
  // Runs body with every read of this object going to one copy of the store.
  void Snapshot(const std::function<void()>& body);

 private:
  std::vector<std::string> Resolve(std::string_view key) const;
  std::optional<std::string> ReadRaw(std::string_view name) const;
  void WriteRaw(std::string_view name, const std::string& raw);
  // Runs a change of the store, giving its errors as the store's.
  void Change(const std::function<void()>& change);

  std::string storePath_;
  TIniFile file_;
  std::vector<std::string> current_;
};

}  // namespace corvida
