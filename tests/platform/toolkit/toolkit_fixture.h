#pragma once
// A headless session for toolkit tests: a fresh window system state, the
// headless backend, a toolkit backend whose popup menus choose from a
// script, and a form that is shown.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backends/headless/headless_backend.h"
#include "platform/toolkit/forms.h"
#include "platform/toolkit/menus.h"
#include "platform/winsys/input.h"
#include "platform/winsys/window_system.h"

namespace corvida::testing {

class TScriptedMenus : public TToolkitBackend {
 public:
  TMenuItem* TrackPopupMenu(TPopupMenu* menu, TPoint screen) override {
    shown.push_back(screen);
    return choice;
  }
  TMenuItem* choice = nullptr;
  std::vector<TPoint> shown;
};

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowSystem().ResetInput();
    SetToolkitBackend(&menus);
    Application().Initialize();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 50, 664, 516);
    Application().SetMainForm(form.get());
    Application().SetOnException({});
  }
  void TearDown() override {
    form.reset();
    SetToolkitBackend(nullptr);
    WindowSystem().ResetInput();
  }

  // Handles what is queued the way the application's loop does.
  void Run() { Application().ProcessMessages(); }

  // A client point of control in screen coordinates.
  static TPoint At(TWinControl& control, int x, int y) { return control.Window()->ClientToScreen({x, y}); }

  // Tab as a keyboard gives it, the key and then its character; Shift held
  // for shift.
  void PressTab(bool shift = false) {
    if (shift) InjectKeyDown(VK_SHIFT);
    InjectKeyDown(VK_TAB);
    InjectText("\t");
    InjectKeyUp(VK_TAB);
    if (shift) InjectKeyUp(VK_SHIFT);
    Run();
  }

  void Click(TWinControl& control, int x, int y) {
    InjectMouseDown(VK_LBUTTON, At(control, x, y));
    InjectMouseUp(VK_LBUTTON, At(control, x, y));
    Run();
  }

  THeadlessBackend backend;
  TScriptedMenus menus;
  std::unique_ptr<TForm> form;
};

}  // namespace corvida::testing
