#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor/control/settings_host.h"
#include "platform/rtl/component_text.h"
#include "platform/rtl/exceptions.h"

namespace corvida {
namespace {

using testing::TSettingsHost;

// The stored text of the settings, without the fountain's colour table
// (its defaults belong to the fountain).
std::string SettingsText(TSettingsHost& host) {
  std::istringstream in(WriteComponentText(host));
  std::string text;
  for (std::string line; std::getline(in, line);)
    if (line.find("View.Colors.") == std::string::npos) text += line + "\n";
  return text;
}

TEST(EditorSettings, DefaultsAsStored) {
  TSettingsHost host;
  host.SetName("Editor1");
  EXPECT_EQ(SettingsText(host),
            "object Editor1: TSettingsHost\r\n"
            "  Caret.AutoCursor = True\r\n"
            "  Caret.AutoIndent = True\r\n"
            "  Caret.BackSpaceUnIndent = True\r\n"
            "  Caret.Cursors.DefaultCursor = crIBeam\r\n"
            "  Caret.Cursors.DragSelCursor = crDrag\r\n"
            "  Caret.Cursors.DragSelCopyCursor = 1959\r\n"
            "  Caret.Cursors.InSelCursor = crDefault\r\n"
            "  Caret.Cursors.LeftMarginCursor = 1958\r\n"
            "  Caret.Cursors.TopMarginCursor = crDefault\r\n"
            "  Caret.FreeCaret = True\r\n"
            "  Caret.FreeRow = False\r\n"
            "  Caret.InTab = False\r\n"
            "  Caret.KeepCaret = False\r\n"
            "  Caret.LockScroll = False\r\n"
            "  Caret.NextLine = False\r\n"
            "  Caret.PrevSpaceIndent = False\r\n"
            "  Caret.RowSelect = True\r\n"
            "  Caret.SelDragMode = dmAutomatic\r\n"
            "  Caret.SelMove = True\r\n"
            "  Caret.SoftTab = False\r\n"
            "  Caret.Style = csDefault\r\n"
            "  Caret.TabIndent = False\r\n"
            "  Caret.TabSpaceCount = 8\r\n"
            "  Caret.TokenEndStop = False\r\n"
            "  Imagebar.DigitWidth = 8\r\n"
            "  Imagebar.LeftMargin = 2\r\n"
            "  Imagebar.MarkWidth = 0\r\n"
            "  Imagebar.RightMargin = 2\r\n"
            "  Imagebar.Visible = True\r\n"
            "  Marks.EofMark.Color = clGray\r\n"
            "  Marks.EofMark.Visible = False\r\n"
            "  Marks.RetMark.Color = clGray\r\n"
            "  Marks.RetMark.Visible = False\r\n"
            "  Marks.WrapMark.Color = clGray\r\n"
            "  Marks.WrapMark.Visible = False\r\n"
            "  Marks.HideMark.Color = clGray\r\n"
            "  Marks.HideMark.Visible = False\r\n"
            "  Marks.Underline.Color = clGray\r\n"
            "  Marks.Underline.Visible = False\r\n"
            "  Margin.Character = 0\r\n"
            "  Margin.Left = 19\r\n"
            "  Margin.Line = 0\r\n"
            "  Margin.Top = 2\r\n"
            "  Leftbar.BkColor = clSilver\r\n"
            "  Leftbar.Color = clBlack\r\n"
            "  Leftbar.Column = 4\r\n"
            "  Leftbar.Edge = True\r\n"
            "  Leftbar.LeftMargin = 8\r\n"
            "  Leftbar.RightMargin = 4\r\n"
            "  Leftbar.ShowNumber = True\r\n"
            "  Leftbar.ShowNumberMode = nmRow\r\n"
            "  Leftbar.Visible = False\r\n"
            "  Leftbar.ZeroBase = False\r\n"
            "  Leftbar.ZeroLead = False\r\n"
            "  Ruler.BkColor = clSilver\r\n"
            "  Ruler.Color = clBlack\r\n"
            "  Ruler.Edge = True\r\n"
            "  Ruler.GaugeRange = 10\r\n"
            "  Ruler.MarkColor = clBlack\r\n"
            "  Ruler.Visible = False\r\n"
            "  Speed.CaretVerticalAc = 2\r\n"
            "  Speed.InitBracketsFull = False\r\n"
            "  Speed.PageVerticalRange = 2\r\n"
            "  Speed.PageVerticalRangeAc = 2\r\n"
            "  View.Brackets = <>\r\n"
            "  View.Commenter = ''\r\n"
            "  View.ControlCode = False\r\n"
            "  View.HexPrefix = ''\r\n"
            "  View.Mail = False\r\n"
            "  View.Quotation = ''\r\n"
            "  View.Url = False\r\n"
            "end\r\n");
  EXPECT_EQ(host.Margin()->UnderlinePixel(), 0);
}

// Every stored ordinal and string property of obj and of its sub-objects,
// with the object that holds it and its dotted name.
struct Prop {
  TPersistent* holder;
  const TPropInfo* info;
  std::string name;
};

void CollectProps(TPersistent* obj, const std::string& prefix, std::vector<Prop>& out) {
  for (const TPropInfo* p : obj->ClassInfo()->AllProps()) {
    if (p->kind != pkObject) {
      out.push_back({obj, p, prefix + p->name});
    } else if (TPersistent* sub = p->getObject(obj); sub->ClassInfo() != nullptr) {
      CollectProps(sub, prefix + p->name + ".", out);
    }
  }
}

// Sets a property to a different value where the setter accepts one.
void ChangeValue(const Prop& p) {
  if (p.info->kind == pkString) {
    p.info->setStr(p.holder, p.info->getStr(p.holder) == "'" ? "\"" : "'");
    return;
  }
  const int64_t v = p.info->getOrd(p.holder);
  if (p.info->kind == pkInteger) {
    p.info->setOrd(p.holder, v - 2);
    if (p.info->getOrd(p.holder) == v) p.info->setOrd(p.holder, v + 2);
  } else {
    p.info->setOrd(p.holder, v == 0 ? 1 : 0);
  }
}

// Setting the current value again reports nothing; a new value reports one
// change, except for the caret's flags, which are read when used.
TEST(EditorSettings, OnlyRealChangesAreReported) {
  TSettingsHost host;
  std::vector<Prop> props;
  CollectProps(&host, "", props);
  ASSERT_GT(props.size(), 60u);

  std::set<std::string> reported;
  for (const Prop& p : props) {
    if (p.name.starts_with("View.Colors.") || p.name.starts_with("Caret.Cursors.")) continue;
    host.changes.clear();
    if (p.info->kind == pkString) {
      p.info->setStr(p.holder, p.info->getStr(p.holder));
    } else {
      p.info->setOrd(p.holder, p.info->getOrd(p.holder));
    }
    EXPECT_TRUE(host.changes.empty()) << p.name;

    const int64_t before = p.info->kind == pkString ? 0 : p.info->getOrd(p.holder);
    const std::string beforeText = p.info->kind == pkString ? p.info->getStr(p.holder) : "";
    ChangeValue(p);
    const bool changed = p.info->kind == pkString ? p.info->getStr(p.holder) != beforeText
                                                  : p.info->getOrd(p.holder) != before;
    EXPECT_TRUE(changed) << p.name;
    EXPECT_LE(host.changes.size(), 1u) << p.name;
    if (!host.changes.empty()) reported.insert(p.name);
  }
  const std::set<std::string> quiet = {
      "Caret.AutoCursor", "Caret.AutoIndent", "Caret.BackSpaceUnIndent", "Caret.FreeCaret", "Caret.FreeRow",
      "Caret.InTab", "Caret.KeepCaret", "Caret.LockScroll", "Caret.NextLine", "Caret.PrevSpaceIndent",
      "Caret.RowSelect", "Caret.SelDragMode", "Caret.SelMove", "Caret.SoftTab", "Caret.TabIndent",
      "Caret.TokenEndStop", "Speed.CaretVerticalAc", "Speed.InitBracketsFull", "Speed.PageVerticalRange",
      "Speed.PageVerticalRangeAc"};
  for (const Prop& p : props) {
    if (p.name.starts_with("View.Colors.") || p.name.starts_with("Caret.Cursors.")) continue;
    EXPECT_EQ(reported.count(p.name), quiet.count(p.name) == 0 ? 1u : 0u) << p.name;
  }
}

TEST(EditorSettings, CursorChangesAreReportedByTheCursorsAlone) {
  TSettingsHost host;
  TEditorCursors* cursors = host.Caret()->Cursors();
  int count = 0;
  struct Counter : TObject {
    int* n;
    void Count(TObject*) { ++*n; }
  } counter;
  counter.n = &count;
  cursors->SetOnChange(TNotifyEvent::Of<&Counter::Count>(&counter));
  cursors->SetDefaultCursor(crIBeam);
  EXPECT_EQ(count, 0);
  cursors->SetDefaultCursor(crArrow);
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(host.changes.empty()) << "the caret does not hear its cursors";
}

struct Clamp {
  const char* name;
  int input;
  int stored;
};

TEST(EditorSettings, IntegersAreClampedIntoTheirRanges) {
  const Clamp cases[] = {
      {"Caret.TabSpaceCount", 5, 4},  {"Caret.TabSpaceCount", 1, 2},   {"Caret.TabSpaceCount", 9, 8},
      {"Caret.TabSpaceCount", -7, 2}, {"Ruler.GaugeRange", 9, 8},      {"Ruler.GaugeRange", 12, 10},
      {"Ruler.GaugeRange", 3, 8},     {"Leftbar.Column", 0, 1},        {"Leftbar.Column", 20, 8},
      {"Leftbar.LeftMargin", 101, 100}, {"Leftbar.RightMargin", -1, 0}, {"Margin.Top", -3, 0},
      {"Margin.Character", 500, 100}, {"Margin.Left", 100, 100},       {"Margin.Line", -1, 0},
      {"Imagebar.DigitWidth", 101, 100}, {"Imagebar.LeftMargin", -5, 0}, {"Imagebar.MarkWidth", 250, 100},
      {"Imagebar.RightMargin", -1, 0}, {"Speed.CaretVerticalAc", 0, 1}, {"Speed.PageVerticalRange", 9, 4},
      {"Speed.PageVerticalRangeAc", -2, 1},
  };
  TSettingsHost host;
  std::vector<Prop> props;
  CollectProps(&host, "", props);
  for (const Clamp& c : cases) {
    auto it = std::find_if(props.begin(), props.end(), [&](const Prop& p) { return p.name == c.name; });
    ASSERT_NE(it, props.end()) << c.name;
    it->info->setOrd(it->holder, c.input);
    EXPECT_EQ(it->info->getOrd(it->holder), c.stored) << c.name << " := " << c.input;
  }
}

// Gives every stored property of host a value other than its default.
void SetAllOtherThanDefault(TSettingsHost& host) {
  TEditorCaret* c = host.Caret();
  c->SetAutoCursor(false);
  c->SetAutoIndent(false);
  c->SetBackSpaceUnIndent(false);
  c->Cursors()->SetDefaultCursor(crArrow);
  c->Cursors()->SetDragSelCursor(crMultiDrag);
  c->Cursors()->SetDragSelCopyCursor(crHandPoint);
  c->Cursors()->SetInSelCursor(crCross);
  c->Cursors()->SetLeftMarginCursor(1234);
  c->Cursors()->SetTopMarginCursor(crSizeAll);
  c->SetFreeCaret(false);
  c->SetFreeRow(true);
  c->SetInTab(true);
  c->SetKeepCaret(true);
  c->SetLockScroll(true);
  c->SetNextLine(true);
  c->SetPrevSpaceIndent(true);
  c->SetRowSelect(false);
  c->SetSelDragMode(dmManual);
  c->SetSelMove(false);
  c->SetSoftTab(true);
  c->SetStyle(csBrief);
  c->SetTabIndent(true);
  c->SetTabSpaceCount(4);
  c->SetTokenEndStop(true);
  for (TEditorMark* m : {host.Marks()->EofMark(), host.Marks()->RetMark(), host.Marks()->WrapMark(),
                         host.Marks()->HideMark(), host.Marks()->Underline()}) {
    m->SetColor(m == host.Marks()->Underline() ? clNone : clTeal);
    m->SetVisible(true);
  }
  host.Margin()->SetCharacter(1);
  host.Margin()->SetLeft(7);
  host.Margin()->SetLine(3);
  host.Margin()->SetTop(0);
  host.Ruler()->SetBkColor(clNone);
  host.Ruler()->SetColor(clMaroon);
  host.Ruler()->SetEdge(false);
  host.Ruler()->SetGaugeRange(8);
  host.Ruler()->SetMarkColor(clNavy);
  host.Ruler()->SetVisible(true);
  TEditorLeftbar* l = host.Leftbar();
  l->SetBkColor(clBtnFace);
  l->SetColor(0x123456);
  l->SetColumn(6);
  l->SetEdge(false);
  l->SetLeftMargin(0);
  l->SetRightMargin(9);
  l->SetShowNumber(false);
  l->SetShowNumberMode(nmLine);
  l->SetVisible(true);
  l->SetZeroBase(true);
  l->SetZeroLead(true);
  host.Imagebar()->SetDigitWidth(10);
  host.Imagebar()->SetLeftMargin(1);
  host.Imagebar()->SetMarkWidth(11);
  host.Imagebar()->SetRightMargin(3);
  host.Imagebar()->SetVisible(false);
  host.Speed()->SetCaretVerticalAc(4);
  host.Speed()->SetInitBracketsFull(true);
  host.Speed()->SetPageVerticalRange(1);
  host.Speed()->SetPageVerticalRangeAc(3);
  TEditorViewInfo* v = host.View();
  TFountainBracketItem* item = v->Brackets()->Add();
  item->SetLeftBracket("/*");
  item->SetRightBracket("*/");
  item->ItemColor()->SetColor(clGreen);
  item->ItemColor()->SetStyle(fsItalic | fsBold);
  v->Colors()->Int()->SetColor(clBlue);
  v->Colors()->Reserve()->SetBkColor(clYellow);
  v->Colors()->Select()->SetStyle(fsUnderline);
  v->SetCommenter("//");
  v->SetControlCode(true);
  v->SetHexPrefix("0x");
  v->SetMail(true);
  v->SetQuotation("'");
  v->SetUrl(true);
}

TEST(EditorSettings, ComponentTextRoundTripOfEveryValue) {
  TSettingsHost source;
  source.SetName("Editor1");
  SetAllOtherThanDefault(source);
  const std::string text = WriteComponentText(source);
  for (const char* line : {"Caret.Style = csBrief\r\n", "Caret.SelDragMode = dmManual\r\n",
                           "Caret.Cursors.DefaultCursor = crArrow\r\n", "Caret.Cursors.LeftMarginCursor = 1234\r\n",
                           "Leftbar.ShowNumberMode = nmLine\r\n", "Leftbar.BkColor = clBtnFace\r\n",
                           "Marks.Underline.Color = clNone\r\n", "View.Quotation = ''''\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;

  TSettingsHost target;
  target.SetName("Editor1");
  TClassRegistry classes;
  ReadComponentText(text, target, classes);
  EXPECT_EQ(WriteComponentText(target), text);
  EXPECT_EQ(target.View()->Brackets()->Count(), 1);

  TSettingsHost defaults;
  defaults.SetName("Editor1");
  std::istringstream in(SettingsText(defaults));
  for (std::string line; std::getline(in, line);)
    if (line.find(" = ") != std::string::npos) EXPECT_EQ(text.find(line + "\n"), std::string::npos) << line;
}

// Assigning a whole settings object reports one change, and copies every
// value.
TEST(EditorSettings, AssignCopiesEverythingAsOneChange) {
  TSettingsHost source;
  SetAllOtherThanDefault(source);
  TSettingsHost target;
  target.SetName("Editor1");
  source.SetName("Editor1");
  const std::vector<TNotifyPersistent*> from = source.Notifying();
  const std::vector<TNotifyPersistent*> to = target.Notifying();
  for (size_t i = 0; i < to.size(); ++i) {
    target.changes.clear();
    to[i]->Assign(from[i]);
    EXPECT_EQ(target.changes, std::vector<TObject*>{to[i]}) << to[i]->ClassName();
  }
  target.Speed()->Assign(source.Speed());
  EXPECT_EQ(WriteComponentText(target), WriteComponentText(source));

  target.changes.clear();
  target.Marks()->SetUnderline(source.Marks()->EofMark());
  EXPECT_EQ(target.changes, std::vector<TObject*>{target.Marks()}) << "a sub-object setter assigns into it";
  EXPECT_EQ(target.Marks()->Underline()->Color(), clTeal);
}

TEST(EditorSettings, AssignFromAnotherClassIsRefused) {
  TSettingsHost host;
  for (TNotifyPersistent* s : host.Notifying()) {
    EXPECT_THROW(s->Assign(host.Speed()), EConvertError) << s->ClassName();
    EXPECT_THROW(s->Assign(nullptr), EConvertError) << s->ClassName();
  }
  EXPECT_THROW(host.Speed()->Assign(host.Ruler()), EConvertError);
  EXPECT_TRUE(host.changes.empty());
}

}  // namespace
}  // namespace corvida
