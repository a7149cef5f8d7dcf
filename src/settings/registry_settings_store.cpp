#include "settings/registry_settings_store.h"

#include "platform/rtl/registry_store.h"
#include "platform/rtl/scope_guard.h"
#include "settings/reg_manager.h"
#include "support/stream_utils.h"

namespace corvida {

template <class Access>
auto TRegistrySettingsStore::AtKeyPath(Access&& access) {
  const auto opened = [&](TRegistry& reg) {
    reg.CloseKey();
    reg.OpenKey(keyPath_, true);
    return access(reg);
  };
  if (batch_ != nullptr) return opened(*batch_);
  TRegistry own(storePath_);
  return opened(own);
}

const char* TRegistrySettingsStore::MissingLocationMessage() const { return kCannotCreateRegistry; }

std::string TRegistrySettingsStore::ReadValue(std::string_view section, std::string_view key,
                                              std::string_view defaultValue) {
  return AtKeyPath([&](TRegistry& reg) {
    if (!reg.OpenKey(section, false)) return std::string(defaultValue);
    return reg.ReadString(key).value_or(std::string(defaultValue));
  });
}

void TRegistrySettingsStore::WriteValue(std::string_view section, std::string_view key, std::string_view value) {
  AtKeyPath([&](TRegistry& reg) {
    reg.OpenKey(section, true);
    reg.WriteString(key, value);
  });
}

void TRegistrySettingsStore::DeleteKey(std::string_view section, std::string_view key) {
  AtKeyPath([&](TRegistry& reg) {
    if (reg.OpenKey(section, false)) reg.DeleteValue(key);
  });
}

std::vector<std::string> TRegistrySettingsStore::ReadKeys(std::string_view section) {
  return AtKeyPath([&](TRegistry& reg) {
    return reg.OpenKey(section, false) ? reg.GetValueNames() : std::vector<std::string>{};
  });
}

void TRegistrySettingsStore::ReadStream(TStream& stream, std::string_view section, std::string_view key) {
  ReadStreamFromRegistry(stream, keyPath_, section, key, storePath_);
}

void TRegistrySettingsStore::WriteStream(TStream& stream, std::string_view section, std::string_view key) {
  WriteStreamToRegistry(stream, keyPath_, section, key, storePath_);
}

void TRegistrySettingsStore::Batch(bool write, const std::function<void()>& accesses) {
  TRegistry reg(storePath_);
  batch_ = &reg;
  ScopeGuard done([this] { batch_ = nullptr; });
  write ? reg.Transaction(accesses) : reg.Snapshot(accesses);
}

}  // namespace corvida
