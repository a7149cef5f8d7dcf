#include "editor/highlight/fountain_parser.h"

#include <gtest/gtest.h>

#include "editor/highlight/scan_helpers.h"
#include "platform/rtl/exceptions.h"

namespace corvida {
namespace {

using testing::AddBracket;
using testing::InitialState;
using testing::MakeRows;
using testing::StatesFromTop;
using testing::Token;
using testing::Tokens;

// The framework's tokenizer as it is, plus double-quoted strings the way a
// derived tokenizer adds them: by overwriting a table entry.
class TPlainParser : public TFountainParser {
 public:
  explicit TPlainParser(TFountain* fountain) : TFountainParser(fountain) {}
  TFountainColor* TokenColor() override { return nullptr; }

 protected:
  void InitTables() override {
    TFountainParser::InitTables();
    charTable_['"'] = &TPlainParser::ScanDoubleQuote;
  }
};

class TPlainFountain : public TFountain {
 public:
  explicit TPlainFountain(TComponent* owner) : TFountain(owner) {}
  TFountainParser::TParserClass ParserClass() const override { return &TFountainParser::Create<TPlainParser>; }
};

class FountainParserTest : public ::testing::Test {
 protected:
  FountainParserTest() : fountain_(TFountain::Create<TPlainFountain>(nullptr)), parser_(fountain_->CreateParser()) {}

  std::vector<Token> Scan(const std::string& s, const TRowAttributeData& state = InitialState()) {
    return Tokens(*parser_, s, state);
  }

