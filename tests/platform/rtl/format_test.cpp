#include "platform/rtl/format.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/object.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

TEST(Format, FillsTheTemplatesTheProgramUses) {
  EXPECT_EQ(Format("%s", {"abc"}), "abc");
  EXPECT_EQ(Format("%d objects", {42}), "42 objects");
  EXPECT_EQ(Format("[%8d]", {1234}), "[    1234]");
  EXPECT_EQ(Format("[%-8d]", {1234}), "[1234    ]");
  EXPECT_EQ(Format("[%3d]", {123456}), "[123456]");
  EXPECT_EQ(Format("[%8d]", {-5}), "[      -5]");
  EXPECT_EQ(Format("%x", {255}), "FF");
  EXPECT_EQ(Format("100%%", {}), "100%");
  // "%1:d 行で%0:s": arguments taken by index, CP932 text left alone.
  EXPECT_EQ(Format("%1:d \x8d\x73\x82\xc5%0:s", {"error", 12}), "12 \x8d\x73\x82\xc5" "error");
  EXPECT_EQ(Format("%1:s%s", {"a", "b", "c"}), "bc") << "counting goes on after an index";
}

TEST(Format, MalformedTemplatesRaiseTheConversionError) {
  EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s", {1}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
  EXPECT_THROW(Format("50%", {}), EConvertError);
}

TEST(Persistent, AssigningAnotherClassNamesBothClasses) {
  TStringList list;
  TPersistent plain;
  try {
    plain.Assign(&list);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    // "TStringList を TPersistent に代入することはできません"
    EXPECT_EQ(e.Message(), Format(msg::kAssignError, {"TStringList", "TPersistent"}));
    EXPECT_EQ(e.Message().substr(0, 14), "TStringList \x82\xf0");
  }
  try {
    list.Assign(nullptr);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), Format(msg::kAssignError, {"nil", "TStringList"}));
  }
  EXPECT_THROW(list.Assign(&plain), EConvertError);
}

}  // namespace
}  // namespace corvida
