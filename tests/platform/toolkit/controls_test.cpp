#include <gtest/gtest.h>

#include "platform/rtl/component_text.h"
#include "platform/rtl/exceptions.h"
#include "platform/toolkit/dialogs.h"
#include "platform/toolkit/img_list.h"
#include "platform/winsys/sys_colors.h"
#include "platform/toolkit/std_controls.h"
#include "platform/toolkit/toolkit_fixture.h"
#include "platform/winsys/caret.h"

namespace corvida {
namespace {

using testing::ToolkitTest;

class Counter : public TObject {
 public:
  void Down(TObject*, TShiftState, TPoint, bool&) { ++down; }
  void Up(TObject*, TShiftState, TPoint, bool&) { ++up; }
  void Click(TObject*) { ++clicks; }
  int down = 0, up = 0, clicks = 0;
};

class ControlsTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetAlign(alTop);
    panel->SetHeight(41);
    panel->SetBevelInner(bvLowered);
    button = new TSpeedButton(form.get());
    button->SetParent(panel);
    button->SetBounds(2, 2, 75, 37);
    group = new TRadioGroup(form.get());
    group->SetParent(panel);
    group->SetBounds(255, 3, 271, 32);
    group->SetColumns(3);
    group->Items()->SetText("None\r\nAscending\r\nDescending\r\n");
    group->SetItemIndex(0);
    editor = new TCustomControl(form.get());
    editor->SetParent(form.get());
    editor->SetAlign(alClient);
    editor->SetTabOrder(1);
    editor->SetOnMouseWheelDown(TMouseWheelUpDownEvent::Of<&Counter::Down>(&counter));
    editor->SetOnMouseWheelUp(TMouseWheelUpDownEvent::Of<&Counter::Up>(&counter));
    form->Show();
  }
  TPanel* panel = nullptr;
  TSpeedButton* button = nullptr;
  TRadioGroup* group = nullptr;
  TCustomControl* editor = nullptr;
  Counter counter;
};

TEST_F(ControlsTest, TheFormsFrameAndTheAlignedControlsShareTheClientArea) {
  EXPECT_EQ(form->ClientWidth(), 656);
  EXPECT_EQ(form->ClientHeight(), 489);
  EXPECT_EQ(panel->BoundsRect(), Bounds(0, 0, 656, 41));
  EXPECT_EQ(editor->BoundsRect(), Bounds(0, 41, 656, 448));
  form->SetBounds(100, 50, 800, 600);
  EXPECT_EQ(panel->Width(), 792);
  EXPECT_EQ(editor->BoundsRect(), Bounds(0, 41, 792, 600 - 27 - 41));
  panel->SetVisible(false);
  EXPECT_EQ(editor->Top(), 0);
}

TEST_F(ControlsTest, WheelStepsReachOnlyTheFocusedControl) {
  editor->SetFocus();
  InjectWheel(-WHEEL_DELTA, At(*button, 5, 5));  // the pointer is elsewhere
  InjectWheel(-2 * WHEEL_DELTA, At(*editor, 5, 5));
  InjectWheel(WHEEL_DELTA, At(*editor, 5, 5));
  Run();
  EXPECT_EQ(counter.down, 3);
  EXPECT_EQ(counter.up, 1);

  group->SetFocus();
  InjectWheel(-WHEEL_DELTA, At(*editor, 5, 5));
  Run();
  EXPECT_EQ(counter.down, 3);
}

TEST_F(ControlsTest, PartialWheelDeltasAddUpToWholeSteps) {
  editor->SetFocus();
  for (int i = 0; i < 4; ++i) InjectWheel(-60, At(*editor, 5, 5));
  Run();
  EXPECT_EQ(counter.down, 2);
}

TEST_F(ControlsTest, ACustomControlTakesTheFocusOnAPressAndASpeedButtonNever) {
  group->SetFocus();
  Click(*button, 5, 5);
  EXPECT_TRUE(group->Focused());
  EXPECT_THROW(button->SetFocus(), EInvalidOperation);
  Click(*editor, 20, 20);
  EXPECT_TRUE(editor->Focused());
  InjectMouseDown(VK_RBUTTON, At(*group, 3, 3));
  Run();
  EXPECT_TRUE(group->Focused());
}

TEST_F(ControlsTest, ASpeedButtonClicksOnlyWhenReleasedOverIt) {
  button->SetOnClick(TNotifyEvent::Of<&Counter::Click>(&counter));
  Click(*button, 5, 5);
  EXPECT_EQ(counter.clicks, 1);
  InjectMouseDown(VK_LBUTTON, At(*button, 5, 5));
  InjectMouseMove(At(*editor, 50, 50));
  InjectMouseUp(VK_LBUTTON, At(*editor, 50, 50));
  Run();
  EXPECT_EQ(counter.clicks, 1);
  button->SetEnabled(false);
  Click(*button, 5, 5);
  EXPECT_EQ(counter.clicks, 1);
}

