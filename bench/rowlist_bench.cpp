// The editor keeps one row per screen row, so its row list must stay fast
// and small at a million rows. Inserts are measured on a list that already
// holds 1,000,000 rows; the rtl's vector-backed TStringList runs beside it
// as the peer.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <time.h>

#include <cstdint>
#include <string>

#include "editor/model/row_attribute_string_list.h"
#include "figures.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

constexpr int kRows = 1'000'000;

// A short row as the report writes them: a right-aligned count and a name.
std::string TypicalRow(int i) { return std::to_string(100000 + i % 900000) + " obj" + std::to_string(i % 100); }

template <typename List>
void Fill(List& list) {
  list.BeginUpdate();
  for (int i = 0; i < kRows; ++i) list.Add(TypicalRow(i));
  list.EndUpdate();
}

// CPU time of this thread: the machine is shared, so wall time would measure
// the neighbours too.
double ThreadNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// The memory the allocator has handed out, large blocks included.
double AllocatedBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks) + static_cast<double>(info.hblkhd);
}

// Runs insert once per iteration and reports the mean time of one insert,
// growth of the list included.
template <typename List, typename Insert>
void MeasureInserts(benchmark::State& state, const char* figure, Insert insert) {
  List list;
  Fill(list);
  const std::string row = TypicalRow(7);
  int64_t n = 0;
  const double start = ThreadNanoseconds();
  for (auto _ : state) {
    insert(list, row);
    ++n;
  }
  const double ns = (ThreadNanoseconds() - start) / static_cast<double>(n);
  benchmark::DoNotOptimize(list.Count());
  bench::Figure(figure, ns, "ns");
}

void RowListInsertFront(benchmark::State& state) {
  MeasureInserts<TRowAttributeStringList>(state, "rowlist.insert_front_ns",
                                          [](auto& list, const std::string& row) { list.Insert(0, row); });
}

void RowListInsertMiddle(benchmark::State& state) {
  MeasureInserts<TRowAttributeStringList>(
      state, "rowlist.insert_middle_ns", [](auto& list, const std::string& row) { list.Insert(kRows / 2, row); });
}

void RowListAppend(benchmark::State& state) {
  MeasureInserts<TRowAttributeStringList>(state, "rowlist.append_ns",
                                          [](auto& list, const std::string& row) { list.Add(row); });
}

void PeerStringListInsertFront(benchmark::State& state) {
  MeasureInserts<TStringList>(state, "rowlist.peer_stringlist_insert_front_ns",
                              [](auto& list, const std::string& row) { list.Insert(0, row); });
}

void PeerStringListAppend(benchmark::State& state) {
  MeasureInserts<TStringList>(state, "rowlist.peer_stringlist_append_ns",
                              [](auto& list, const std::string& row) { list.Add(row); });
}

void RowListBytesPerRow(benchmark::State& state) {
  for (auto _ : state) {
    const double before = AllocatedBytes();
    auto* list = new TRowAttributeStringList;
    Fill(*list);
    bench::Figure("rowlist.bytes_per_row", (AllocatedBytes() - before) / kRows, "bytes");
    delete list;
  }
}

BENCHMARK(RowListInsertFront)->Iterations(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(RowListInsertMiddle)->Iterations(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(RowListAppend)->Iterations(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(PeerStringListInsertFront)->Iterations(500)->Unit(benchmark::kMillisecond);
BENCHMARK(PeerStringListAppend)->Iterations(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(RowListBytesPerRow)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvida
