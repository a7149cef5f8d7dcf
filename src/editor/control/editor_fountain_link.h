#pragma once
// The fountain attached to an editor: the editor's settings-change handler
// is registered in it, and a free notification drops it before it is
// destroyed, so the editor never holds a dangling fountain.
#include "editor/control/editor_view_info.h"
#include "platform/rtl/component.h"

namespace corvida {

class TEditorFountainLink {
 public:
  // editor receives the free notification; handler is registered in the
  // attached fountain's NotifyEventList.
  TEditorFountainLink(TComponent* editor, TNotifyEvent handler) : editor_(editor), handler_(handler) {}
  TEditorFountainLink(const TEditorFountainLink&) = delete;
  TEditorFountainLink& operator=(const TEditorFountainLink&) = delete;
  // Unregisters from the attached fountain.
  ~TEditorFountainLink();

  TFountain* Fountain() const { return fountain_; }
  // Moves the registration to fountain (null detaches). Returns false when
  // fountain is already the attached one; otherwise the editor rescans and
  // repaints.
  bool Attach(TFountain* fountain);
  // For the editor's Notification(opRemove): forgets component when it is
  // the attached fountain, whose listener list is already gone. Returns
  // whether it was, so the editor repaints.
  bool Removed(const TComponent* component);
  // The attached fountain, else the view's own.
  TFountain* Active(const TEditorViewInfo& view) const {
    return fountain_ != nullptr ? fountain_ : static_cast<TFountain*>(view.Fountain());
  }

 private:
  TComponent* editor_;
  TNotifyEvent handler_;
  TFountain* fountain_ = nullptr;
};

}  // namespace corvida
