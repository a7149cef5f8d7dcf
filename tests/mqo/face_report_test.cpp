#include "mqo/face_report.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "mqo/mqo_parser.h"
#include "mqo/reference_report.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "scan_helpers.h"

namespace corvida::testing {
namespace {

using namespace std::string_literals;

std::vector<std::string> LinesOf(const TStrings& strings) {
  std::vector<std::string> out;
  for (int i = 0; i < strings.Count(); ++i) out.push_back(strings.Strings(i));
  return out;
}

// The object lines and the total of a model given as bytes.
struct TCollected {
  std::vector<std::string> lines;
  int64_t total;
};

TCollected Collect(std::string_view model, int sortMode = kSortNone) {
  TMemoryStream stream;
  LoadBytes(stream, model);
  TStringList result;
  const int64_t total = CollectFaceLines(stream, sortMode, result);
  return {LinesOf(result), total};
}

TEST(FaceLines, ObjectNamesAreTheTokensUpToTheBrace) {
  EXPECT_EQ(Collect("Object \"obj1\" {\n face 6 {\n}\n}\nObject \"obj2\" {\n face 12 {\n").lines,
            (std::vector<std::string>{"       6 : \"obj1\"", "      12 : \"obj2\""}));
  // Blanks and line breaks vanish; quoted parts are decoded.
  EXPECT_EQ(Collect("Object \"my obj\" {\nface 1 {").lines, (std::vector<std::string>{"       1 : \"myobj\""}));
  EXPECT_EQ(Collect("Object \"long\r\n  name\" {\nface 1 {").lines,
            (std::vector<std::string>{"       1 : \"longname\""}));
  EXPECT_EQ(Collect("Object 'it''s' {\nface 1 {").lines, (std::vector<std::string>{"       1 : it's"}));
  // The keyword is case-sensitive.
  EXPECT_EQ(Collect("Object \"a\" {\nobject \"b\" {\nface 2 {").lines,
            (std::vector<std::string>{"       2 : \"a\""}));
}

TEST(FaceLines, ATrailByteEqualToTheBraceBelongsToTheName) {
  // ボックス: the trail byte of ボ is 0x7B, the code of "{".
  EXPECT_EQ(Collect("Object \"\x83\x7b\x83\x62\x83\x4e\x83\x58\" {\r\n\tface 6 {\r\n").lines,
            (std::vector<std::string>{"       6 : \"\x83\x7b\x83\x62\x83\x4e\x83\x58\""}));
  // Without quotes, ボ twice and the brace right after it.
  EXPECT_EQ(Collect("Object \x83\x7b\x83\x7b{\nface 2 {").lines,
            (std::vector<std::string>{"       2 : \x83\x7b\x83\x7b"}));
  // A brace after a complete character still ends the name, also when that
  // character's trail byte is itself a lead byte's value (0x8F 0x8F).
  EXPECT_EQ(Collect("Object \x8f\xb0{\nface 2 {").lines, (std::vector<std::string>{"       2 : \x8f\xb0"}));
  EXPECT_EQ(Collect("Object \x8f\x8f{\nface 3 {").lines, (std::vector<std::string>{"       3 : \x8f\x8f"}));
  // Half-width katakana are single bytes.
  EXPECT_EQ(Collect("Object \xb1{\nface 4 {").lines, (std::vector<std::string>{"       4 : \xb1"}));
}

// A header as current modellers write it for UTF-8 names.
constexpr std::string_view kUtf8Header = "Metasequoia Document\r\nFormat Text Ver 1.1\r\nCodePage utf8\r\n\r\n";

std::vector<std::string> CollectSpelled(std::string_view model, TReportSpelling spelling) {
  TMemoryStream stream;
  LoadBytes(stream, model);
  TStringList result;
  CollectFaceLines(stream, kSortNone, result, spelling);
  return LinesOf(result);
}

TEST(FaceLines, Utf8DocumentsReachThePaneInCp932AndATerminalAsWritten) {
  // 模型😀 (the emoji has no CP932 form) and ボックス, in UTF-8.
  const std::string model = std::string(kUtf8Header) +
                            "Object \"\xe6\xa8\xa1\xe5\x9e\x8b\xf0\x9f\x98\x80\" {\r\n\tface 6 {\r\n\t}\r\n}\r\n"
                            "Object \"\xe3\x83\x9c\xe3\x83\x83\xe3\x82\xaf\xe3\x82\xb9\" {\r\n\tface 2 {\r\n";
  EXPECT_EQ(CollectSpelled(model, rsCp932),
            (std::vector<std::string>{"       6 : \"\x96\xcd\x8c\x5e\\U0001f600\"", "       2 : \"\x83\x7b\x83\x62\x83\x4e\x83\x58\""}));
  EXPECT_EQ(CollectSpelled(model, rsUtf8),
            (std::vector<std::string>{"       6 : \"\xe6\xa8\xa1\xe5\x9e\x8b\xf0\x9f\x98\x80\"",
                                      "       2 : \"\xe3\x83\x9c\xe3\x83\x83\xe3\x82\xaf\xe3\x82\xb9\""}));
}

TEST(FaceLines, OnlyTheHeadersCodePageUtf8MakesADocumentUtf8) {
  // 床 in Shift-JIS.
  const std::string body = "Object \"\x8f\xb0\" {\nface 2 {\n";
  for (const std::string& shiftJis : {"Metasequoia Document\nFormat Text Ver 1.1\nCodePage 932\n" + body,
                                      "Metasequoia Document\nFormat Text Ver 1.0\n" + body,
                                      "Metasequoia Document\nScene {\n}\nCodePage utf8\n" + body, body}) {
    EXPECT_EQ(CollectSpelled(shiftJis, rsCp932), (std::vector<std::string>{"       2 : \"\x8f\xb0\""})) << shiftJis;
    EXPECT_EQ(CollectSpelled(shiftJis, rsUtf8), (std::vector<std::string>{"       2 : \"\xe5\xba\x8a\""})) << shiftJis;
  }
  // The header's tokens are no objects or faces; a face right after the
  // code page still counts.
  EXPECT_EQ(CollectSpelled("CodePage face 3 {\n", rsCp932), (std::vector<std::string>{"       3 : "}));
  EXPECT_EQ(CollectSpelled("CodePage utf8 face 3 {\n", rsCp932), (std::vector<std::string>{"       3 : "}));
}

TEST(FaceLines, FaceKeywordWherever) {
  EXPECT_EQ(Collect("face 12 {").lines, (std::vector<std::string>{"      12 : "}));
  // Spelled inside a quoted material name: the next token is not a number.
  EXPECT_EQ(Collect("Object \"o\" {\nMaterial 1 {\n\"face\" col(1)\n}").lines,
            (std::vector<std::string>{"       0 : \"o\""}));
  // As the very last token.
  const auto last = Collect("Object \"o\" {\nface");
  EXPECT_EQ(last.lines, (std::vector<std::string>{"       0 : \"o\""}));
  EXPECT_EQ(last.total, 0);
  // An object without a face chunk gives no line.
  EXPECT_EQ(Collect("Object \"a\" {\nvertex 3 {\n}\n}").lines, std::vector<std::string>{});
}

TEST(FaceLines, CountsAreReadAsIntegersWithDefaultZero) {
  EXPECT_EQ(Collect("face 12.5 {").lines, (std::vector<std::string>{"       0 : "}));
  EXPECT_EQ(Collect("face $1F {").lines, (std::vector<std::string>{"      31 : "}));
  EXPECT_EQ(Collect("face -3 {").lines, (std::vector<std::string>{"      -3 : "}));
  EXPECT_EQ(Collect("face 123456789 {").lines, (std::vector<std::string>{"123456789 : "}));
  EXPECT_EQ(Collect("face 2147483648 {").lines, (std::vector<std::string>{"       0 : "}));
  EXPECT_EQ(Collect("face 5 {\nface $1F {\nface x {").total, 36);
}

TEST(FaceLines, TotalDoesNotWrapPastThirtyTwoBits) {
  EXPECT_EQ(Collect("face 2147483647 {\nface 2147483647 {\nface 2 {").total, 4294967296LL);
  EXPECT_EQ(ReportTotalLine(4294967296LL, "a.mqo"), "4294967296 : Total // a.mqo");
}

TEST(FaceLines, BinaryBlocksNoLongerHideObjects) {
  std::string model = "Object \"a\" {\r\n\tBVertex 8 {\r\n\t\tVector 8 [96]\r\n";
  const std::string floats = "\0\0\x80\x3f{face 7 {\n\"'"s;
  model += floats + std::string(96 - floats.size(), '\0');
  model += "\r\n\t}\r\n\tface 6 {\r\n\t}\r\n}\r\nObject \"b\" {\r\n\tface 4 {\r\n\t}\r\n}\r\nEof\r\n";
  const auto collected = Collect(model);
  EXPECT_EQ(collected.lines, (std::vector<std::string>{"       6 : \"a\"", "       4 : \"b\""}));
  EXPECT_EQ(collected.total, 10);
}

TEST(SortedLines, TiesComeOutLatestFirstInBothOrders) {
  const std::string model = "Object \"a\" {\nface 5 {\nObject \"b\" {\nface 3 {\nObject \"c\" {\nface 5 {\n";
  EXPECT_EQ(Collect(model, kSortNone).lines,
            (std::vector<std::string>{"       5 : \"a\"", "       3 : \"b\"", "       5 : \"c\""}));
  EXPECT_EQ(Collect(model, kSortAscending).lines,
            (std::vector<std::string>{"       3 : \"b\"", "       5 : \"c\"", "       5 : \"a\""}));
  EXPECT_EQ(Collect(model, kSortDescending).lines,
            (std::vector<std::string>{"       5 : \"c\"", "       5 : \"a\"", "       3 : \"b\""}));
}

TEST(SortedLines, CountsCompareAsSignedNumbers) {
  TStringList list;
  for (const char* line : {"      10 : a", "      -2 : b", "       9 : c", "     100 : d"})
    InsertSorted(list, line, kSortAscending);
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"      -2 : b", "       9 : c", "      10 : a", "     100 : d"}));
  list.Clear();
  for (const char* line : {"      10 : a", "      -2 : b", "       9 : c", "     100 : d"})
    InsertSorted(list, line, kSortDescending);
  EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"     100 : d", "      10 : a", "       9 : c", "      -2 : b"}));
}

