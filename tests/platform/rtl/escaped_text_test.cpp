// Outside texts shown so that no control reaches a terminal, no line is
// split and every text can be read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/escaped_text.h"

namespace corvida {
namespace {

struct TCase {
  std::string text;
  TTextCoding from;
  TTextCoding to;
  std::string shown;
};

TEST(EscapedText, ControlsBackslashesAndWhatTheTargetLacksBecomeEscapes) {
  const std::vector<TCase> cases{
      {"plain name.mqo", tcUtf8, tcUtf8, "plain name.mqo"},
      {"a\\n", tcUtf8, tcUtf8, "a\\\\n"},
      {"two\nlines\r\tand\a\b\v\f", tcUtf8, tcUtf8, "two\\nlines\\r\\tand\\a\\b\\v\\f"},
      {"x\x1b[31mRED\x7f\x01", tcUtf8, tcUtf8, "x\\033[31mRED\\177\\001"},
      {"\x1b]52;c;aGk=\x07", tcUtf8, tcUtf8, "\\033]52;c;aGk=\\a"},
      // C1 CSI, right-to-left override, isolates, marks and separators.
      {"a\xc2\x9b" "2J", tcUtf8, tcUtf8, "a\\u009b2J"},
      {"\xe2\x80\xae" "gpj.exe", tcUtf8, tcUtf8, "\\u202egpj.exe"},
      {"\xe2\x81\xa6x\xe2\x81\xa9\xe2\x80\x8f\xe2\x80\xa8", tcUtf8, tcUtf8, "\\u2066x\\u2069\\u200f\\u2028"},
      // Bytes that are no UTF-8: a lone trail, a cut sequence, an overlong form.
      {"\xff" "a\xe6\xa8" "b\xc0\xaf", tcUtf8, tcUtf8, "\\xffa\\xe6\\xa8b\\xc0\\xaf"},
      // Printable characters keep their bytes on a terminal: é, 한국어, 😀.
      {"\xc3\xa9\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4\xf0\x9f\x98\x80", tcUtf8, tcUtf8,
       "\xc3\xa9\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4\xf0\x9f\x98\x80"},
      // The pane: 模 in CP932; é, 한 and 😀 have no CP932 form.
      {"\xe6\xa8\xa1\xc3\xa9\xed\x95\x9c\xf0\x9f\x98\x80\n", tcUtf8, tcCp932, "\x96\xcd\\u00e9\\ud55c\\U0001f600\\n"},
      {"\xff/a", tcUtf8, tcCp932, "\\xff/a"},
      // Shift-JIS names: ソ ends in 0x5C and stays one character; controls
      // decoded from quoted strings are escaped.
      {"\x83\x5c\x8f\xb0'\x1b[2J", tcCp932, tcCp932, "\x83\x5c\x8f\xb0'\\033[2J"},
      {"\x83\x5c\x8f\xb0\n", tcCp932, tcUtf8, "\xe3\x82\xbd\xe5\xba\x8a\\n"},
      // A name cut after the lead byte of ボ keeps it in the pane; elsewhere
      // a byte that starts no character is escaped.
      {"\"\x83", tcCp932, tcCp932, "\"\x83"},
      {"\"\x83", tcCp932, tcUtf8, "\"\\x83"},
      {"a\x80" "b\x83", tcCp932, tcUtf8, "a\\x80b\\x83"},
      {"a\x80" "b", tcCp932, tcCp932, "a\\x80b"},
  };
  for (const TCase& c : cases) EXPECT_EQ(EscapedText(c.text, c.from, c.to), c.shown) << c.shown;
}

}  // namespace
}  // namespace corvida
