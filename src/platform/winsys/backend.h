#pragma once
// The seam between the window system and what shows it: a backend presents
// top-level framebuffers, hosts scroll bars and the pointer, exchanges the
// clipboard with the desktop and runs modal dialogs. The headless backend
// serves tests and batch runs; a desktop backend plugs in the same way.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/winsys/geometry.h"
#include "platform/winsys/win_defs.h"

namespace corvida {

class TWindow;
struct TClipboardContents;

// What the open-file dialog is asked and answers. Texts are CP932; the
// folder and the file name are the file system's bytes.
struct TOpenDialogRequest {
  std::string title;
  std::string initialDir;
  std::string filter;  // "Description|*.ext|..." pairs
  int filterIndex = 1;
  std::string fileName;  // in: proposed name; out: the chosen path
};

class TBackend {
 public:
  virtual ~TBackend() = default;

  // A top-level window came into being or is going away; its framebuffer is
  // TWindow::Framebuffer().
  virtual void TopLevelCreated(TWindow* window) {}
  virtual void TopLevelDestroyed(TWindow* window) {}
  // Visibility, position, size or caption of a top-level window changed.
  virtual void TopLevelChanged(TWindow* window) {}
  // Pixels inside dirty (framebuffer coordinates) of top changed.
  virtual void Present(TWindow* top, const TRect& dirty) {}
  // The caret was created, moved, shown, hidden or destroyed.
  virtual void CaretChanged() {}
  // A window's scroll-bar range, page, position or visibility changed.
  virtual void ScrollBarChanged(TWindow* window, int bar) {}
  // The pointer shape changed to the cursor-table entry cursor.
  virtual void CursorChanged(int cursor) {}
  // The pointer shows the program busy over all its windows, whatever their
  // own shapes, or no longer.
  virtual void BusyChanged(bool busy) {}
  // The input method's composition window of window moved.
  virtual void ImeWindowChanged(TWindow* window) {}

  // The desktop's size in pixels.
  virtual TSize ScreenSize() const { return {1024, 768}; }

  // Clipboard: when the clipboard is opened the backend may refresh the
  // contents from the desktop; when it is closed after a change the backend
  // may hand them on.
  virtual void ClipboardOpened(TClipboardContents& contents) {}
  virtual void ClipboardChanged(const TClipboardContents& contents) {}
  // Whether the desktop's clipboard holds format now, asked while the
  // clipboard is closed; without a desktop clipboard, contents answer.
  virtual bool ClipboardHasFormat(const TClipboardContents& contents, UINT format);

  // The primary selection: a program's own selection was offered, or its
  // text is wanted (the backend may put the desktop's in its place).
  virtual void PrimarySelectionChanged(const std::string& text) {}
  virtual void PrimarySelectionWanted(std::string& text) {}
  // A modal message box; answers IDOK, IDCANCEL, IDYES, ...
  virtual int MessageBox(TWindow* owner, const std::string& text, const std::string& caption, UINT type) = 0;
  // The modal open-file dialog; false when cancelled.
  virtual bool RunOpenDialog(TWindow* owner, TOpenDialogRequest& request) = 0;

  // What else ends the next wait beside input: a descriptor becoming
  // readable, or timeoutMs passing (-1: no time).
  virtual void SetWakeUps(const std::vector<int>& descriptors, int64_t timeoutMs) {}
  // Waits until input arrives and queues it; false when no more will come.
  virtual bool WaitForEvents() = 0;
  // Queues the input that has already arrived, without waiting; a backend
  // whose input is injected has nothing to do.
  virtual void PollEvents() {}
};

}  // namespace corvida
