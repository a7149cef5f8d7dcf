// The setting store writing a list of 3,000 items to an INI file: the whole
// list in one replacement of the file, beside the peer that stores it one key
// at a time (a read and an atomic replacement of the file per key).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "figures.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/strings.h"
#include "settings/reg_manager.h"

namespace corvida::bench {
namespace {

constexpr int kItems = 3000;

class TempFolder {
 public:
  TempFolder() {
    path_ = (std::filesystem::temp_directory_path() / "corvida-bench-XXXXXX").string();
    if (::mkdtemp(path_.data()) == nullptr) std::abort();
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Two versions of the list, written in turns so that every write changes
// every item.
void FillList(TStrings& list, int version) {
  list.Clear();
  for (int i = 0; i < kItems; ++i) list.Add("item " + std::to_string(i) + " of version " + std::to_string(version));
}

// Reports the median time of body: each write waits for the disk twice, and
// on a shared machine a few writes wait far longer than the rest.
template <typename F>
void TimedMs(benchmark::State& state, const char* figure, F body) {
  std::vector<double> times;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    body();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  if (times.empty()) return;
  std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2), times.end());
  Figure(figure, times[times.size() / 2], "ms");
}

void BM_WriteStrings3000(benchmark::State& state) {
  TempFolder folder;
  TRegManager reg(nullptr);
  reg.SetRegType(rtIni);
  reg.SetIniFileName(folder.File("settings.ini"));
  TRegItem* item = reg.RegItems()->Add();
  item->SetName("List");
  item->SetSection("Main");
  item->SetIdent("List");
  TStringList lists[2];
  FillList(lists[0], 0);
  FillList(lists[1], 1);
  int turn = 0;
  TimedMs(state, "settings.write_strings_3000_ms", [&] { reg.Filer("List")->WriteStrings(lists[++turn % 2]); });
}
BENCHMARK(BM_WriteStrings3000)->Unit(benchmark::kMillisecond);

void BM_WriteStrings3000KeyByKey(benchmark::State& state) {
  TempFolder folder;
  TIniFile ini(folder.File("settings.ini"));
  TStringList list;
  int version = 0;
  TimedMs(state, "settings.write_strings_3000_per_key_ms", [&] {
    FillList(list, ++version);
    ini.WriteString("Main", "List_ItemCount", std::to_string(kItems));
    for (int i = 0; i < kItems; ++i) ini.WriteString("Main", "List_Item" + std::to_string(i), list.Strings(i));
  });
}
BENCHMARK(BM_WriteStrings3000KeyByKey)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace corvida::bench
