#include "app/settings_file.h"

#include "platform/rtl/files.h"
#include "platform/rtl/registry_store.h"

namespace corvida {

std::string SettingsFileName(const std::string& exePath) {
  const std::string beside = ChangeFileExt(exePath, ".ini");
  if (DirectoryWritable(ExtractFilePath(exePath))) return beside;
  // The registry store's folder: the user's configuration folder for corvida.
  // Without one the file stays beside the executable, where writing it fails
  // with an error that names it.
  const std::string store = DefaultRegistryStorePath();
  if (store.empty()) return beside;
  return ExtractFilePath(store) + ExtractFileName(beside);
}

}  // namespace corvida
