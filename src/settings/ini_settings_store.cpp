#include "settings/ini_settings_store.h"

#include "platform/rtl/ini_file.h"
#include "platform/rtl/scope_guard.h"
#include "settings/reg_manager.h"
#include "support/stream_utils.h"

namespace corvida {

template <class Access>
auto TIniSettingsStore::WithFile(Access&& access) {
  if (batch_ != nullptr) return access(*batch_);
  TIniFile own(fileName_);
  return access(own);
}

const char* TIniSettingsStore::MissingLocationMessage() const { return kCannotCreateIniFile; }

std::string TIniSettingsStore::ReadValue(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) {
  return WithFile([&](TIniFile& ini) { return ini.ReadString(section, key, defaultValue); });
}

void TIniSettingsStore::WriteValue(std::string_view section, std::string_view key, std::string_view value) {
  WithFile([&](TIniFile& ini) { ini.WriteString(section, key, value); });
}

void TIniSettingsStore::DeleteKey(std::string_view section, std::string_view key) {
  WithFile([&](TIniFile& ini) { ini.DeleteKey(section, key); });
}

std::vector<std::string> TIniSettingsStore::ReadKeys(std::string_view section) {
  return WithFile([&](TIniFile& ini) { return ini.ReadKeys(section); });
}

void TIniSettingsStore::ReadStream(TStream& stream, std::string_view section, std::string_view key) {
  ReadStreamFromIni(stream, fileName_, section, key);
}

void TIniSettingsStore::WriteStream(TStream& stream, std::string_view section, std::string_view key) {
  WriteStreamToIni(stream, fileName_, section, key);
}

void TIniSettingsStore::Batch(bool write, const std::function<void()>& accesses) {
  TIniFile ini(fileName_);
  batch_ = &ini;
  ScopeGuard done([this] { batch_ = nullptr; });
  write ? ini.Transaction(accesses) : ini.Snapshot(accesses);
}

}  // namespace corvida
