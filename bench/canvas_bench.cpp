// Software canvas speed: one editor row of text, a full 100 × 50 cell
// repaint, and scrolling a large window by one row, each beside a peer that
// only moves or fills the same pixels.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "figures.h"
#include "platform/winsys/device_context.h"
#include "platform/winsys/font.h"
#include "platform/winsys/window.h"

namespace corvida {
namespace {

using Clock = std::chrono::steady_clock;

const TFontHandle* EditorFont() {
  return FontCache().Get(TFontDesc{kEditorFontName, -12, 0, SHIFTJIS_CHARSET});
}

// Mixed ASCII and kanji, cols bytes long, whole characters only.
std::string MixedRow(int cols, int seed) {
  static const char* const pieces[] = {"count ", "\x8a\xbf\x8e\x9a", "total=42 ", "\x95\xb6\x8e\x9a\x97\xf1",
                                       "// note ", "\x82\xa9\x82\xc8"};
  std::string s;
  for (int i = seed; static_cast<int>(s.size()) < cols; ++i) s += pieces[i % 6];
  s.resize(static_cast<size_t>(cols));
  if (s.size() >= 2 && (static_cast<unsigned char>(s.back()) >= 0x81)) {
    // Never end on half a character.
    int k = 0;
    while (k < cols - 1) k += (static_cast<unsigned char>(s[static_cast<size_t>(k)]) >= 0x81 ? 2 : 1);
    if (k == cols - 1) s.back() = ' ';
  }
  return s;
}

template <typename F>
double MeanMicros(benchmark::State& state, F&& body) {
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    body();
    total += std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
    ++n;
  }
  return n ? total / static_cast<double>(n) : 0;
}

void BM_RowTextOut(benchmark::State& state) {
  const TFontHandle* font = EditorFont();
  TSurface s(600, 20);
  TDeviceContext dc(&s);
  dc.SelectFont(font);
  dc.SetTextColor(clBlack);
  dc.SetBkColor(clWhite);
  std::vector<int> dx(1001, font->Metrics().tmAveCharWidth);
  std::string row = MixedRow(80, 0);
  TRect r{0, 0, 80 * 6, 12};
  double us = MeanMicros(state, [&] { dc.ExtTextOut(0, 0, ETO_CLIPPED | ETO_OPAQUE, &r, row, dx.data()); });
  bench::Figure("canvas.row_textout_us", us, "us");
}
BENCHMARK(BM_RowTextOut);

void BM_FullRepaint(benchmark::State& state) {
  const TFontHandle* font = EditorFont();
  const int cols = 100;
  const int rows = 50;
  TSurface s(cols * 6, rows * 12);
  TDeviceContext dc(&s);
  dc.SelectFont(font);
  std::vector<int> dx(1001, 6);
  std::vector<std::string> text;
  for (int i = 0; i < rows; ++i) text.push_back(MixedRow(cols, i));
  double us = MeanMicros(state, [&] {
    for (int i = 0; i < rows; ++i) {
      TRect r{0, i * 12, cols * 6, i * 12 + 12};
      dc.SetTextColor(clBlack);
      dc.SetBkColor(clWhite);
      dc.ExtTextOut(0, r.top, ETO_CLIPPED | ETO_OPAQUE, &r, text[static_cast<size_t>(i)], dx.data());
      // The second colour: every other 20-column token drawn again.
      dc.SetTextColor(clBlue);
      for (int c = 20; c < cols; c += 40) {
        TRect t{c * 6, r.top, (c + 20) * 6, r.bottom};
        dc.ExtTextOut(c * 6, r.top, ETO_CLIPPED, &t, std::string_view(text[static_cast<size_t>(i)]).substr(static_cast<size_t>(c), 20), dx.data());
      }
    }
  });
  bench::Figure("canvas.full_repaint_us", us, "us");
}
BENCHMARK(BM_FullRepaint);

// Peer: filling the same 600 × 600 pixels once, the floor of any repaint.
void BM_FullFillPeer(benchmark::State& state) {
  TSurface s(600, 600);
  double us = MeanMicros(state, [&] {
    s.Fill(s.BoundsRect(), 0xFFFFFFFF);
    benchmark::DoNotOptimize(s.Row(0));
  });
  bench::Figure("canvas.full_fill_peer_us", us, "us");
}
BENCHMARK(BM_FullFillPeer);

void BM_ScrollWindow(benchmark::State& state) {
  TWindow w(nullptr, {0, 0, 1000, 800});
  double us = MeanMicros(state, [&] {
    w.ScrollWindowEx(0, -12, nullptr, nullptr, nullptr, SW_INVALIDATE);
    w.ValidateRect(nullptr);
  });
  bench::Figure("canvas.scroll_window_us", us, "us");
}
BENCHMARK(BM_ScrollWindow);

// Peer: moving the same rows with one memmove.
void BM_ScrollMemmovePeer(benchmark::State& state) {
  std::vector<uint32_t> pixels(1000 * 800, 0xFFFFFFFF);
  double us = MeanMicros(state, [&] {
    std::memmove(pixels.data(), pixels.data() + 12 * 1000, (800 - 12) * 1000 * sizeof(uint32_t));
    benchmark::DoNotOptimize(pixels.data());
  });
  bench::Figure("canvas.scroll_memmove_peer_us", us, "us");
}
BENCHMARK(BM_ScrollMemmovePeer);

}  // namespace
}  // namespace corvida
