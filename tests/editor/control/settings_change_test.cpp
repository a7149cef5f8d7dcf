#include "editor/control/editor_settings_change.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/control/settings_host.h"

namespace corvida {
namespace {

using testing::TSettingsHost;

using testing::TRecordingHost;

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

TEST(EditorBarSizes, LeftbarDigitsFollowTheHighestNumber) {
  TEditorLeftbar bar;
  bar.SetVisible(true);
  const TLeftbarText text12345{12345, 12000, raEof};
  EXPECT_EQ(LeftbarDigits(bar, true, text12345), 5);
  EXPECT_EQ(LeftbarDigits(bar, true, {99999, 99998, raCrlf}), 6) << "the empty line after a final break is numbered";
  EXPECT_EQ(LeftbarDigits(bar, true, {1, 0, raEof}), 4) << "never below Column";
  EXPECT_EQ(LeftbarDigits(bar, false, text12345), 4) << "no window";
  EXPECT_EQ(LeftbarDigits(bar, true, {2000000000, 0, raCrlf}), 8) << "never above 8";

  bar.SetShowNumberMode(nmLine);
  bar.SetColumn(1);
  EXPECT_EQ(LeftbarDigits(bar, true, text12345), 5);
  EXPECT_EQ(LeftbarDigits(bar, true, {12345, 998, raEof}), 3);
  bar.SetZeroBase(true);
  EXPECT_EQ(LeftbarDigits(bar, true, {0, 0, raEof}), 1);

  bar.SetShowNumber(false);
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

  settings.Ruler()->SetEdge(false);
  settings.Imagebar()->SetMarkWidth(11);
  EXPECT_TRUE(sizes.Update(settings.Set(), true, {123456, 0, raEof}, 8));
  EXPECT_EQ(sizes.LeftbarWidth(), 8 + 6 * 8 + 4 + 2);
  EXPECT_EQ(sizes.RulerHeight(), 10);
  EXPECT_EQ(sizes.ImagebarWidth(), 23);
}

TEST(EditorBarSizes, ItalicModeFromTheFontOrAnyColourOfTheFountain) {
  TSettingsHost settings;
  TEditorFountain& fountain = *settings.View()->Fountain();
  EXPECT_FALSE(ItalicMode(fsBold, fountain));
  EXPECT_TRUE(ItalicMode(fsItalic, fountain));
  settings.View()->Brackets()->Add()->ItemColor()->SetStyle(fsItalic);
  EXPECT_TRUE(ItalicMode(0, fountain));
}

}  // namespace
}  // namespace corvida