  std::unique_ptr<TPlainFountain> fountain_;
  std::unique_ptr<TFountainParser> parser_;
};

TEST_F(FountainParserTest, NumbersTakeFractionAndExponentButNotATrailingDot) {
  EXPECT_EQ(Scan("12.5e-3"), (std::vector<Token>{{ttFloat, "12.5e-3"}}));
  EXPECT_EQ(Scan("12. "), (std::vector<Token>{{ttFloat, "12"}, {ttSymbol, "."}}));
  EXPECT_EQ(Scan("1.2.3"), (std::vector<Token>{{ttFloat, "1.2"}, {ttSymbol, "."}, {ttInteger, "3"}}));
  EXPECT_EQ(Scan("12abc"), (std::vector<Token>{{ttInteger, "12"}, {ttAnk, "abc"}}));
  EXPECT_EQ(Scan("12E 12e+ 3.e5"), (std::vector<Token>{{ttFloat, "12E"}, {ttFloat, "12e+"}, {ttFloat, "3.e5"}}));
}

TEST_F(FountainParserTest, SinglesTabsAndBlanks) {
  EXPECT_EQ(Scan("a\tb_1 ;"), (std::vector<Token>{{ttAnk, "a"}, {ttTab, "\t"}, {ttAnk, "b_1"}, {ttSymbol, ";"}}));
  EXPECT_TRUE(Scan(" \x01\x1f ").empty());
  EXPECT_EQ(Scan("ab\r\ncd"), (std::vector<Token>{{ttAnk, "ab"}, {ttAnk, "cd"}}));  // CR and LF are blanks
}

TEST_F(FountainParserTest, ReservedWordsIgnoreCaseButNotLength) {
  fountain_->ReserveWordList()->Add("total");
  for (const std::string word : {"total", "Total", "TOTAL"}) {
    parser_->StartRow(word, InitialState());
    parser_->ScanToken();
    EXPECT_TRUE(parser_->IsReserved()) << word;
  }
  const std::string row = "totals 12";
  parser_->StartRow(row, InitialState());
  parser_->ScanToken();
  EXPECT_FALSE(parser_->IsReserved());
  fountain_->ReserveWordList()->Add("12");
  parser_->ScanToken();
  EXPECT_TRUE(parser_->IsReserved()) << "any kind of token may be listed";
}

TEST_F(FountainParserTest, DoubleByteRunsByKind) {
  // あいう, カタカナー, 漢字, ０１，２, ｱｲｳ, ｡, ＡＢ, 、
  const std::string hira = "\x82\xa0\x82\xa2\x82\xa4";
  const std::string kata = "\x83\x4a\x83\x5e\x83\x4a\x83\x69\x81\x5b";
  const std::string kanji = "\x8a\xbf\x8e\x9a";
  const std::string digits = "\x82\x4f\x82\x50\x81\x43\x82\x51";
  const std::string alpha = "\x82\x60\x82\x61";
  EXPECT_EQ(Scan(hira + kata + kanji + digits + alpha + "\xb1\xb2\xb3\xa1\x81\x41"),
            (std::vector<Token>{{ttHiragana, hira},
                                {ttKatakana, kata},
                                {ttKanji, kanji},
                                {ttWideDigit, digits},
                                {ttWideAlpha, alpha},
                                {ttKana, "\xb1\xb2\xb3"},
                                {ttKanaSymbol, "\xa1"},
                                {ttWideSymbol, "\x81\x41"}}));
}

TEST_F(FountainParserTest, NeverStepsPastTheRow) {
  // A lead byte as the last byte of the row is stepped over alone.
  EXPECT_EQ(Scan("ab\x88"), (std::vector<Token>{{ttAnk, "ab"}, {ttKanji, "\x88"}}));
  EXPECT_EQ(Scan("\x81"), (std::vector<Token>{{ttWideSymbol, "\x81"}}));
  EXPECT_EQ(Scan("\x82"), (std::vector<Token>{{ttSymbol, "\x82"}}));
  EXPECT_EQ(Scan("\x83\x20x"), (std::vector<Token>{{ttSymbol, "\x83"}, {ttAnk, "x"}}));
  // A NUL ends the row.
  EXPECT_EQ(Scan(std::string("ab\0cd", 5)), (std::vector<Token>{{ttAnk, "ab"}}));
  // A region or string that reaches a lead byte at the row end stops there.
  AddBracket(*fountain_, "/*", "*/");
  EXPECT_EQ(Scan("/* \x88"), (std::vector<Token>{{ttBracket, "/* \x88"}}));
  EXPECT_EQ(Scan("\"a\x88"), (std::vector<Token>{{ttDoubleQuote, "\"a\x88"}}));
}

TEST_F(FountainParserTest, ContinuedTokensAreToleratedWhateverTheyFind) {
  TRowAttributeData state = InitialState();
  // A carried kind whose scanner finds nothing gives an empty first token.
  state.PrevToken = ttWideSymbol;
  EXPECT_EQ(Scan("abc", state), (std::vector<Token>{{ttWideSymbol, ""}, {ttAnk, "abc"}}));
  // A byte count beyond the row covers the row and no more.
  state.PrevToken = ttAnk;
  state.WrappedByte = 200;
  EXPECT_EQ(Scan("ab", state), (std::vector<Token>{{ttAnk, "ab"}}));
  EXPECT_EQ(Scan(std::string("ab\0cd", 5), state), (std::vector<Token>{{ttAnk, "ab"}}));
}

TEST_F(FountainParserTest, BadBracketStateEndsTheRowAndIsKept) {
  AddBracket(*fountain_, "(*", "");
  TRowAttributeData state = InitialState();
  state.BracketIndex = 5;
  EXPECT_TRUE(Scan("abc", state).empty());
  auto rows = MakeRows({{"abc"}});
  parser_->ScanRowState(0, *rows, state);
  EXPECT_EQ(state.BracketIndex, 5);
  // An item without a right bracket opens a region that ends the row.
  EXPECT_EQ(Scan("x (* y"), (std::vector<Token>{{ttAnk, "x"}}));
}

TEST_F(FountainParserTest, CreateNeedsAFountain) {
  try {
    TFountainParser::Create<TPlainParser>(nullptr);
    FAIL();
  } catch (const EFountainError& e) {
    EXPECT_EQ(e.Message(), "TFountainParser.Create need instance of TFountain");
  }
}

TEST_F(FountainParserTest, TokenParserWorksWithoutAFountain) {
  auto parser = TTokenParser::Create();
  TRowAttributeData state = InitialState();
  state.BracketIndex = -2;
  EXPECT_EQ(Tokens(*parser, "abc 12 /*", state),
            (std::vector<Token>{{ttAnk, "abc"}, {ttInteger, "12"}, {ttSymbol, "/"}, {ttSymbol, "*"}}));
  EXPECT_EQ(parser->TokenColor(), nullptr);
}

// Scan state carried from row to row.

TEST_F(FountainParserTest, BracketRegionRunsOverLines) {
  AddBracket(*fountain_, "{", "}");
  AddBracket(*fountain_, "/*", "*/");
  auto rows = MakeRows({{"a /* open"}, {"inside"}, {""}, {"   "}, {"x */ b"}, {"c"}});
  const auto states = StatesFromTop(*parser_, *rows);
  const std::vector<int> expected = {-1, 1, 1, 1, 1, -1};
  for (int r = 0; r < 6; ++r) EXPECT_EQ(states[r].BracketIndex, expected[r]) << "row " << r;
  EXPECT_EQ(Scan("inside", states[1]), (std::vector<Token>{{ttBracket, "inside"}}));
  EXPECT_EQ(Scan("x */ b", states[4]), (std::vector<Token>{{ttBracket, "x */"}, {ttAnk, "b"}}));
  // Blank rows pass the open region on unchanged.
  EXPECT_EQ(states[3], states[2]);
}

TEST_F(FountainParserTest, FirstBracketItemInCollectionOrderWins) {
  AddBracket(*fountain_, "{", "}");
  AddBracket(*fountain_, "{$", "}");
  const std::string row = "{$x}";
  parser_->StartRow(row, InitialState());
  ASSERT_EQ(parser_->ScanToken(), ttBracket);
  EXPECT_EQ(parser_->TokenBracketIndex(), 0);
  EXPECT_EQ(parser_->TokenStr(), "{$x}");
  EXPECT_EQ(parser_->BracketIndex(), -1);
}

TEST_F(FountainParserTest, NoBracketOpensInAnUncomputedState) {
  AddBracket(*fountain_, "/*", "*/");
  TRowAttributeData state = InitialState();
  state.BracketIndex = -2;
  EXPECT_EQ(Scan("/*", state), (std::vector<Token>{{ttSymbol, "/"}, {ttSymbol, "*"}}));
}

TEST_F(FountainParserTest, WordSplitByWrapKeepsItsKindOnBothRows) {
  fountain_->ReserveWordList()->Add("total");
  auto rows = MakeRows({{"x abcde", raWrapped}, {"fgh y"}, {"x tot", raWrapped}, {"al z"}});
  const auto states = StatesFromTop(*parser_, *rows);
  EXPECT_EQ(states[1].PrevToken, ttAnk);
  EXPECT_EQ(states[1].WrappedByte, 3);
  EXPECT_EQ(Scan("fgh y", states[1]), (std::vector<Token>{{ttAnk, "fgh"}, {ttAnk, "y"}}));
  EXPECT_EQ(states[2].PrevToken, 0);
  EXPECT_EQ(states[3].PrevToken, ttReserve);
  EXPECT_EQ(Scan("al z", states[3]), (std::vector<Token>{{ttReserve, "al"}, {ttAnk, "z"}}));
}

TEST_F(FountainParserTest, WordOverSeveralWrappedRowsCarriesOnlyItsKind) {
  auto rows = MakeRows({{"abc", raWrapped}, {"def", raWrapped}, {"gh i"}});
  const auto states = StatesFromTop(*parser_, *rows);
  EXPECT_EQ(states[1].PrevToken, ttAnk);
  EXPECT_EQ(states[1].WrappedByte, 0);
  EXPECT_EQ(states[2].PrevToken, ttAnk);
  EXPECT_EQ(states[2].WrappedByte, 2);
  EXPECT_EQ(Scan("def", states[1]), (std::vector<Token>{{ttAnk, "def"}}));
}

TEST_F(FountainParserTest, CloserSplitByWrapGivesAOneByteBracketToken) {
  AddBracket(*fountain_, "/*", "*/");
  auto rows = MakeRows({{"/* x *", raWrapped}, {"/ y"}});
  const auto states = StatesFromTop(*parser_, *rows);
  EXPECT_EQ(states[1].BracketIndex, 0);
  EXPECT_EQ(states[1].PrevToken, ttBracket);
  EXPECT_EQ(states[1].WrappedByte, 1);
  const std::string row = "/ y";
  parser_->StartRow(row, states[1]);
  ASSERT_EQ(parser_->ScanToken(), ttBracket);
  EXPECT_EQ(parser_->TokenStr(), "/");
  EXPECT_EQ(parser_->TokenBracketIndex(), 0);
  EXPECT_EQ(parser_->BracketIndex(), -1);
  EXPECT_EQ(parser_->ScanToken(), ttAnk);
}

TEST_F(FountainParserTest, CloserWhollyInTheNextRowLeavesTheRegionOpen) {
  AddBracket(*fountain_, "/*", "*/");
  auto rows = MakeRows({{"/* x ", raWrapped}, {"*/ y"}, {"z"}});
  const auto states = StatesFromTop(*parser_, *rows);
  EXPECT_EQ(states[1].BracketIndex, 0);
  EXPECT_EQ(states[1].PrevToken, 0);
  EXPECT_EQ(states[2].BracketIndex, -1);
}

TEST_F(FountainParserTest, QuotedStringCarriesOverAWrapButNotALineBreak) {
  auto rows = MakeRows({{"s = \"abc", raWrapped}, {"de\"\"f", raWrapped}, {"gh"}, {"\"x"}, {"y"}});
  const auto states = StatesFromTop(*parser_, *rows);
  EXPECT_EQ(states[1].PrevToken, ttDoubleQuote);
  EXPECT_EQ(states[1].WrappedByte, 0);
  EXPECT_EQ(Scan("de\"\"f", states[1]), (std::vector<Token>{{ttDoubleQuote, "de\"\"f"}}));
  EXPECT_EQ(states[2].PrevToken, ttDoubleQuote);
  EXPECT_EQ(states[4].PrevToken, 0);
}

TEST_F(FountainParserTest, ScanningKeepsTheFieldsItDoesNotOwn) {
  auto rows = MakeRows({{"abc def"}});
  TRowAttributeData state = InitialState();
  state.Remain = 7;
  state.DataStr = "kept";
  state.ElementIndex = 3;
  parser_->ScanRowState(0, *rows, state);
  EXPECT_EQ(state.Remain, 7);
  EXPECT_EQ(state.DataStr, "kept");
  EXPECT_EQ(state.ElementIndex, 3);
}

}  // namespace
}  // namespace corvida
