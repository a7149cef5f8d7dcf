#include "platform/winsys/file_changes.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/winsys/window_system.h"
#include "temp_folder.h"

namespace corvida {
namespace {

using testing::TempFolder;
using testing::WriteAll;

class TNoticeCounter : public TWindow {
 public:
  using TWindow::TWindow;
  int notices = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_FILENOTICE) ++notices;
    DefaultHandler(m);
  }
};

// A desktop that records what it was told to wake for, and has no input.
class TWakeRecorder : public TBackend {
 public:
  TWakeRecorder() { WindowSystem().SetBackend(this); }
  ~TWakeRecorder() override { WindowSystem().SetBackend(nullptr); }
  void SetWakeUps(const std::vector<int>& d, int64_t timeout) override {
    descriptors = d;
    timeoutMs = timeout;
  }
  int MessageBox(TWindow*, const std::string&, const std::string&, UINT) override { return IDOK; }
  bool RunOpenDialog(TWindow*, TOpenDialogRequest&) override { return false; }
  bool WaitForEvents() override { return false; }
  std::vector<int> descriptors;
  int64_t timeoutMs = -2;
};

void Pump() {
  TMsg msg;
  while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(msg);
}

// The wait for input also waits for the watch, and the notices of files
// that settle together reach the window in one message.
TEST(FileChanges, TheWaitWakesForTheWatchAndNoticesArriveTogether) {
  WindowSystem().ResetInput();
  TempFolder folder;
  WriteAll(folder.File("a.mqo"), "a");
  WriteAll(folder.File("b.mqo"), "b");
  TNoticeCounter window(nullptr, {0, 0, 10, 10});
  TFileChanges changes(&window);
  changes.Add(folder.File("a.mqo"));
  changes.Add(folder.File("b.mqo"));
  TWakeRecorder desktop;
  Pump();  // its first paint
  TMsg msg;
  EXPECT_FALSE(GetMessage(msg));
  EXPECT_EQ(desktop.descriptors, std::vector<int>{changes.Descriptor()});
  EXPECT_EQ(desktop.timeoutMs, -1);

  WriteAll(folder.File("a.mqo"), "aa");
  WriteAll(folder.File("b.mqo"), "bb");
  const int64_t now = WindowSystem().NowMs();
  WindowSystem().CheckFileChanges(now);
  EXPECT_FALSE(GetMessage(msg));
  EXPECT_GT(desktop.timeoutMs, 0);
  EXPECT_LE(desktop.timeoutMs, TFileWatch::kSettleMs);
  WindowSystem().CheckFileChanges(now + TFileWatch::kSettleMs);
  Pump();
  EXPECT_EQ(window.notices, 1);
  const std::vector<TFileNotice> taken = changes.Take();
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].path, folder.File("a.mqo"));
  EXPECT_EQ(taken[1].path, folder.File("b.mqo"));
  EXPECT_TRUE(changes.Take().empty());
}

}  // namespace
}  // namespace corvida
