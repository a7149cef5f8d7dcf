#include "platform/rtl/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace corvida {
namespace {

TEST(Cp932, ConvertsToUtf8AndBack) {
  struct Case {
    std::string cp932;
    std::string utf8;
  };
  const Case cases[] = {
      {"abc 123", "abc 123"},
      {"\xb1\xb2\xdf", "\xef\xbd\xb1\xef\xbd\xb2\xef\xbe\x9f"},                  // half-width katakana
      {"\x8a\xbf\x8e\x9a", "\xe6\xbc\xa2\xe5\xad\x97"},                          // kanji
      {"\x87\x40\x87\x54", "\xe2\x91\xa0\xe2\x85\xa0"},                          // NEC row 13
      {"\xfa\x40\xfa\x5c", "\xe2\x85\xb0\xe7\xba\x8a"},                          // IBM extension
      {"\x81\x5f\x81\x60", "\xef\xbc\xbc\xef\xbd\x9e"},                          // backslash, wave dash
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << c.cp932;
    EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.cp932;
  }
}

TEST(Cp932, DuplicateCodesConvertBackToTheWindowsForm) {
  // NEC-selected IBM extensions come back as the IBM codes, IBM duplicates
  // of NEC row 13 and of JIS X 0208 as those.
  EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\xed\x40")), "\xfa\x5c");
  EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\xee\xef")), "\xfa\x40");
  EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\xfa\x4a")), "\x87\x54");
  EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\xfa\x54")), "\x81\xca");
  EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8("\x87\x9a")), "\x81\xe6");
}

TEST(Cp932, BrokenBytesSurviveTheRoundTrip) {
  for (const std::string& bytes : {std::string("ab\x83"), std::string("\x83"), std::string("\x81\x20x"),
                                  std::string("\x85\x40"), std::string("\xfd\xfe\xff\x80\xa0"),
                                  std::string("a\0b", 3)}) {
    const std::string utf8 = Cp932ToUtf8(bytes);
    EXPECT_EQ(Utf8ToCp932(utf8), bytes);
  }
  EXPECT_EQ(Utf8ToCp932("\xf0\x9f\x98\x80"), "?") << "no CP932 form";
  EXPECT_EQ(Utf8ToCp932("a\xffz"), "a?z") << "malformed UTF-8";
}

TEST(Cp932, CaseMappingNeverTouchesATrailByte) {
  EXPECT_EQ(AnsiUpperCase("abc\x83\x61xyz"), "ABC\x83\x61XYZ");
  EXPECT_EQ(AnsiLowerCase("ABC\x83\x41XYZ"), "abc\x83\x41xyz");
  EXPECT_EQ(AnsiUpperCase("\xb1z"), "\xb1Z") << "half-width katakana is one byte";
  EXPECT_EQ(AnsiUpperCase("a\x83"), "A\x83") << "a lone lead byte at the end";
}

TEST(Cp932, ComparisonsIgnoreCaseOnlyOutsideDoubleByteCharacters) {
  EXPECT_EQ(AnsiCompareText("abc", "ABC"), 0);
  EXPECT_TRUE(AnsiSameText("File.PAS", "file.pas"));
  EXPECT_NE(AnsiCompareText("\x83\x61", "\x83\x41"), 0);
  EXPECT_LT(AnsiCompareText("ab", "abc"), 0);
  EXPECT_GT(AnsiCompareText("b", "A"), 0);
  EXPECT_LT(AnsiCompareStr("B", "a"), 0);
  EXPECT_FALSE(AnsiSameText("a", "a "));
}

TEST(Cp932, LeadBytes) {
  EXPECT_FALSE(IsLeadByte('\x80'));
  EXPECT_TRUE(IsLeadByte('\x81'));
  EXPECT_TRUE(IsLeadByte('\x9f'));
  EXPECT_FALSE(IsLeadByte('\xa0'));
  EXPECT_FALSE(IsLeadByte('\xdf'));
  EXPECT_TRUE(IsLeadByte('\xe0'));
  EXPECT_TRUE(IsLeadByte('\xfc'));
  EXPECT_FALSE(IsLeadByte('\xfd'));
}

TEST(Cp932, ShiftJisAndJisArithmetic) {
  EXPECT_EQ(SjisToJis(0x8140), 0x2121);
  EXPECT_EQ(SjisToJis(0x889F), 0x3021);  // the first level-1 kanji
  EXPECT_EQ(SjisToJis(0x9FFC), 0x5E7E);
  EXPECT_EQ(SjisToJis(0xE040), 0x5F21);
  EXPECT_EQ(SjisToJis(0xEAA4), 0x7426);
  EXPECT_EQ(SjisToJis(0x8180), 0x2160);
  EXPECT_EQ(SjisToJis(0x817F), 0);
  EXPECT_EQ(SjisToJis(0x8130), 0);
  EXPECT_EQ(SjisToJis(0xF040), 0) << "user-defined area";
  EXPECT_EQ(SjisToJis(0x4141), 0);
  for (uint16_t row = 0x21; row <= 0x7E; ++row)
    for (uint16_t cell = 0x21; cell <= 0x7E; ++cell) {
      const uint16_t jis = static_cast<uint16_t>(row << 8 | cell);
      ASSERT_EQ(SjisToJis(JisToSjis(jis)), jis) << std::hex << jis;
    }
  EXPECT_EQ(JisToSjis(0x2121), 0x8140);
  EXPECT_EQ(JisToSjis(0x2020), 0);
  EXPECT_EQ(JisToSjis(0x7F21), 0);
}

TEST(Cp932, SingleCharactersToUnicode) {
  EXPECT_EQ(Cp932CharToUnicode('A'), U'A');
  EXPECT_EQ(Cp932CharToUnicode(0xB1), U'\uFF71');
  EXPECT_EQ(Cp932CharToUnicode(0x82A0), U'\u3042');
  EXPECT_EQ(Cp932CharToUnicode(0x8540), 0u);
}

TEST(Cp932Test, LineEndsTravelAsLfAndComeBackAsCrLf) {
  EXPECT_EQ(CrLfToLf("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(CrLfToLf("lone\rcr\r"), "lone\rcr\r");
  EXPECT_EQ(LineEndsToCrLf("a\r\nb\nc\rd\r"), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(LineEndsToCrLf("\n\r"), "\r\n\r\n");
  EXPECT_EQ(LineEndsToCrLf(CrLfToLf("x\r\n\r\ny")), "x\r\n\r\ny");
}

}  // namespace
}  // namespace corvida
