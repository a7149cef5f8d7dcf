#include "platform/rtl/int_reading.h"

#include <gtest/gtest.h>

namespace corvida {
namespace {

TEST(IntReading, AcceptsDecimalAndHexadecimalForms) {
  EXPECT_EQ(StrToIntDef("$FFFFFFFF", 7), -1);
  EXPECT_EQ(StrToIntDef("0x1F", 7), 31);
  EXPECT_EQ(StrToIntDef("0X1f", 7), 31);
  EXPECT_EQ(StrToIntDef("x10", 7), 16);
  EXPECT_EQ(StrToIntDef("$1F", 7), 31);
  EXPECT_EQ(StrToIntDef("  -12", 7), -12);
  EXPECT_EQ(StrToIntDef("+5", 7), 5);
  EXPECT_EQ(StrToIntDef("2147483647", 7), 2147483647);
  EXPECT_EQ(StrToIntDef("-2147483648", 7), INT32_MIN);
}

TEST(IntReading, AnythingElseGivesTheDefault) {
  for (const char* text : {"12.5", "2147483648", "-2147483649", "+", "", "0x123456789", " ", "12 ", "\t1",
                           "1a", "$", "0x", "--1", "$G"})
    EXPECT_EQ(StrToIntDef(text, 7), 7) << '"' << text << '"';
}

}  // namespace
}  // namespace corvida
