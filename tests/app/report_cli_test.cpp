#include "app/report_cli.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "temp_folder.h"
#include "mqo/zip_builder.h"

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

TEST(ReportCommand, AnArchiveReportsTheModelInside) {
  const TRun plain = RunCli({"--report", Sample("sjis_names.mqo")});
  const TRun archived = RunCli({"--report", Sample("sjis_names.mqoz")});
  EXPECT_EQ(archived.status, 0) << archived.err;
  // The same lines, with the header and the total naming the archive.
  std::string expected = plain.out;
  for (size_t at = 0; (at = expected.find(".mqo\n", at)) != std::string::npos; at += 5) expected.insert(at + 4, "z");
  EXPECT_EQ(archived.out, expected);
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

// Whether text holds a byte sequence a terminal would act on: a C0
// control other than the line end (and CSV's CR), DEL, a C1 control in
// UTF-8, a bidirectional override or isolate, or a byte that is no UTF-8.
bool ReachesTheTerminal(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if ((b < 0x20 && b != '\n' && b != '\r') || b == 0x7f) return true;
    if (b == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xa0) return true;
    if (text.compare(i, 2, "\xe2\x80") == 0 && i + 2 < text.size() &&
        (static_cast<unsigned char>(text[i + 2]) >= 0xaa && static_cast<unsigned char>(text[i + 2]) <= 0xae))
      return true;
    if (text.compare(i, 2, "\xe2\x81") == 0 && i + 2 < text.size() &&
        (static_cast<unsigned char>(text[i + 2]) >= 0xa6 && static_cast<unsigned char>(text[i + 2]) <= 0xa9))
      return true;
    if (b == 0xff) return true;
  }
  return false;
}

TEST_F(ReportCommandFiles, ControlCharactersInPathsAndNamesAreEscapedInEveryForm) {
  // A file named with an escape sequence and a line break; a Shift-JIS
  // model whose names are made of character codes (a screen wipe, a
  // clipboard write, a forged report line); a UTF-8 model with a C1 CSI, a
  // right-to-left override, an isolate and a byte that is no UTF-8.
  const std::string sjis = Write("e\x1b[31mvil\nname.mqo",
                                 "Object 'x'#27'[2J' {\nface 1 {\n}\n}\nObject #27']52;c;aGk='#7 {\nface 2 {\n}\n}\n"
                                 "Object 'b'#10'       9 : forged' {\nface 3 {\n}\n}\nEof\n");
  const std::string utf8 = Write("u.mqo", "Metasequoia Document\nFormat Text Ver 1.1\nCodePage utf8\n"
                                          "Object \"\xc2\x9b" "2J\xe2\x80\xae" "gpj\xe2\x81\xa6\xff\" {\nface 4 {\n}\n}\nEof\n");
  const std::string shownSjis = folder_.Path() + "/e\\033[31mvil\\nname.mqo";
  const TRun text = RunCli({"--report", sjis, utf8});
  EXPECT_EQ(text.out, "// " + shownSjis + "\n       1 : x\\033[2J\n       2 : \\033]52;c;aGk=\\a\n"
                      "       3 : b\\n       9 : forged\n       6 : Total // e\\033[31mvil\\nname.mqo\n"
                      "------------------------------\n// " + utf8 +
                      "\n       4 : \"\\u009b2J\\u202egpj\\u2066\\xff\"\n       4 : Total // u.mqo\n"
                      "------------------------------\n");
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"--report", "--raw"}, {"--report", "--format", "csv"},
        {"--report", "--format", "json"}, {"--report", "--format", "jsonl"}, {"--stats"},
        {"--stats", "--format", "csv"}, {"--stats", "--format", "jsonl"}}) {
    std::vector<std::string> args = options;
    args.insert(args.end(), {sjis, utf8, folder_.File("missing\x1b]0;title\x07.mqo")});
    const TRun run = RunCli(args);
    EXPECT_FALSE(ReachesTheTerminal(run.out)) << options.back() << "\n" << run.out;
    EXPECT_FALSE(ReachesTheTerminal(run.err)) << options.back() << "\n" << run.err;
    EXPECT_EQ(run.out.find("\n       9 : forged"), std::string::npos) << options.back() << "\n" << run.out;
  }
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

