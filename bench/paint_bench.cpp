// Painting a report pane of 100 x 50 cells with the ruler, the left bar and
// the image bar shown: a full repaint and a scroll by one row, each beside a
// peer that only fills the same pixels once.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "editor/control/editor.h"
#include "figures.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/toolkit/forms.h"

namespace corvida {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCols = 100;
constexpr int kRows = 50;

template <typename F>
double MeanMicros(benchmark::State& state, F&& body) {
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    body();
    total += std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
    ++n;
  }
  return n ? total / static_cast<double>(n) : 0;
}

// A shown report pane on a headless form, sized to kCols x kRows cells.
class PaneFixture {
 public:
  PaneFixture() {
    Application().Initialize();
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBounds(0, 0, 900, 720);
    editor_ = TEditor::Create(form_.get());
    editor_->Font()->SetHeight(-12);
    editor_->SetParent(form_.get());
    editor_->Leftbar()->SetVisible(true);
    editor_->Ruler()->SetVisible(true);
    editor_->Marks()->RetMark()->SetVisible(true);
    editor_->Marks()->EofMark()->SetVisible(true);
    TEditorViewInfo* view = editor_->View();
    view->SetCommenter("//");
    view->Colors()->Int()->SetColor(clBlue);
    view->Colors()->Reserve()->SetColor(clBlue);
    TStringList words;
    words.Add("total");
    editor_->SetReserveWordList(&words);
    std::string text;
    for (int report = 0; report < 100; ++report) {
      text += "// /home/modeller/models/scene" + std::to_string(report) + ".mqo\r\n";
      for (int object = 0; object < 8; ++object)
        text += "     " + std::to_string(100 + 37 * object) + " object" + std::to_string(object) + "\r\n";
      text += "    1496 total\r\n" + std::string(30, '-') + "\r\n";
    }
    editor_->Lines()->SetText(text);
    form_->Show();
    backend_.ProcessMessages();
    const int width = editor_->TextLeft() + kCols * editor_->ColWidth() + 4;
    const int height = editor_->TextTop() + kRows * editor_->RowHeight() + 9;
    editor_->SetBounds(0, 0, width, height);
    backend_.ProcessMessages();
  }
  ~PaneFixture() { form_.reset(); }

  TEditor& Editor() { return *editor_; }
  // The framebuffer's rectangle under r of the editor's client area.
  void Fill(const TRect& r) {
    const TPoint o = editor_->Window()->ClientOffsetInTop();
    form_->Window()->Framebuffer()->Fill(r.Offset(o.x, o.y), 0xFFFFFFFFu);
  }

 private:
  THeadlessBackend backend_;
  std::unique_ptr<TForm> form_;
  TEditor* editor_ = nullptr;
};

void BM_PaintFullScreen(benchmark::State& state) {
  PaneFixture pane;
  TEditor& editor = pane.Editor();
  const double us = MeanMicros(state, [&] {
    editor.Invalidate();
    editor.Window()->Update();
  });
  bench::Figure("paint.full_screen_us", us, "us");
}
BENCHMARK(BM_PaintFullScreen);

void BM_PaintFullScreenFillPeer(benchmark::State& state) {
  PaneFixture pane;
  const TRect client = pane.Editor().Window()->ClientRect();
  const double us = MeanMicros(state, [&] { pane.Fill(client); });
  bench::Figure("paint.full_screen_fill_peer_us", us, "us");
}
BENCHMARK(BM_PaintFullScreenFillPeer);

void BM_PaintScrollLine(benchmark::State& state) {
  PaneFixture pane;
  TEditor& editor = pane.Editor();
  editor.SetTopRow(kRows);
  int step = 1;
  const double us = MeanMicros(state, [&] {
    editor.SetTopRow(editor.TopRow() + step);
    step = -step;
  });
  bench::Figure("paint.scroll_line_us", us, "us");
}
BENCHMARK(BM_PaintScrollLine);

// Peer: filling the area a scroll moves, text and bars below the ruler.
void BM_PaintScrollLineFillPeer(benchmark::State& state) {
  PaneFixture pane;
  const TRect client = pane.Editor().Window()->ClientRect();
  const TRect moved{0, pane.Editor().TextTop(), client.right, client.bottom};
  const double us = MeanMicros(state, [&] { pane.Fill(moved); });
  bench::Figure("paint.scroll_line_fill_peer_us", us, "us");
}
BENCHMARK(BM_PaintScrollLineFillPeer);

}  // namespace
}  // namespace corvida
