#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/toolkit/menus.h"
#include "platform/toolkit/std_controls.h"
#include "platform/toolkit/toolkit_fixture.h"

namespace corvida {
namespace {

using testing::ToolkitTest;

TEST(ShortCutText, ParsesModifiersAndKeyNames) {
  EXPECT_EQ(TextToShortCut("Shift+Ctrl+3"), scShift | scCtrl | '3');
  EXPECT_EQ(TextToShortCut("Ctrl+Shift+3"), scShift | scCtrl | '3');
  EXPECT_EQ(TextToShortCut("Ctrl+Z"), scCtrl | 'Z');
  EXPECT_EQ(TextToShortCut("ctrl+z"), scCtrl | 'Z');
  EXPECT_EQ(TextToShortCut("Alt+F4"), scAlt | (VK_F1 + 3));
  EXPECT_EQ(TextToShortCut("Del"), VK_DELETE);
  EXPECT_EQ(TextToShortCut("Shift+PgDn"), scShift | VK_NEXT);
  for (const char* bad : {"", "Ctrl+", "Ctrl", "Ctrl+Foo", "F0", "F25", "Ctrl+%", "Hyper+A"})
    EXPECT_EQ(TextToShortCut(bad), scNone) << bad;
}

TEST(ShortCutText, WritesWhatItReads) {
  for (const char* text : {"Shift+Ctrl+3", "Ctrl+A", "F12", "Alt+Enter", "Shift+Del", "Ctrl+PgUp"})
    EXPECT_EQ(ShortCutToText(TextToShortCut(text)), text);
  EXPECT_EQ(ShortCutToText(scCtrl | 0xE5), "");
}

TEST(ShortCutText, StripHotkeyKeepsDoubleByteCharacters) {
  // "元に戻す(&U)"
  EXPECT_EQ(StripHotkey("\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(&U)"), "\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(U)");
  EXPECT_EQ(StripHotkey("Save && &Quit"), "Save & Quit");
}

TEST(MenuItems, OwnedAndUnownedItemsAreFreedOnce) {
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  auto* sub = new TMenuItem(menu.get());
  menu->Items()->Add(sub);
  auto* loose = new TMenuItem(nullptr);  // the parent item deletes it
  sub->Add(loose);
  auto* owned = new TMenuItem(menu.get());
  sub->Add(owned);
  EXPECT_THROW(sub->Add(owned), EInvalidOperation);
  EXPECT_THROW(owned->Add(sub), EInvalidOperation);
  delete owned;  // leaves its parent
  EXPECT_EQ(sub->Count(), 1);
  EXPECT_EQ(loose->Menu(), menu.get());
  menu.reset();  // ASan checks that nothing is freed twice
}

// A control with a popup menu: Undo (Ctrl+Z), a submenu of marks
// (Shift+Ctrl+digit, tags 0..9) and Paste (Ctrl+V), disabled by OnPopup.
class Recorder : public TObject {
 public:
  void Popup(TObject*) {
    log.push_back("popup");
    if (paste) paste->SetEnabled(pasteEnabled);
  }
  void Item(TObject* sender) { log.push_back("click " + static_cast<TMenuItem*>(sender)->Caption()); }
  void Mark(TObject* sender) { log.push_back("mark " + std::to_string(static_cast<TMenuItem*>(sender)->Tag())); }
  void Fail(TObject*) { throw EInvalidOperation("nothing to undo"); }
  void Key(TObject*, uint16_t& key, TShiftState) { log.push_back("key " + std::to_string(key)); }
  std::vector<std::string> log;
  TMenuItem* paste = nullptr;
  bool pasteEnabled = false;
};

class MenuRoutingTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    control = new TCustomControl(form.get());
    control->SetParent(form.get());
    control->SetBounds(0, 41, 300, 200);
    menu = new TPopupMenu(control);
    control->SetPopupMenu(menu);
    menu->SetOnPopup(TNotifyEvent::Of<&Recorder::Popup>(&rec));
    undo = Add(menu->Items(), "&Undo", "Ctrl+Z", TNotifyEvent::Of<&Recorder::Item>(&rec));
    marks = Add(menu->Items(), "Marks", "", {});
    for (int i = 0; i < 10; ++i) {
      std::string digit(1, static_cast<char>('0' + i));
      Add(marks, digit, "Shift+Ctrl+" + digit, TNotifyEvent::Of<&Recorder::Mark>(&rec))->SetTag(i);
    }
    rec.paste = Add(menu->Items(), "&Paste", "Ctrl+V", TNotifyEvent::Of<&Recorder::Item>(&rec));
    control->SetOnKeyDown(TKeyEvent::Of<&Recorder::Key>(&rec));
    form->Show();
    control->SetFocus();
  }

