// Feeds arbitrary bytes to the INI reader: the text must come back byte for
// byte, every listed key must be found, and a written key must read back.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/rtl/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  corvida::TIniText text(input);
  if (text.Content() != input) std::abort();

  for (const std::string& section : text.Sections()) {
    for (const std::string& key : text.Keys(section)) {
      if (!text.Value(section, key)) std::abort();
    }
  }

  // Take a section and key name from the input itself, so that the fuzzer
  // reaches existing entries as well as new ones.
  const std::string section(input.substr(0, std::min<size_t>(size, 4)));
  const std::string key(input.substr(std::min<size_t>(size, 4), 3));
  if (!corvida::TIniText::CanStore(section, key, "value")) return 0;
  text.SetValue(section, key, "value");
  corvida::TIniText reread(text.Content());
  if (reread.Value(section, key) != "value") std::abort();
  reread.DeleteKey(section, key);
  if (corvida::TIniText(reread.Content()).Content() != reread.Content()) std::abort();
  return 0;
}
