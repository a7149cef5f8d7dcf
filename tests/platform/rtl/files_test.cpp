#include "platform/rtl/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <utime.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>

namespace corvida {
namespace {

// Pins the local time zone to UTC for the test's duration.
class UtcZone {
 public:
  UtcZone() {
    if (const char* tz = std::getenv("TZ")) saved_ = tz, had_ = true;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  ~UtcZone() {
    if (had_)
      ::setenv("TZ", saved_.c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::string saved_;
  bool had_ = false;
};

int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second) {
  struct tm t {};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return static_cast<int64_t>(::timegm(&t));
}

TEST(Files, DosTimesCoverTheYears1980To2107) {
  UtcZone utc;
  EXPECT_EQ(DateTimeToFileDate(UtcSeconds(1980, 1, 1, 0, 0, 0)), 0x00210000);
  EXPECT_EQ(DateTimeToFileDate(UtcSeconds(1979, 12, 31, 23, 59, 59)), std::nullopt);
  EXPECT_EQ(DateTimeToFileDate(UtcSeconds(2107, 12, 31, 23, 59, 59)), static_cast<int32_t>(0xFF9FBF7Du));
  EXPECT_EQ(DateTimeToFileDate(UtcSeconds(2108, 1, 1, 0, 0, 0)), std::nullopt);
  // 2024-05-17 13:45:31: seconds are kept in two-second steps.
  EXPECT_EQ(DateTimeToFileDate(UtcSeconds(2024, 5, 17, 13, 45, 31)),
            static_cast<int32_t>((44u << 9 | 5u << 5 | 17u) << 16 | (13u << 11 | 45u << 5 | 15u)));
}

TEST(Files, FileAgeOnlyForExistingFiles) {
  UtcZone utc;
  char pattern[] = "/tmp/corvida-files-XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  const std::string file = dir + "/model.mqo";
  std::ofstream(file) << "x";
  struct utimbuf times {};
  times.actime = times.modtime = static_cast<time_t>(UtcSeconds(2001, 2, 3, 4, 5, 6));
  ASSERT_EQ(::utime(file.c_str(), &times), 0);

  EXPECT_EQ(FileAge(file), DateTimeToFileDate(UtcSeconds(2001, 2, 3, 4, 5, 6)));
  EXPECT_EQ(FileAge(dir), std::nullopt) << "a folder has no file age";
  EXPECT_EQ(FileAge(dir + "/missing"), std::nullopt);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(dir));
  EXPECT_TRUE(DirectoryExists(dir));
  EXPECT_FALSE(DirectoryExists(file));

  times.actime = times.modtime = static_cast<time_t>(UtcSeconds(1975, 1, 1, 0, 0, 0));
  ASSERT_EQ(::utime(file.c_str(), &times), 0);
  EXPECT_EQ(FileAge(file), std::nullopt) << "before 1980";
  std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(Files, PathPartsUseTheSlash) {
  EXPECT_EQ(ExtractFileName("/home/u/model.mqo"), "model.mqo");
  EXPECT_EQ(ExtractFileName("model.mqo"), "model.mqo");
  EXPECT_EQ(ExtractFileName("/home/u/"), "");
  EXPECT_EQ(ExtractFilePath("/home/u/model.mqo"), "/home/u/");
  EXPECT_EQ(ExtractFilePath("model.mqo"), "");
  EXPECT_EQ(ExtractFileExt("/a.b/model.MQO"), ".MQO");
  EXPECT_EQ(ExtractFileExt("/a.b/model"), "");

  EXPECT_EQ(ChangeFileExt("/opt/corvida/corvida", ".ini"), "/opt/corvida/corvida.ini");
  EXPECT_EQ(ChangeFileExt("/opt/corvida.d/tool.exe", ".ini"), "/opt/corvida.d/tool.ini");
  EXPECT_EQ(ChangeFileExt("tool.tar.gz", ""), "tool.tar");
  // The second byte of 0x83 0x2E would never be taken for a dot: trail bytes
  // start at 0x40, but a lead byte must still carry its trail along.
  EXPECT_EQ(ExtractFileName("/\x95\x5c/\x83\x74.txt"), "\x83\x74.txt");
}

TEST(Files, ExecutableAndExpandedPaths) {
  EXPECT_EQ(ExecutablePath().front(), '/');
  EXPECT_EQ(ExpandFileName("/x/y"), "/x/y");
  const std::string expanded = ExpandFileName("rel.txt");
  EXPECT_EQ(expanded.front(), '/');
  EXPECT_EQ(ExtractFileName(expanded), "rel.txt");
  const struct {
    const char* path;
    const char* expanded;
  } cases[] = {
      {"/a/./b//c", "/a/b/c"},        {"/a/b/../c", "/a/c"},   {"/../a", "/a"},
      {"/a/b/..", "/a"},              {"/a/b/", "/a/b/"},      {"/", "/"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandFileName(c.path), c.expanded) << c.path;
}

// A working folder deeper than PATH_MAX still gives an absolute path.
TEST(Files, ExpandFileNameUnderAWorkingFolderDeeperThanPathMax) {
  char start[PATH_MAX];
  ASSERT_NE(::getcwd(start, sizeof start), nullptr);
  ASSERT_EQ(::chdir(::testing::TempDir().c_str()), 0);
  const std::string step(200, 'd');
  const int depth = PATH_MAX / static_cast<int>(step.size()) + 2;
  int made = 0;
  for (; made < depth && ::mkdir(step.c_str(), 0700) == 0 && ::chdir(step.c_str()) == 0; ++made) {}
  const std::string expanded = made == depth ? ExpandFileName("../x/m.mqo") : std::string();
  for (; made > 0; --made) {
    EXPECT_EQ(::chdir(".."), 0);
    EXPECT_EQ(::rmdir(step.c_str()), 0);
  }
  ASSERT_EQ(::chdir(start), 0);
  ASSERT_GT(expanded.size(), static_cast<size_t>(PATH_MAX));
  EXPECT_EQ(expanded.front(), '/');
  EXPECT_EQ(expanded.substr(expanded.size() - step.size() - 9), "/" + step + "/x/m.mqo");
}

}  // namespace
}  // namespace corvida
