#include "editor/highlight/editor_fountain.h"

#include <gtest/gtest.h>

#include "editor/highlight/scan_helpers.h"

namespace corvida {
namespace {

using testing::AddBracket;
using testing::InitialState;
using testing::MakeRows;
using testing::NewEditorFountain;
using testing::StatesFromTop;
using testing::Token;
using testing::Tokens;

class EditorFountainTest : public ::testing::Test {
 protected:
  EditorFountainTest() : fountain_(NewEditorFountain()) {}

  std::vector<Token> Scan(const std::string& s, const TRowAttributeData& state = InitialState()) {
    auto parser = fountain_->CreateParser();
    return Tokens(*parser, s, state);
  }

  // The colour each token of s gets, by token text.
  std::vector<std::pair<std::string, TFountainColor*>> Colours(const std::string& s) {
    auto parser = fountain_->CreateParser();
    std::vector<std::pair<std::string, TFountainColor*>> colours;
    parser->StartRow(s, InitialState());
    while (parser->ScanToken() != ttEnd) colours.emplace_back(parser->TokenStr(), parser->TokenColor());
    return colours;
  }

  // The report pane's settings.
  void UseReportSettings() {
    fountain_->SetCommenter("//");
    fountain_->SetQuotation("\"");
    fountain_->ReserveWordList()->Add("total");
    fountain_->Colors()->Comment()->SetColor(clBlack);
    fountain_->Colors()->Int()->SetColor(clBlue);
    fountain_->Reserve()->SetColor(clBlue);
  }

