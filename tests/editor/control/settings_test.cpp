#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor/control/settings_host.h"
#include "platform/rtl/component_text.h"
#include "platform/rtl/exceptions.h"

namespace corvida {
namespace {

using testing::TRecordingHost;
using testing::TSettingsHost;

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

std::vector<Prop> Props(TSettingsHost& host) {
  std::vector<Prop> props;
  CollectProps(&host, "", props);
  return props;
}

std::string Value(const Prop& p) {
  return p.info->kind == pkString ? p.info->getStr(p.holder) : std::to_string(p.info->getOrd(p.holder));
}

// Sets a property to a value other than its present one that its setter
// accepts.
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

// Every stored value other than its default, and a bracket.
void ChangeEverything(TSettingsHost& host) {
  for (const Prop& p : Props(host)) ChangeValue(p);
  TFountainBracketItem* item = host.View()->Brackets()->Add();
  item->SetLeftBracket("/*");
  item->SetRightBracket("*/");
  item->ItemColor()->SetStyle(fsItalic | fsBold);
}

bool Quiet(const std::string& name) {
  // The caret's flags are read when used; the speed settings report nothing.
  static const std::set<std::string> quiet = {
      "Caret.AutoCursor", "Caret.AutoIndent", "Caret.BackSpaceUnIndent", "Caret.FreeCaret", "Caret.FreeRow",
      "Caret.InTab", "Caret.KeepCaret", "Caret.LockScroll", "Caret.NextLine", "Caret.PrevSpaceIndent",
      "Caret.RowSelect", "Caret.SelDragMode", "Caret.SelMove", "Caret.SoftTab", "Caret.TabIndent",
      "Caret.TokenEndStop"};
  return quiet.count(name) != 0 || name.starts_with("Speed.");
}

// Setting the present value again reports nothing; a new value reports one
// change of the settings object that holds it (the cursors are heard by
// nobody).
TEST(EditorSettings, OnlyRealChangesAreReported) {
  TSettingsHost host;
  std::vector<Prop> props = Props(host);
  ASSERT_GT(props.size(), 90u);
  for (const Prop& p : props) {
    host.changes.clear();
    if (p.info->kind == pkString) {
      p.info->setStr(p.holder, p.info->getStr(p.holder));
    } else {
      p.info->setOrd(p.holder, p.info->getOrd(p.holder));
    }
    EXPECT_TRUE(host.changes.empty()) << p.name;

    const std::string before = Value(p);
    ChangeValue(p);
    EXPECT_NE(Value(p), before) << p.name;
    const bool heard = !Quiet(p.name) && !p.name.starts_with("Caret.Cursors.");
    EXPECT_EQ(host.changes.size(), heard ? 1u : 0u) << p.name;
  }
}

TEST(EditorSettings, IntegersAreClampedIntoTheirRanges) {
  const struct {
    const char* name;
    int input;
    int stored;
  } cases[] = {
      {"Caret.TabSpaceCount", 5, 4},    {"Caret.TabSpaceCount", 1, 2},    {"Caret.TabSpaceCount", 9, 8},
      {"Ruler.GaugeRange", 9, 8},       {"Ruler.GaugeRange", 12, 10},     {"Leftbar.Column", 0, 1},
      {"Leftbar.Column", 20, 8},        {"Leftbar.RightMargin", 101, 100}, {"Margin.Top", -3, 0},
      {"Margin.Line", 500, 100},        {"Imagebar.MarkWidth", -5, 0},     {"Imagebar.DigitWidth", 250, 100},
      {"Speed.CaretVerticalAc", 0, 1},  {"Speed.PageVerticalRangeAc", 9, 4},
  };
  TSettingsHost host;
  const std::vector<Prop> props = Props(host);
  for (const auto& c : cases) {
    auto it = std::find_if(props.begin(), props.end(), [&](const Prop& p) { return p.name == c.name; });
    ASSERT_NE(it, props.end()) << c.name;
    it->info->setOrd(it->holder, c.input);
    EXPECT_EQ(it->info->getOrd(it->holder), c.stored) << c.name << " := " << c.input;
  }
}

TEST(EditorSettings, ComponentTextRoundTripOfEveryValue) {
  TSettingsHost source;
  source.SetName("Editor1");
  ChangeEverything(source);
  const std::string text = WriteComponentText(source);
  for (const char* line : {"Caret.Style = csBrief\r\n", "Caret.SelDragMode = dmManual\r\n",
                           "Caret.Cursors.DefaultCursor = crSizeNESW\r\n", "Caret.Cursors.DragSelCopyCursor = 1957\r\n",
                           "Leftbar.ShowNumberMode = nmLine\r\n", "View.Quotation = ''''\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;

  TSettingsHost target;
  target.SetName("Editor1");
  TClassRegistry classes;
  ReadComponentText(text, target, classes);
  EXPECT_EQ(WriteComponentText(target), text);
  EXPECT_EQ(target.View()->Brackets()->Count(), 1);

  EXPECT_THROW(ReadComponentText("object Editor1: TSettingsHost\r\n  Caret.Cursors.InSelCursor = 40000\r\nend\r\n",
                                 target, classes),
               EReadError) << "a pointer shape has 16 bits";
}

TEST(EditorSettings, AssignCopiesEverythingAsOneChange) {
  TSettingsHost source;
  TSettingsHost target;
  source.SetName("Editor1");
  target.SetName("Editor1");
  ChangeEverything(source);
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
  source.Marks()->EofMark()->SetColor(clTeal);
  target.Marks()->SetUnderline(source.Marks()->EofMark());
  EXPECT_EQ(target.changes, std::vector<TObject*>{target.Marks()}) << "a sub-object setter assigns into it";
  EXPECT_EQ(target.Marks()->Underline()->Color(), clTeal);
}

// The underline pixel is not published, yet it goes along with an Assign
// and is in place when the one change is reported: the editor recomputes
// its row pitch from it then.
TEST(EditorSettings, MarginAssignCarriesTheUnderlinePixelBeforeItsChange) {
  struct Listener {
    void Changed(TObject*) { seen.push_back(margin->UnderlinePixel()); }
    const TEditorMargin* margin;
    std::vector<int> seen;
  };
  TEditorMargin source;
  source.SetUnderlinePixel(true);
  source.SetLine(3);
  TEditorMargin target;
  Listener listener{&target, {}};
  target.SetOnChange(TNotifyEvent::Of<&Listener::Changed>(&listener));
  target.Assign(&source);
  EXPECT_EQ(listener.seen, std::vector<int>{1});
  EXPECT_EQ(target.Line(), 3);
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

// The report pane's settings as the main window stores them.
constexpr char kEditor1Settings[] =
    "object Editor1: TSettingsHost\r\n"
    "  Caret.AutoCursor = True\r\n  Caret.AutoIndent = True\r\n  Caret.BackSpaceUnIndent = True\r\n"
    "  Caret.Cursors.DefaultCursor = crIBeam\r\n  Caret.Cursors.DragSelCursor = crDrag\r\n"
    "  Caret.Cursors.DragSelCopyCursor = 1959\r\n  Caret.Cursors.InSelCursor = crDefault\r\n"
    "  Caret.Cursors.LeftMarginCursor = 1958\r\n  Caret.Cursors.TopMarginCursor = crDefault\r\n"
    "  Caret.FreeCaret = True\r\n  Caret.FreeRow = False\r\n  Caret.InTab = False\r\n  Caret.KeepCaret = False\r\n"
    "  Caret.LockScroll = False\r\n  Caret.NextLine = False\r\n  Caret.PrevSpaceIndent = False\r\n"
    "  Caret.RowSelect = True\r\n  Caret.SelDragMode = dmAutomatic\r\n  Caret.SelMove = True\r\n"
    "  Caret.SoftTab = False\r\n  Caret.Style = csDefault\r\n  Caret.TabIndent = False\r\n"
    "  Caret.TabSpaceCount = 8\r\n  Caret.TokenEndStop = False\r\n"
    "  Imagebar.DigitWidth = 8\r\n  Imagebar.LeftMargin = 2\r\n  Imagebar.MarkWidth = 0\r\n"
    "  Imagebar.RightMargin = 2\r\n  Imagebar.Visible = True\r\n"
    "  Marks.EofMark.Color = clSilver\r\n  Marks.EofMark.Visible = True\r\n"
    "  Marks.RetMark.Color = clGray\r\n  Marks.RetMark.Visible = True\r\n"
    "  Marks.WrapMark.Color = clGray\r\n  Marks.WrapMark.Visible = False\r\n"
    "  Marks.HideMark.Color = clGray\r\n  Marks.HideMark.Visible = False\r\n"
    "  Marks.Underline.Color = clGray\r\n  Marks.Underline.Visible = True\r\n"
    "  Margin.Character = 0\r\n  Margin.Left = 19\r\n  Margin.Line = 0\r\n  Margin.Top = 2\r\n"
    "  Leftbar.BkColor = clSilver\r\n  Leftbar.Color = clBlack\r\n  Leftbar.Column = 4\r\n  Leftbar.Edge = True\r\n"
    "  Leftbar.LeftMargin = 8\r\n  Leftbar.RightMargin = 4\r\n  Leftbar.ShowNumber = True\r\n"
    "  Leftbar.ShowNumberMode = nmRow\r\n  Leftbar.Visible = True\r\n  Leftbar.ZeroBase = False\r\n"
    "  Leftbar.ZeroLead = False\r\n"
    "  Ruler.BkColor = clSilver\r\n  Ruler.Color = clBlack\r\n  Ruler.Edge = True\r\n  Ruler.GaugeRange = 10\r\n"
    "  Ruler.MarkColor = clNavy\r\n  Ruler.Visible = True\r\n"
    "  Speed.CaretVerticalAc = 2\r\n  Speed.InitBracketsFull = False\r\n  Speed.PageVerticalRange = 2\r\n"
    "  Speed.PageVerticalRangeAc = 2\r\n"
    "  View.Brackets = <>\r\n"
    "  View.Colors.Comment.Color = clBlack\r\n  View.Colors.Int.Color = clBlue\r\n"
    "  View.Colors.Reserve.Color = clBlue\r\n  View.Colors.Select.BkColor = clNavy\r\n"
    "  View.Colors.Select.Color = clWhite\r\n"
    "  View.Commenter = '//'\r\n  View.ControlCode = False\r\n  View.Mail = False\r\n"
    "  View.Quotation = '\"'\r\n  View.Url = False\r\n"
    "end\r\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.size() - 1));
  return lines;
}

// Every property is stated; the stored text differs from the defaults' only
// where the report pane departs from them.
TEST(EditorSettings, TheReportPaneConfiguration) {
  TSettingsHost defaults;
  defaults.SetName("Editor1");
  TSettingsHost editor;
  editor.SetName("Editor1");
  TClassRegistry classes;
  ReadComponentText(kEditor1Settings, editor, classes);
  const std::vector<std::string> base = Lines(WriteComponentText(defaults));
  std::vector<std::string> departures;
  for (const std::string& line : Lines(WriteComponentText(editor)))
    if (std::find(base.begin(), base.end(), line) == base.end()) departures.push_back(line);
  EXPECT_EQ(departures, (std::vector<std::string>{
                            "  Marks.EofMark.Color = clSilver",
                            "  Marks.EofMark.Visible = True",
                            "  Marks.RetMark.Visible = True",
                            "  Marks.Underline.Visible = True",
                            "  Leftbar.Visible = True",
                            "  Ruler.MarkColor = clNavy",
                            "  Ruler.Visible = True",
                            "  View.Colors.Comment.Color = clBlack",
                            "  View.Colors.Int.Color = clBlue",
                            "  View.Colors.Reserve.Color = clBlue",
                            "  View.Commenter = '//'",
                            "  View.Quotation = '\"'",
                        }));

  TRecordingHost window;
  for (TObject* sender : editor.changes) EditorSettingsChanged(sender, editor.Set(), window);
  EXPECT_EQ(editor.Margin()->UnderlinePixel(), 1);
  TEditorBarSizes sizes;
  sizes.Update(editor.Set(), true, {1, 0, raEof}, 6);
  EXPECT_EQ(sizes.LeftbarWidth(), 38);
  EXPECT_EQ(sizes.ImagebarWidth(), 12);
  EXPECT_EQ(sizes.RulerHeight(), 11);

  // With the reserved word total: counts and the word in blue, the rest of
  // the line from // on a comment.
  TStringList words;
  words.Add("total");
  editor.View()->SetReserveWordList(&words);
  std::unique_ptr<TFountainParser> parser = editor.View()->Fountain()->CreateParser();
  TRowAttributeData state;
  state.BracketIndex = -1;
  const std::string line = "      42 : Total // a.mqo";
  parser->StartRow(line, state);
  std::vector<std::pair<std::string, TColor>> colored;
  while (parser->ScanToken() != ttEnd) {
    const TFountainColor* color = parser->TokenColor();
    if (color != nullptr && color->Color() != clNone) colored.emplace_back(parser->TokenStr(), color->Color());
  }
  EXPECT_EQ(colored,
            (std::vector<std::pair<std::string, TColor>>{{"42", clBlue}, {"Total", clBlue}, {"// a.mqo", clBlack}}));
}

}  // namespace
}  // namespace corvida
