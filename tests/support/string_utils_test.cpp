#include "support/string_utils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/strings.h"

namespace corvida {
namespace {

std::vector<std::string> Lines(std::string_view text) {
  TStringList list;
  list.Add("old");
  TextToStrings(text, list);
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
  return out;
}

using V = std::vector<std::string>;

TEST(StrIncluded, MatchesOnlyAtCharacterBoundaries) {
  // "ア" is 0x83 0x41; its trail byte is the letter A.
  EXPECT_FALSE(StrIncluded("A", "\x83\x41"));
  EXPECT_TRUE(StrIncluded("\x83\x41", "x\x83\x41"));
  EXPECT_TRUE(StrIncluded("A", "\x83\x41" "A"));
  // The trail of one character and the lead of the next do not form one.
  EXPECT_FALSE(StrIncluded("\x81\x83", "\x83\x81\x83\x41"));
  EXPECT_FALSE(StrIncluded("", "abc"));
  EXPECT_FALSE(StrIncluded("abcd", "abc"));
  EXPECT_TRUE(StrIncluded("abc", "abc"));
}

TEST(TextToStrings, SplitsAtEveryKindOfBreak) {
  EXPECT_EQ(Lines(""), V{});
  EXPECT_EQ(Lines("\r\n"), V{""});
  EXPECT_EQ(Lines("a\n\n"), (V{"a", ""}));
  EXPECT_EQ(Lines("a\r\nb\r\n"), (V{"a", "b"}));
  EXPECT_EQ(Lines("a\rb\rc"), (V{"a", "b", "c"}));
  EXPECT_EQ(Lines("a\n\rb"), (V{"a", "", "b"}));
}

TEST(TextToStrings, ANulEndsTheText) {
  EXPECT_EQ(Lines(std::string_view("a\nb\0c\nd", 7)), (V{"a", "b", ""}));
  EXPECT_EQ(Lines(std::string_view("\0a", 2)), (V{""}));
}

}  // namespace
}  // namespace corvida
