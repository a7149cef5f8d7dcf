#include "app/report_cli.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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
  // 床 in UTF-8; the name cut after the lead byte of ボ keeps that byte in
  // the private-use area, so that nothing is lost.
  EXPECT_NE(utf8.out.find("       9 : \"\xe5\xba\x8a\"\n"), std::string::npos) << utf8.out;
  EXPECT_NE(utf8.out.find("       6 : \"\xef\x9e\x83\n"), std::string::npos) << utf8.out;
  const TRun raw = RunCli({"--report", "--raw", sjis});
  EXPECT_NE(raw.out.find("       9 : \"\x8f\xb0\"\n"), std::string::npos);
  EXPECT_NE(raw.out.find("       6 : \"\x83\n"), std::string::npos);
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
  void SetUp() override {
    cwd_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("corvida-cli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(cwd_);
    std::filesystem::remove_all(dir_);
  }
  std::string Write(const std::string& name, std::string_view bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  std::filesystem::path cwd_;
  std::filesystem::path dir_;
};

TEST_F(ReportCommandFiles, AnErrorKeepsTheHeaderAndTheOtherFilesAreStillReported) {
  const std::string good = Write("good.mqo", "face 2 {\n");
  const std::string bad = Write("bad.mqo", "Object 'x {\nface 1 {\n");
  const TRun run = RunCli({"--report", bad, good});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "// " + bad + "\n// " + good + "\n       2 : \n       2 : Total // good.mqo\n" +
                         "------------------------------\n");
  // 1 行で不正な文字列定数, and the full stop the error box appends.
  EXPECT_EQ(run.err, "1 \xe8\xa1\x8c\xe3\x81\xa7\xe4\xb8\x8d\xe6\xad\xa3\xe3\x81\xaa\xe6\x96\x87\xe5\xad\x97\xe5\x88\x97"
                     "\xe5\xae\x9a\xe6\x95\xb0.\n");
}

TEST_F(ReportCommandFiles, MissingFilesAndFoldersAreReportedOnStandardError) {
  const std::string good = Write("good.mqo", "face 2 {\n");
  const TRun run = RunCli({"--report", (dir_ / "none.mqo").string(), dir_.string(), good});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind("// " + good + "\n", 0), 0u);
  EXPECT_NE(run.err.find((dir_ / "none.mqo").string() + ": no such file"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(dir_.string() + ": is a folder"), std::string::npos) << run.err;
}

TEST_F(ReportCommandFiles, RelativePathsAreShownAbsolute) {
  Write("rel.mqo", "face 1 {\n");
  std::filesystem::current_path(dir_);
  const TRun run = RunCli({"--report", "./sub/../rel.mqo"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("// " + (dir_ / "rel.mqo").string() + "\n", 0), 0u) << run.out;
}

TEST_F(ReportCommandFiles, DoubleDashEndsTheOptions) {
  Write("-x.mqo", "face 1 {\n");
  std::filesystem::current_path(dir_);
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
