// An editor driven only through edit-control messages over a table of texts,
// word wrap off and on: after every step the rows, offsets and lengths it
// reports are checked against a plain string holding the text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/control/editor_fixture.h"
#include "platform/rtl/cp932.h"

namespace corvida {
namespace {

constexpr int kWrap = 20;

// The offsets a selection may start or end at: not inside a double-byte
// character, not between CR and LF.
std::vector<int> Boundaries(const std::string& text) {
  std::vector<int> at;
  for (size_t i = 0; i <= text.size();) {
    at.push_back(static_cast<int>(i));
    if (i == text.size()) break;
    if (text.compare(i, 2, "\r\n") == 0 || (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()))
      i += 2;
    else
      ++i;
  }
  return at;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
    lines.push_back(text.substr(from, at - from));
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

class EditMessagesModelTest : public testing::EditorTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    editor->WrapOption()->SetWrapByte(kWrap);
    editor->SetWordWrap(GetParam());
  }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return editor->Window()->Perform(msg, w, l); }
  LRESULT SendInt(UINT msg, int w, int l = 0) {
    return Send(msg, static_cast<WPARAM>(static_cast<intptr_t>(w)), static_cast<LPARAM>(l));
  }

  void SetText(const std::string& text) {
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    model = text;
  }
  // Selects between the boundaries at fractions a and b of the text and
  // deletes what is selected.
  void DeleteBetween(double a, double b) {
    const std::vector<int> at = Boundaries(model);
    const int from = at[static_cast<size_t>(a * static_cast<double>(at.size() - 1))];
    const int to = at[static_cast<size_t>(b * static_cast<double>(at.size() - 1))];
    SendInt(EM_SETSEL, to, from);
    ASSERT_EQ(LOWORD(static_cast<uintptr_t>(Send(EM_GETSEL))), std::min(from, to));
    Send(WM_CLEAR);
    model.erase(static_cast<size_t>(std::min(from, to)), static_cast<size_t>(std::abs(to - from)));
  }

  std::string GetLine(int row) {
    std::string buffer(300, '\0');
    buffer[0] = static_cast<char>(buffer.size() & 0xFF);
    buffer[1] = static_cast<char>(buffer.size() >> 8);
    buffer.resize(static_cast<size_t>(Send(EM_GETLINE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.data()))));
    return buffer;
  }

  // Everything the messages tell about rows, offsets and lengths agrees
  // with the model.
  void Check() {
    SCOPED_TRACE("text \"" + model + "\" word wrap " + (GetParam() ? "on" : "off"));
    const int total = static_cast<int>(model.size());
    ASSERT_EQ(Send(WM_GETTEXTLENGTH), total);
    std::string text(model.size() + 1, '#');
    ASSERT_EQ(Send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())), total);
    EXPECT_EQ(text.substr(0, model.size()), model);

    const int rows = static_cast<int>(Send(EM_GETLINECOUNT));
    std::vector<std::string> joined(1);
    for (int row = 0; row < rows; ++row) {
      const int start = static_cast<int>(SendInt(EM_LINEINDEX, row));
      const std::string line = GetLine(row);
      ASSERT_EQ(line, model.substr(static_cast<size_t>(start), line.size())) << "row " << row;
      EXPECT_EQ(SendInt(EM_LINELENGTH, start), static_cast<int>(line.size()));
      for (int o = start; o < start + static_cast<int>(line.size()); ++o) EXPECT_EQ(SendInt(EM_LINEFROMCHAR, o), row);
      const LRESULT next = SendInt(EM_LINEINDEX, row + 1);
      const int end = next == -1 ? total : static_cast<int>(next);
      joined.back() += line;
      if (end - start - static_cast<int>(line.size()) == 2) {
        EXPECT_EQ(model.substr(static_cast<size_t>(start) + line.size(), 2), "\r\n");
        joined.emplace_back();
      } else {
        // No line break: the last row, or a row the wrap cut.
        EXPECT_EQ(end, start + static_cast<int>(line.size())) << "row " << row;
        EXPECT_TRUE(row == rows - 1 || GetParam()) << "row " << row;
        if (GetParam()) {
          EXPECT_LE(static_cast<int>(line.size()), kWrap);
        }
      }
    }
    if (joined.back().empty()) joined.pop_back();
    EXPECT_EQ(joined, Lines(model));
    if (!GetParam()) {
      EXPECT_EQ(rows, static_cast<int>(Lines(model).size()));
    }
  }

  std::string model;
};

const char* const kTexts[] = {
    "",
    "a",
    "a\r\nbc",
    "abc\r\n",
    "\r\n\r\n",
    "one two three four five six seven eight\r\nxy",
    "\ttab\tbed\r\n\t\t",
    "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad\x82\xaf\x82\xb1\x82\xb3\r\nz",
};

TEST_P(EditMessagesModelTest, RowsOffsetsAndLengthsFollowEveryEdit) {
  for (const char* text : kTexts) {
    SetText(text);
    Check();
    DeleteBetween(0.2, 0.6);
    Check();
    DeleteBetween(0.9, 0.0);
    Check();
    SetText(std::string(text) + "\r\n" + text);
    Check();
    DeleteBetween(0.0, 1.0);
    Check();
  }
}

INSTANTIATE_TEST_SUITE_P(WordWrap, EditMessagesModelTest, ::testing::Bool());

}  // namespace
}  // namespace corvida
