// Tab and Shift+Tab move the focus between a form's controls in tab order,
// nested ones included, skipping those that cannot take it, unless the
// focused control wants tabs itself.
#include <gtest/gtest.h>

#include "platform/toolkit/std_controls.h"
#include "platform/toolkit/toolkit_fixture.h"

namespace corvida {
namespace {

// A focusable control that counts the Tab keys it is given and may ask for
// them.
class TKeyTaker : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = wantTabs ? DLGC_WANTTAB : 0;
      return;
    }
    if ((m.Msg == WM_KEYDOWN && m.WParam == VK_TAB) || (m.Msg == WM_CHAR && m.WParam == '\t')) ++tabs;
    TCustomControl::WndProc(m);
  }
  bool wantTabs = false;
  // Tab keys and tab characters given to the control.
  int tabs = 0;
};

class TabNavigationTest : public testing::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 100, 200, 100);
    // Tab order: first, then the panel's inner, then last; created out of order.
    last = Add(form.get(), 2);
    first = Add(form.get(), 0);
    panel->SetTabOrder(1);
    inner = Add(panel, 0);
    form->Show();
    first->SetFocus();
    Run();
  }
  TKeyTaker* Add(TWinControl* parent, int order) {
    auto* c = new TKeyTaker(form.get());
    c->SetParent(parent);
    c->SetBounds(0, 0, 50, 20);
    c->SetTabOrder(order);
    return c;
  }
  bool Has(TWinControl* c) const { return c->Focused(); }

  TPanel* panel = nullptr;
  TKeyTaker* first = nullptr;
  TKeyTaker* inner = nullptr;
  TKeyTaker* last = nullptr;
};

TEST_F(TabNavigationTest, TabGoesRoundInTabOrderAndShiftTabBack) {
  PressTab();
  EXPECT_TRUE(Has(inner));
  PressTab();
  EXPECT_TRUE(Has(last));
  PressTab();
  EXPECT_TRUE(Has(first));
  PressTab(true);
  EXPECT_TRUE(Has(last));
  PressTab(true);
  EXPECT_TRUE(Has(inner));
  EXPECT_EQ(first->tabs + inner->tabs + last->tabs, 0);
}

TEST_F(TabNavigationTest, ControlsThatCannotTakeTheFocusAreSkipped) {
  inner->SetEnabled(false);
  PressTab();
  EXPECT_TRUE(Has(last));
  panel->SetVisible(false);
  inner->SetEnabled(true);
  PressTab();
  EXPECT_TRUE(Has(first));
  last->SetTabStop(false);
  PressTab();
  EXPECT_TRUE(Has(first));
}

TEST_F(TabNavigationTest, AControlThatWantsTabsKeepsTheFocusAndGetsTheKey) {
  first->wantTabs = true;
  PressTab();
  EXPECT_TRUE(Has(first));
  EXPECT_EQ(first->tabs, 2);
  // Ctrl+Tab and Ctrl+Shift+Tab leave it, as the desktop's text fields
  // let them; it gets no tab.
  const auto ctrlTab = [&](bool shift) {
    InjectKeyDown(VK_CONTROL);
    if (shift) InjectKeyDown(VK_SHIFT);
    InjectKeyDown(VK_TAB);
    InjectKeyUp(VK_TAB);
    if (shift) InjectKeyUp(VK_SHIFT);
    InjectKeyUp(VK_CONTROL);
    Run();
  };
  ctrlTab(false);
  EXPECT_TRUE(Has(inner));
  ctrlTab(true);
  EXPECT_TRUE(Has(first));
  EXPECT_EQ(first->tabs, 2);
}

}  // namespace
}  // namespace corvida
