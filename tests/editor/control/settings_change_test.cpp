#include "editor/control/editor_settings_change.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/control/settings_host.h"
#include "platform/rtl/component_text.h"

namespace corvida {
namespace {

using testing::TSettingsHost;

// Records the editor operations a change runs.
class TRecordingHost : public TEditorSettingsHost {
 public:
  bool HandleAllocated() const override { return window; }
  void InitScan() override { calls.push_back("InitScan"); }
  void UpdateMetrics() override { calls.push_back("Metrics"); }
  void InitScroll() override { calls.push_back("InitScroll"); }
  void BuildLeftbarEdge() override { calls.push_back("LeftbarEdge"); }
  void BuildRuler() override { calls.push_back("Ruler"); }
  void BuildMargin() override { calls.push_back("Margin"); }
  void InvalidateAll() override { calls.push_back("Invalidate"); }
  void ClearUndo() override { calls.push_back("ClearUndo"); }
  void UpdateCaret() override { calls.push_back("UpdateCaret"); }
  void ScrollCaret() override { calls.push_back("ScrollCaret"); }
  void PlaceCaret() override { calls.push_back("PlaceCaret"); }

  bool window = true;
  std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

TEST(EditorSettingsChanged, EachSettingsObjectSetsOffItsOwnSteps) {
  TSettingsHost settings;
  TEditorFountain* fountain = settings.View()->Fountain();
  const Calls window = {"Metrics", "InitScroll"};
  const Calls placed = {"Invalidate", "ScrollCaret", "PlaceCaret"};
  auto join = [](std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  const struct {
    TObject* sender;
    Calls withWindow;
    Calls withoutWindow;
  } cases[] = {
      {settings.Caret(), join({window, {"Invalidate", "ClearUndo", "UpdateCaret"}}), {}},
      {settings.Marks(), join({window, placed}), {}},
      {settings.Margin(), join({window, {"Ruler", "Margin"}, placed}), {}},
      {settings.Ruler(), join({window, {"Ruler", "Margin"}, placed}), {}},
      {settings.Leftbar(), join({window, {"LeftbarEdge", "Margin"}, placed}), {}},
      {settings.Imagebar(), join({window, {"Margin"}, placed}), {}},
      {settings.View(), join({{"InitScan"}, window, placed}), {"InitScan"}},
      {fountain, join({{"InitScan"}, window, placed}), {"InitScan"}},
  };
  for (const auto& c : cases) {
    TRecordingHost host;
    EditorSettingsChanged(c.sender, settings.Set(), host);
    EXPECT_EQ(host.calls, c.withWindow) << c.sender->ClassName();
    host.calls.clear();
    host.window = false;
    EditorSettingsChanged(c.sender, settings.Set(), host);
    EXPECT_EQ(host.calls, c.withoutWindow) << c.sender->ClassName();
  }
}

TEST(EditorSettingsChanged, TheUnderlineMarkReservesItsPixelRowAlsoBeforeTheWindowExists) {
  TSettingsHost settings;
  TRecordingHost host;
  host.window = false;
  settings.Marks()->Underline()->SetVisible(true);
  for (TObject* sender : settings.changes) EditorSettingsChanged(sender, settings.Set(), host);
  EXPECT_EQ(settings.Margin()->UnderlinePixel(), 1);
  settings.changes.clear();
  settings.Marks()->Underline()->SetVisible(false);
  for (TObject* sender : settings.changes) EditorSettingsChanged(sender, settings.Set(), host);
  EXPECT_EQ(settings.Margin()->UnderlinePixel(), 0);
  EXPECT_TRUE(host.calls.empty());
}

TEST(EditorBarSizes, LeftbarDigitsFollowTheHighestNumber) {
  TEditorLeftbar bar;
  bar.SetVisible(true);
  const TLeftbarText text12345{12345, 12000, raEof};
  EXPECT_EQ(LeftbarDigits(bar, true, text12345), 5);
  EXPECT_EQ(LeftbarDigits(bar, true, {99999, 99998, raCrlf}), 6) << "the empty line after a final break is numbered";
  EXPECT_EQ(LeftbarDigits(bar, true, {99999, 99998, raEof}), 5);
  EXPECT_EQ(LeftbarDigits(bar, true, {1, 0, raEof}), 4) << "never below Column";
  EXPECT_EQ(LeftbarDigits(bar, false, text12345), 4) << "no window";
  EXPECT_EQ(LeftbarDigits(bar, true, {2000000000, 0, raCrlf}), 8) << "never above 8";

  bar.SetShowNumberMode(nmLine);
  bar.SetColumn(1);
  EXPECT_EQ(LeftbarDigits(bar, true, text12345), 5);
  EXPECT_EQ(LeftbarDigits(bar, true, {12345, 998, raEof}), 3);
  bar.SetZeroBase(true);
  EXPECT_EQ(LeftbarDigits(bar, true, {12345, 999, raEof}), 3);
  EXPECT_EQ(LeftbarDigits(bar, true, {0, 0, raEof}), 1);

  bar.SetShowNumber(false);
  EXPECT_EQ(LeftbarDigits(bar, true, text12345), 1);
  bar.SetShowNumber(true);
  bar.SetVisible(false);
  EXPECT_EQ(LeftbarDigits(bar, true, text12345), 1);
}

TEST(EditorBarSizes, WidthsAndHeightsOfTheBars) {
  TSettingsHost settings;
  TEditorBarSizes sizes;
  const TLeftbarText text{120, 119, raEof};
  EXPECT_FALSE(sizes.Update(settings.Set(), true, text, 6)) << "a hidden left bar keeps its digit count";
  EXPECT_EQ(sizes.LeftbarWidth(), 0);
  EXPECT_EQ(sizes.ImagebarWidth(), 12);

  settings.Leftbar()->SetVisible(true);
  settings.Ruler()->SetVisible(true);
  EXPECT_TRUE(sizes.Update(settings.Set(), true, text, 6));
  EXPECT_EQ(sizes.LeftbarDigits(), 4);
  EXPECT_EQ(sizes.LeftbarWidth(), 8 + 4 * 6 + 4 + 2);
  EXPECT_EQ(sizes.RulerHeight(), 11);
  EXPECT_FALSE(sizes.Update(settings.Set(), true, text, 6));

  settings.Ruler()->SetEdge(false);
  settings.Imagebar()->SetMarkWidth(11);
  EXPECT_TRUE(sizes.Update(settings.Set(), true, {123456, 0, raEof}, 8));
  EXPECT_EQ(sizes.LeftbarWidth(), 8 + 6 * 8 + 4 + 2);
  EXPECT_EQ(sizes.RulerHeight(), 10);
  EXPECT_EQ(sizes.ImagebarWidth(), 23);
  settings.Imagebar()->SetVisible(false);
  sizes.Update(settings.Set(), true, text, 8);
  EXPECT_EQ(sizes.ImagebarWidth(), 0);
}

TEST(EditorBarSizes, ItalicModeFromTheFontOrAnyColourOfTheFountain) {
  TSettingsHost settings;
  TEditorFountain& fountain = *settings.View()->Fountain();
  EXPECT_FALSE(ItalicMode(fsBold, fountain));
  EXPECT_TRUE(ItalicMode(fsItalic, fountain));
  settings.View()->Brackets()->Add()->ItemColor()->SetStyle(fsItalic);
  EXPECT_TRUE(ItalicMode(0, fountain));
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

TEST(EditorSettings, TheReportPaneConfiguration) {
  TSettingsHost editor;
  editor.SetName("Editor1");
  TClassRegistry classes;
  ReadComponentText(kEditor1Settings, editor, classes);
  TStringList words;
  words.Add("total");
  editor.View()->Fountain()->SetReserveWordList(&words);
  for (TObject* sender : editor.changes) {
    TRecordingHost window;
    EditorSettingsChanged(sender, editor.Set(), window);
  }

  EXPECT_EQ(editor.Marks()->EofMark()->Color(), clSilver);
  EXPECT_TRUE(editor.Marks()->RetMark()->Visible());
  EXPECT_EQ(editor.Ruler()->MarkColor(), clNavy);
  EXPECT_EQ(editor.Margin()->UnderlinePixel(), 1);
  TEditorBarSizes sizes;
  sizes.Update(editor.Set(), true, {1, 0, raEof}, 6);
  EXPECT_EQ(sizes.LeftbarWidth(), 38);
  EXPECT_EQ(sizes.ImagebarWidth(), 12);
  EXPECT_EQ(sizes.RulerHeight(), 11);

  // Counts and the word total in blue, the rest of the line from // on a
  // comment.
  const TEditorColors* colors = editor.View()->Colors();
  std::unique_ptr<TFountainParser> parser = editor.View()->Fountain()->CreateParser();
  const std::string line = "      42 : Total // a.mqo";
  TRowAttributeData state;
  state.BracketIndex = -1;
  parser->StartRow(line, state);
  std::vector<std::pair<std::string, TColor>> colored;
  while (parser->ScanToken() != ttEnd) {
    const TFountainColor* color = parser->TokenColor();
    if (color != nullptr && color->Color() != clNone) colored.emplace_back(parser->TokenStr(), color->Color());
  }
  EXPECT_EQ(colored, (std::vector<std::pair<std::string, TColor>>{{"42", clBlue}, {"Total", clBlue}, {"// a.mqo", clBlack}}));
  EXPECT_EQ(colors->Select()->BkColor(), clNavy);
}

}  // namespace
}  // namespace corvida
