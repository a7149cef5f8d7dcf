#pragma once
// A component that owns one editor's settings objects as the editor does and
// records every change they report, for tests that have no editor window.
#include <memory>
#include <string>
#include <vector>

#include "editor/control/editor_bar_settings.h"
#include "editor/control/editor_caret_settings.h"
#include "editor/control/editor_mark_settings.h"
#include "editor/control/editor_settings_change.h"
#include "editor/control/editor_speed.h"
#include "editor/control/editor_view_info.h"
#include "platform/rtl/component.h"

namespace corvida::testing {

class TSettingsHost : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TSettingsHost)
  explicit TSettingsHost(TComponent* owner = nullptr) : TComponent(owner), view_(TEditorViewInfo::Create(this)) {
    for (TNotifyPersistent* s : Notifying()) s->SetOnChange(TNotifyEvent::Of<&TSettingsHost::Record>(this));
  }

  TEditorCaret* Caret() const { return caret_.get(); }
  TEditorMarks* Marks() const { return marks_.get(); }
  TEditorMargin* Margin() const { return margin_.get(); }
  TEditorViewInfo* View() const { return view_.get(); }
  TEditorRuler* Ruler() const { return ruler_.get(); }
  TEditorLeftbar* Leftbar() const { return leftbar_.get(); }
  TEditorImagebar* Imagebar() const { return imagebar_.get(); }
  TEditorSpeed* Speed() const { return speed_.get(); }

  std::vector<TNotifyPersistent*> Notifying() const {
    return {caret_.get(), marks_.get(), margin_.get(), view_.get(), ruler_.get(), leftbar_.get(), imagebar_.get()};
  }
  TEditorSettingsSet Set() const {
    return {caret_.get(), marks_.get(), margin_.get(), view_.get(), leftbar_.get(), ruler_.get(), imagebar_.get()};
  }

  void Record(TObject* sender) { changes.push_back(sender); }
  std::vector<TObject*> changes;

  static const TClassInfo* StaticInfo() {
    using C = TSettingsHost;
    static const TClassInfo info{"TSettingsHost", nullptr, {
        ObjectProp<C, &C::Caret>("Caret", TEditorCaret::StaticInfo()),
        ObjectProp<C, &C::Imagebar>("Imagebar", TEditorImagebar::StaticInfo()),
        ObjectProp<C, &C::Marks>("Marks", TEditorMarks::StaticInfo()),
        ObjectProp<C, &C::Margin>("Margin", TEditorMargin::StaticInfo()),
        ObjectProp<C, &C::Leftbar>("Leftbar", TEditorLeftbar::StaticInfo()),
        ObjectProp<C, &C::Ruler>("Ruler", TEditorRuler::StaticInfo()),
        ObjectProp<C, &C::Speed>("Speed", TEditorSpeed::StaticInfo()),
        ObjectProp<C, &C::View>("View", TEditorViewInfo::StaticInfo()),
    }, [](TComponent* owner) -> TComponent* { return new TSettingsHost(owner); }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::unique_ptr<TEditorCaret> caret_ = std::make_unique<TEditorCaret>();
  std::unique_ptr<TEditorMarks> marks_ = std::make_unique<TEditorMarks>();
  std::unique_ptr<TEditorMargin> margin_ = std::make_unique<TEditorMargin>();
  std::unique_ptr<TEditorViewInfo> view_;
  std::unique_ptr<TEditorRuler> ruler_ = std::make_unique<TEditorRuler>();
  std::unique_ptr<TEditorLeftbar> leftbar_ = std::make_unique<TEditorLeftbar>();
  std::unique_ptr<TEditorImagebar> imagebar_ = std::make_unique<TEditorImagebar>();
  std::unique_ptr<TEditorSpeed> speed_ = std::make_unique<TEditorSpeed>();
};

// Records the editor operations a change runs.
class TRecordingHost : public TEditorSettingsHost {
 public:
  bool HandleAllocated() const override { return window; }
  void InitScan() override { calls.push_back("InitScan"); }
  void UpdateMetrics() override { calls.push_back("Metrics"); }
  void InitScroll() override { calls.push_back("InitScroll"); }
  void BuildLeftbarEdge() override { calls.push_back("LeftbarEdge"); }
  void RebuildRuler() override { calls.push_back("Ruler"); }
  void BuildMarginBitmap() override { calls.push_back("Margin"); }
  void InvalidateAll() override { calls.push_back("Invalidate"); }
  void ClearUndo() override { calls.push_back("ClearUndo"); }
  void UpdateCaret() override { calls.push_back("UpdateCaret"); }
  void ScrollCaret() override { calls.push_back("ScrollCaret"); }
  void PlaceCaret() override { calls.push_back("PlaceCaret"); }

  bool window = true;
  std::vector<std::string> calls;
};

}  // namespace corvida::testing
