// Conversions between rows, lines and character offsets on the 100 MB,
// 2,000,000-line text, word wrap on and off, in a shown headless editor:
// answered from the row store's index, beside the walks over the rows that
// answered them before (the peers, run on the same store). Then one
// character typed and taken back at the first row, the middle and the end,
// through the store's edit primitive until the repaint is done; the peer
// adds to each edit the walk the view's reaction made before (the left
// bar's last line number).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench_editor.h"
#include "figures.h"

namespace corvida {
namespace {

template <typename F>
double MedianMicros(int runs, F&& f) {
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    samples.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

// The walks, as the editor and Lines made them.
int WalkRowToLine(const TEditorScreenStrings& s, int row) {
  if (!s.WordWrap()) return row;
  int line = 0;
  for (int r = 0; r < row && r < s.Count(); ++r)
    if (s.RowAttributes(r) == raCrlf) ++line;
  return line;
}

int WalkLineToRow(const TEditorScreenStrings& s, int line) {
  if (!s.WordWrap()) return line;
  int row = 0;
  for (int lines = 0; lines < line; ++row)
    if (s.RowAttributes(row) != raWrapped || row == s.Count() - 1) ++lines;
  return row;
}

int WalkTextLength(const TEditorScreenStrings& s) {
  int length = 0;
  for (int r = 0; r < s.Count(); ++r)
    length += static_cast<int>(s.StringRef(r).size()) + (s.RowAttributes(r) == raCrlf ? 2 : 0);
  return length;
}

// Types a character into the middle of row, or takes it out again.
void TypeOrTakeBack(TEditorScreenStrings& store, int row, bool type) {
  // A rewrapped line may come back a row shorter.
  row = std::min(row, store.Count() - 1);
  std::string text(store.StringRef(row));
  if (type)
    text.insert(text.size() / 2, 1, 'k');
  else
    text.erase(text.size() / 2, 1);
  if (store.RowAttributes(row) == raCrlf) text += "\r\n";
  store.ChangeRows(row, 1, text);
}

void IndexFigures(benchmark::State& state, bool wordWrap) {
  bench::TBenchEditor bench(wordWrap);
  TEditor& editor = bench.Editor();
  const TEditorScreenStrings& store = bench.Store();
  const std::string mode = wordWrap ? ".wrap" : ".nowrap";
  const int last = store.Count() - 1;
  const int lastLine = editor.Lines()->Count() - 1;
  if (WalkRowToLine(store, last) != editor.RowToLine(last) ||
      WalkLineToRow(store, lastLine) != editor.Lines()->LineToRow(lastLine) ||
      WalkTextLength(store) != editor.GetTextLen())
    state.SkipWithError("the index and the walks differ");
  for (auto _ : state) {
    bench::Figure("index.row_to_line_end_us" + mode,
                  MedianMicros(1000, [&] { benchmark::DoNotOptimize(editor.RowToLine(last)); }), "us");
    bench::Figure("index.peer_walk_row_to_line_end_us" + mode,
                  MedianMicros(5, [&] { benchmark::DoNotOptimize(WalkRowToLine(store, last)); }), "us");
    bench::Figure("index.line_to_row_end_us" + mode,
                  MedianMicros(1000, [&] { benchmark::DoNotOptimize(editor.Lines()->LineToRow(lastLine)); }), "us");
    bench::Figure("index.peer_walk_line_to_row_end_us" + mode,
                  MedianMicros(5, [&] { benchmark::DoNotOptimize(WalkLineToRow(store, lastLine)); }), "us");
    bench::Figure("index.text_length_us" + mode,
                  MedianMicros(1000, [&] { benchmark::DoNotOptimize(editor.GetTextLen()); }), "us");
    bench::Figure("index.peer_walk_text_length_us" + mode,
                  MedianMicros(5, [&] { benchmark::DoNotOptimize(WalkTextLength(store)); }), "us");

    TEditorScreenStrings& edited = bench.Store();
    for (const auto& [where, row] : {std::pair<const char*, int>{"row0", 0}, {"middle", last / 2}, {"end", last}}) {
      bench.ShowRow(row);
      bool type = true;
      const auto edit = [&] {
        TypeOrTakeBack(edited, row, type);
        type = !type;
        bench.Settle();
      };
      bench::Figure(std::string("index.edit_us.") + where + mode, MedianMicros(200, edit), "us");
      bench::Figure(std::string("index.peer_walk_edit_us.") + where + mode, MedianMicros(10, [&] {
                      edit();
                      benchmark::DoNotOptimize(WalkRowToLine(edited, edited.Count() - 1));
                    }),
                    "us");
    }
  }
}

void BM_IndexWrapOff(benchmark::State& state) { IndexFigures(state, false); }
void BM_IndexWrapOn(benchmark::State& state) { IndexFigures(state, true); }

BENCHMARK(BM_IndexWrapOff)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexWrapOn)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvida
