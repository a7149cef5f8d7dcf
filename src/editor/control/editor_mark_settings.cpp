#include "editor/control/editor_mark_settings.h"

#include "support/published_assign.h"

namespace corvida {

// TEditorMark

void TEditorMark::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
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
  if (!AssignSettings(*this, source)) TNotifyPersistent::Assign(source);
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
