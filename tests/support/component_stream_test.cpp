#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/component.h"
#include "platform/rtl/font.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/typeinfo.h"
#include "support/stream_utils.h"

namespace corvida {
namespace {

class TSamplePanel : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TSamplePanel)
  using TComponent::TComponent;

  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  TFont* Font() const { return font_.get(); }

  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TSamplePanel", nullptr, {
        IntProp<TSamplePanel, &TSamplePanel::Width, &TSamplePanel::SetWidth>("Width"),
        StrProp<TSamplePanel, &TSamplePanel::Caption, &TSamplePanel::SetCaption>("Caption"),
        ObjectProp<TSamplePanel, &TSamplePanel::Font>("Font", TFont::StaticInfo()),
    }, [](TComponent* owner) -> TComponent* { return new TSamplePanel(owner); }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  int width_ = 0;
  std::string caption_;
  std::unique_ptr<TFont> font_ = std::make_unique<TFont>();
};

void Fill(TMemoryStream& stream, std::string_view bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

class ComponentStreamTest : public ::testing::Test {
 protected:
  ComponentStreamTest() {
    classes_.Register(TSamplePanel::StaticInfo());
    panel_ = new TSamplePanel(&owner_);
    panel_->SetName("Panel1");
    panel_->SetWidth(120);
    panel_->SetCaption("Open");
    panel_->Font()->SetColor(clNavy);
    child_ = new TSamplePanel(panel_);
    child_->SetName("Inner");
    child_->SetWidth(7);
  }

  TClassRegistry classes_;
  TComponent owner_{nullptr};
  TSamplePanel* panel_;
  TSamplePanel* child_;
};

TEST_F(ComponentStreamTest, StateWrittenToAStreamIsRestoredFromIt) {
  TMemoryStream stream;
  stream.WriteBuffer("pre", 3);
  WriteComponentToStream(*panel_, stream);
  panel_->SetWidth(1);
  panel_->SetCaption("changed");
  panel_->Font()->SetColor(clRed);
  child_->SetWidth(0);

  stream.SetPosition(3);
  EXPECT_TRUE(ReadComponentFromStream(stream, *panel_, classes_));
  EXPECT_EQ(panel_->Width(), 120);
  EXPECT_EQ(panel_->Caption(), "Open");
  EXPECT_EQ(panel_->Font()->Color(), clNavy);
  EXPECT_EQ(child_->Width(), 7);
  EXPECT_EQ(panel_->ComponentCount(), 1);
  EXPECT_EQ(owner_.ComponentCount(), 1);
}

TEST_F(ComponentStreamTest, AFailedReadLeavesStateAndNamesAsTheyWere) {
  for (const char* text : {"object Renamed: TSamplePanel\r\n  Width = 99\r\n  Caption = 5\r\nend\r\n",
                           "object Panel1: TSamplePanel\r\n  Width = 99\r\n  object Inner: TSamplePanel\r\n"
                           "    Width = 1\r\n    Nothing = 2\r\n  end\r\nend\r\n",
                           "object Panel1: TSamplePanel\r\n  Width = 99\r\n  object Extra: TSamplePanel\r\n"
                           "  end\r\n  Caption = \r\nend\r\n",
                           "\xff junk", "object Panel1: TSamplePanel\r\n  Width = 99\r\n"}) {
    TMemoryStream stream;
    Fill(stream, text);
    EXPECT_FALSE(ReadComponentFromStream(stream, *panel_, classes_)) << text;
    EXPECT_EQ(panel_->Name(), "Panel1");
    EXPECT_EQ(child_->Name(), "Inner");
    EXPECT_EQ(panel_->Width(), 120) << text;
    EXPECT_EQ(child_->Width(), 7);
    EXPECT_EQ(panel_->ComponentCount(), 1);
    EXPECT_FALSE(panel_->HasState(csLoading));
  }
}

TEST_F(ComponentStreamTest, TextOfAnotherClassCannotTakeTheControlsPlace) {
  class TOther : public TSamplePanel {
   public:
    using TSamplePanel::TSamplePanel;
    static const TClassInfo* StaticInfo() {
      static const TClassInfo info{"TOther", TSamplePanel::StaticInfo(), {},
                                   [](TComponent* owner) -> TComponent* { return new TOther(owner); }};
      return &info;
    }
    const TClassInfo* ClassInfo() const override { return StaticInfo(); }
  };
  classes_.Register(TOther::StaticInfo());
  TMemoryStream stream;
  Fill(stream, "object Other1: TOther\r\n  Width = 5\r\nend\r\n");
  EXPECT_FALSE(ReadComponentFromStream(stream, *panel_, classes_));
  EXPECT_EQ(panel_->ComponentCount(), 1);
  EXPECT_EQ(panel_->Width(), 120);
}

}  // namespace
}  // namespace corvida
