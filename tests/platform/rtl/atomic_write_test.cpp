#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/streams.h"
#include "temp_folder.h"

namespace corvida {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

int FilesIn(const std::string& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

constexpr uid_t kNobody = 65534;

struct HookReset {
  ~HookReset() { SetAtomicWriteHook(nullptr); }
};

TEST(AtomicWrite, ReplacesTheContentAndKeepsPermissions) {
  TempFolder folder;
  const std::string path = folder.File("data.ini");
  WriteFileAtomic(path, "first");
  EXPECT_EQ(ReadAll(path), "first");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  WriteFileAtomic(path, "second, longer");
  EXPECT_EQ(ReadAll(path), "second, longer");
  EXPECT_EQ(std::filesystem::status(path).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(AtomicWrite, WritesThroughASymbolicLink) {
  TempFolder folder;
  const std::string target = folder.File("real.ini");
  const std::string link = folder.File("link.ini");
  WriteAll(target, "old");
  std::filesystem::create_symlink(target, link);
  WriteFileAtomic(link, "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadAll(target), "new");
}

TEST(AtomicWrite, AFailureBeforeTheRenameLeavesTheOldFileAndNoLeftovers) {
  TempFolder folder;
  const std::string path = folder.File("a.ini");
  WriteAll(path, "[S]\r\nk=old\r\n");
  HookReset reset;
  SetAtomicWriteHook([](const std::string& tempPath) {
    // The new content is complete on disk before the rename.
    EXPECT_EQ(ReadAll(tempPath), "[S]\r\nk=new\r\n");
    throw EFCreateError("interrupted");
  });
  EXPECT_THROW(TIniFile(path).WriteString("S", "k", "new"), EIniFileException);
  EXPECT_EQ(ReadAll(path), "[S]\r\nk=old\r\n");
  EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(AtomicWriteDeathTest, AProcessKilledBeforeTheRenameLeavesTheOldFile) {
  // Forked without a fresh start, so that the child makes no folder of its
  // own that its sudden end would leave behind.
  GTEST_FLAG_SET(death_test_style, "fast");
  TempFolder folder;
  const std::string path = folder.File("a.ini");
  WriteAll(path, "[S]\r\nk=old\r\n");
  EXPECT_EXIT(
      {
        SetAtomicWriteHook([](const std::string&) { ::_exit(9); });
        TIniFile(path).WriteString("S", "k", "new");
      },
      ::testing::ExitedWithCode(9), "");
  EXPECT_EQ(TIniFile(path).ReadString("S", "k", ""), "old");
  TIniFile(path).WriteString("S", "k", "after");
  EXPECT_EQ(TIniFile(path).ReadString("S", "k", ""), "after");
  // The killed writer's temporary file went with the next write.
  EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(FileLock, ASecondHolderWaitsAndThenGivesUpNamingTheFile) {
  TempFolder folder;
  const std::string path = folder.File("a.ini");
  const std::string link = folder.File("link.ini");
  std::filesystem::create_symlink(path, link);
  {
    TFileLock held(path, std::chrono::milliseconds(0));
    // Through a link the lock is the target's.
    try {
      TFileLock second(link, std::chrono::milliseconds(20));
      ADD_FAILURE() << "two holders at once";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.Message(), link + " \x82\xcd\x91\xbc\x82\xcc\x83\x76\x83\x8d\x83\x5a\x83\x58\x82\xaa"
                                   "\x8e\x67\x97\x70\x92\x86\x82\xc5\x82\xb7");
    }
  }
  EXPECT_NO_THROW(TFileLock(link, std::chrono::milliseconds(0)));
  // The lock file goes with its holder; the file itself is left to writers.
  EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST(AtomicWrite, ReadFileIfExistsTellsMissingFromUnreadable) {
  TempFolder folder;
  EXPECT_FALSE(ReadFileIfExists(folder.File("none")).has_value());
  EXPECT_THROW(ReadFileIfExists(folder.Path()), EFOpenError);
  WriteAll(folder.File("x"), std::string("a\0b", 3));
  EXPECT_EQ(ReadFileIfExists(folder.File("x")), std::string("a\0b", 3));
}

TEST(AtomicWrite, ForceDirectoriesMakesEveryMissingParent) {
  TempFolder folder;
  ForceDirectories(folder.File("a/b/c/"));
  EXPECT_TRUE(DirectoryExists(folder.File("a/b/c")));
  WriteAll(folder.File("file"), "");
  EXPECT_THROW(ForceDirectories(folder.File("file/sub")), EFCreateError);
}

// Runs body in a child process as the user nobody; true when it returned true.
bool AsAnotherUser(const std::function<bool()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    bool ok = false;
    if (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) {
      try {
        ok = body();
      } catch (...) {
      }
    }
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FileLock, AWriteThatCannotBeLockedFailsNamingTheLockFileAndChangesNothing) {
  TempFolder folder;
  const std::string path = folder.File("a.ini");
  WriteAll(path, "[S]\r\nk=old\r\n");
  const std::string lockPath = folder.File(".a.ini.lock");
  std::filesystem::create_directory(lockPath);
  try {
    TIniFile(path).WriteString("S", "k", "new");
    ADD_FAILURE() << "written without the lock";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), Format(msg::kCannotLock, {lockPath, SystemErrorMessage(EISDIR)}));
  }
  EXPECT_EQ(ReadAll(path), "[S]\r\nk=old\r\n");
}

TEST(FileLock, AnotherUsersLockFileBlocksOnlyWhileItIsHeld) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
  TempFolder folder;
  ASSERT_EQ(::chown(folder.Path().c_str(), kNobody, kNobody), 0);
  const std::string path = folder.File("a.ini");
  const std::string lockPath = folder.File(".a.ini.lock");
  // Held by root's writer now: nobody waits, then gives up naming the file.
  {
    TFileLock held(path, std::chrono::milliseconds(0));
    EXPECT_TRUE(AsAnotherUser([&] {
      try {
        TFileLock(path, std::chrono::milliseconds(30));
      } catch (const EInOutError& e) {
        return e.Message() == Format(msg::kFileInUse, {path});
      }
      return false;
    }));
  }
  // Left behind by a root writer that was killed: stale, so nobody writes.
  WriteAll(lockPath, "");
  EXPECT_TRUE(AsAnotherUser([&] {
    TIniFile(path).WriteString("S", "k", "mine");
    return TIniFile(path).ReadString("S", "k", "") == "mine";
  }));
  EXPECT_FALSE(std::filesystem::exists(lockPath));
}

}  // namespace
}  // namespace corvida
