#include "editor/model/text_search.h"

#include <gtest/gtest.h>

#include <string>

namespace corvida {
namespace {

// "ガ", "カ", "ａｂｃ", "　"
const std::string kGa = "\x83\x4b";
const std::string kKa = "\x83\x4a";
const std::string kFullAbc = "\x82\x81\x82\x82\x82\x83";
const std::string kFullSpace = "\x81\x40";

struct Found {
  bool ok;
  TSearchPos pos;
};

Found Find(const std::string& text, const std::string& pattern, TSearchOptions options, TSearchPos from = {}) {
  TSearchPos pos = from;
  const bool ok = FindPos(text, pos, pattern, options);
  return {ok, pos};
}

void ExpectFound(const Found& f, int start, int length) {
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(f.pos.Start, start);
  EXPECT_EQ(f.pos.Length, length);
}

TEST(TextSearch, ForwardAndBackwardFromAPosition) {
  ExpectFound(Find("xx abc", "abc", sfDown | sfMatchCase), 3, 3);
  ExpectFound(Find("xx abc", "ABC", sfDown), 3, 3);
  EXPECT_FALSE(Find("xx abc", "ABC", sfDown | sfMatchCase).ok);
  // The search goes on after the current selection, not at it.
  ExpectFound(Find("abcabc", "abc", sfDown | sfMatchCase, {0, 3}), 3, 3);
  EXPECT_FALSE(Find("abcabc", "abc", sfDown | sfMatchCase, {3, 3}).ok);
  // Backward matches end at or before the start position.
  ExpectFound(Find("abcabc", "abc", sfMatchCase, {6, 0}), 3, 3);
  ExpectFound(Find("abcabc", "abc", sfMatchCase, {5, 0}), 0, 3);
  EXPECT_FALSE(Find("abcabc", "abc", sfMatchCase, {2, 0}).ok);
}

TEST(TextSearch, RefusesEmptyInputsAndBadPositionsWithoutTouchingPos) {
  for (const Found& f : {Find("", "a", sfDown, {1, 2}), Find("abc", "", sfDown, {1, 2}),
                         Find(std::string("\0abc", 4), "a", sfDown, {1, 2}), Find("abc", "a", sfDown, {-1, 2}),
                         Find("abc", "a", sfDown, {4, 0}), Find("abc", "a", sfDown, {0, -1}),
                         Find("abc", "a", sfDown, {0, 0x7fffffff})}) {
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.pos, (TSearchPos{f.pos.Start, f.pos.Length}));
  }
  TSearchPos pos{1, 2};
  EXPECT_FALSE(FindPos("abc", pos, "", sfDown));
  EXPECT_EQ(pos, (TSearchPos{1, 2}));
}

TEST(TextSearch, TheTextEndsAtItsFirstNul) {
  const std::string text("ab\0ab", 5);
  ExpectFound(Find(text, "ab", sfDown | sfMatchCase), 0, 2);
  EXPECT_FALSE(Find(text, "ab", sfDown | sfMatchCase, {0, 2}).ok);
}

TEST(TextSearch, NeverMatchesInsideADoubleByteCharacter) {
  // 0x83 0x41 is "ア"; its trail byte is the letter A.
  const std::string text = "\x83\x41\x83\x41";
  EXPECT_FALSE(Find(text, "A", sfDown | sfMatchCase).ok);
  EXPECT_FALSE(Find(text, "a", sfDown).ok);
  EXPECT_FALSE(Find(text, "A", sfMatchCase, {4, 0}).ok);
  ExpectFound(Find(text, "\x83\x41", sfDown | sfMatchCase, {1, 0}), 2, 2);
  // A lead byte that ends the text is a character of its own.
  ExpectFound(Find("ab\x83", "\x83", sfDown | sfMatchCase), 2, 1);
}

TEST(TextSearch, CaseFreeSearchFoldsDoubleBytePairsBothWays) {
  // "Ａ" and "ａ", Greek "Α" and "α", the roman numerals "Ⅰ" and "ⅰ".
  const std::string upperA = "\x82\x60", lowerA = "\x82\x81";
  ExpectFound(Find("x" + upperA, lowerA, sfDown), 1, 2);
  ExpectFound(Find("x" + lowerA, upperA, sfDown), 1, 2);
  ExpectFound(Find("x\x83\xbf", "\x83\x9f", sfDown), 1, 2);
  ExpectFound(Find("x\xee\xef", "\x87\x54", sfDown), 1, 2);
  EXPECT_FALSE(Find("x" + upperA, lowerA, sfDown | sfMatchCase).ok);
  EXPECT_TRUE(SameDbcsChar(0x8260, 0x8281));
  EXPECT_FALSE(SameDbcsChar(0x8281, 0x8260));
}

TEST(TextSearch, FullWidthEquivalence) {
  ExpectFound(Find("x" + kGa, "\xb6\xde", sfDown | sfFullWidth | sfMatchCase), 1, 2);
  ExpectFound(Find("x\xb6\xde", kGa, sfDown | sfFullWidth | sfMatchCase), 1, 2);
  ExpectFound(Find("x" + kFullAbc, "abc", sfDown | sfFullWidth | sfMatchCase), 1, 6);
  ExpectFound(Find("x" + kFullAbc, "ABC", sfDown | sfFullWidth), 1, 6);
  ExpectFound(Find("xabc", "\x82\x60\x82\x61\x82\x62", sfDown | sfFullWidth), 1, 3);
  // A lone kana and its voiced form differ; "ｳﾞ" is "ヴ"; "ﾊﾟ" is "パ".
  EXPECT_FALSE(Find("x\xb6\xde", kKa, sfDown | sfFullWidth | sfMatchCase).ok);
  ExpectFound(Find("x\x83\x94", "\xb3\xde", sfDown | sfFullWidth | sfMatchCase), 1, 2);
  ExpectFound(Find("x\x83\x70", "\xca\xdf", sfDown | sfFullWidth | sfMatchCase), 1, 2);
  // Only the ha row takes the semi-voiced mark: "ｶﾟ" stays two characters.
  EXPECT_EQ(ToFullWidth("\xb6\xdf"), kKa + "\x81\x4b");
  EXPECT_FALSE(Find("x\x83\x4c", "\xb6\xdf", sfDown | sfFullWidth | sfMatchCase).ok);
  // Backward, the start steps over a combined kana as one character.
  ExpectFound(Find("\xb6\xde\xb6\xde", kGa, sfFullWidth | sfMatchCase, {4, 0}), 2, 2);
}

TEST(TextSearch, FullWidthTable) {
  EXPECT_EQ(ToFullWidth(" \"'\\~!0Az"), "\x81\x40\x81\x68\x81\x66\x81\x8f\x81\x50\x81\x49\x82\x4f\x82\x60\x82\x9a");
  EXPECT_EQ(ToFullWidth("\xa1\xa2\xa3\xa4\xa5\xa6\xa7\xb0\xdd\xde\xdf"),
            "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x44\x83\x92\x83\x40\x81\x5b\x83\x93\x81\x4a\x81\x4b");
  EXPECT_EQ(ToFullWidth("\xc4\xde\xce\xdf\xcf\xde"), "\x83\x68\x83\x7c\x83\x7d\x81\x4a");
  EXPECT_EQ(ToFullWidth(std::string("\x01\x7f\x80\xa0\xfd", 5)), std::string("\x01\x7f\x80\xa0\xfd", 5));
  EXPECT_EQ(ToFullWidth(kGa + "\x83"), kGa + "\x83");
}

TEST(TextSearch, SkipsBreaksAndBlanksInsideAMatchOnly) {
  ExpectFound(Find("a\r\nb", "ab", sfDown | sfIgnoreBreaks), 0, 4);
  EXPECT_FALSE(Find("a\r\nb", "ab", sfDown).ok);
  ExpectFound(Find("x\r\nab", "\nab", sfDown | sfIgnoreBreaks), 2, 3);
  EXPECT_FALSE(Find("\r\nab", "x", sfDown | sfIgnoreBreaks).ok);
  ExpectFound(Find("a \t" + kFullSpace + "b", "ab", sfDown | sfIgnoreSpaces), 0, 6);
  EXPECT_FALSE(Find("a \r\nb", "ab", sfDown | sfIgnoreSpaces).ok);
  ExpectFound(Find("a \r\nb", "ab", sfDown | sfIgnoreSpaces | sfIgnoreBreaks), 0, 5);
  // A blank the pattern holds is matched, not skipped.
  ExpectFound(Find("a b", "a b", sfDown | sfIgnoreSpaces), 0, 3);
}

TEST(TextSearch, WholeWords) {
  ExpectFound(Find("ab_c", "ab", sfDown | sfWholeWord), 0, 2);
  EXPECT_FALSE(Find("abc", "ab", sfDown | sfWholeWord).ok);
  EXPECT_FALSE(Find("xab yabz", "ab", sfDown | sfWholeWord).ok);
  ExpectFound(Find("xab ab", "ab", sfDown | sfWholeWord), 4, 2);
  ExpectFound(Find("ab xab", "ab", sfWholeWord, {6, 0}), 0, 2);
  // The last candidate is held to the same rules: "xab" does not hold the
  // word ab at its end.
  EXPECT_FALSE(Find("xab", "ab", sfDown | sfWholeWord).ok);
  EXPECT_FALSE(Find("abx", "ab", sfWholeWord, {3, 0}).ok);
}

}  // namespace
}  // namespace corvida
