#pragma once
// The marks drawn in the text area: the end-of-text text, line-break and
// wrap arrows, the sign of text cut at the column limit and the line under
// the caret row.
#include <memory>

#include "editor/control/editor_setting_types.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {

class TEditorMark : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorMark)

  // clNone: the editor's font colour.
  TColor Color() const { return color_; }
  void SetColor(TColor value) { StoreSetting(*this, color_, value); }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { StoreSetting(*this, visible_, value); }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  TColor color_ = clGray;
  bool visible_ = false;
};

// A change of any mark is a change of the marks.
class TEditorMarks : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorMarks)
  TEditorMarks();
  ~TEditorMarks() override;

  // "[EOF]" after the last row.
  TEditorMark* EofMark() const { return eofMark_.get(); }
  void SetEofMark(const TEditorMark* value) { eofMark_->Assign(value); }
  // The line-break arrow.
  TEditorMark* RetMark() const { return retMark_.get(); }
  void SetRetMark(const TEditorMark* value) { retMark_->Assign(value); }
  // The wrap arrow.
  TEditorMark* WrapMark() const { return wrapMark_.get(); }
  void SetWrapMark(const TEditorMark* value) { wrapMark_->Assign(value); }
  // Text cut at the column limit.
  TEditorMark* HideMark() const { return hideMark_.get(); }
  void SetHideMark(const TEditorMark* value) { hideMark_->Assign(value); }
  // The line under the caret row.
  TEditorMark* Underline() const { return underline_.get(); }
  void SetUnderline(const TEditorMark* value) { underline_->Assign(value); }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::unique_ptr<TEditorMark> NewMark();

  std::unique_ptr<TEditorMark> eofMark_;
  std::unique_ptr<TEditorMark> retMark_;
  std::unique_ptr<TEditorMark> wrapMark_;
  std::unique_ptr<TEditorMark> hideMark_;
  std::unique_ptr<TEditorMark> underline_;
};

}  // namespace corvida
