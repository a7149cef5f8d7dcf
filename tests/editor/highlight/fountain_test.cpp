#include "editor/highlight/fountain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/highlight/editor_fountain.h"
#include "editor/highlight/scan_helpers.h"
#include "platform/rtl/component_text.h"
#include "platform/rtl/exceptions.h"

namespace corvida {
namespace {

using testing::AddBracket;
using testing::NewEditorFountain;

// Records every broadcast of a fountain, with its sender.
struct Listener : TObject {
  explicit Listener(std::vector<std::string>* log, std::string name) : log_(log), name_(std::move(name)) {}
  void Handle(TObject* sender) {
    log_->push_back(name_);
    lastSender_ = sender;
  }
  TNotifyEvent Event() { return TNotifyEvent::Of<&Listener::Handle>(this); }
  std::vector<std::string>* log_;
  std::string name_;
  TObject* lastSender_ = nullptr;
};

class FountainTest : public ::testing::Test {
 protected:
  FountainTest() : fountain_(NewEditorFountain()), a_(&log_, "A"), b_(&log_, "B") {
    fountain_->NotifyEventList()->Add(a_.Event());
    fountain_->NotifyEventList()->Add(b_.Event());
  }

  std::unique_ptr<TEditorFountain> fountain_;
  std::vector<std::string> log_;
  Listener a_;
  Listener b_;
};

TEST_F(FountainTest, ColourChangesAreBroadcastOnceInRegistrationOrder) {
  fountain_->Reserve()->SetColor(clBlue);
  EXPECT_EQ(log_, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(a_.lastSender_, fountain_.get());
  EXPECT_EQ(b_.lastSender_, fountain_.get());

  log_.clear();
  fountain_->Reserve()->SetColor(clBlue);
  EXPECT_TRUE(log_.empty()) << "an unchanged value is no change";

  TFountainBracketItem* item = AddBracket(*fountain_, "/*", "*/");
  log_.clear();
  item->ItemColor()->SetStyle(fsBold);
  EXPECT_EQ(log_, (std::vector<std::string>{"A", "B"}));

  log_.clear();
  fountain_->Colors()->Comment()->SetColor(clGreen);
  EXPECT_EQ(log_, (std::vector<std::string>{"A", "B"}));
}

TEST_F(FountainTest, ReservedWordsBroadcastOnlyThroughTheSetter) {
  fountain_->ReserveWordList()->Add("total");
  EXPECT_TRUE(log_.empty());
  TStringList words;
  words.Add("sum");
  words.Add("Total");
  fountain_->SetReserveWordList(&words);
  EXPECT_EQ(log_, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(fountain_->ReserveWordList()->Text(), "sum\r\nTotal\r\n");
}

TEST_F(FountainTest, ChangesInsideAnUpdateBracketAreBroadcastOnceAtTheEnd) {
  fountain_->NotifyEventList()->BeginUpdate();
  fountain_->Reserve()->SetColor(clRed);
  fountain_->Colors()->Ank()->SetBkColor(clYellow);
  AddBracket(*fountain_, "{", "}")->ItemColor()->SetColor(clGreen);
  EXPECT_TRUE(log_.empty());
  fountain_->NotifyEventList()->EndUpdate();
  EXPECT_EQ(log_, (std::vector<std::string>{"A", "B"}));
}

TEST_F(FountainTest, AFifteenthBracketItemIsRefused) {
  for (int i = 0; i < 14; ++i) AddBracket(*fountain_, "<" + std::to_string(i), ">");
  try {
    fountain_->Brackets()->Add();
    FAIL();
  } catch (const EFountainError& e) {
    EXPECT_EQ(e.Message(), "TFountainBracketCollection\r\nYou can not add item over 14");
  }
  EXPECT_THROW(fountain_->Brackets()->Insert(0), EFountainError);
  EXPECT_EQ(fountain_->Brackets()->Count(), 14);
  EXPECT_EQ(fountain_->Brackets()->Items(0)->LeftBracket(), "<0");
}

// Reads every bracket item when told of a change, as a repainting editor does.
struct BracketReader : TObject {
  explicit BracketReader(TFountain* f) : fountain(f) {}
  void Handle(TObject*) {
    for (int i = 0; i < fountain->Brackets()->Count(); ++i) {
      TFountainBracketItem* item = fountain->Brackets()->Items(i);
      seen += item->LeftBracket() + item->RightBracket() + (item->ItemColor()->Color() == clNone ? "." : "!");
    }
  }
  TFountain* fountain;
  std::string seen;
};

TEST_F(FountainTest, ListenersSeeOnlyWholeBracketItems) {
  BracketReader reader(fountain_.get());
  fountain_->NotifyEventList()->Add(TNotifyEvent::Of<&BracketReader::Handle>(&reader));
  AddBracket(*fountain_, "/*", "*/");
  EXPECT_EQ(reader.seen, ".") << "told of the new item, still empty";
}

TEST_F(FountainTest, AssigningMoreThanFourteenItemsCopiesFourteenThenFails) {
  TCollection source([](TCollection* c) -> TCollectionItem* { return new TFountainBracketItem(c); });
  for (int i = 0; i < 15; ++i) static_cast<TFountainBracketItem*>(source.Add())->SetLeftBracket(std::to_string(i));
  log_.clear();
  EXPECT_THROW(fountain_->Brackets()->Assign(&source), EFountainError);
  EXPECT_EQ(fountain_->Brackets()->Count(), 14);
  EXPECT_EQ(fountain_->Brackets()->Items(13)->LeftBracket(), "13");
  EXPECT_EQ(fountain_->Brackets()->UpdateCount(), 0);
  EXPECT_EQ(log_, (std::vector<std::string>{"A", "B"})) << "the update bracket still closes";
}

TEST_F(FountainTest, BracketCollectionsAssignItemsInOrder) {
  AddBracket(*fountain_, "/*", "*/")->ItemColor()->SetColor(clGreen);
  AddBracket(*fountain_, "{", "}");
  auto other = NewEditorFountain();
  AddBracket(*other, "x", "y");
  other->SetBrackets(fountain_->Brackets());
  ASSERT_EQ(other->Brackets()->Count(), 2);
  EXPECT_EQ(other->Brackets()->Items(0)->LeftBracket(), "/*");
  EXPECT_EQ(other->Brackets()->Items(0)->RightBracket(), "*/");
  EXPECT_EQ(other->Brackets()->Items(0)->ItemColor()->Color(), clGreen);
  EXPECT_EQ(other->Brackets()->Items(1)->LeftBracket(), "{");
}

TEST_F(FountainTest, ColourRecordsAssignAllThreeAsOneChange) {
  TFountainColor source;
  source.SetBkColor(clAqua);
  source.SetColor(clRed);
  source.SetStyle(fsBold | fsUnderline);
  fountain_->SetReserve(&source);
  EXPECT_EQ(log_.size(), 2u);
  EXPECT_EQ(fountain_->Reserve()->BkColor(), clAqua);
  EXPECT_EQ(fountain_->Reserve()->Color(), clRed);
  EXPECT_EQ(fountain_->Reserve()->Style(), fsBold | fsUnderline);
  TStringList notAColour;
  EXPECT_THROW(fountain_->Reserve()->Assign(&notAColour), EConvertError);
}

TEST_F(FountainTest, ItalicIsFoundAnywhereInTheSettings) {
  EXPECT_FALSE(fountain_->HasItalic(fountain_.get()));
  TFountainBracketItem* item = AddBracket(*fountain_, "{", "}");
  item->ItemColor()->SetStyle(fsItalic | fsBold);
  EXPECT_TRUE(fountain_->HasItalic(fountain_.get())) << "inside a bracket item";
  item->ItemColor()->SetStyle(fsBold);
  fountain_->Colors()->Hit()->SetStyle(fsItalic);
  EXPECT_TRUE(fountain_->HasItalic(fountain_.get())) << "inside the colour table";
  EXPECT_FALSE(fountain_->HasItalic(fountain_->Brackets()));
}

TEST_F(FountainTest, SetAllColorLeavesSelectionAndHitAndBroadcastsOnce) {
  fountain_->SetAllColor(clRed);
  EXPECT_EQ(log_, (std::vector<std::string>{"A", "B"}));
  TEditorColors* colors = fountain_->Colors();
  for (TFountainColor* color : {static_cast<TFountainColor*>(colors->Ank()), static_cast<TFountainColor*>(colors->Comment()),
                                static_cast<TFountainColor*>(colors->DBCS()), static_cast<TFountainColor*>(colors->Int()),
                                static_cast<TFountainColor*>(colors->Mail()), static_cast<TFountainColor*>(colors->Str()),
                                static_cast<TFountainColor*>(colors->Symbol()), static_cast<TFountainColor*>(colors->Url()),
                                fountain_->Reserve()})
    EXPECT_EQ(color->Color(), clRed);
  EXPECT_EQ(colors->Select()->Color(), clWhite);
  EXPECT_EQ(colors->Select()->BkColor(), clNavy);
  EXPECT_EQ(colors->Hit()->Color(), clNone);

  fountain_->SetAllBkColor(clSilver);
  fountain_->SetAllStyle(fsBold);
  EXPECT_EQ(colors->Int()->BkColor(), clSilver);
  EXPECT_EQ(colors->Int()->Style(), fsBold);
  EXPECT_EQ(colors->Int()->Color(), clRed) << "only the masked attribute is set";
}

TEST_F(FountainTest, BracketCollectionSetsEveryItemAsOneChange) {
  AddBracket(*fountain_, "{", "}");
  AddBracket(*fountain_, "/*", "*/");
  log_.clear();
  auto* brackets = static_cast<TEditorBracketCollection*>(fountain_->Brackets());
  brackets->SetAllColor(clMaroon);
  EXPECT_EQ(log_.size(), 2u);
  EXPECT_EQ(brackets->Items(1)->ItemColor()->Color(), clMaroon);
}

TEST_F(FountainTest, ColourTablesAssignAsOneChange) {
  auto other = NewEditorFountain();
  other->Colors()->Comment()->SetColor(clBlack);
  other->Colors()->Int()->SetColor(clBlue);
  other->Reserve()->SetColor(clBlue);
  other->Colors()->Select()->SetBkColor(clNone);
  std::vector<std::string> tableLog;
  Listener table(&tableLog, "table");
  fountain_->Colors()->SetOnChange(table.Event());
  fountain_->SetColors(other->Colors());
  EXPECT_EQ(tableLog.size(), 1u);
  EXPECT_EQ(fountain_->Colors()->Comment()->Color(), clBlack);
  EXPECT_EQ(fountain_->Reserve()->Color(), clBlue);
  EXPECT_EQ(fountain_->Colors()->Select()->BkColor(), clNone);
}

TEST_F(FountainTest, PlainSettingsBroadcastNothing) {
  fountain_->SetCommenter("//");
  fountain_->SetQuotation("\"");
  fountain_->SetMail(true);
  fountain_->SetUrl(true);
  fountain_->SetControlCode(true);
  fountain_->SetHexPrefix("0x");
  EXPECT_TRUE(log_.empty());
}

TEST(FountainColorText, ColoursAreStoredByTheirIdentifiers) {
  std::unique_ptr<TEditorFountain> fountain = NewEditorFountain();
  fountain->SetName("Fountain1");
  fountain->Reserve()->SetColor(clBlue);
  fountain->Colors()->Ank()->SetBkColor(0x123456);
  const std::string text = WriteComponentText(*fountain);
  EXPECT_NE(text.find("Reserve.Color = clBlue\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Reserve.BkColor = clNone\r\n"), std::string::npos) << text;

  std::unique_ptr<TEditorFountain> back = NewEditorFountain();
  TClassRegistry classes;
  ReadComponentText(text, *back, classes);
  EXPECT_EQ(back->Reserve()->Color(), clBlue);
  EXPECT_EQ(back->Colors()->Ank()->BkColor(), 0x123456);
  EXPECT_EQ(back->Colors()->Select()->BkColor(), clNavy);
}

}  // namespace
}  // namespace corvida
