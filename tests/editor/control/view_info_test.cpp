#include "editor/control/editor_view_info.h"

#include <gtest/gtest.h>

#include <vector>

#include "editor/control/editor_fountain_link.h"
#include "editor/control/settings_host.h"

namespace corvida {
namespace {

using testing::TSettingsHost;

TEST(EditorViewInfo, QuotationKeepsOneSingleByteCharacter) {
  TSettingsHost host;
  TEditorViewInfo* view = host.View();
  view->SetQuotation("\"'");
  EXPECT_EQ(view->Quotation(), "\"");
  EXPECT_EQ(view->Fountain()->Quotation(), "\"");
  EXPECT_EQ(host.changes.size(), 1u);
  view->SetQuotation("\"");
  view->SetQuotation("\"x");
  EXPECT_EQ(host.changes.size(), 1u) << "the same first character is no change";
  view->SetQuotation("\x81\x75");  // a double-byte bracket cannot be a one-byte quote
  EXPECT_EQ(view->Quotation(), "");
  view->SetQuotation("");
  EXPECT_EQ(host.changes.size(), 2u);
}

// The fountain's own fields broadcast nothing; the view reports each change,
// and every broadcast of its fountain too.
TEST(EditorViewInfo, FountainChangesAreChangesOfTheView) {
  TSettingsHost host;
  TEditorViewInfo* view = host.View();
  view->SetCommenter("//");
  view->SetCommenter("//");
  view->SetHexPrefix("$");
  view->SetHexPrefix("$");
  for (bool on : {true, true, false}) {
    view->SetControlCode(on);
    view->SetMail(on);
    view->SetUrl(on);
  }
  EXPECT_EQ(host.changes.size(), 8u);
  EXPECT_EQ(view->Fountain()->Commenter(), "//");
  EXPECT_EQ(view->Fountain()->HexPrefix(), "$");

  host.changes.clear();
  view->Colors()->Int()->SetColor(clBlue);
  view->Fountain()->Reserve()->SetStyle(fsBold);
  TStringList words;
  words.Add("total");
  view->Fountain()->SetReserveWordList(&words);
  view->Fountain()->SetAllColor(clRed);
  EXPECT_EQ(host.changes, std::vector<TObject*>(4, view));
  EXPECT_EQ(view->GetOwner(), &host);
}

TEST(EditorViewInfo, TablesAssignedAsOneChange) {
  TSettingsHost source;
  TSettingsHost host;
  source.View()->Colors()->Comment()->SetColor(clGreen);
  source.View()->Colors()->Reserve()->SetColor(clBlue);
  host.View()->SetColors(source.View()->Colors());
  EXPECT_EQ(host.changes.size(), 1u) << "the reserved-word colour lives in the fountain, yet one change";
  EXPECT_EQ(host.View()->Colors()->Reserve()->Color(), clBlue);

  for (int i = 0; i < TFountainBracketCollection::kMaxBracketItems; ++i) source.View()->Brackets()->Add();
  host.changes.clear();
  host.View()->SetBrackets(source.View()->Brackets());
  EXPECT_EQ(host.changes.size(), 1u);
  EXPECT_EQ(host.View()->Brackets()->Count(), TFountainBracketCollection::kMaxBracketItems);
}

struct Listener : TObject {
  std::vector<TObject*> senders;
  void Handle(TObject* sender) { senders.push_back(sender); }
  TNotifyEvent Event() { return TNotifyEvent::Of<&Listener::Handle>(this); }
};

TEST(EditorFountainLink, AttachedFountainReportsToTheEditorUntilDetachedOrDestroyed) {
  TSettingsHost editor;
  Listener listener;
  TEditorFountainLink link(&editor, listener.Event());
  EXPECT_EQ(link.Active(*editor.View()), editor.View()->Fountain());

  TComponent form(nullptr);
  auto* shared = TFountain::Create<TEditorFountain>(&form);
  EXPECT_TRUE(link.Attach(shared));
  EXPECT_FALSE(link.Attach(shared)) << "the same fountain twice changes nothing";
  EXPECT_EQ(shared->NotifyEventList()->Count(), 1);
  EXPECT_EQ(link.Active(*editor.View()), shared);
  shared->Reserve()->SetColor(clBlue);
  EXPECT_EQ(listener.senders, std::vector<TObject*>{shared});

  EXPECT_TRUE(link.Attach(nullptr));
  EXPECT_EQ(shared->NotifyEventList()->Count(), 0);
  EXPECT_EQ(link.Active(*editor.View()), editor.View()->Fountain());

  EXPECT_FALSE(link.Removed(editor.View()->Fountain()));
}

// An editor drops a fountain that is destroyed while attached.
class TLinkedEditor : public TComponent {
 public:
  TLinkedEditor() : TComponent(nullptr), link(this, TNotifyEvent::Of<&TLinkedEditor::Handle>(this)) {}
  void Handle(TObject*) {}
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && link.Removed(component)) ++repaints;
  }
  TEditorFountainLink link;
  int repaints = 0;
};

TEST(EditorFountainLink, ADestroyedFountainIsDropped) {
  TLinkedEditor editor;
  auto fountain = std::unique_ptr<TEditorFountain>(TFountain::Create<TEditorFountain>(nullptr));
  editor.link.Attach(fountain.get());
  fountain.reset();
  EXPECT_EQ(editor.link.Fountain(), nullptr);
  EXPECT_EQ(editor.repaints, 1);

  auto other = std::unique_ptr<TEditorFountain>(TFountain::Create<TEditorFountain>(nullptr));
  {
    TLinkedEditor shortLived;
    shortLived.link.Attach(other.get());
  }
  EXPECT_EQ(other->NotifyEventList()->Count(), 0) << "a destroyed editor leaves no listener behind";
}

}  // namespace
}  // namespace corvida