  std::unique_ptr<TEditorFountain> fountain_;
};

TEST_F(EditorFountainTest, ReportTotalLineColours) {
  UseReportSettings();
  TEditorColors* colors = fountain_->Colors();
  const auto colours = Colours("     120 : Total // a.mqo");
  ASSERT_EQ(colours.size(), 4u);
  EXPECT_EQ(colours[0], std::make_pair(std::string("120"), static_cast<TFountainColor*>(colors->Int())));
  EXPECT_EQ(colours[1], std::make_pair(std::string(":"), static_cast<TFountainColor*>(colors->Symbol())));
  EXPECT_EQ(colours[2], std::make_pair(std::string("Total"), fountain_->Reserve()));
  EXPECT_EQ(colours[3], std::make_pair(std::string("// a.mqo"), static_cast<TFountainColor*>(colors->Comment())));
}

TEST_F(EditorFountainTest, UrlsComeBeforeComments) {
  fountain_->SetCommenter("//");
  EXPECT_EQ(Scan("see http://a.example/x"), (std::vector<Token>{{ttAnk, "see"}, {ttAnk, "http"}, {ttSymbol, ":"},
                                                                  {ttComment, "//a.example/x"}}));
  fountain_->SetUrl(true);
  EXPECT_EQ(Scan("see https://www.example.com/p/q?a=1&b=2#top x"),
            (std::vector<Token>{{ttAnk, "see"}, {ttUrl, "https://www.example.com/p/q?a=1&b=2#top"}, {ttAnk, "x"}}));
  EXPECT_EQ(Scan("HTTPS:x"), (std::vector<Token>{{ttAnk, "HTTPS"}, {ttSymbol, ":"}, {ttAnk, "x"}}));
  EXPECT_EQ(Scan("www.a ftp:b"), (std::vector<Token>{{ttUrl, "www.a"}, {ttUrl, "ftp:b"}}));
}

TEST_F(EditorFountainTest, MailAddressesNeedAnAtAndADotAfterIt) {
  fountain_->SetMail(true);
  EXPECT_EQ(Scan("to first.last@host.example.com now"),
            (std::vector<Token>{{ttAnk, "to"}, {ttMail, "first.last@host.example.com"}, {ttAnk, "now"}}));
  EXPECT_EQ(Scan("@host.com"), (std::vector<Token>{{ttSymbol, "@"}, {ttAnk, "host"}, {ttSymbol, "."}, {ttAnk, "com"}}));
  EXPECT_EQ(Scan("me@host"), (std::vector<Token>{{ttAnk, "me"}, {ttSymbol, "@"}, {ttAnk, "host"}}));
}

// One run of mail characters is looked at once for all the tokens inside it;
// each token must still get the answer from its own place.
TEST_F(EditorFountainTest, MailInsideOneRunDependsOnWhereTheTokenStarts) {
  fountain_->SetMail(true);
  // Only the last '@' is followed by a '.': the address starts after a token
  // that began before both.
  EXPECT_EQ(Scan("a@b-c@d.e f"), (std::vector<Token>{{ttMail, "a@b-c@d.e"}, {ttAnk, "f"}}));
  EXPECT_EQ(Scan("-@b.c"), (std::vector<Token>{{ttMail, "-@b.c"}}));
  // The '@' lies before the token: what follows is no address.
  EXPECT_EQ(Scan("\x82\xa0@b.c"), (std::vector<Token>{{ttHiragana, "\x82\xa0"}, {ttSymbol, "@"}, {ttAnk, "b"},
                                                      {ttSymbol, "."}, {ttAnk, "c"}}));
  EXPECT_EQ(Scan("x.y-z w@v.u"), (std::vector<Token>{{ttAnk, "x"}, {ttSymbol, "."}, {ttAnk, "y"}, {ttSymbol, "-"},
                                                      {ttAnk, "z"}, {ttMail, "w@v.u"}}));
  // A long run of symbols is many tokens, none of them mail.
  const std::vector<Token> dashes = Scan(std::string(5000, '-') + "@x");
  ASSERT_EQ(dashes.size(), 5002u);
  EXPECT_EQ(dashes[4999], (Token{ttSymbol, "-"}));
  // A row that reuses the buffer of the row before is looked at afresh.
  auto parser = fountain_->CreateParser();
  std::string row = "a@b.c";
  EXPECT_EQ(Tokens(*parser, row, InitialState()), (std::vector<Token>{{ttMail, "a@b.c"}}));
  row = "a-b-c";
  EXPECT_EQ(Tokens(*parser, row, InitialState()),
            (std::vector<Token>{{ttAnk, "a"}, {ttSymbol, "-"}, {ttAnk, "b"}, {ttSymbol, "-"}, {ttAnk, "c"}}));
}

TEST_F(EditorFountainTest, QuotedStrings) {
  fountain_->SetQuotation("\"'");  // only the first byte counts
  EXPECT_EQ(Scan("x \"a \"\"b\"\" c\" y 'z'"),
            (std::vector<Token>{{ttAnk, "x"}, {ttQuotation, "\"a \"\"b\"\" c\""}, {ttAnk, "y"}, {ttSymbol, "'"},
                                {ttAnk, "z"}, {ttSymbol, "'"}}));
  EXPECT_EQ(Scan("\"open \x82\xa0"), (std::vector<Token>{{ttQuotation, "\"open \x82\xa0"}}));
}

TEST_F(EditorFountainTest, UnterminatedStringContinuesOnWrappedRowsOnly) {
  fountain_->SetQuotation("\"");
  auto rows = MakeRows({{"s = \"abc", raWrapped}, {"def", raCrlf}, {"ghi"}});
  auto parser = fountain_->CreateParser();
  const auto states = StatesFromTop(*parser, *rows);
  EXPECT_EQ(states[1].PrevToken, ttQuotation);
  EXPECT_EQ(Tokens(*parser, "def", states[1]), (std::vector<Token>{{ttQuotation, "def"}}));
  EXPECT_EQ(states[2].PrevToken, 0);
}

TEST_F(EditorFountainTest, LineCommentOverThreeWrappedRows) {
  fountain_->SetCommenter("//");
  auto rows = MakeRows({{"a // one", raWrapped}, {"two", raWrapped}, {"three"}, {"b"}});
  auto parser = fountain_->CreateParser();
  const auto states = StatesFromTop(*parser, *rows);
  EXPECT_EQ(states[1].PrevToken, ttComment);
  EXPECT_EQ(states[2].PrevToken, ttComment);
  EXPECT_EQ(states[3].PrevToken, 0);
  EXPECT_EQ(Tokens(*parser, "two", states[1]), (std::vector<Token>{{ttComment, "two"}}));
  EXPECT_EQ(Tokens(*parser, "three", states[2]), (std::vector<Token>{{ttComment, "three"}}));
}

TEST_F(EditorFountainTest, ControlCodesAndHexPrefixes) {
  EXPECT_EQ(Scan("#13"), (std::vector<Token>{{ttSymbol, "#"}, {ttInteger, "13"}}));
  fountain_->SetControlCode(true);
  EXPECT_EQ(Scan("#$1F #13 #a"),
            (std::vector<Token>{{ttControlHex, "#$1F"}, {ttControlCode, "#13"}, {ttControlCode, "#"}, {ttAnk, "a"}}));
  fountain_->SetHexPrefix("0x");
  EXPECT_EQ(Scan("0x1F 0X1f 0"), (std::vector<Token>{{ttHex, "0x1F"}, {ttHex, "0X1f"}, {ttInteger, "0"}}));
  fountain_->SetHexPrefix("$");
  EXPECT_EQ(Scan("$FF"), (std::vector<Token>{{ttHex, "$FF"}}));
}

TEST_F(EditorFountainTest, ReservedWordsAreNotColouredInsideCommentsOrBrackets) {
  UseReportSettings();
  AddBracket(*fountain_, "{", "}");
  fountain_->ReserveWordList()->Add("{total}");
  fountain_->ReserveWordList()->Add("\"total\"");
  const auto comment = Colours("//total");
  ASSERT_EQ(comment.size(), 1u);
  EXPECT_EQ(comment[0].second, fountain_->Colors()->Comment());
  const auto bracket = Colours("{total}");
  ASSERT_EQ(bracket.size(), 1u);
  EXPECT_EQ(bracket[0].second, fountain_->Brackets()->Items(0)->ItemColor());
  const auto quoted = Colours("\"total\"");
  ASSERT_EQ(quoted.size(), 1u);
  EXPECT_EQ(quoted[0].second, fountain_->Reserve());
}

TEST_F(EditorFountainTest, EveryKindMapsToItsColour) {
  TEditorColors* c = fountain_->Colors();
  fountain_->SetQuotation("\"");
  const auto colours = Colours("a 1 ; \x82\xa0 \"s\" \t");
  ASSERT_EQ(colours.size(), 6u);
  EXPECT_EQ(colours[0].second, c->Ank());
  EXPECT_EQ(colours[1].second, c->Int());
  EXPECT_EQ(colours[2].second, c->Symbol());
  EXPECT_EQ(colours[3].second, c->DBCS());
  EXPECT_EQ(colours[4].second, c->Str());
  EXPECT_EQ(colours[5].second, nullptr) << "a tab keeps the row's colours";
}

}  // namespace
}  // namespace corvida
