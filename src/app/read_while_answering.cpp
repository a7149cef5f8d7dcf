#include "app/read_while_answering.h"

#include <chrono>
#include <exception>
#include <future>
#include <thread>

#include "platform/rtl/exceptions.h"
#include "platform/toolkit/forms.h"
#include "platform/winsys/cursors.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

// How often messages are looked at while the reading runs: input waits at
// most this long, and painting keeps up with a screen's refresh.
constexpr std::chrono::milliseconds kAnswerEvery(15);

// The busy pointer, shown on demand and taken away once done.
class TBusyPointer {
 public:
  TBusyPointer() = default;
  TBusyPointer(const TBusyPointer&) = delete;
  TBusyPointer& operator=(const TBusyPointer&) = delete;
  ~TBusyPointer() {
    if (shown_) ShowBusyPointer(false);
  }
  void Show() {
    if (shown_) return;
    ShowBusyPointer(true);
    shown_ = true;
  }

 private:
  bool shown_ = false;
};

bool IsEscape(const TMsg& msg) {
  return (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) &&
         msg.wParam == VK_ESCAPE;
}

// Handles the messages that have arrived; answers whether the reading must
// stop. Escape is the reading's, not the focused control's.
bool AnswerMessages() {
  PollEvents();
  bool stop = false;
  TMsg msg;
  while (!Application().Terminated() && PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      Application().Terminate();
      break;
    }
    if (IsEscape(msg)) {
      stop = stop || msg.message == WM_KEYDOWN;
      continue;
    }
    Application().ProcessMessage(msg);
  }
  return stop || Application().Terminated();
}

}  // namespace

std::string ReadWhileAnswering(const std::function<std::string(std::stop_token)>& read) {
  std::promise<std::string> promise;
  std::future<std::string> result = promise.get_future();
  // Declared after the promise: an error while answering stops and joins the
  // reading before the promise goes.
  std::jthread reading([&read, &promise](std::stop_token stop) {
    try {
      promise.set_value(read(stop));
    } catch (...) {
      promise.set_exception(std::current_exception());
    }
  });
  TBusyPointer busy;
  const auto busyAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyPointerAfterMs);
  for (;;) {
    if (AnswerMessages()) {
      reading.request_stop();
      reading.join();
      throw EAbort("");
    }
    if (result.wait_for(kAnswerEvery) == std::future_status::ready) break;
    if (std::chrono::steady_clock::now() >= busyAt) busy.Show();
  }
  return result.get();
}

}  // namespace corvida
