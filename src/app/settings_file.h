#pragma once
// The settings file: the window keeps its settings there, and the user's
// own budget profiles live there too.
#include <string>

namespace corvida {

// The settings file of the executable at exePath: its path with the
// extension replaced by ".ini", beside it when its folder is writable, else
// with the same name in the user's configuration folder.
std::string SettingsFileName(const std::string& exePath);

}  // namespace corvida
