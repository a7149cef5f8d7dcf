#pragma once
// What a backend gives the toolkit: a peer per windowed control (a native
// widget, or nothing for the headless backend, where controls paint
// themselves) and the modal popup menu. The toolkit keeps every control's
// state; a peer only mirrors it and reports input back as messages.
#include <memory>

#include "platform/winsys/geometry.h"

namespace corvida {

class TWinControl;
class TPopupMenu;
class TMenuItem;

class TControlPeer {
 public:
  virtual ~TControlPeer() = default;
  // The control's bounds, caption, font, visibility, enabled state or
  // contents changed.
  virtual void Update() = 0;
  // The control took the keyboard focus.
  virtual void FocusChanged() {}
};

class TToolkitBackend {
 public:
  virtual ~TToolkitBackend() = default;
  // A peer for control, whose window was just created; null for none.
  virtual std::unique_ptr<TControlPeer> CreatePeer(TWinControl* control) { return nullptr; }
  // Shows menu at a screen point and answers the item chosen, or null.
  virtual TMenuItem* TrackPopupMenu(TPopupMenu* menu, TPoint screen) = 0;
};

// The toolkit backend in use (null: controls have no peers and popup menus
// choose nothing). The caller keeps it alive while it is installed.
TToolkitBackend* ToolkitBackend();
void SetToolkitBackend(TToolkitBackend* backend);

}  // namespace corvida