TEST_F(ControlsTest, TheRadioGroupLimitsItsItemIndex) {
  group->SetItemIndex(5 & 0x7F);
  EXPECT_EQ(group->ItemIndex(), 2);
  group->SetItemIndex(-7);
  EXPECT_EQ(group->ItemIndex(), -1);
  group->SetItemIndex(2);
  group->Items()->Delete(2);
  EXPECT_EQ(group->ItemIndex(), 1);
}

TEST_F(ControlsTest, ClickingARadioButtonChoosesItsItem) {
  group->SetOnClick(TNotifyEvent::Of<&Counter::Click>(&counter));
  TRect third = group->ItemRect(2);
  EXPECT_EQ(third.left, 8 + 2 * ((271 - 10) / 3));
  Click(*group, third.left + 3, third.top + third.Height() / 2);
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_EQ(counter.clicks, 1);
  EXPECT_TRUE(group->Focused());
  InjectKeyDown(VK_LEFT);
  Run();
  EXPECT_EQ(group->ItemIndex(), 1);
}

TEST_F(ControlsTest, AClickOrTheSpaceBarTogglesACheckBoxAndItsTick) {
  auto* box = new TCheckBox(form.get());
  box->SetParent(panel);
  box->SetBounds(534, 12, 80, 17);
  box->SetCaption("Details");
  box->SetOnClick(TNotifyEvent::Of<&Counter::Click>(&counter));
  Run();
  // The middle of the tick, in the box at the left.
  const auto tickPixel = [&] {
    const TPoint corner = box->Window()->ClientOffsetInTop();
    return form->Window()->Framebuffer()->Pixel(corner.x + 5, corner.y + 10);
  };
  const uint32_t unticked = tickPixel();
  Click(*box, 40, 8);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(counter.clicks, 1);
  EXPECT_TRUE(box->Focused());
  EXPECT_NE(tickPixel(), unticked);
  // A press that ends outside the box changes nothing.
  InjectMouseDown(VK_LBUTTON, At(*box, 5, 5));
  InjectMouseUp(VK_LBUTTON, At(*editor, 50, 50));
  Run();
  EXPECT_TRUE(box->Checked());
  InjectKeyDown(VK_SPACE);
  Run();
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(counter.clicks, 2);
  EXPECT_EQ(tickPixel(), unticked);
  // Code sets it without a click.
  box->SetChecked(true);
  EXPECT_EQ(counter.clicks, 2);
}

TEST_F(ControlsTest, ChildrenFollowTheirParentsFontUntilGivenTheirOwn) {
  form->Font()->SetHeight(-16);
  EXPECT_EQ(button->Font()->Height(), -16);
  EXPECT_EQ(group->Font()->Height(), -16);
  button->Font()->SetHeight(-10);
  EXPECT_FALSE(button->ParentFont());
  form->Font()->SetHeight(-12);
  EXPECT_EQ(button->Font()->Height(), -10);
  EXPECT_EQ(group->Font()->Height(), -12);
}

TEST_F(ControlsTest, AColourChangeReachesTheControlAndThoseFollowingIt) {
  struct Coloured : TCustomControl {
    using TCustomControl::TCustomControl;
    void ColorChanged() override {
      ++changes;
      TCustomControl::ColorChanged();
    }
    int changes = 0;
  };
  auto* child = new Coloured(form.get());
  child->SetParentColor(true);
  child->SetParent(panel);
  EXPECT_EQ(child->Color(), panel->Color());
  const int before = child->changes;
  panel->SetColor(clYellow);
  EXPECT_EQ(child->Color(), clYellow);
  EXPECT_EQ(child->changes, before + 1);
  // A colour of its own ends the following.
  child->SetColor(clRed);
  EXPECT_FALSE(child->ParentColor());
  EXPECT_EQ(child->changes, before + 2);
  panel->SetColor(clLime);
  EXPECT_EQ(child->Color(), clRed);
  child->SetColor(clRed);
  EXPECT_EQ(child->changes, before + 2);
}

TEST_F(ControlsTest, AKeyPressHandlerCancelsACharacter) {
  struct Typist : TObject {
    void Char(TObject*, char& key) {
      if (key == 'x') key = 0;
    }
  } typist;
  editor->SetOnKeyPress(TKeyPressEvent::Of<&Typist::Char>(&typist));
  editor->SetFocus();
  TMessage m{WM_CHAR, 'x', 1, 0};
  editor->WndProc(m);
  EXPECT_EQ(m.WParam, 0u);
}