// The report of real files.
class MakeReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("corvida-report-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, std::string_view bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  bool Report(const std::string& path, int sortMode = kSortNone) {
    return MakeReport(path, sortMode, lines_, TEvent<>::Of<&MakeReportTest::TakeFocus>(this));
  }
  void TakeFocus() { ++focusRequests_; }

  std::filesystem::path dir_;
  TStringList lines_;
  int focusRequests_ = 0;
};

TEST_F(MakeReportTest, AppendsHeaderObjectsTotalAndSeparatorThenAsksForFocus) {
  const std::string path = Write("cube.mqo", "Object \"obj1\" {\r\nface 6 {\r\n}\r\n}\r\nObject \"obj2\" {\r\nface 12 {\r\n");
  lines_.Add("kept");
  EXPECT_TRUE(Report(path));
  EXPECT_EQ(LinesOf(lines_), (std::vector<std::string>{"kept", "// " + path, "       6 : \"obj1\"", "      12 : \"obj2\"",
                                                        "      18 : Total // cube.mqo",
                                                        "------------------------------"}));
  EXPECT_EQ(focusRequests_, 1);
}

TEST_F(MakeReportTest, FileWithoutObjects) {
  const std::string path = Write("empty.mqo", "Metasequoia Document\r\nEof\r\n");
  EXPECT_TRUE(Report(path));
  EXPECT_EQ(LinesOf(lines_), (std::vector<std::string>{"// " + path, "       0 : Total // empty.mqo",
                                                        "------------------------------"}));
}

