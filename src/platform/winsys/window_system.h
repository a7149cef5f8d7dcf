#pragma once
// The program-wide window system: the handle table, the one message queue,
// focus and capture, the key state, the pointer position and the backend.
// Everything runs on the one user-interface thread.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/winsys/backend.h"
#include "platform/winsys/window.h"

namespace corvida {

class TFileChanges;

struct TMsg {
  HWND hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

using TKeyStates = std::array<uint8_t, kKeyCount>;

class TWindowSystem {
 public:
  TWindowSystem();
  ~TWindowSystem();

  TBackend* Backend() const { return backend_; }
  // The backend stays owned by the caller and must outlive its use.
  void SetBackend(TBackend* backend) { backend_ = backend; }

  TWindow* Find(HWND hwnd) const;
  const std::vector<TWindow*>& TopLevels() const { return topLevels_; }

  // The queue. Posting to a window that no longer exists is refused;
  // messages of a window that is destroyed are dropped.
  bool Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Posts an input message together with the key state that holds once it
  // has been taken from the queue.
  void PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const TKeyStates& keys);
  // The first message for hwnd (0: any window) within min..max (both 0: any);
  // when none is posted, a paint message of a window with an invalid area.
  bool Peek(TMsg& msg, HWND hwnd, UINT min, UINT max, UINT flags);
  // Takes the next message, waiting on the backend when the queue is empty;
  // false on WM_QUIT or when no more input will come.
  bool Get(TMsg& msg);
  // Queues the input the backend already has, without waiting.
  void Poll();
  LRESULT Dispatch(const TMsg& msg);
  void PostQuit(int code);
  size_t QueueSize() const { return queue_.size(); }
  // Hands the changed framebuffer areas to the backend.
  void FlushPresent();

  // The file-change services, looked at whenever the queue runs dry.
  void AddFileChanges(TFileChanges* changes);
  void RemoveFileChanges(TFileChanges* changes);
  // Lets each service post what it has to say at now; Get does this with
  // the clock, a test with a time of its own.
  void CheckFileChanges(int64_t now);
  // Milliseconds on a steady clock.
  static int64_t NowMs();

  // Focus and capture; each answers the window that had it.
  TWindow* Focus() const { return Find(focus_); }
  TWindow* SetFocus(TWindow* window);
  TWindow* Capture() const { return Find(capture_); }
  TWindow* SetCapture(TWindow* window);
  void ReleaseCapture();

  // Key state: the synchronous one (as of the message in hand) and the
  // state of the newest input.
  const TKeyStates& KeyStates() const { return keys_; }
  const TKeyStates& InputKeyStates() const { return inputKeys_; }
  TKeyStates& MutableInputKeyStates() { return inputKeys_; }
  TPoint CursorPos() const { return cursorPos_; }
  void SetCursorPos(TPoint p) { cursorPos_ = p; }

  // Forgets queued messages, key state, focus and capture (a fresh session).
  void ResetInput();

 private:
  friend class TWindow;
  HWND Register(TWindow* window);
  void Unregister(TWindow* window);
  TWindow* FindPaintable() const;

  struct TQueued {
    TMsg msg;
    std::optional<TKeyStates> keys;
  };

  TBackend* backend_ = nullptr;
  std::unordered_map<HWND, TWindow*> windows_;
  std::vector<TWindow*> topLevels_;
  HWND nextHandle_ = 0x100;
  std::deque<TQueued> queue_;
  bool quit_ = false;
  HWND focus_ = 0;
  HWND capture_ = 0;
  TKeyStates keys_{};
  TKeyStates inputKeys_{};
  TPoint cursorPos_;
  std::vector<TFileChanges*> fileChanges_;
};

TWindowSystem& WindowSystem();

// The Win32-style entry points the rest of the program calls.
bool PostMessage(TWindow* window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(TWindow* window, UINT msg, WPARAM wParam, LPARAM lParam);
bool PeekMessage(TMsg& msg, TWindow* window, UINT min, UINT max, UINT flags);
bool GetMessage(TMsg& msg);
void PollEvents();
LRESULT DispatchMessage(const TMsg& msg);
void PostQuitMessage(int code);
TWindow* GetFocus();
TWindow* SetFocus(TWindow* window);
TWindow* GetCapture();
TWindow* SetCapture(TWindow* window);
void ReleaseCapture();
// High bit (negative) when down, low bit when toggled, as of the message
// in hand.
int16_t GetKeyState(int vk);
// The key or button is down as of the message in hand.
inline bool KeyHeld(int vk) { return GetKeyState(vk) < 0; }
int16_t GetAsyncKeyState(int vk);
void GetCursorPos(TPoint& p);
int GetSystemMetrics(int index);
// A modal message box through the backend; EInvalidOperation without one.
int MessageBox(TWindow* owner, const std::string& text, const std::string& caption, UINT type);

}  // namespace corvida
