#include "support/string_utils.h"

#include <gtest/gtest.h>

#include "platform/rtl/strings.h"

namespace corvida {
namespace {

const std::string kTwoKanji = "\x8a\xbf\x8e\x9a";  // 漢字

TEST(StringUtils, LeadAndTrailBytesAreFoundReadingFromTheStart) {
  EXPECT_TRUE(IsLeadByteAt(kTwoKanji, 1));
  EXPECT_FALSE(IsLeadByteAt(kTwoKanji, 2));
  EXPECT_TRUE(IsLeadByteAt(kTwoKanji, 3));
  EXPECT_FALSE(IsLeadByteAt(kTwoKanji, 4));
  EXPECT_TRUE(IsTrailByteAt(kTwoKanji, 2));
  EXPECT_TRUE(IsTrailByteAt(kTwoKanji, 4));
  EXPECT_FALSE(IsTrailByteAt(kTwoKanji, 1));
  EXPECT_FALSE(IsTrailByteAt(kTwoKanji, 3));
  EXPECT_FALSE(IsTrailByteAt(kTwoKanji, 5));
  EXPECT_FALSE(IsLeadByteAt(kTwoKanji, 0));
  EXPECT_FALSE(IsLeadByteAt(kTwoKanji, 5));
  EXPECT_FALSE(IsTrailByteAt(kTwoKanji, 0));
  // A trail byte that looks like a lead byte (0x8A 0x9F) is still a trail.
  const std::string tricky = "\x8a\x9f\x41";
  EXPECT_TRUE(IsTrailByteAt(tricky, 2));
  EXPECT_FALSE(IsLeadByteAt(tricky, 2));
  // A lead byte at the very end counts, and so does the missing trail after it.
  const std::string cut = "a\x8a";
  EXPECT_TRUE(IsLeadByteAt(cut, 2));
  EXPECT_TRUE(IsTrailByteAt(cut, 3));
  EXPECT_FALSE(IsTrailByteAt(cut, 4));
  EXPECT_FALSE(IsTrailByteAt("ab", 3));
}

TEST(StringUtils, StrIncludedMatchesOnlyAtCharacterBoundaries) {
  // 0x9A, the trail of 字, must not match on its own.
  EXPECT_FALSE(StrIncluded("\x9a", "\x8e\x9a"));
  EXPECT_TRUE(StrIncluded("\x8e\x9a", kTwoKanji));
  // The trail of 漢 followed by the lead of 字 is not a character.
  EXPECT_FALSE(StrIncluded("\xbf\x8e", kTwoKanji));
  EXPECT_TRUE(StrIncluded("b", "a\x8a\xbf" "b"));
  EXPECT_FALSE(StrIncluded("", "abc"));
  EXPECT_FALSE(StrIncluded("abcd", "abc"));
}

TEST(StringUtils, CountCharAndCharAtStayInsideTheirLimits) {
  EXPECT_EQ(CountChar("35335", '3', 3), 2);
  EXPECT_EQ(CountChar("35335", '3', 100), 3);
  EXPECT_EQ(CountChar("35335", '3', 0), 0);
  EXPECT_EQ(CountChar("35335", '3', -4), 0);
  EXPECT_EQ(CharAt("abc", 1), 'a');
  EXPECT_EQ(CharAt("abc", 3), 'c');
  EXPECT_EQ(CharAt("abc", 0), '\0');
  EXPECT_EQ(CharAt("abc", 4), '\0');
  EXPECT_EQ(Max(-3, 2), 2);
  EXPECT_EQ(Min(-3, 2), -3);
}

class CountingList : public TStringList {
 public:
  int outerUpdates = 0;

 protected:
  void SetUpdateState(bool updating) override {
    if (updating) ++outerUpdates;
    TStringList::SetUpdateState(updating);
  }
};

std::vector<std::string> Lines(std::string_view text) {
  CountingList list;
  list.Add("old");
  TextToStrings(text, list);
  EXPECT_EQ(list.outerUpdates, 1);
  EXPECT_EQ(list.UpdateCount(), 0);
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

TEST(StringUtils, TextToStringsSplitsAtEveryKindOfLineBreak) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Lines(""), V{});
  EXPECT_EQ(Lines("\r\n"), V{""});
  EXPECT_EQ(Lines("a\n\n"), (V{"a", ""}));
  EXPECT_EQ(Lines("a\r\nb\r\n"), (V{"a", "b"}));
  EXPECT_EQ(Lines("a\r\nb"), (V{"a", "b"}));
  EXPECT_EQ(Lines("a\r\r\nb"), (V{"a", "", "b"}));
  // Lone carriage returns make more lines than line feeds counted.
  EXPECT_EQ(Lines("a\rb\rc"), (V{"a", "b", "c"}));
  // A NUL ends the walk; lines prepared beyond it stay empty.
  EXPECT_EQ(Lines(std::string_view("a\nb\0c\nd\n", 8)), (V{"a", "b", ""}));
  EXPECT_EQ(Lines("\x8a\xbf\r\n\x8e\x9a"), (V{"\x8a\xbf", "\x8e\x9a"}));
}

}  // namespace
}  // namespace corvida