TEST(ReportCommand, AReadThatFailsIsAnErrorInEveryFormNotAnEmptyModel) {
  // Reading the process's own memory from address 0 fails with EIO.
  const std::string device = "/proc/self/mem";
  for (const auto& options : std::vector<std::vector<std::string>>{
           {"--report"}, {"--stats"}, {"--report", "--format", "json"}, {"--stats", "--format", "csv"}}) {
    std::vector<std::string> args = options;
    args.push_back(device);
    const TRun run = RunCli(args);
    EXPECT_EQ(run.status, 1) << options.back();
    // The file named once, then the system's reason alone.
    EXPECT_EQ(run.err, "corvida: " + device + ": " + std::strerror(EIO) + "\n") << options.back();
    // No total of what was read before the failure, in any form.
    for (const char* total : {"Total", "_total", "\"total\":{"}) EXPECT_EQ(run.out.find(total), std::string::npos) << run.out;
  }
}

TEST_F(ReportCommandFiles, PathsAreTheFilesTheSystemMeansShownWithTheirRealPath) {
  // link/../x.mqo is real/x.mqo, since link is real/inner; a lexical
  // clean-up would take the other x.mqo.
  std::filesystem::create_directories(folder_.File("real/inner"));
  std::filesystem::create_directory_symlink(folder_.File("real/inner"), folder_.File("link"));
  const std::string meant = Write("real/x.mqo", "face 1 {\n");
  Write("x.mqo", "face 2 {\n");
  std::filesystem::current_path(folder_.Path());
  // A link to it is named by the file it leads to, in the total too.
  std::filesystem::create_symlink(meant, folder_.File("alias.mqo"));
  const TRun run = RunCli({"--report", "link/../x.mqo", "./real/inner/../x.mqo", "alias.mqo"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string report = "// " + meant + "\n       1 : \n       1 : Total // x.mqo\n------------------------------\n";
  EXPECT_EQ(run.out, report + report + report);
}

// Under a working folder deeper than PATH_MAX a file is opened as given and
// named by its absolute path, in every form and by the statistics too.
TEST_F(ReportCommandFiles, AFileDeeperThanPathMaxIsNamedByItsAbsolutePath) {
  std::filesystem::current_path(folder_.Path());
  const std::string step(200, 'd');
  std::string deep = folder_.Path();
  int depth = 0;
  for (; depth < PATH_MAX / 200 + 2 && ::mkdir(step.c_str(), 0700) == 0 && ::chdir(step.c_str()) == 0; ++depth)
    deep += "/" + step;
  WriteAll("m.mqo", "Object \"a\" {\n face 1 {\n  3 V(0 1 2)\n }\n}\nEof\n");
  std::vector<TRun> runs;
  for (const char* form : {"text", "jsonl"}) {
    runs.push_back(RunCli({"--report", "--format", form, "m.mqo"}));
    runs.push_back(RunCli({"--stats", "--format", form, "m.mqo"}));
  }
  // The folders go first: the temporary folder's own removal cannot reach
  // that deep.
  ::unlink("m.mqo");
  for (; depth > 0; --depth) {
    EXPECT_EQ(::chdir(".."), 0);
    EXPECT_EQ(::rmdir(step.c_str()), 0);
  }
  ASSERT_GT(deep.size(), static_cast<size_t>(PATH_MAX));
  for (const TRun& run : runs) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(deep + "/m.mqo"), std::string::npos) << run.out.substr(0, 80);
  }
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

// The command run as a shell runs it: the real executable, its own standard
// output and error, pipes, process substitution and signals.
class ReportProgram : public ReportCommandFiles {
 protected:
  // Runs a bash script in which "$corvida" is the executable.
  TRun Bash(const std::string& script) {
    WriteAll(folder_.File("run.sh"), "corvida='" CORVIDA_EXECUTABLE "'\n" + script + "\n");
    const std::string command = "bash '" + folder_.File("run.sh") + "' >'" + folder_.File("out") + "' 2>'" +
                                folder_.File("err") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(folder_.File("out")), ReadAll(folder_.File("err"))};
  }
};