TEST_F(ControlsTest, ABorderChangeRecreatesTheWindowAndKeepsTheFocus) {
  editor->SetFocus();
  HWND before = editor->Handle();
  editor->SetBorderStyle(bsSingle);
  EXPECT_NE(editor->Handle(), before);
  EXPECT_TRUE(editor->Window()->ExStyle() & WS_EX_CLIENTEDGE);
  EXPECT_EQ(editor->ClientWidth(), 656 - 4);
  EXPECT_TRUE(editor->Focused());
  editor->SetScrollBars(ssVertical);
  EXPECT_TRUE(editor->Window()->ScrollBarVisible(SB_VERT));
  EXPECT_EQ(editor->ClientWidth(), 656 - 4 - GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(ControlsTest, ACustomControlPaintsThroughItsCanvas) {
  struct Painted : TCustomControl {
    using TCustomControl::TCustomControl;
    void Paint() override {
      Canvas()->Brush().color = clRed;
      Canvas()->FillRect(PaintClip());
      ++paints;
    }
    int paints = 0;
  };
  auto* p = new Painted(form.get());
  p->SetParent(editor);
  p->SetBounds(10, 10, 20, 20);
  Run();
  EXPECT_GE(p->paints, 1);
  TPoint corner = p->Window()->ClientOffsetInTop();
  EXPECT_EQ(form->Window()->Framebuffer()->Pixel(corner.x + 5, corner.y + 5), 0xFFFF0000u);
}

TEST_F(ControlsTest, TheOpenDialogCarriesItsSettingsAndTakesTheChosenPath) {
  TOpenDialog dialog(form.get());
  dialog.SetFilter("mqo|*.mqo");
  dialog.SetInitialDir("/models/");
  backend.PushOpenDialogAnswer("/models/new.mqo");
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), "/models/new.mqo");
  ASSERT_EQ(backend.OpenDialogs().size(), 1u);
  EXPECT_EQ(backend.OpenDialogs()[0].request.filter, "mqo|*.mqo");
  EXPECT_EQ(backend.OpenDialogs()[0].request.initialDir, "/models/");
  backend.PushOpenDialogAnswer(std::nullopt);
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), "/models/new.mqo");
}

TEST_F(ControlsTest, MessageDialogsMapButtonsAndAnswers) {
  backend.PushMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageDlg("sure?", mtConfirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(backend.MessageBoxes()[0].type, MB_ICONQUESTION | MB_YESNO);
  EXPECT_EQ(backend.MessageBoxes()[0].caption, "\x8a\x6d\x94\x46");
  EXPECT_EQ(MessageDlg("careful", mtWarning, mbOK), mrOk);
  EXPECT_EQ(backend.MessageBoxes()[1].type, MB_ICONEXCLAMATION | MB_OK);
}

TEST_F(ControlsTest, ControlsReadNestedInALayoutTextArePlacedOnTheirOwner) {
  TClassRegistry registry;
  for (const TClassInfo* info : {TPanel::StaticInfo(), TSpeedButton::StaticInfo(), TRadioGroup::StaticInfo()})
    registry.Register(info);
  TForm host(nullptr);
  const char* text =
      "object Bar: TPanel\r\n"
      "  Left = 0\r\n  Top = 0\r\n  Width = 400\r\n  Height = 41\r\n  BevelInner = bvLowered\r\n"
      "  object Go: TSpeedButton\r\n    Left = 2\r\n    Top = 2\r\n    Caption = 'Go'\r\n  end\r\n"
      "  object Sort: TRadioGroup\r\n    Left = 100\r\n    ItemIndex = 2\r\n"
      "    Items.Strings = (\r\n      'a'\r\n      'b'\r\n      'c')\r\n  end\r\n"
      "end\r\n";
  auto* bar = dynamic_cast<TPanel*>(ReadComponentText(text, host, registry));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Parent(), &host);
  auto* go = dynamic_cast<TSpeedButton*>(bar->FindComponent("Go"));
  auto* sort = dynamic_cast<TRadioGroup*>(bar->FindComponent("Sort"));
  ASSERT_TRUE(go && sort);
  EXPECT_EQ(go->Parent(), bar);
  EXPECT_TRUE(go->HandleAllocated());
  EXPECT_EQ(go->Caption(), "Go");
  EXPECT_EQ(sort->ItemIndex(), 2);  // set before its items were read
  EXPECT_EQ(bar->BevelInner(), bvLowered);
}

}  // namespace
}  // namespace corvida

namespace corvida {
namespace {

TEST(ImageList, DrawsItsImagesWithTheTransparentColourLeftOut) {
  TImageList list(nullptr);
  list.SetSize(4, 4);
  TSurface strip(8, 4);
  strip.Fill({0, 0, 8, 4}, RgbToPixel(clFuchsia));
  strip.Fill({1, 1, 3, 3}, RgbToPixel(clRed));   // image 0
  strip.Fill({4, 0, 8, 1}, RgbToPixel(clBlue));  // image 1
  EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);

  TSurface target(10, 10);
  TCanvas canvas;
  canvas.SetHandle(TDeviceContext(&target));
  list.Draw(&canvas, 2, 2, 0);
  list.Draw(&canvas, 0, 8, 1);
  list.Draw(&canvas, 0, 0, 7);  // no such image: nothing
  EXPECT_EQ(target.Pixel(3, 3), RgbToPixel(clRed));
  EXPECT_EQ(target.Pixel(2, 2), kWhitePixel);  // transparent
  EXPECT_EQ(target.Pixel(3, 8), RgbToPixel(clBlue));
  EXPECT_EQ(target.Pixel(0, 0), kWhitePixel);
  list.SetSize(8, 8);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace corvida