TEST_F(MakeReportTest, TwoRunsAppendTwoCompleteReports) {
  const std::string a = Write("a.mqo", "face 1 {");
  const std::string b = Write("b.mqo", "face 2 {");
  EXPECT_TRUE(Report(a));
  EXPECT_TRUE(Report(b, kSortDescending));
  EXPECT_EQ(LinesOf(lines_), (std::vector<std::string>{"// " + a, "       1 : ", "       1 : Total // a.mqo",
                                                        "------------------------------", "// " + b, "       2 : ",
                                                        "       2 : Total // b.mqo",
                                                        "------------------------------"}));
  EXPECT_EQ(focusRequests_, 2);
}

TEST_F(MakeReportTest, UnusablePathsDoNothingAtAll) {
  EXPECT_FALSE(Report((dir_ / "missing.mqo").string()));
  EXPECT_FALSE(Report(dir_.string()));
  EXPECT_FALSE(Report(""));
  EXPECT_EQ(lines_.Count(), 0);
  EXPECT_EQ(focusRequests_, 0);
}

TEST_F(MakeReportTest, ScannerErrorKeepsOnlyTheHeader) {
  const std::string path = Write("open.mqo", "1\n2\n3\n4\n5\n6\nObject \"it's {\nface 3 {\n");
  lines_.Add("before");
  try {
    Report(path);
    FAIL() << "no error";
  } catch (const EParserError& e) {
    EXPECT_EQ(e.Message(), "7 \x8d\x73\x82\xc5" + std::string(msg::kInvalidString));
  }
  EXPECT_EQ(LinesOf(lines_), (std::vector<std::string>{"before", "// " + path}));
  EXPECT_EQ(focusRequests_, 0);
  // The next run starts from scratch.
  EXPECT_TRUE(Report(Write("ok.mqo", "face 1 {")));
  EXPECT_EQ(lines_.Count(), 2 + 4);
}

