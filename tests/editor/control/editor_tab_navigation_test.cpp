// A form holding the editor and a button: Tab leaves the editor for the
// button unless the editor wants tabs, when it inserts one.
#include <gtest/gtest.h>

#include "editor/control/editor_fixture.h"

namespace corvida {
namespace {

class EditorTabNavigationTest : public testing::EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    // The toolkit has no push button that takes the focus; a plain
    // focusable control stands in for one.
    button = new TCustomControl(form.get());
    button->SetParent(form.get());
    button->SetBounds(0, 140, 75, 25);
    button->SetTabOrder(1);
    editor->SetTabOrder(0);
    editor->Lines()->SetText("ab");
    editor->SetFocus();
    Run();
  }

  TCustomControl* button = nullptr;
};

TEST_F(EditorTabNavigationTest, TabLeavesAnEditorThatDoesNotWantTabs) {
  editor->SetWantTabs(false);
  EXPECT_EQ(editor->Window()->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
  PressTab();
  EXPECT_TRUE(button->Focused());
  EXPECT_EQ(editor->Lines()->GetTextStr(), "ab");
  PressTab(true);
  EXPECT_TRUE(editor->Focused());
  EXPECT_EQ(editor->Lines()->GetTextStr(), "ab");
}

TEST_F(EditorTabNavigationTest, TabInsertsATabWhenTheEditorWantsThem) {
  editor->SetWantTabs(true);
  editor->SetRowCol(0, 1);
  PressTab();
  EXPECT_TRUE(editor->Focused());
  EXPECT_EQ(editor->Lines()->GetTextStr(), "a\tb");
}

}  // namespace
}  // namespace corvida
