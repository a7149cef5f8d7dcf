#include "app/report_cli.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "temp_folder.h"

namespace corvida::testing {
namespace {

struct TRun {
  int status;
  std::string out;
  std::string err;
};

TRun RunCli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCommandLine(args, out, err);
  return {status, out.str(), err.str()};
}

std::string Sample(const std::string& name) {
  const char* source = std::getenv("CORVIDA_SOURCE_DIR");
  const std::filesystem::path dir = std::filesystem::absolute(source ? source : ".") / "samples" / name;
  return dir.lexically_normal().string();
}

TEST(ReportCommand, SamplesPrintWhatThePaneWouldReceive) {
  const std::string cube = Sample("cube.mqo");
  const TRun run = RunCli({"--report", cube});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "// " + cube + "\n       6 : \"cube\"\n       6 : Total // cube.mqo\n" +
                         "------------------------------\n");
  EXPECT_EQ(run.err, "");
}

TEST(ReportCommand, ShiftJisNamesAsUtf8OrRawBytes) {
  const std::string sjis = Sample("sjis_names.mqo");
  const TRun utf8 = RunCli({"--report", sjis});
  EXPECT_EQ(utf8.status, 0);
  // 床 and ボックス in UTF-8, then as the Shift-JIS bytes of the file.
  EXPECT_NE(utf8.out.find("       9 : \"\xe5\xba\x8a\"\n"), std::string::npos) << utf8.out;
  EXPECT_NE(utf8.out.find("       6 : \"\xe3\x83\x9c\xe3\x83\x83\xe3\x82\xaf\xe3\x82\xb9\"\n"), std::string::npos)
      << utf8.out;
  const TRun raw = RunCli({"--report", "--raw", sjis});
  EXPECT_NE(raw.out.find("       9 : \"\x8f\xb0\"\n"), std::string::npos);
  EXPECT_NE(raw.out.find("       6 : \"\x83\x7b\x83\x62\x83\x4e\x83\x58\"\n"), std::string::npos);
}

TEST(ReportCommand, SortOrders) {
  const std::string file = Sample("equal_counts.mqo");
  const TRun asc = RunCli({"--report", "--sort", "asc", file});
  const TRun desc = RunCli({"--report", "--sort=desc", file});
  const TRun none = RunCli({"--report", "--sort", "none", file});
  EXPECT_NE(asc.out.find("       1 : \"antenna\"\n       1 : \"roof\"\n       4 : \"wheel_back\"\n"), std::string::npos)
      << asc.out;
  EXPECT_NE(desc.out.find("       6 : \"cabin\"\n       6 : \"body\"\n"), std::string::npos) << desc.out;
  EXPECT_NE(none.out.find("       6 : \"body\"\n       4 : \"wheel_front\"\n"), std::string::npos) << none.out;
}

class ReportCommandFiles : public ::testing::Test {
 protected:
  void SetUp() override { cwd_ = std::filesystem::current_path(); }
  void TearDown() override { std::filesystem::current_path(cwd_); }
  std::string Write(const std::string& name, std::string_view bytes) {
    WriteAll(folder_.File(name), bytes);
    return folder_.File(name);
  }
  std::filesystem::path cwd_;
  TempFolder folder_;
};

TEST_F(ReportCommandFiles, AnErrorKeepsTheHeaderAndTheOtherFilesAreStillReported) {
  const std::string good = Write("good.mqo", "face 2 {\n");
  const std::string bad = Write("bad.mqo", "Object 'x {\nface 1 {\n");
  const TRun run = RunCli({"--report", bad, good});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "// " + bad + "\n// " + good + "\n       2 : \n       2 : Total // good.mqo\n" +
                         "------------------------------\n");
  // 1 行で不正な文字列定数, and the full stop the error box appends.
  EXPECT_EQ(run.err, "corvida: " + bad +
                         ": 1 \xe8\xa1\x8c\xe3\x81\xa7\xe4\xb8\x8d\xe6\xad\xa3\xe3\x81\xaa\xe6\x96\x87\xe5\xad\x97"
                         "\xe5\x88\x97\xe5\xae\x9a\xe6\x95\xb0.\n");
}

TEST_F(ReportCommandFiles, UnusablePathsGetTheSystemsOwnReason) {
  const std::string good = Write("good.mqo", "face 2 {\n");
  std::filesystem::create_symlink("loop", folder_.File("loop"));
  const std::string missing = folder_.File("none.mqo");
  const std::string throughFile = good + "/x.mqo";
  const std::string looping = folder_.File("loop") + "/x.mqo";
  const std::string tooLong = folder_.File(std::string(300, 'n') + ".mqo");
  const TRun run = RunCli({"--report", missing, folder_.Path(), throughFile, looping, tooLong, good});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind("// " + good + "\n", 0), 0u);
  EXPECT_EQ(run.err, "corvida: " + missing + ": " + std::strerror(ENOENT) + "\n" +
                         "corvida: " + folder_.Path() + ": is a folder, not a file\n" +
                         "corvida: " + throughFile + ": " + std::strerror(ENOTDIR) + "\n" +
                         "corvida: " + looping + ": " + std::strerror(ELOOP) + "\n" +
                         "corvida: " + tooLong + ": " + std::strerror(ENAMETOOLONG) + "\n");
}

TEST_F(ReportCommandFiles, PathsAreTheFilesTheSystemMeansShownWithTheirRealPath) {
  // link/../x.mqo is real/x.mqo, since link is real/inner; a lexical
  // clean-up would take the other x.mqo.
  std::filesystem::create_directories(folder_.File("real/inner"));
  std::filesystem::create_directory_symlink(folder_.File("real/inner"), folder_.File("link"));
  const std::string meant = Write("real/x.mqo", "face 1 {\n");
  Write("x.mqo", "face 2 {\n");
  std::filesystem::current_path(folder_.Path());
  const TRun run = RunCli({"--report", "link/../x.mqo", "./real/inner/../x.mqo"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string report = "// " + meant + "\n       1 : \n       1 : Total // x.mqo\n------------------------------\n";
  EXPECT_EQ(run.out, report + report);
}

TEST_F(ReportCommandFiles, DoubleDashEndsTheOptions) {
  Write("-x.mqo", "face 1 {\n");
  std::filesystem::current_path(folder_.Path());
  const TRun run = RunCli({"--report", "--", "-x.mqo"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Total // -x.mqo"), std::string::npos);
}

TEST(ReportCommandUsage, HelpAndMistakes) {
  const TRun none = RunCli({});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("usage: corvida --report"), std::string::npos);

  for (const auto& args : {std::vector<std::string>{"--help"}, std::vector<std::string>{"--report", "--help"}}) {
    const TRun help = RunCli(args);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--sort asc"), std::string::npos);
    EXPECT_NE(help.out.find("--raw"), std::string::npos);
  }
  EXPECT_EQ(RunCli({"--report"}).status, 2);
  EXPECT_EQ(RunCli({"--report", "--sort"}).status, 2);
  EXPECT_EQ(RunCli({"--report", "--sort", "up", "a.mqo"}).status, 2);
  EXPECT_EQ(RunCli({"--report", "--bogus", "a.mqo"}).status, 2);
  EXPECT_EQ(RunCli({"--frobnicate"}).status, 2);
}

}  // namespace
}  // namespace corvida::testing
