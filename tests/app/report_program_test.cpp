// The report command run as a shell runs it: the real executable, its own
// standard output and error, pipes, process substitution and signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "temp_folder.h"
#include "zip_builder.h"

namespace corvida::testing {
namespace {

struct TRun {
  int status;
  std::string out;
  std::string err;
};

class ReportProgram : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, std::string_view bytes) {
    WriteAll(folder_.File(name), bytes);
    return folder_.File(name);
  }

  // Runs a bash script in which "$corvida" is the executable.
  TRun Bash(const std::string& script) {
    WriteAll(folder_.File("run.sh"), "corvida='" CORVIDA_EXECUTABLE "'\n" + script + "\n");
    const std::string command = "bash '" + folder_.File("run.sh") + "' >'" + folder_.File("out") + "' 2>'" +
                                folder_.File("err") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(folder_.File("out")), ReadAll(folder_.File("err"))};
  }

  TempFolder folder_;
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

  // The pane's CP932: 模型 and '?' for the emoji, in the path and in the name.
  const std::string cp932 = "\x96\xcd\x8c\x5e?";
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
  // ファイル "<path>" は開けません。
  EXPECT_EQ(run.err.rfind("corvida: " + bad + ": \xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab \"" + bad +
                              "\" \xe3\x81\xaf\xe9\x96\x8b\xe3\x81\x91\xe3\x81\xbe\xe3\x81\x9b\xe3\x82\x93\xe3\x80\x82",
                          0),
            0u)
      << run.err;
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