std::string Report(const std::string& shownPath, const std::string& objectLines, const std::string& totalLine) {
  return "// " + shownPath + "\n" + objectLines + totalLine + "\n------------------------------\n";
}

TEST_F(ReportProgram, PathsAndUtf8NamesAsWrittenOnATerminalAndThePanesBytesWithRaw) {
  // 模型😀.mqo, a UTF-8 document with a name of the same characters.
  const std::string name = "\xe6\xa8\xa1\xe5\x9e\x8b\xf0\x9f\x98\x80";
  const std::string path = Write(name + ".mqo", "Metasequoia Document\r\nFormat Text Ver 1.1\r\nCodePage utf8\r\n"
                                                "Object \"" + name + "\" {\r\n\tface 6 {\r\n");
  const TRun utf8 = Bash("\"$corvida\" --report '" + path + "'");
  EXPECT_EQ(utf8.status, 0) << utf8.err;
  EXPECT_EQ(utf8.out, Report(path, "       6 : \"" + name + "\"\n", "       6 : Total // " + name + ".mqo"));

  // The pane's CP932: 模型 and the emoji's escape, in the path and in the name.
  const std::string cp932 = "\x96\xcd\x8c\x5e\\U0001f600";
  const TRun raw = Bash("\"$corvida\" --report --raw '" + path + "'");
  EXPECT_EQ(raw.status, 0) << raw.err;
  EXPECT_EQ(raw.out, Report(folder_.Path() + "/" + cp932 + ".mqo", "       6 : \"" + cp932 + "\"\n",
                            "       6 : Total // " + cp932 + ".mqo"));
}

TEST_F(ReportProgram, MessagesAreUtf8AndNameTheFileAlsoWithRaw) {
  const std::string bad = Write("bad.mqo", "Object 'x {\n");
  const TRun run = Bash("cd '" + folder_.Path() + "' && \"$corvida\" --report --raw bad.mqo none.mqo");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "// " + bad + "\n");
  // 1 行で不正な文字列定数.
  EXPECT_EQ(run.err,
            "corvida: bad.mqo: 1 \xe8\xa1\x8c\xe3\x81\xa7\xe4\xb8\x8d\xe6\xad\xa3\xe3\x81\xaa\xe6\x96\x87\xe5\xad\x97"
            "\xe5\x88\x97\xe5\xae\x9a\xe6\x95\xb0.\ncorvida: none.mqo: " +
                std::string(std::strerror(ENOENT)) + "\n");
}

