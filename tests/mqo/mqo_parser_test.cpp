#include "mqo/mqo_parser.h"

#include <gtest/gtest.h>

#include "scan_helpers.h"

namespace corvida::testing {
namespace {

using namespace std::string_literals;

// "N 行で" followed by the error text, as the scanner's messages read.
std::string AtLine(int line, const char* text) {
  return std::to_string(line) + " \x8d\x73\x82\xc5" + text;
}

TEST(ParserTokens, EmptySourceEndsAtOnceAndStaysEnded) {
  TMemoryStream empty;
  TParser parser(empty);
  EXPECT_EQ(parser.TokenKind(), tkEnd);
  EXPECT_EQ(parser.TokenText(), "");
  EXPECT_EQ(parser.Advance(), tkEnd);
  EXPECT_EQ(parser.Advance(), tkEnd);
  EXPECT_EQ(parser.TokenText(), "");
}

TEST(ParserTokens, ModelKeywordsAndPunctuation) {
  EXPECT_EQ(Tokens("face 12 {"), (std::vector<TToken>{{tkSymbol, "face"}, {tkInteger, "12"}, {123, "{"}}));
  EXPECT_EQ(Tokens("Object \"obj1\" {"),
            (std::vector<TToken>{{tkSymbol, "Object"}, {34, "\""}, {tkSymbol, "obj1"}, {34, "\""}, {123, "{"}}));
  EXPECT_EQ(Tokens("_a9 Z"), (std::vector<TToken>{{tkSymbol, "_a9"}, {tkSymbol, "Z"}}));
}

TEST(ParserTokens, NumbersIntegersAndFloats) {
  EXPECT_EQ(Tokens("-"), (std::vector<TToken>{{tkInteger, "-"}}));
  EXPECT_EQ(Tokens("$"), (std::vector<TToken>{{tkInteger, "$"}}));
  EXPECT_EQ(Tokens("$1fG"), (std::vector<TToken>{{tkInteger, "$1f"}, {tkSymbol, "G"}}));
  EXPECT_EQ(Tokens("-0.5e+3"), (std::vector<TToken>{{tkFloat, "-0.5e+3"}}));
  EXPECT_EQ(Tokens("12d"), (std::vector<TToken>{{tkFloat, "12d"}}));
  EXPECT_EQ(Tokens("1-2"), (std::vector<TToken>{{tkFloat, "1-2"}}));
  EXPECT_EQ(Tokens("12abc"), (std::vector<TToken>{{tkInteger, "12"}, {tkSymbol, "abc"}}));
  EXPECT_EQ(Tokens("1.5Sx"), (std::vector<TToken>{{tkFloat, "1.5S"}, {tkSymbol, "x"}}));
  EXPECT_EQ(Tokens("V(0 1)"),
            (std::vector<TToken>{{tkSymbol, "V"}, {40, "("}, {tkInteger, "0"}, {tkInteger, "1"}, {41, ")"}}));
}

TEST(ParserTokens, StringsAreDecoded) {
  EXPECT_EQ(Tokens("'it''s'"), (std::vector<TToken>{{tkString, "it's"}}));
  EXPECT_EQ(Tokens("#65#66"), (std::vector<TToken>{{tkString, "AB"}}));
  EXPECT_EQ(Tokens("#"), (std::vector<TToken>{{tkString, std::string(1, '\0')}}));
  EXPECT_EQ(Tokens("'a'#66'c' x"), (std::vector<TToken>{{tkString, "aBc"}, {tkSymbol, "x"}}));
  EXPECT_EQ(Tokens("''"), (std::vector<TToken>{{tkString, ""}}));
  EXPECT_EQ(Tokens("#127"), (std::vector<TToken>{{tkString, "\x7f"}}));
}

TEST(ParserTokens, CodesAbove127MakeAWideStringKeptRaw) {
  EXPECT_EQ(Tokens("#200"), (std::vector<TToken>{{tkWideString, "#200"}}));
  EXPECT_EQ(Tokens("'ab'#128'c' z"), (std::vector<TToken>{{tkWideString, "'ab'#128'c'"}, {tkSymbol, "z"}}));
}

TEST(ParserTokens, ShiftJisBytesAreScannedOneByOne) {
  // ボックス: 83 7B 83 62 83 4E 83 58; the trail bytes 0x62, 0x4E and 0x58 are letters.
  const std::string name = "\x83\x7b\x83\x62\x83\x4e\x83\x58";
  const auto tokens = Tokens("\"" + name + "\"");
  EXPECT_EQ(tokens, (std::vector<TToken>{{34, "\""},
                                         {0x83, "\x83"},
                                         {123, "{"},
                                         {0x83, "\x83"},
                                         {tkSymbol, "b"},
                                         {0x83, "\x83"},
                                         {tkSymbol, "N"},
                                         {0x83, "\x83"},
                                         {tkSymbol, "X"},
                                         {34, "\""}}));
  EXPECT_EQ(Joined(tokens), "\"" + name + "\"");
}

TEST(ParserTokens, AdjacentTokensJoinBackToTheInputWithoutBlanks) {
  const std::string text = "a\"b\" 12abc\t-3.5e2x\r\n$ff_q #65'z'[4] \x82\xa0\xdf\x7f~";
  std::string noBlanks;
  for (char c : text)
    if (static_cast<unsigned char>(c) > ' ') noBlanks += c;
  auto tokens = Tokens(text);
  // Only the string token changes its text by decoding.
  for (auto& t : tokens)
    if (t.kind == tkString) t.text = "#65'z'";
  EXPECT_EQ(Joined(tokens), noBlanks);
}

TEST(ParserLines, OnlyLineFeedsCountLines) {
  TMemoryStream s;
  LoadBytes(s, "a\r\rb\r\nc\n\nd");
  TParser p(s);
  EXPECT_EQ(p.LineNumber(), 1);
  p.Advance();
  EXPECT_EQ(p.TokenText(), "b");
  EXPECT_EQ(p.LineNumber(), 1);
  p.Advance();
  EXPECT_EQ(p.LineNumber(), 2);
  p.Advance();
  EXPECT_EQ(p.TokenText(), "d");
  EXPECT_EQ(p.LineNumber(), 4);
}

TEST(ParserErrors, QuoteLeftOpenNamesItsLine) {
  EXPECT_EQ(ScanError("1\n2\n3\n4\n5\n6\nObject 'abc\nface 3 {\n"), AtLine(7, msg::kInvalidString));
  EXPECT_EQ(ScanError("x 'abc\r\n"), AtLine(1, msg::kInvalidString));
  EXPECT_EQ(ScanError("'abc"), AtLine(1, msg::kInvalidString));
  EXPECT_EQ(ScanError("'a\0b'"s), AtLine(1, msg::kInvalidString));
}

TEST(ParserErrors, ScannerStaysEndedAfterAnError) {
  TMemoryStream s;
  LoadBytes(s, "a\n'b\nc d e\n");
  TParser p(s);
  EXPECT_THROW(p.Advance(), EParserError);
  EXPECT_EQ(p.TokenKind(), tkEnd);
  EXPECT_EQ(p.Advance(), tkEnd);
}

TEST(ParserWindow, LineOf4094BytesFitsAndOf4095DoesNot) {
  const std::string fits = std::string(4094, 'a') + "\n";
  const auto tokens = Tokens(fits);
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].text.size(), 4094u);

