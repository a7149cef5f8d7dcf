#pragma once
// Settings in an INI file: sections and keys as written.
#include <string>

#include "settings/settings_store.h"

namespace corvida {

class TIniFile;

class TIniSettingsStore : public TSettingsStore {
 public:
  explicit TIniSettingsStore(std::string fileName) : fileName_(std::move(fileName)) {}

  bool Located() const override { return !fileName_.empty(); }
  const char* MissingLocationMessage() const override;
  std::string ReadValue(std::string_view section, std::string_view key, std::string_view defaultValue) override;
  void WriteValue(std::string_view section, std::string_view key, std::string_view value) override;
  void DeleteKey(std::string_view section, std::string_view key) override;
  std::vector<std::string> ReadKeys(std::string_view section) override;
  void ReadStream(TStream& stream, std::string_view section, std::string_view key) override;
  void WriteStream(TStream& stream, std::string_view section, std::string_view key) override;
  void Batch(bool write, const std::function<void()>& accesses) override;

 private:
  // Calls access with the batch's file, else with one opened for it alone.
  template <class Access>
  auto WithFile(Access&& access);

  std::string fileName_;
  TIniFile* batch_ = nullptr;
};

}  // namespace corvida
