// The editor as a component: what it owns and how it starts, the row store
// it shows (alone or with another editor), its marks, its attached
// fountain and its stored form.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/control/editor_fixture.h"
#include "editor/highlight/editor_fountain.h"
#include "editor/model/scan_state.h"
#include "platform/rtl/component_text.h"

namespace corvida {
namespace {

using testing::EditorTest;

class Counter : public TObject {
 public:
  void Changed(TObject*) { ++changes; }
  int changes = 0;
};

TEST(EditorConstruction, DefaultsAndOwnedObjectsWithoutAWindow) {
  std::unique_ptr<TEditor> editor(TEditor::Create(nullptr));
  EXPECT_EQ(editor->Width(), 185);
  EXPECT_EQ(editor->Height(), 89);
  EXPECT_EQ(editor->BorderStyle(), bsSingle);
  EXPECT_EQ(editor->Cursor(), crIBeam);
  EXPECT_TRUE(editor->TabStop());
  EXPECT_TRUE(editor->WantReturns());
  EXPECT_TRUE(editor->WantTabs());
  EXPECT_EQ(editor->Color(), clWhite);
  EXPECT_EQ(editor->Font()->Name(), "FixedSys");
  EXPECT_EQ(editor->Font()->Color(), clBlack);
  EXPECT_FALSE(editor->HandleAllocated());
  EXPECT_FALSE(editor->Modified());
  EXPECT_EQ(editor->ScreenStrings()->FirstView(), editor.get());
  EXPECT_EQ(editor->ActiveFountain(), editor->View()->Fountain());
  // Letters, digits and '_' make words; punctuation and blanks part them.
  EXPECT_FALSE(editor->Delimiters()['a'] || editor->Delimiters()['0'] || editor->Delimiters()['_']);
  EXPECT_TRUE(editor->Delimiters()[' '] && editor->Delimiters()['/'] && editor->Delimiters()[0xA1]);

  // Lines edit the editor's store and leave the caret after the new text;
  // without a window nothing scrolls.
  editor->Lines()->Add("abc");
  editor->Lines()->Add("de");
  EXPECT_EQ(editor->ScreenStrings()->Count(), 2);
  EXPECT_EQ(editor->Row(), 2);
  EXPECT_EQ(editor->GetTextLen(), 9);
  EXPECT_TRUE(editor->Modified());
}

TEST(EditorConstruction, SettersAssignIntoTheOwnedObjects) {
  std::unique_ptr<TEditor> editor(TEditor::Create(nullptr));
  TEditorCaret* caret = editor->Caret();
  TEditorCaret other;
  other.SetTabSpaceCount(4);
  editor->SetCaret(&other);
  EXPECT_EQ(editor->Caret(), caret);
  EXPECT_EQ(editor->TabSpaceCount(), 4);
  // The store lays out tabs with the editor's tab stops.
  EXPECT_EQ(editor->ScreenStrings()->Layout().tabSpaceCount, 4);

  TEditorWrapOption wrap;
  wrap.SetWrapByte(20);
  editor->SetWrapOption(&wrap);
  editor->SetWordWrap(true);
  editor->Lines()->SetText(std::string(45, 'x'));
  EXPECT_EQ(editor->ScreenStrings()->Count(), 3);
}

TEST(EditorConstruction, TwoEditorsShareOneStoreUntilTheLastLeaves) {
  auto* first = TEditor::Create(nullptr);
  std::unique_ptr<TEditor> second(TEditor::Create(nullptr));
  first->Lines()->Add("one");
  second->ExchangeScreenStrings(first);
  TEditorScreenStrings* store = first->ScreenStrings();
  EXPECT_EQ(second->ScreenStrings(), store);
  EXPECT_EQ(store->ViewCount(), 2);
  EXPECT_EQ(second->Lines()->Get(0), "one");
  second->Lines()->Add("two");
  EXPECT_EQ(first->Lines()->Count(), 2);
  EXPECT_TRUE(first->Modified());

  delete first;
  // The store outlives the first editor and serves the second.
  EXPECT_EQ(store->ViewCount(), 1);
  EXPECT_EQ(second->Lines()->Get(1), "two");
}

TEST(EditorConstruction, AnAttachedFountainIsDroppedWhenItGoes) {
  std::unique_ptr<TEditor> editor(TEditor::Create(nullptr));
  TEditorFountain* fountain = TFountain::Create<TEditorFountain>(nullptr);
  editor->SetFountain(fountain);
  EXPECT_EQ(editor->ActiveFountain(), fountain);
  editor->SetFountain(fountain);
  EXPECT_EQ(fountain->NotifyEventList()->Count(), 1);
  delete fountain;
  EXPECT_EQ(editor->Fountain(), nullptr);
  EXPECT_EQ(editor->ActiveFountain(), editor->View()->Fountain());

  // ReserveWordList stays the view fountain's also while another is attached.
  std::unique_ptr<TEditorFountain> other(TFountain::Create<TEditorFountain>(nullptr));
  editor->SetFountain(other.get());
  TStringList words;
  words.Add("total");
  editor->SetReserveWordList(&words);
  EXPECT_EQ(editor->View()->Fountain()->ReserveWordList()->Count(), 1);
  EXPECT_EQ(other->ReserveWordList()->Count(), 0);
  editor->SetFountain(nullptr);
  EXPECT_EQ(other->NotifyEventList()->Count(), 0);
}

TEST(EditorConstruction, TheStoredFormCarriesLinesAsStringsAndEverySetting) {
  std::unique_ptr<TEditor> source(TEditor::Create(nullptr));
  source->SetName("Editor1");
  source->Caret()->SetTabSpaceCount(4);
  source->Leftbar()->SetVisible(true);
  source->SetWantTabs(false);
  source->Lines()->SetText("first\r\nsecond\r\n");
  const std::string text = WriteComponentText(*source);
  EXPECT_NE(text.find("object Editor1: TEditor"), std::string::npos) << text;
  EXPECT_NE(text.find("Lines.Strings = ("), std::string::npos) << text;

  std::unique_ptr<TEditor> target(TEditor::Create(nullptr));
  TClassRegistry registry;
  registry.Register(TEditor::StaticInfo());
  ReadComponentText(text, *target, registry);
  EXPECT_EQ(target->Lines()->GetTextStr(), "first\r\nsecond\r\n");
  EXPECT_EQ(target->Caret()->TabSpaceCount(), 4);
  EXPECT_TRUE(target->Leftbar()->Visible());
  EXPECT_FALSE(target->WantTabs());
  EXPECT_FALSE(target->Modified());
  EXPECT_FALSE(target->ScreenStrings()->UndoObj().CanUndo());
}

TEST_F(EditorTest, WindowStylesFollowBorderAndScrollBars) {
  EXPECT_TRUE(editor->Window()->ExStyle() & WS_EX_CLIENTEDGE);
  editor->SetCtl3D(false);
  EXPECT_TRUE(editor->Window()->Style() & WS_BORDER);
  editor->SetBorderStyle(bsNone);
  EXPECT_FALSE(editor->Window()->Style() & WS_BORDER);
  const int rows = editor->VisibleRows();
  editor->SetScrollBars(ssBoth);
  EXPECT_TRUE(editor->Window()->ScrollBarVisible(SB_VERT));
  EXPECT_TRUE(editor->Window()->ScrollBarVisible(SB_HORZ));
  // The horizontal bar takes rows away at once.
  EXPECT_LT(editor->VisibleRows(), rows);
}

TEST_F(EditorTest, NumberedMarksAreUniqueImageMarksAreNot) {
  editor->Lines()->SetText(NumberedLines(60));
  editor->SetRowMark(7, 3);
  editor->SetRowMark(12, 3);
  EXPECT_FALSE(editor->ScreenStrings()->RowMarks(7).Contains(3));
  EXPECT_TRUE(editor->ScreenStrings()->RowMarks(12).Contains(3));
  editor->SetRowMark(7, 11);
  editor->SetRowMark(12, 11);
  EXPECT_TRUE(editor->ScreenStrings()->RowMarks(7).Contains(11));
  EXPECT_TRUE(editor->ScreenStrings()->RowMarks(12).Contains(11));
  EXPECT_EQ(editor->ScreenStrings()->UsedMarks(), (TRowMarks{3, 11}));

  // A row outside the store takes no mark, but the old row still loses it.
  editor->SetRowMark(500, 3);
  EXPECT_FALSE(editor->ScreenStrings()->RowMarks(12).Contains(3));
  EXPECT_EQ(editor->ScreenStrings()->UsedMarks(), (TRowMarks{11}));
  editor->DeleteRowMark(7, 11);
  editor->DeleteRowMark(-1, 11);
  EXPECT_EQ(editor->ScreenStrings()->UsedMarks(), (TRowMarks{11}));
  editor->DeleteRowMark(12, 11);
  EXPECT_TRUE(editor->ScreenStrings()->UsedMarks().Empty());
}

TEST_F(EditorTest, GotoRowMarkCentresARowOutOfView) {
  editor->Lines()->SetText(NumberedLines(60));
  editor->SetRowCol(0, 0);
  editor->SetRowMark(50, 2);
  editor->SetRowMark(4, 5);
  editor->GotoRowMark(2);
  EXPECT_EQ(editor->Row(), 50);
  EXPECT_EQ(editor->TopRow(), 50 - editor->VisibleRows() / 2);
  editor->GotoRowMark(9);  // held by no row
  EXPECT_EQ(editor->Row(), 50);
  editor->SetTopRow(0);
  editor->GotoRowMark(5);  // in view: the view stays
  EXPECT_EQ(editor->TopRow(), 0);
  EXPECT_EQ(editor->Row(), 4);
}

TEST_F(EditorTest, StoreChangesMarkModifiedFireOnChangeAndRefitTheScrollRange) {
  Counter counter;
  editor->SetScrollBars(ssVertical);
  editor->SetOnChange(TNotifyEvent::Of<&Counter::Changed>(&counter));
  editor->Lines()->SetText(NumberedLines(39));
  editor->Lines()->Add("last");
  EXPECT_EQ(counter.changes, 1);
  EXPECT_TRUE(editor->Modified());
  TScrollInfo info;
  editor->Window()->GetScrollInfo(SB_VERT, info);
  EXPECT_EQ(info.nMax, 40 + editor->VisibleRows() - 1);
  EXPECT_EQ(info.nPage, editor->VisibleRows());
}

TEST_F(EditorTest, SettingsChangesRefitTheRowPitchAndCaretChangesEmptyUndo) {
  EXPECT_EQ(editor->RowHeight(), 12);
  editor->Marks()->Underline()->SetVisible(true);
  EXPECT_EQ(editor->RowHeight(), 13);
  editor->Lines()->Add("text");
  ASSERT_TRUE(editor->ScreenStrings()->UndoObj().CanUndo());
  editor->Caret()->SetStyle(csBrief);
  EXPECT_FALSE(editor->ScreenStrings()->UndoObj().CanUndo());
}

TEST_F(EditorTest, TheLeftBarWidensWithTheRowNumbers) {
  editor->Leftbar()->SetVisible(true);
  editor->Leftbar()->SetColumn(1);
  const int left = editor->TextLeft();
  editor->Lines()->SetText(NumberedLines(12));
  // 13 numbered rows (the empty one after the last break included): 2 digits.
  EXPECT_EQ(editor->BarSizes().LeftbarDigits(), 2);
  EXPECT_EQ(editor->TextLeft(), left + editor->ColWidth());
}

TEST_F(EditorTest, ANewFontRecomputesThePitchAndReturnsTheCaretToColumnZero) {
  editor->Lines()->SetText(std::string(100, 'a'));
  editor->SetRowCol(0, 80);
  ASSERT_GT(editor->TopCol(), 0);
  editor->Font()->SetHeight(-16);
  EXPECT_NE(editor->RowHeight(), 12);
  EXPECT_EQ(editor->Col(), 0);
  EXPECT_EQ(editor->TopCol(), 0);
}

TEST_F(EditorTest, RowsBelowTheViewAreHighlightedInStepsWhileTheApplicationIsIdle) {
  editor->Lines()->SetText(NumberedLines(20000));
  TEditorScreenStrings& store = *editor->ScreenStrings();
  ASSERT_LT(FirstRowNotComputed(store), 1000);
  int rounds = 0;
  while (Application().DoIdle()) ++rounds;
  EXPECT_GE(rounds, 3);
  EXPECT_EQ(FirstRowNotComputed(store), store.Count());
  // A freed editor takes its handler with it.
  editor->Lines()->SetText(NumberedLines(20000));
  delete editor;
  editor = nullptr;
  EXPECT_FALSE(Application().DoIdle());
}

}  // namespace
}  // namespace corvida
