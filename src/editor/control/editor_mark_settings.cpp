#include "editor/control/editor_mark_settings.h"

#include "platform/rtl/scope_guard.h"

namespace corvida {

// TEditorMark

void TEditorMark::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TEditorMark*>(source);
  if (other == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  TUpdateBracket update(*this);
  SetColor(other->Color());
  SetVisible(other->Visible());
}

const TClassInfo* TEditorMark::StaticInfo() {
  using C = TEditorMark;
  static const TClassInfo info{"TEditorMark", nullptr, {
      IdentIntProp<C, &C::Color, &C::SetColor>("Color", &ColorToIdent, &IdentToColor),
      BoolProp<C, &C::Visible, &C::SetVisible>("Visible"),
  }};
  return &info;
}

// TEditorMarks

TEditorMarks::TEditorMarks()
    : eofMark_(NewMark()), retMark_(NewMark()), wrapMark_(NewMark()), hideMark_(NewMark()), underline_(NewMark()) {}

TEditorMarks::~TEditorMarks() = default;

std::unique_ptr<TEditorMark> TEditorMarks::NewMark() {
  auto mark = std::make_unique<TEditorMark>();
  mark->SetOnChange(TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(static_cast<TNotifyPersistent*>(this)));
  return mark;
}

void TEditorMarks::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TEditorMarks*>(source);
  if (other == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  TUpdateBracket update(*this);
  SetEofMark(other->EofMark());
  SetRetMark(other->RetMark());
  SetWrapMark(other->WrapMark());
  SetHideMark(other->HideMark());
  SetUnderline(other->Underline());
}

const TClassInfo* TEditorMarks::StaticInfo() {
  using C = TEditorMarks;
  const TClassInfo* mark = TEditorMark::StaticInfo();
  static const TClassInfo info{"TEditorMarks", nullptr, {
      ObjectProp<C, &C::EofMark>("EofMark", mark),
      ObjectProp<C, &C::RetMark>("RetMark", mark),
      ObjectProp<C, &C::WrapMark>("WrapMark", mark),
      ObjectProp<C, &C::HideMark>("HideMark", mark),
      ObjectProp<C, &C::Underline>("Underline", mark),
  }};
  return &info;
}

}  // namespace corvida