  EXPECT_EQ(ScanError(std::string(4095, 'a') + "\n"), AtLine(1, msg::kLineTooLong));
  // A full window with a line feed only in its first byte is too long as well.
  EXPECT_EQ(ScanError("x\n\n" + std::string(5000, 'b')), AtLine(3, msg::kLineTooLong));
}

TEST(ParserWindow, TokensSurviveEveryWindowCutAndReadSize) {
  // Lines of every length around the window size, so cuts fall everywhere.
  std::string text;
  std::vector<TToken> expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string word = "w" + std::to_string(i);
    text += word + std::string(static_cast<size_t>(i % 37), ' ') + "'s" + std::to_string(i) + "'";
    text += (i % 3 == 0) ? "\r\n" : "\n";
    expected.push_back({tkSymbol, word});
    expected.push_back({tkString, "s" + std::to_string(i)});
  }
  EXPECT_EQ(Tokens(text), expected);
  TTrickleStream trickle(text, 7);
  EXPECT_EQ(Tokens(trickle), expected);
}

TEST(ParserWindow, NumbersScanAlikeAnywhereInTheWindow) {
  // Every kind of number at every distance from the window's end, some
  // longer than sixteen bytes, each followed by the byte that ends it.
  const std::vector<std::pair<TToken, std::string>> samples{
      {{tkInteger, "12"}, " "},          {{tkFloat, "-0.5e+3"}, "\r\n"},
      {{tkFloat, "12d"}, ")"},           {{tkFloat, "1-2"}, " "},
      {{tkInteger, "-"}, "("},           {{tkInteger, "0"}, "x "},
      {{tkFloat, "7.25S"}, " "},         {{tkInteger, "123456789012345678901234"}, " "},
      {{tkFloat, "1234567890123456.5"}, "\n"}, {{tkFloat, "12345678901234567890Ec"}, "g "},
      {{tkFloat, "3.0"}, "\t"},         {{tkFloat, "45e"}, ")"}};
  std::string text;
  std::vector<TToken> expected;
  for (int i = 0; i < 4000; ++i) {
    const auto& [token, after] = samples[static_cast<size_t>(i) % samples.size()];
    text += token.text + after + std::string(static_cast<size_t>(i % 5), ' ');
    expected.push_back(token);
    if (after == "x ") expected.push_back({tkSymbol, "x"});
    if (after == "g ") expected.push_back({tkSymbol, "g"});
    if (after == ")") expected.push_back({41, ")"});
    if (after == "(") expected.push_back({40, "("});
    if (i % 7 == 0) text += "\n";
  }
  EXPECT_EQ(Tokens(text), expected);
}

