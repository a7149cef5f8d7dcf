#include "platform/rtl/file_watch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "temp_folder.h"

namespace corvida {
namespace {

using testing::TempFolder;
using testing::WriteAll;

// The kinds of the notices, in order.
std::vector<TFileNoticeKind> Kinds(const std::vector<TFileNotice>& notices) {
  std::vector<TFileNoticeKind> kinds;
  for (const TFileNotice& n : notices) kinds.push_back(n.kind);
  return kinds;
}

using TKinds = std::vector<TFileNoticeKind>;

// Every way a program saves a file is one notice, once the file has been
// quiet for the settling time, and none before.
TEST(FileWatch, EachKindOfSaveSettlesIntoOneNotice) {
  const struct {
    const char* name;
    std::function<void(const TempFolder&)> save;
  } saves[] = {
      {"write in place", [](const TempFolder& f) { WriteAll(f.File("m.mqo"), "new!"); }},
      {"new file renamed over",
       [](const TempFolder& f) {
         WriteAll(f.File(".m.mqo.tmp"), "new!");
         std::rename(f.File(".m.mqo.tmp").c_str(), f.File("m.mqo").c_str());
       }},
      {"deleted and written again",
       [](const TempFolder& f) {
         std::remove(f.File("m.mqo").c_str());
         WriteAll(f.File("m.mqo"), "new!");
       }},
      {"permission change", [](const TempFolder& f) { ::chmod(f.File("m.mqo").c_str(), 0400); }},
      {"burst of writes", [](const TempFolder& f) {
         for (int i = 0; i < 50; ++i) WriteAll(f.File("m.mqo"), std::string(i * 1000, 'x'));
       }},
  };
  // Every save changes the size or the mode: a polled look must see it
  // within one tick of the file system's clock.
  for (const bool events : {true, false}) {
    for (const auto& s : saves) {
      SCOPED_TRACE(std::string(s.name) + (events ? " (events)" : " (polled)"));
      TempFolder folder;
      WriteAll(folder.File("m.mqo"), "old");
      WriteAll(folder.File("other.mqo"), "other");
      TFileWatch watch(events);
      watch.Add(folder.File("m.mqo"), 0);
      s.save(folder);
      WriteAll(folder.File("other.mqo"), "changed");
      const int64_t changedAt = events ? 10 : TFileWatch::kPollMs;
      EXPECT_TRUE(watch.Check(changedAt).empty());
      EXPECT_EQ(watch.Timeout(changedAt), TFileWatch::kSettleMs);
      EXPECT_TRUE(watch.Check(changedAt + TFileWatch::kSettleMs - 1).empty());
      const std::vector<TFileNotice> notices = watch.Check(changedAt + TFileWatch::kSettleMs);
      ASSERT_EQ(Kinds(notices), TKinds{fnSettled});
      EXPECT_EQ(notices[0].path, folder.File("m.mqo"));
      EXPECT_TRUE(watch.Check(changedAt + 10 * TFileWatch::kSettleMs).empty());
    }
  }
}

// With events, a file that does not change costs no wake-up at all.
TEST(FileWatch, NothingChangingNeedsNoWakeUpWithEventsAndAPollWithout) {
  TempFolder folder;
  WriteAll(folder.File("m.mqo"), "old");
  TFileWatch events(true);
  TFileWatch polled(false);
  for (TFileWatch* watch : {&events, &polled}) {
    watch->Add(folder.File("m.mqo"), 0);
    EXPECT_TRUE(watch->Check(1000).empty());
  }
  EXPECT_GE(events.Descriptor(), 0);
  EXPECT_EQ(events.Timeout(1000), -1);
  EXPECT_EQ(polled.Descriptor(), -1);
  EXPECT_EQ(polled.Timeout(1000), TFileWatch::kPollMs);
  // Asked for again, an unchanged file is handed on after a settling time.
  events.Again(folder.File("m.mqo"), 1000);
  EXPECT_EQ(Kinds(events.Check(1000 + TFileWatch::kSettleMs - 1)), TKinds{});
  EXPECT_EQ(Kinds(events.Check(1000 + TFileWatch::kSettleMs)), TKinds{fnSettled});
}

TEST(FileWatch, AFileThatGoesIsSaidOnceAndFollowedWhenItComesBack) {
  for (const bool wholeFolder : {false, true}) {
    SCOPED_TRACE(wholeFolder ? "folder removed" : "file removed");
    TempFolder top;
    const std::string folder = top.File("models");
    const std::string path = folder + "/m.mqo";
    std::filesystem::create_directory(folder);
    WriteAll(path, "old");
    TFileWatch watch;
    watch.Add(path, 0);
    if (wholeFolder) {
      std::filesystem::remove_all(folder);
    } else {
      std::remove(path.c_str());
    }
    EXPECT_EQ(Kinds(watch.Check(0)), TKinds{});
    EXPECT_EQ(Kinds(watch.Check(TFileWatch::kSettleMs)), TKinds{fnGone});
    EXPECT_EQ(Kinds(watch.Check(5 * TFileWatch::kPollMs)), TKinds{});
    std::filesystem::create_directory(folder);
    WriteAll(path, "back");
    // A removed folder is looked for at the next poll, then watched again.
    int64_t now = 5 * TFileWatch::kPollMs;
    TKinds seen;
    for (int step = 0; step < 10 && seen.empty(); ++step) {
      now += TFileWatch::kSettleMs;
      seen = Kinds(watch.Check(now));
    }
    EXPECT_EQ(seen, TKinds{fnSettled});
    WriteAll(path, "again");
    EXPECT_EQ(Kinds(watch.Check(now + 1)), TKinds{});
    EXPECT_EQ(Kinds(watch.Check(now + 1 + TFileWatch::kSettleMs)), TKinds{fnSettled});
  }
}

// A file written to for ever is never handed on half-way.
TEST(FileWatch, AFileThatKeepsGrowingNeverSettles) {
  for (const bool events : {true, false}) {
    SCOPED_TRACE(events ? "events" : "polled");
    TempFolder folder;
    WriteAll(folder.File("m.mqo"), "");
    TFileWatch watch(events);
    watch.Add(folder.File("m.mqo"), 0);
    for (int64_t now = 0; now < 10 * TFileWatch::kPollMs; now += TFileWatch::kSettleMs / 2) {
      WriteAll(folder.File("m.mqo"), std::string(static_cast<size_t>(now) + 1, 'x'));
      EXPECT_EQ(Kinds(watch.Check(now)), TKinds{}) << now;
    }
  }
}

// A write through a link to a file in another folder is the link's change.
TEST(FileWatch, AWriteToALinksTargetIsSeen) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("real"));
  WriteAll(folder.File("real/m.mqo"), "old");
  std::filesystem::create_symlink(folder.File("real/m.mqo"), folder.File("link.mqo"));
  TFileWatch watch;
  watch.Add(folder.File("link.mqo"), 0);
  WriteAll(folder.File("real/m.mqo"), "new");
  EXPECT_EQ(Kinds(watch.Check(0)), TKinds{});
  EXPECT_EQ(Kinds(watch.Check(TFileWatch::kSettleMs)), TKinds{fnSettled});
}

}  // namespace
}  // namespace corvida
