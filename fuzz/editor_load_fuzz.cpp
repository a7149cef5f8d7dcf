// Lines.LoadFromFile on arbitrary file contents, then word wrap switched on
// and off: no crash, the rows hold every byte before a Ctrl-Z except the
// line breaks, and the row invariants hold.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "../tests/editor/model/fake_view.h"
#include "platform/rtl/scope_guard.h"

namespace {

void CheckRows(const corvida::TEditorScreenStrings& s) {
  for (int r = 0; r < s.Count(); ++r) {
    if (s.StringRef(r).find_first_of("\r\n") != std::string_view::npos) std::abort();
    if (r < s.Count() - 1 && s.RowAttributes(r) == corvida::raEof) std::abort();
  }
}

std::string Joined(const corvida::TEditorScreenStrings& s) {
  std::string all;
  for (int r = 0; r < s.Count(); ++r) all += s.StringRef(r);
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("corvida_load_fuzz_" + std::to_string(getpid()))).string();
  std::ofstream(path, std::ios::binary) << bytes;
  corvida::testing::FakeView view;
  {
    corvida::ScopeGuard remove([&] { ::unlink(path.c_str()); });
    view.Lines().LoadFromFile(path);
  }
  std::string expected;
  for (char c : bytes.substr(0, bytes.find('\x1a')))
    if (c != '\r' && c != '\n') expected += c;
  corvida::TEditorScreenStrings& s = view.Store();
  CheckRows(s);
  if (Joined(s) != expected) std::abort();
  s.WrapOption().SetWrapByte(20 + (size % 40));
  s.SetWordWrap(true);
  CheckRows(s);
  if (Joined(s) != expected) std::abort();
  s.SetWordWrap(false);
  CheckRows(s);
  if (Joined(s) != expected) std::abort();
  return 0;
}
