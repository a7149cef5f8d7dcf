#pragma once
// The Qt 6 Widgets backend: the real desktop. A form becomes a top-level
// widget that shows its framebuffer; a custom-painted control becomes a
// host widget over its part of it, with native scroll bars, the caret and
// the input method's preedit text; speed buttons and radio groups become
// native widgets; dialogs, message boxes and popup menus are Qt's own.
// Qt input is turned into the messages Windows would queue, and the
// application's loop waits on Qt for them.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QFont>
#include <QPoint>
#include <QString>

#include "platform/rtl/cp932.h"
#include "platform/toolkit/forms.h"
#include "platform/toolkit/peer.h"
#include "platform/winsys/backend.h"

class QSocketNotifier;
class QTimer;
class QWidget;

namespace corvida {

class TQtFormWidget;
class TQtHostWidget;

class TQtBackend : public TBackend, public TToolkitBackend {
 public:
  // Needs a QApplication; installs itself as the window system's and the
  // toolkit's backend until destroyed.
  TQtBackend();
  ~TQtBackend() override;

  // TBackend
  void TopLevelChanged(TWindow* window) override;
  void Present(TWindow* top, const TRect& dirty) override;
  void CaretChanged() override;
  void ScrollBarChanged(TWindow* window, int bar) override;
  void CursorChanged(int cursor) override;
  void BusyChanged(bool busy) override;
  void ImeWindowChanged(TWindow* window) override;
  TSize ScreenSize() const override;
  void ClipboardOpened(TClipboardContents& contents) override;
  void ClipboardChanged(const TClipboardContents& contents) override;
  bool ClipboardHasFormat(const TClipboardContents& contents, UINT format) override;
  void PrimarySelectionChanged(const std::string& text) override;
  void PrimarySelectionWanted(std::string& text) override;
  int MessageBox(TWindow* owner, const std::string& text, const std::string& caption, UINT type) override;
  bool RunOpenDialog(TWindow* owner, TOpenDialogRequest& request) override;
  void SetWakeUps(const std::vector<int>& descriptors, int64_t timeoutMs) override;
  bool WaitForEvents() override;
  void PollEvents() override;

  // TToolkitBackend
  std::unique_ptr<TControlPeer> CreatePeer(TWinControl* control) override;
  TMenuItem* TrackPopupMenu(TPopupMenu* menu, TPoint screen) override;

  // The widgets that show a window: its form's top-level widget, the host
  // of a custom-painted control.
  TQtFormWidget* FormWidget(TWindow* top) const;
  TQtHostWidget* HostWidget(TWindow* window) const;
  // Where a window-system screen point lies on the desktop.
  QPoint ToGlobal(TPoint screen) const;

  // Registration by the peers.
  void AddForm(TWindow* top, TQtFormWidget* widget) { forms_[top] = widget; }
  void RemoveForm(TWindow* top) { forms_.erase(top); }
  void AddHost(TWindow* window, TQtHostWidget* widget) { hosts_[window] = widget; }
  void RemoveHost(TWindow* window);
  // The widget under the pointer, which shows the pointer shape.
  void SetHovered(QWidget* widget);
  bool CaretBlinkOn() const { return caretOn_; }
  // The part of a wheel step fine-grained devices have sent so far.
  int& WheelRemainder() { return wheelRemainder_; }
  // Qt font families of face files, added to Qt's font database once.
  QString FamilyOfFile(const std::string& file);

 private:
  std::map<TWindow*, TQtFormWidget*> forms_;
  std::map<TWindow*, TQtHostWidget*> hosts_;
  QWidget* hovered_ = nullptr;
  int cursor_ = 0;
  std::unique_ptr<QTimer> blink_;
  // What ends a wait beside input; they only wake the event loop.
  std::map<int, std::unique_ptr<QSocketNotifier>> wakeNotifiers_;
  std::unique_ptr<QTimer> wakeTimer_;
  bool caretOn_ = true;
  HWND caretOwner_ = 0;
  int wheelRemainder_ = 0;
  std::map<std::string, QString> families_;
};

// The backend in use, or null.
TQtBackend* QtBackend();

// Runs fn, handing an escaping error to the application: Qt never sees one.
void Guarded(const std::function<void()>& fn);

// A Qt font for a toolkit font, from the face file the font cache resolved.
QFont QtFont(const TFont& font);
inline QString ToQString(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }

// The MIME type that carries a registered clipboard format by its name.
QString ClipboardMimeType(const std::string& formatName);

}  // namespace corvida
