#pragma once
// Settings in the per-user registry store: below the key path, one subkey a
// section and one string value a key.
#include <string>

#include "settings/settings_store.h"

namespace corvida {

class TRegistry;

class TRegistrySettingsStore : public TSettingsStore {
 public:
  // storePath: the store's file; empty for the user's own store.
  TRegistrySettingsStore(std::string keyPath, std::string storePath)
      : keyPath_(std::move(keyPath)), storePath_(std::move(storePath)) {}

  bool Located() const override { return !keyPath_.empty(); }
  const char* MissingLocationMessage() const override;
  std::string ReadValue(std::string_view section, std::string_view key, std::string_view defaultValue) override;
  void WriteValue(std::string_view section, std::string_view key, std::string_view value) override;
  void DeleteKey(std::string_view section, std::string_view key) override;
  std::vector<std::string> ReadKeys(std::string_view section) override;
  void ReadStream(TStream& stream, std::string_view section, std::string_view key) override;
  void WriteStream(TStream& stream, std::string_view section, std::string_view key) override;
  void Batch(bool write, const std::function<void()>& accesses) override;

 private:
  // Calls access with the batch's store, else with one opened for it alone,
  // in either case at the key path.
  template <class Access>
  auto AtKeyPath(Access&& access);

  std::string keyPath_;
  std::string storePath_;
  TRegistry* batch_ = nullptr;
};

}  // namespace corvida