TEST_F(ReportProgram, PathsCp932CannotSpellReachTheTerminalExactly) {
  // 한국어😀: a folder name with no CP932 form at all.
  const std::string folder = folder_.File("\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4\xf0\x9f\x98\x80");
  std::filesystem::create_directory(folder);
  const std::string malformed = Write(folder.substr(folder_.Path().size() + 1) + "/bad.mqo", "Object 'x {\n");
  const std::string damaged = Write(folder.substr(folder_.Path().size() + 1) + "/bad.mqoz", "PK\x03\x04 cut short");
  const TRun run = Bash("\"$corvida\" --report '" + malformed + "' '" + damaged + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "// " + malformed + "\n// " + damaged + "\n");
  // 1 行で不正な文字列定数, then the archive named once with the reason alone.
  EXPECT_EQ(run.err.rfind("corvida: " + malformed + ": 1 \xe8\xa1\x8c\xe3\x81\xa7", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("\ncorvida: " + damaged + ": Not a zip archive\n"), std::string::npos) << run.err;
}

TEST_F(ReportProgram, HelpVersionStandardInputAndAScreenshotWhoseFileFailed) {
  const TRun help = Bash("\"$corvida\" -h");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("\n       corvida [FILE...]\n       corvida --screenshot OUT.png [FILE...]\n"),
            std::string::npos);
  EXPECT_NE(help.out.find("Ctrl+Tab"), std::string::npos);
  const TRun version = Bash("\"$corvida\" --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.starts_with("corvida ") && version.out.ends_with("\n")) << version.out;
  EXPECT_EQ(Bash("\"$corvida\" --help >/dev/full").status, 1);
  const TRun unknown = Bash("\"$corvida\" -x");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err.rfind("corvida: unknown option '-x'\n", 0), 0u) << unknown.err;
  const TRun piped = Bash("printf 'Object \"a\" {\\nface 3 {\\n' | \"$corvida\" --report -");
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_NE(piped.out.find("\n       3 : \"a\"\n"), std::string::npos) << piped.out;

  if (Bash("\"$corvida\" --has-window").status != 0) GTEST_SKIP() << "built without a window";
  const std::string cube = Sample("cube.mqo");
  const std::string png = folder_.File("shot.png");
  EXPECT_EQ(Bash("\"$corvida\" --screenshot '" + png + "' '" + cube + "'").status, 0);
  const TRun failed = Bash("\"$corvida\" --screenshot '" + png + "' '" + cube + "' '" + folder_.File("none.mqo") + "'");
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("none.mqo"), std::string::npos) << failed.err;
  EXPECT_TRUE(std::filesystem::exists(png));
}

TEST_F(ReportProgram, APipeIsReadAsAStream) {
  const TRun run = Bash("\"$corvida\" --report <(printf 'Object \"a\" {\\nface 3 {\\n')");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("// /dev/fd/", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\n       3 : \"a\"\n       3 : Total // "), std::string::npos) << run.out;
}

TEST_F(ReportProgram, ADamagedArchiveAmongGoodFiles) {
  const std::string model = "Object \"a\" {\r\n\tface 6 {\r\n";
  const std::string plain = Write("plain.mqo", model);
  const std::string bad = Write("bad.mqoz", "PK\x03\x04 cut short");
  const std::string good = Write("good.mqoz", ZipArchive({{"tex.png", "png", false}, {"good.mqo", model}}));
  const TRun run = Bash("\"$corvida\" --report '" + plain + "' '" + bad + "' '" + good + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Report(plain, "       6 : \"a\"\n", "       6 : Total // plain.mqo") + "// " + bad + "\n" +
                         Report(good, "       6 : \"a\"\n", "       6 : Total // good.mqoz"));
  EXPECT_EQ(run.err.rfind("corvida: " + bad + ": Not a zip archive\n", 0), 0u) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

TEST_F(ReportProgram, WhatWasReportedSurvivesAnInterruptWhileAPipeWaitsForAWriter) {
  const std::string good = Write("good.mqo", "face 2 {\n");
  const std::string fifo = folder_.File("waiting.mqo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  int output[2];
  ASSERT_EQ(::pipe(output), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  const char* argv[] = {CORVIDA_EXECUTABLE, "--report", good.c_str(), fifo.c_str(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(::posix_spawn(&pid, CORVIDA_EXECUTABLE, &actions, nullptr, const_cast<char**>(argv), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);

  // The first report arrives while the program waits to open the pipe; a
  // program that kept it buffered would send nothing and fail this wait.
  const std::string expected = Report(good, "       2 : \n", "       2 : Total // good.mqo");
  std::string out;
  pollfd ready{output[0], POLLIN, 0};
  while (out.size() < expected.size() && ::poll(&ready, 1, 30000) == 1) {
    char piece[256];
    const ssize_t n = ::read(output[0], piece, sizeof piece);
    if (n <= 0) break;
    out.append(piece, static_cast<size_t>(n));
  }
  ::kill(pid, SIGINT);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(output[0]);
  EXPECT_EQ(out, expected);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
}

}  // namespace
}  // namespace corvida::testing