TEST(ParserWindow, LineNumbersCarryAcrossRefills) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + "\n";
  text += "'open\n";
  EXPECT_EQ(ScanError(text), AtLine(2001, msg::kInvalidString));
}

// NUL bytes: trailing padding ends the text, anything after a NUL is an error.
TEST(ParserNul, TrailingNulPaddingEndsTheText) {
  EXPECT_EQ(Tokens("a b\n\0\0\0"s), (std::vector<TToken>{{tkSymbol, "a"}, {tkSymbol, "b"}}));
  EXPECT_EQ(Tokens("a\0"s), (std::vector<TToken>{{tkSymbol, "a"}}));
  // Padding running over many windows.
  const std::string padded = "Eof\r\n" + std::string(10000, '\0');
  EXPECT_EQ(Tokens(padded), (std::vector<TToken>{{tkSymbol, "Eof"}}));
  TTrickleStream trickle(padded, 3);
  EXPECT_EQ(Tokens(trickle), (std::vector<TToken>{{tkSymbol, "Eof"}}));
}

TEST(ParserNul, NulWithTextAfterItIsAnError) {
  EXPECT_EQ(ScanError("1\n2\n3\n4\nab\0cd\n"s), AtLine(5, msg::kInvalidNul));
  EXPECT_EQ(ScanError("a\n\0\0\0 \n"s), AtLine(2, msg::kInvalidNul));
  // The text after the NUL lies windows away, beyond a long run of NULs.
  EXPECT_EQ(ScanError("a\n" + std::string(9000, '\0') + "face 3 {\n"), AtLine(2, msg::kInvalidNul));
  // A NUL as the first byte after a window cut.
  std::string cut;
  while (cut.size() < 4000) cut += "0.123456 -1.5 2.25\n";
  cut.resize(4095 - 1);
  cut += "\n";
  EXPECT_EQ(ScanError(cut + "\0x\n"s), AtLine(1 + 4000 / 19 + 1, msg::kInvalidNul));
}

// Binary blocks: "[N]" ending a line announces N raw bytes after the break.
std::string Block(std::string_view head, std::string_view payload, std::string_view tail) {
  return std::string(head) + "[" + std::to_string(payload.size()) + "]\r\n" + std::string(payload) +
         std::string(tail);
}

TEST(ParserBinary, PayloadIsSkippedWhateverItHolds) {
  const std::string payload = "\0\x01'\"\n\nface 99 {\n'#\0\r\n\xff"s;
  const auto tokens = Tokens(Block("Vector 8 ", payload, "\r\n}\r\nface 6 {\r\n"));
  EXPECT_EQ(tokens, (std::vector<TToken>{{tkSymbol, "Vector"},
                                         {tkInteger, "8"},
                                         {91, "["},
                                         {tkInteger, "22"},
                                         {93, "]"},
                                         {125, "}"},
                                         {tkSymbol, "face"},
                                         {tkInteger, "6"},
                                         {123, "{"}}));
}

