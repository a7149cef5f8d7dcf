#pragma once
// Qt end-to-end tests: one QApplication for the process (offscreen unless
// a platform is named), a fresh backend per test, and a custom-painted
// control that records the messages it is sent.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/backends/qt/qt_backend.h"
#include "platform/backends/qt/qt_widgets.h"
#include "platform/rtl/cp932.h"
#include "platform/toolkit/forms.h"
#include "platform/winsys/ime.h"
#include "platform/winsys/window_system.h"

namespace corvida::testing {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

struct TSeen {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const TSeen&) const = default;
};

// Records input messages; on a lead byte it looks for its trail the way
// the editor does, without taking it.
class TRecorder : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& m) override {
    switch (m.Msg) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYDOWN:
      case WM_CHAR:
      case WM_MOUSEWHEEL:
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_VSCROLL:
      case WM_HSCROLL:
        seen.push_back({m.Msg, m.WParam, m.LParam});
        break;
      case WM_IME_COMPOSITION: {
        seen.push_back({m.Msg, m.WParam, m.LParam});
        HIMC imc = ImmGetContext(Window());
        std::string result(static_cast<size_t>(ImmGetCompositionString(imc, GCS_RESULTSTR, nullptr, 0)), '\0');
        ImmGetCompositionString(imc, GCS_RESULTSTR, result.data(), static_cast<int>(result.size()));
        ImmReleaseContext(Window(), imc);
        imeResults.push_back(result);
        break;
      }
      default:
        break;
    }
    if (m.Msg == WM_KEYDOWN) shiftHeld.push_back(GetKeyState(VK_SHIFT) < 0);
    if (m.Msg == WM_CHAR && IsLeadByte(static_cast<unsigned char>(m.WParam))) {
      TMsg trail;
      trails.push_back(PeekMessage(trail, Window(), WM_CHAR, WM_CHAR, PM_NOREMOVE) ? static_cast<int>(trail.wParam) : -1);
    }
    TCustomControl::WndProc(m);
  }
  // The messages of one kind, in order.
  std::vector<TSeen> Of(UINT msg) const {
    std::vector<TSeen> out;
    for (const TSeen& s : seen)
      if (s.msg == msg) out.push_back(s);
    return out;
  }
  std::vector<TSeen> seen;
  std::vector<int> trails;
  std::vector<std::string> imeResults;
  std::vector<bool> shiftHeld;
};

class QtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowSystem().ResetInput();
    backend = std::make_unique<TQtBackend>();
    Application().Initialize();
    Application().SetOnException({});
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 40, 500, 400);
    Application().SetMainForm(form.get());
  }
  void TearDown() override {
    form.reset();
    backend.reset();
    WindowSystem().ResetInput();
  }

  TRecorder* AddRecorder(TForm* on, const TRect& r) {
    auto* rec = new TRecorder(on);
    rec->SetParent(on);
    rec->SetBounds(r.left, r.top, r.Width(), r.Height());
    return rec;
  }
  TQtHostWidget* Host(TWinControl* c) const { return backend->HostWidget(c->Window()); }

  // Qt's queue, then the application's.
  void Pump() {
    QCoreApplication::processEvents();
    Application().ProcessMessages();
  }

  static void Key(QWidget* w, QEvent::Type type, int key, Qt::KeyboardModifiers mods, const QString& text = {},
                  bool autoRepeat = false) {
    QKeyEvent e(type, key, mods, text, autoRepeat);
    QCoreApplication::sendEvent(w, &e);
  }

  std::unique_ptr<TQtBackend> backend;
  std::unique_ptr<TForm> form;
};

}  // namespace corvida::testing