  TMenuItem* Add(TMenuItem* parent, const std::string& caption, const std::string& shortCut, TNotifyEvent click) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    item->SetShortCut(TextToShortCut(shortCut));
    item->SetOnClick(click);
    parent->Add(item);
    return item;
  }

  void Press(std::initializer_list<int> keys) {
    for (int vk : keys) InjectKeyDown(vk);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) InjectKeyUp(*it);
    Run();
  }

  TCustomControl* control = nullptr;
  TPopupMenu* menu = nullptr;
  TMenuItem* undo = nullptr;
  TMenuItem* marks = nullptr;
  Recorder rec;
};

TEST_F(MenuRoutingTest, AShortcutRunsOnPopupThenTheItemAndNeverReachesTheControl) {
  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"key 17", "popup", "click &Undo"}));
}

TEST_F(MenuRoutingTest, ASubmenuItemIsFoundThroughItsPath) {
  Press({VK_SHIFT, VK_CONTROL, '3'});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"key 16", "key 17", "popup", "mark 3"}));
}

TEST_F(MenuRoutingTest, ADisabledItemIsNotRunButItsKeyIsConsumed) {
  Press({VK_CONTROL, 'V'});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"key 17", "popup"}));
  rec.log.clear();
  rec.pasteEnabled = true;  // OnPopup decides, just before the item runs
  Press({VK_CONTROL, 'V'});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"key 17", "popup", "click &Paste"}));
}

TEST_F(MenuRoutingTest, KeysWithoutAShortcutReachTheControl) {
  Press({'Z'});
  Press({VK_CONTROL, 'Q'});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"key 90", "key 17", "key 81"}));
}

TEST_F(MenuRoutingTest, AFailingItemShowsTheErrorAndStillConsumesTheKey) {
  undo->SetOnClick(TNotifyEvent::Of<&Recorder::Fail>(&rec));
  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"key 17", "popup"}));
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].text, "nothing to undo.");
}

TEST_F(MenuRoutingTest, AChildOfTheControlUsesItsParentsMenu) {
  auto* inner = new TCustomControl(form.get());
  inner->SetParent(control);
  inner->SetBounds(10, 10, 50, 50);
  inner->SetFocus();
  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"popup", "click &Undo"}));
}

TEST_F(MenuRoutingTest, ARightClickShowsTheMenuAtThePointerAfterOnPopup) {
  menus.choice = undo;
  TPoint p = At(*control, 30, 40);
  InjectMouseDown(VK_RBUTTON, p);
  InjectMouseUp(VK_RBUTTON, p);
  Run();
  ASSERT_EQ(menus.shown.size(), 1u);
  EXPECT_EQ(menus.shown[0], p);
  EXPECT_EQ(rec.log, (std::vector<std::string>{"popup", "click &Undo"}));
  EXPECT_EQ(menu->PopupComponent(), control);

  rec.log.clear();
  menus.choice = rec.paste;  // disabled by OnPopup: choosing it does nothing
  InjectMouseDown(VK_RBUTTON, p);
  InjectMouseUp(VK_RBUTTON, p);
  Run();
  EXPECT_EQ(rec.log, (std::vector<std::string>{"popup"}));
}

TEST_F(MenuRoutingTest, TheMenuGoingAwayClearsTheControlsReference) {
  delete menu;
  EXPECT_EQ(control->PopupMenu(), nullptr);
  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"key 17", "key 90"}));
}

}  // namespace
}  // namespace corvida
