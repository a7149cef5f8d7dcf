// FindPos on arbitrary texts, patterns, positions and options: no crash, no
// read outside the text, and a match always lies inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "editor/model/text_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  const auto options = static_cast<corvida::TSearchOptions>(data[0] | data[1] << 8);
  corvida::TSearchPos pos{static_cast<int8_t>(data[2]), static_cast<int8_t>(data[3])};
  const size_t patternSize = data[4] % 16;
  data += 5;
  size -= 5;
  if (patternSize > size) return 0;
  const std::string_view pattern(reinterpret_cast<const char*>(data), patternSize);
  const std::string_view text(reinterpret_cast<const char*>(data + patternSize), size - patternSize);
  if (corvida::FindPos(text, pos, pattern, options)) {
    const size_t nul = text.find('\0');
    const size_t len = nul == std::string_view::npos ? text.size() : nul;
    if (pos.Start < 0 || pos.Length <= 0 || static_cast<size_t>(pos.Start) + static_cast<size_t>(pos.Length) > len)
      std::abort();
  }
  return 0;
}
