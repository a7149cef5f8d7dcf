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
  view->SetReserveWordList(&words);
  view->SetReserveWordList(&words);
  view->Fountain()->SetAllColor(clRed);
  EXPECT_EQ(host.changes, std::vector<TObject*>(4, view)) << "an equal word list is no change";
  EXPECT_EQ(view->Fountain()->ReserveWordList()->Count(), 1);
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

}

// An editor as far as its fountain goes: it hears the fountain's changes
// and drops a fountain that is destroyed.
class TLinkedEditor : public TComponent {
 public:
  TLinkedEditor() : TComponent(nullptr), link(this, TNotifyEvent::Of<&TLinkedEditor::Heard>(this)) {}
  void Heard(TObject* sender) { senders.push_back(sender); }
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && link.Removed(component)) ++repaints;
  }
  TEditorFountainLink link;
  std::vector<TObject*> senders;
  int repaints = 0;
};

TEST(EditorFountainLink, AnAttachedFountainIsHeardUntilDetachedOrDestroyed) {
  TLinkedEditor editor;
  std::unique_ptr<TEditorViewInfo> view = TEditorViewInfo::Create(nullptr);
  EXPECT_EQ(editor.link.Active(*view), view->Fountain());
  std::unique_ptr<TEditorFountain> shared(TFountain::Create<TEditorFountain>(nullptr));
  EXPECT_TRUE(editor.link.Attach(shared.get()));
  EXPECT_FALSE(editor.link.Attach(shared.get())) << "the same fountain twice changes nothing";
  EXPECT_EQ(editor.link.Active(*view), shared.get());
  shared->Reserve()->SetColor(clBlue);
  EXPECT_EQ(editor.senders, std::vector<TObject*>{shared.get()});

  EXPECT_TRUE(editor.link.Attach(nullptr));
  EXPECT_EQ(shared->NotifyEventList()->Count(), 0);
  EXPECT_EQ(editor.link.Active(*view), view->Fountain());

  editor.link.Attach(shared.get());
  shared.reset();
  EXPECT_EQ(editor.link.Fountain(), nullptr);
  EXPECT_EQ(editor.repaints, 1);

  std::unique_ptr<TEditorFountain> other(TFountain::Create<TEditorFountain>(nullptr));
  {
    TLinkedEditor shortLived;
    shortLived.link.Attach(other.get());
  }
  EXPECT_EQ(other->NotifyEventList()->Count(), 0) << "a destroyed editor leaves no listener behind";
}

}  // namespace
}  // namespace corvida
