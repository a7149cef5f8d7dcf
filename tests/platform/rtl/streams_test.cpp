#include "platform/rtl/streams.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

// A fresh folder under the temporary directory, removed with its files.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/corvida-streams-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TEST(MemoryStream, ReadsWritesAndSeeks) {
  TMemoryStream s;
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Size(), 5);
  EXPECT_EQ(s.Position(), 5);
  s.Seek(-2, soEnd);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2);
  EXPECT_EQ(std::string(buf, 2), "lo");
  EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);

  s.SetPosition(7);
  s.WriteBuffer("!", 1);
  EXPECT_EQ(std::string(s.Memory(), 8), std::string("hello\0\0!", 8)) << "a gap reads as zeros";
  s.SetSize(3);
  EXPECT_EQ(s.Position(), 3);
  EXPECT_EQ(s.Read(buf, 1), 0);

  TMemoryStream copy;
  copy.CopyFrom(s, 0);
  EXPECT_EQ(std::string(copy.Memory(), 3), "hel");
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
}

TEST(FileStream, WritesAndReadsBack) {
  TempDir dir;
  const std::string path = dir.File("a.txt");
  {
    TFileStream out(path, fmCreate);
    TStringList lines;
    lines.SetText("one\ntwo");
    lines.SaveToStream(out);
  }
  TFileStream in(path, fmOpenRead | fmShareDenyWrite);
  EXPECT_EQ(in.Size(), 10);
  TStringList lines;
  lines.LoadFromStream(in);
  EXPECT_EQ(lines.Text(), "one\r\ntwo\r\n");

  TMemoryStream whole;
  whole.LoadFromFile(path);
  EXPECT_EQ(std::string(whole.Memory(), 10), "one\r\ntwo\r\n");
}

TEST(FileStream, OpenFailuresNamePathAndReason) {
  TempDir dir;
  const std::string missing = dir.File("missing.mqo");
  try {
    TFileStream in(missing, fmOpenRead);
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), Format(msg::kFOpenError, {missing, SystemErrorMessage(ENOENT)}));
  }
  try {
    TFileStream in(dir.Path(), fmOpenRead);
    ADD_FAILURE() << "a folder is not a stream";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), Format(msg::kFOpenError, {dir.Path(), SystemErrorMessage(EISDIR)}));
  }
  const std::string nowhere = dir.File("no/such/folder.txt");
  try {
    TFileStream out(nowhere, fmCreate);
    ADD_FAILURE();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), Format(msg::kFCreateError, {nowhere, SystemErrorMessage(ENOENT)}));
  }
  TMemoryStream whole;
  EXPECT_THROW(whole.LoadFromFile(missing), EFOpenError);
}

TEST(FileStream, AFailingReadIsAnErrorNotTheEnd) {
  // The process's own memory cannot be read from address 0: the system
  // fails the read with EIO, as a failing disk would.
  TFileStream in("/proc/self/mem", fmOpenRead);
  char buffer[16];
  try {
    in.Read(buffer, sizeof buffer);
    ADD_FAILURE() << "a failed read taken for the end";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), Format(msg::kFReadError, {"/proc/self/mem", SystemErrorMessage(EIO)}));
  }
}

}  // namespace
}  // namespace corvida
