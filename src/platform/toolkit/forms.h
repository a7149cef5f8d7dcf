#pragma once
// Forms (top-level windows) and the application object: the message loop,
// the title, the executable's name and the error box that shows what an
// event handler let escape.
#include <exception>
#include <string>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/toolkit/controls.h"
#include "platform/winsys/window_system.h"

namespace corvida {

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

// The frame a form's outer bounds include around its client area.
inline constexpr int kFormFrame = 4;
inline constexpr int kFormCaption = 19;

class TForm : public TWinControl {
 public:
  CORVIDA_CLASS_NAME(TForm)
  // Creates the form's window at once, hidden.
  explicit TForm(TComponent* owner);
  ~TForm() override;

  // Left, Top, Width and Height are the outer bounds; the window is the
  // client area inside the frame.
  void SetClientWidth(int v) { SetWidth(v + 2 * kFormFrame); }
  void SetClientHeight(int v) { SetHeight(v + 2 * kFormFrame + kFormCaption); }
  // The smallest client area the form takes: bounds set smaller grow to it,
  // and the desktop lets the user shrink the window no further.
  TSize MinClientSize() const { return minClientSize_; }
  void SetMinClientSize(TSize v);
  void SetBounds(int left, int top, int width, int height) override;
  // Showing fires OnShow first.
  void SetVisible(bool v) override;
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  // Asks OnCloseQuery, then OnClose with caHide; unless the action is
  // caNone the main form ends the application, another form hides (caHide)
  // or is destroyed after the message in hand (caFree). An error raised by
  // a handler leaves the form open.
  void Close();
  // Destroys the form once the message in hand has been handled.
  void Release();

  // The title the desktop shows, UTF-8 so that it can name any file; empty
  // for the caption.
  const std::string& DesktopTitle() const { return desktopTitle_; }
  void SetDesktopTitle(const std::string& v);

  // The control the focus goes to when the form is shown.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* c);

  // A key the form takes for itself before its focused control does, once
  // that control's popup-menu shortcuts have passed it by; true when taken.
  virtual bool IsShortCut(uint16_t key, TShiftState shift) { return false; }

  TNotifyEvent OnShow() const { return onShow_; }
  void SetOnShow(TNotifyEvent e) { onShow_ = e; }
  TCloseEvent OnClose() const { return onClose_; }
  void SetOnClose(TCloseEvent e) { onClose_ = e; }
  TCloseQueryEvent OnCloseQuery() const { return onCloseQuery_; }
  void SetOnCloseQuery(TCloseQueryEvent e) { onCloseQuery_ = e; }

  void WndProc(TMessage& message) override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  std::unique_ptr<TWindow> MakeWindow() override;
  void Notification(TComponent* component, TOperation operation) override;
  TRect WindowRect() const override;

 private:
  std::string desktopTitle_;
  TSize minClientSize_{0, 0};
  TWinControl* activeControl_ = nullptr;
  TNotifyEvent onShow_;
  TCloseEvent onClose_;
  TCloseQueryEvent onCloseQuery_;
};

using TExceptionEvent = TEvent<TObject*, const std::string&>;
// Work done while no message waits: a handler does one short step and sets
// done to false when more steps remain.
using TIdleEvent = TEvent<TObject*, bool&>;

class TApplication : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TApplication)
  TApplication();
  ~TApplication() override;

  // The title: the error box's caption; by default the executable's name
  // without its extension.
  std::string Title() const;
  void SetTitle(const std::string& v) { title_ = v; }
  // The executable's full path, unless another was set in its place.
  std::string ExeName() const;
  void SetExeName(const std::string& v) { exeName_ = v; }

  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form);

  // Starts a session: not terminated, no main form.
  void Initialize();
  // Shows the main form and handles messages until the application is
  // terminated or no more input can come.
  void Run();
  // Handles one message, waiting for it; false once the loop must end. While
  // no message waits, the idle handlers take their steps, and input that
  // arrives meanwhile is handled between two steps.
  bool HandleMessage();
  // Handles the messages already queued (paints included); answers how
  // many. A runaway loop stops after limit.
  int ProcessMessages(int limit = 100000);
  // Routes one message: popup-menu shortcuts first, then the form's own,
  // then Tab moving the focus between controls, then the window. An error
  // escaping the handler goes to HandleException.
  void ProcessMessage(const TMsg& msg);
  void Terminate();
  bool Terminated() const { return terminated_; }

  // For use inside a catch block: hands the exception in flight to
  // OnException, or shows it in the error box; EAbort is passed over.
  void HandleException(TObject* sender);
  // The error box: modal, the error icon, the title as caption, and a full
  // stop appended when the message's last character is greater than ".".
  void ShowException(const std::string& message);

  TExceptionEvent OnException() const { return onException_; }
  void SetOnException(TExceptionEvent e) { onException_ = e; }

  // Idle handlers, each called once a round in the order added.
  void AddIdleHandler(TIdleEvent e);
  void RemoveIdleHandler(TIdleEvent e);
  // One round of the idle handlers; answers whether any has more to do. An
  // error escaping a handler goes to HandleException.
  bool DoIdle();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::string title_;
  std::string exeName_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  TExceptionEvent onException_;
  std::vector<TIdleEvent> idleHandlers_;
};

TApplication& Application();

// The text of an exception as the error box shows it, before the full stop.
std::string ExceptionMessage(const std::exception_ptr& e);
// message with the error box's full stop rule applied.
std::string WithFullStop(const std::string& message);

}  // namespace corvida
