#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/scope_guard.h"
#include "platform/toolkit/std_controls.h"
#include "platform/toolkit/toolkit_fixture.h"

namespace corvida {
namespace {

using testing::ToolkitTest;

TEST(ErrorBoxText, AFullStopFollowsALastCharacterAboveTheStop) {
  EXPECT_EQ(WithFullStop("cannot open"), "cannot open.");
  EXPECT_EQ(WithFullStop("cannot open."), "cannot open.");
  EXPECT_EQ(WithFullStop("value 1"), "value 1.");
  EXPECT_EQ(WithFullStop("done!"), "done!");  // '!' sorts below '.'
  EXPECT_EQ(WithFullStop("a-"), "a-");
  EXPECT_EQ(WithFullStop(""), "");
  // A double-byte last character always gets one, even the ideographic stop.
  EXPECT_EQ(WithFullStop("\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81\x42"),
            "\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81\x42.");
}

class Thrower : public TObject {
 public:
  void Fail(TObject*) {
    ++calls;
    throw EFOpenError("\x83\x74\x83\x40\x83\x43\x83\x8b");  // "ファイル"
  }
  void Count(TObject*) { ++calls; }
  void Refuse(TObject*, TCloseAction&) { throw EWriteError("no room"); }
  int calls = 0;
};

class ApplicationTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    Application().SetTitle("corvida");
    button = new TSpeedButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(2, 2, 75, 37);
    form->Show();
  }
  TSpeedButton* button = nullptr;
  Thrower thrower;
};

TEST_F(ApplicationTest, AnErrorInAClickHandlerIsShownAndTheLoopGoesOn) {
  button->SetOnClick(TNotifyEvent::Of<&Thrower::Fail>(&thrower));
  Click(*button, 10, 10);
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  const auto& box = backend.MessageBoxes()[0];
  EXPECT_EQ(box.text, "\x83\x74\x83\x40\x83\x43\x83\x8b.");
  EXPECT_EQ(box.caption, "corvida");
  EXPECT_EQ(box.type, MB_OK | MB_ICONSTOP);

  Click(*button, 10, 10);
  EXPECT_EQ(thrower.calls, 2);
  EXPECT_EQ(backend.MessageBoxes().size(), 2u);
  EXPECT_FALSE(Application().Terminated());
}

TEST_F(ApplicationTest, OnExceptionReplacesTheErrorBox) {
  struct Catcher : TObject {
    void Caught(TObject*, const std::string& text) { seen = text; }
    std::string seen;
  } catcher;
  Application().SetOnException(TExceptionEvent::Of<&Catcher::Caught>(&catcher));
  button->SetOnClick(TNotifyEvent::Of<&Thrower::Fail>(&thrower));
  Click(*button, 10, 10);
  EXPECT_EQ(catcher.seen, "\x83\x74\x83\x40\x83\x43\x83\x8b");
  EXPECT_TRUE(backend.MessageBoxes().empty());
}

// Three steps of idle work; the first posts a message, as input arriving
// meanwhile would, and the second fails.
class IdleWorker : public TObject {
 public:
  explicit IdleWorker(TWindow* window) : window_(window) {}
  void Step(TObject*, bool& done) {
    ++steps;
    if (steps == 1) PostMessage(window_, WM_USER, 0, 0);
    if (steps == 2) throw EWriteError("step failed");
    done = steps >= 3;
  }
  int steps = 0;

 private:
  TWindow* window_;
};

TEST_F(ApplicationTest, IdleHandlersStepWhileNoMessageWaits) {
  Run();  // the first paint
  IdleWorker worker(form->Window());
  const TIdleEvent step = TIdleEvent::Of<&IdleWorker::Step>(&worker);
  Application().AddIdleHandler(step);
  ScopeGuard removed([step] { Application().RemoveIdleHandler(step); });
  // One step, then the message that came meanwhile.
  EXPECT_TRUE(Application().HandleMessage());
  EXPECT_EQ(worker.steps, 1);
  EXPECT_EQ(WindowSystem().QueueSize(), 0u);
  // The failing step is shown and ends the round; the next round finishes.
  EXPECT_FALSE(Application().DoIdle());
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].text, "step failed.");
  EXPECT_FALSE(Application().DoIdle());
  EXPECT_EQ(worker.steps, 3);
  // A removed handler is not called again.
  Application().RemoveIdleHandler(step);
  EXPECT_FALSE(Application().DoIdle());
  EXPECT_EQ(worker.steps, 3);
}

TEST_F(ApplicationTest, TheTitleDefaultsToTheExecutableName) {
  Application().SetTitle("");
  EXPECT_EQ(Application().Title(), "test_toolkit");
  EXPECT_EQ(ExtractFileName(Application().ExeName()), "test_toolkit");
}

TEST_F(ApplicationTest, ClosingTheMainFormEndsTheLoop) {
  form->Window()->Perform(WM_CLOSE, 0, 0);
  EXPECT_TRUE(Application().Terminated());
  TMsg msg;
  EXPECT_FALSE(GetMessage(msg));  // WM_QUIT was posted
}

TEST_F(ApplicationTest, AnErrorWhileClosingKeepsTheFormOpen) {
  form->SetOnClose(TCloseEvent::Of<&Thrower::Refuse>(&thrower));
  PostMessage(form->Window(), WM_CLOSE, 0, 0);
  Run();
  EXPECT_FALSE(Application().Terminated());
  EXPECT_TRUE(form->Visible());
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].text, "no room.");
}

TEST_F(ApplicationTest, ASecondFormHidesOrGoesAwayOnClose) {
  TForm* other = new TForm(nullptr);
  other->Show();
  other->Close();
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(Application().Terminated());

  struct Freer : TObject {
    void Free(TObject*, TCloseAction& action) { action = caFree; }
  } freer;
  other->SetOnClose(TCloseEvent::Of<&Freer::Free>(&freer));
  HWND h = other->Handle();
  other->Close();
  Run();
  EXPECT_EQ(WindowSystem().Find(h), nullptr);  // released after the message
}

TEST_F(ApplicationTest, ShowingFiresOnShowAndFocusesTheFirstTabStop) {
  TForm second(nullptr);
  auto* control = new TCustomControl(&second);
  control->SetParent(&second);
  thrower.calls = 0;
  second.SetOnShow(TNotifyEvent::Of<&Thrower::Count>(&thrower));
  second.Show();
  EXPECT_EQ(thrower.calls, 1);
  EXPECT_TRUE(control->Focused());
  second.Hide();
  second.Show();
  EXPECT_EQ(thrower.calls, 2);
}

}  // namespace
}  // namespace corvida