TEST_F(MakeReportTest, NulInsideTheTextIsAnErrorNotAShortReport) {
  const std::string path = Write("nul.mqo", "Object \"a\" {\nface 1 {\n\0\nObject \"b\" {\nface 2 {\n"s);
  EXPECT_THROW(Report(path), EParserError);
  EXPECT_EQ(LinesOf(lines_), (std::vector<std::string>{"// " + path}));
}

TEST_F(MakeReportTest, FileThatCannotBeOpenedRaisesTheOpenError) {
  // A socket is neither missing nor a folder, but it cannot be opened as a file.
  const std::string path = (dir_ / "sock.mqo").string();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  try {
    Report(path);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    // ファイル "<path>" は開けません。<reason>
    EXPECT_EQ(e.Message().rfind("\x83\x74\x83\x40\x83\x43\x83\x8b \"" + path + "\" \x82\xcd\x8a\x4a\x82\xaf", 0), 0u)
        << e.Message();
  }
  ::close(fd);
  EXPECT_EQ(LinesOf(lines_), (std::vector<std::string>{"// " + path}));
}

TEST_F(MakeReportTest, PathsAreShownInCp932AndOpenedAsTheyAre) {
  // 立方体 has a CP932 form; the snowman U+2603 has none and shows as its
  // escape.
  const std::string path = Write("\xe7\xab\x8b\xe6\x96\xb9\xe4\xbd\x93\xe2\x98\x83.mqo", "face 6 {");
  EXPECT_TRUE(Report(path));
  const std::string shownDir = dir_.string() + "/";
  EXPECT_EQ(LinesOf(lines_), (std::vector<std::string>{"// " + shownDir + "\x97\xa7\x95\xfb\x91\xcc\\u2603.mqo", "       6 : ",
                                                        "       6 : Total // \x97\xa7\x95\xfb\x91\xcc\\u2603.mqo",
                                                        "------------------------------"}));
}

TEST_F(MakeReportTest, Utf8PathsKeepEveryCharacterAndTheirFileNameAfterTheLastSlash) {
  // 型 ends in 0x8B, a CP932 lead byte's value: the '/' after it still
  // separates the folder from the file name.
  std::filesystem::create_directory(dir_ / "\xe5\x9e\x8b");
  const std::string path = Write("\xe5\x9e\x8b/\xe2\x98\x83.mqo", "face 6 {");
  TStringList lines;
  EXPECT_TRUE(MakeReport(path, kSortNone, lines, {}, rsUtf8));
  EXPECT_EQ(LinesOf(lines), (std::vector<std::string>{"// " + path, "       6 : ", "       6 : Total // \xe2\x98\x83.mqo",
                                                       "------------------------------"}));
}

}  // namespace
}  // namespace corvida::testing
