#include "editor/control/editor_fountain_link.h"

namespace corvida {

TEditorFountainLink::~TEditorFountainLink() { Attach(nullptr); }

bool TEditorFountainLink::Attach(TFountain* fountain) {
  if (fountain == fountain_) return false;
  if (fountain_ != nullptr) {
    fountain_->NotifyEventList()->Remove(handler_);
    fountain_->RemoveFreeNotification(editor_);
  }
  if (fountain != nullptr) {
    fountain->NotifyEventList()->Add(handler_);
    fountain->FreeNotification(editor_);
  }
  fountain_ = fountain;
  return true;
}

bool TEditorFountainLink::Removed(const TComponent* component) {
  if (component == nullptr || component != fountain_) return false;
  fountain_ = nullptr;
  return true;
}

}  // namespace corvida
