#pragma once
// Where TRegManager keeps its settings: one interface for the INI file and
// the per-user registry store, so the filer says once what an access does
// and each store how it is done. A store is made for one access (or one
// batch of them) and opens its backend for each; nothing is cached.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvida {

class TStream;

class TSettingsStore {
 public:
  virtual ~TSettingsStore() = default;

  // The store knows where it lives (an INI file name, a registry key path);
  // the error box text for when it does not.
  virtual bool Located() const = 0;
  virtual const char* MissingLocationMessage() const = 0;

  // One key of a section (registry: one string value of a subkey).
  virtual std::string ReadValue(std::string_view section, std::string_view key, std::string_view defaultValue) = 0;
  virtual void WriteValue(std::string_view section, std::string_view key, std::string_view value) = 0;
  virtual void DeleteKey(std::string_view section, std::string_view key) = 0;
  // The names of the keys stored in section.
  virtual std::vector<std::string> ReadKeys(std::string_view section) = 0;
  // The bytes of a stream under key: hexadecimal lines in an INI file, one
  // binary value in the registry.
  virtual void ReadStream(TStream& stream, std::string_view section, std::string_view key) = 0;
  virtual void WriteStream(TStream& stream, std::string_view section, std::string_view key) = 0;
  // Runs accesses, each made through this store, against one copy of the
  // backend: reads see one state of it, and writes (with write) reach it in
  // one atomic replacement.
  virtual void Batch(bool write, const std::function<void()>& accesses) = 0;
};

}  // namespace corvida