TEST(ParserBinary, OnlyTheBreakAfterTheCountIsALine) {
  // Lines: 1 "a", 2 the block head, its LF counted; the payload's three line
  // feeds are not; then "b" on line 3 and an open quote on line 4.
  EXPECT_EQ(ScanError("a\nVector 1 [3]\n\n\n\nb\n'open\n"), AtLine(4, msg::kInvalidString));
  EXPECT_EQ(ScanError("a\nVector 1 [3]\r\n\n\n\nb\n'open\n"), AtLine(4, msg::kInvalidString));
  EXPECT_EQ(ScanError("a\nVector 1 [ 3 ]\r\n\n\n\nb\n'open\n"), AtLine(4, msg::kInvalidString));
}

TEST(ParserBinary, LargePayloadAcrossManyWindows) {
  std::string payload;
  for (int i = 0; i < 10000; ++i) payload += static_cast<char>((i * 7919) % 256);
  const std::string text = Block("x\n  Vector 833 ", payload, "\r\ny 'z'\n");
  const std::vector<TToken> expected{{tkSymbol, "x"}, {tkSymbol, "Vector"}, {tkInteger, "833"}, {91, "["},
                                     {tkInteger, "10000"}, {93, "]"}, {tkSymbol, "y"}, {tkString, "z"}};
  EXPECT_EQ(Tokens(text), expected);
  TTrickleStream trickle(text, 5);
  EXPECT_EQ(Tokens(trickle), expected);
}

TEST(ParserBinary, PayloadStartingAtAWindowCut) {
  // The head's line feed is the last one of the first window, so the payload
  // begins exactly at the scan limit.
  std::string head;
  while (head.size() < 3000) head += "1.0 2.0 3.0\n";
  const std::string payload(5000, '\0');
  std::vector<TToken> tokens = Tokens(Block(head + "V ", payload, "\nend\n"));
  ASSERT_GE(tokens.size(), 2u);
  EXPECT_EQ(tokens.back(), (TToken{tkSymbol, "end"}));
  EXPECT_EQ(tokens[tokens.size() - 2], (TToken{93, "]"}));

  // The head's line feed is the window's very last byte, so the head itself
  // opens the next window.
  std::string filler;
  const std::string blockHead = "V [4]\n";
  while (filler.size() < 4096 - blockHead.size()) filler += "a\n";
  filler.resize(4096 - blockHead.size() - 1);
  filler += "\n";
  tokens = Tokens(filler + blockHead + "\n\0'\""s + "end\n");
  EXPECT_EQ(tokens.back(), (TToken{tkSymbol, "end"}));
}

TEST(ParserBinary, FileEndingInsideThePayloadJustEnds) {
  EXPECT_EQ(Tokens("V [100]\r\n\0\0'x"s),
            (std::vector<TToken>{{tkSymbol, "V"}, {91, "["}, {tkInteger, "100"}, {93, "]"}}));
  EXPECT_EQ(Tokens("V [3]\n"), (std::vector<TToken>{{tkSymbol, "V"}, {91, "["}, {tkInteger, "3"}, {93, "]"}}));
}

TEST(ParserBinary, OtherBracketsAreOrdinaryText) {
  // No line break right after "]", or not a plain decimal count: no block.
  EXPECT_EQ(Joined(Tokens("[2] ab\ncd\n")), "[2]abcd");
  EXPECT_EQ(Joined(Tokens("[2]x\ncd\n")), "[2]xcd");
  EXPECT_EQ(Joined(Tokens("[-2]\ncd\n")), "[-2]cd");
  EXPECT_EQ(Joined(Tokens("[$2]\ncd\n")), "[$2]cd");
  EXPECT_EQ(Joined(Tokens("[2.0]\ncd\n")), "[2.0]cd");
  EXPECT_EQ(Joined(Tokens("[ x 2]\ncd\n")), "[x2]cd");
  EXPECT_EQ(Joined(Tokens("\"ArmA[]\" col(1)\n")), "\"ArmA[]\"col(1)");
  EXPECT_EQ(Joined(Tokens("[2]\rcd\n")), "[2]cd");
  EXPECT_EQ(Joined(Tokens("[2147483648]\ncd\n")), "[2147483648]cd");
  // The largest count is a block; zero is an empty one.
  EXPECT_EQ(Joined(Tokens("[2147483647]\ncd\n")), "[2147483647]");
  EXPECT_EQ(Joined(Tokens("[0]\ncd\n")), "[0]cd");
  EXPECT_EQ(Joined(Tokens("[007]\n1234567cd\n")), "[007]cd");
}

}  // namespace
}  // namespace corvida::testing
