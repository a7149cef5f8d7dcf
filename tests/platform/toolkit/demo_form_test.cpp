#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/toolkit/demo_form.h"
#include "platform/toolkit/toolkit_fixture.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/sys_colors.h"

namespace corvida {
namespace {

class DemoFormTest : public testing::ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    demo = std::make_unique<TDemoForm>(nullptr);
    Application().SetMainForm(demo.get());
    demo->Show();
    Run();
  }
  void TearDown() override {
    demo.reset();
    ToolkitTest::TearDown();
  }
  std::unique_ptr<TDemoForm> demo;
};

TEST_F(DemoFormTest, TheLayoutTextPlacesEveryControl) {
  EXPECT_EQ(demo->Caption(), "Metasequoia .mqo corvida");
  EXPECT_EQ(demo->BoundsRect(), Bounds(192, 107, 664, 516));
  EXPECT_EQ(demo->Panel1->BoundsRect(), Bounds(0, 0, 656, 41));
  EXPECT_EQ(demo->Panel1->BevelInner(), bvLowered);
  EXPECT_EQ(demo->SpeedButton2->BoundsRect(), Bounds(77, 2, 75, 37));
  EXPECT_EQ(demo->SpeedButton3->Caption(), "Close");
  EXPECT_EQ(demo->SpeedButton1->Font()->Name(), demo->Font()->Name());  // the window's font
  EXPECT_EQ(demo->SpeedButton1->Font()->Height(), demo->Font()->Height());
  EXPECT_FALSE(demo->SpeedButton1->Flat());
  EXPECT_EQ(demo->RadioGroup1->Caption(), " Sort ");
  EXPECT_EQ(demo->RadioGroup1->Columns(), 3);
  EXPECT_EQ(demo->RadioGroup1->Items()->Count(), 3);
  EXPECT_EQ(demo->RadioGroup1->ItemIndex(), 0);
  EXPECT_EQ(demo->Editor1->BoundsRect(), Bounds(0, 41, 656, 448));
  EXPECT_EQ(demo->Editor1->Font()->Name(), "FixedSys");
  EXPECT_EQ(demo->OpenDialog1->Filter(), "mqo|*.mqo");
  // The sort choice comes first in tab order, as on the desktop.
  EXPECT_TRUE(demo->RadioGroup1->Focused());
}

TEST_F(DemoFormTest, TheWheelMovesTheCaretRowOnlyWhileThePaneHasTheFocus) {
  for (int i = 0; i < 6; ++i) demo->Editor1->Lines().push_back("line");
  InjectWheel(-WHEEL_DELTA, At(*demo->Editor1, 100, 100));
  Run();
  EXPECT_EQ(demo->Editor1->Row(), 0);
  Click(*demo->Editor1, 100, 100);
  InjectWheel(-WHEEL_DELTA, At(*demo->Editor1, 100, 100));
  InjectWheel(-WHEEL_DELTA, At(*demo->Editor1, 100, 100));
  Run();
  EXPECT_EQ(demo->Editor1->Row(), 4);
  InjectWheel(3 * WHEEL_DELTA, At(*demo->Editor1, 100, 100));
  Run();
  EXPECT_EQ(demo->Editor1->Row(), 0);
  EXPECT_EQ(CaretState().owner, demo->Editor1->Handle());
}

TEST_F(DemoFormTest, OpenAddsTheChosenPathAndCloseEndsTheProgram) {
  backend.PushOpenDialogAnswer("/models/none-yet.mqo");
  Click(*demo->SpeedButton1, 10, 10);
  EXPECT_EQ(demo->Editor1->Lines().back(), "/models/none-yet.mqo");
  Click(*demo->SpeedButton2, 10, 10);
  EXPECT_TRUE(demo->Editor1->Lines().empty());
  Click(*demo->SpeedButton3, 10, 10);
  EXPECT_TRUE(Application().Terminated());
}

TEST_F(DemoFormTest, TypedDoubleByteCharactersArriveWhole) {
  Click(*demo->Editor1, 100, 100);
  InjectText("a\x8a\xbf");  // "a漢"
  Run();
  EXPECT_EQ(demo->Editor1->Lines().back(), "total 0a\x8a\xbf");
}

TEST_F(DemoFormTest, TheComposedScreenCanBeSaved) {
  Run();
  TSurface screen = backend.Compose(demo->Window());
  EXPECT_EQ(screen.Width(), 656);
  EXPECT_EQ(screen.Height(), 489);
  // The panel's face and the pane's white show where they should.
  EXPECT_EQ(screen.Pixel(240, 20), ColorToPixel(clBtnFace));
  EXPECT_EQ(screen.Pixel(300, 300), ColorToPixel(clWindow));
  if (const char* dir = std::getenv("CORVIDA_SCREENSHOT_DIR"))
    backend.SaveScreen(demo->Window(), (std::filesystem::path(dir) / "demo_form_headless.png").string());
}

}  // namespace
}  // namespace corvida
