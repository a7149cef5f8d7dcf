// Lines travel in the component text as their "Strings": one string per
// logical line, whatever the wrapping, and read back as unwrapped rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/model/fake_view.h"
#include "platform/rtl/component.h"
#include "platform/rtl/component_text.h"
#include "platform/rtl/typeinfo.h"

namespace corvida {
namespace {

using testing::FakeView;
using testing::Rows;

class TLinesHolder : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TLinesHolder)
  using TComponent::TComponent;

  TEditorStrings* Lines() { return &view.Lines(); }

  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{
        "TLinesHolder",
        nullptr,
        {ObjectProp<TLinesHolder, &TLinesHolder::Lines>("Lines", nullptr)}};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

  FakeView view;
};

TEST(LinesStream, WrappedLinesRoundTripAsLogicalLines) {
  TLinesHolder source(nullptr);
  source.SetName("Holder");
  source.view.Store().SetWordWrap(true);
  source.view.Store().WrapOption().SetWrapByte(20);
  source.Lines()->SetText(std::string(45, 'a') + "\r\n\x8a\xbf\x8e\x9a\r\n");
  const std::string text = WriteComponentText(source);
  EXPECT_NE(text.find("Lines.Strings = ("), std::string::npos) << text;

  TLinesHolder target(nullptr);
  target.view.loading = true;
  TClassRegistry registry;
  registry.Register(TLinesHolder::StaticInfo());
  ReadComponentText(text, target, registry);
  EXPECT_EQ(Rows(target.view.Store()),
            (std::vector<std::string>{std::string(45, 'a') + "|c", "\x8a\xbf\x8e\x9a|c"}));
  EXPECT_FALSE(target.view.Store().UndoObj().CanUndo());
}

}  // namespace
}  // namespace corvida
