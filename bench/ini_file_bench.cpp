// The INI file on a settings file of 20 sections of 50 keys: parsing, one
// profile read (which reads the file afresh), and one atomic write
// (temporary file, flush, rename) of a key.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "figures.h"
#include "platform/rtl/files.h"
#include "platform/rtl/ini_file.h"

namespace corvida::bench {
namespace {

std::string SampleIni() {
  std::string text = "; sample\r\n";
  for (int s = 0; s < 20; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 50; ++k) text += "Key" + std::to_string(k) + "=value " + std::to_string(k) + "\r\n";
  }
  return text;
}

class TempIni {
 public:
  TempIni() {
    folder_ = (std::filesystem::temp_directory_path() / "corvida-bench-XXXXXX").string();
    if (::mkdtemp(folder_.data()) == nullptr) std::abort();
    WriteFileAtomic(Path(), SampleIni());
  }
  ~TempIni() { std::filesystem::remove_all(folder_); }
  std::string Path() const { return folder_ + "/bench.ini"; }

 private:
  std::string folder_;
};

// Runs body for each iteration and reports its mean time as a figure.
template <typename F>
void Timed(benchmark::State& state, const char* figure, F body) {
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) body();
  const double micros = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  if (state.iterations() > 0) Figure(figure, micros / static_cast<double>(state.iterations()), "us");
}

void BM_IniParse(benchmark::State& state) {
  const std::string text = SampleIni();
  Timed(state, "ini_parse_1000_keys", [&] {
    TIniText ini(text);
    benchmark::DoNotOptimize(ini);
  });
}
BENCHMARK(BM_IniParse)->Unit(benchmark::kMicrosecond);

void BM_IniProfileRead(benchmark::State& state) {
  TempIni file;
  TIniFile ini(file.Path());
  Timed(state, "ini_read_key_1000_keys", [&] { benchmark::DoNotOptimize(ini.ReadString("Section19", "Key49", "")); });
}
BENCHMARK(BM_IniProfileRead)->Unit(benchmark::kMicrosecond);

void BM_IniAtomicWrite(benchmark::State& state) {
  TempIni file;
  TIniFile ini(file.Path());
  int n = 0;
  Timed(state, "ini_atomic_write_key_1000_keys", [&] { ini.WriteString("Section10", "Key10", std::to_string(++n)); });
}
BENCHMARK(BM_IniAtomicWrite)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvida::bench
