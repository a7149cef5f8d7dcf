// Two processes writing one INI file and one registry store at the same time,
// as two windows of the tool closing together would: each its own keys, and
// both the same key and the same list.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/rtl/strings.h"
#include "settings/reg_manager.h"
#include "temp_folder.h"

namespace corvida {
namespace {

constexpr int kKeys = 40;      // own keys per writer and store
constexpr int kListEvery = 4;  // a shared list and key every so many keys
constexpr int kListItems = 5;

void Declare(TRegManager& reg) {
  TRegItem* list = reg.RegItems()->Add();
  list->SetName("List");
  list->SetSection("Shared");
  list->SetIdent("List");
  TRegItem* one = reg.RegItems()->Add();
  one->SetName("One");
  one->SetSection("Shared");
  one->SetIdent("One");
}

void UseIni(TRegManager& reg, const std::string& ini) {
  reg.SetRegType(rtIni);
  reg.SetIniFileName(ini);
}

void UseRegistry(TRegManager& reg, const std::string& store) {
  reg.SetRegType(rtReg);
  reg.SetRegDir("Software\\Corvida");
  reg.SetRegistryStorePath(store);
}

std::string Tag(int writer, int round) { return std::to_string(writer) + ":" + std::to_string(round); }

// The list a writer stores in a round: every item names the writer, the
// round and its own place, so that a mix of two writes shows.
void FillList(TStrings& list, int writer, int round) {
  list.Clear();
  for (int i = 0; i < kListItems; ++i) list.Add(Tag(writer, round) + ":" + std::to_string(i));
}

// Whether a list read back is one writer's whole list of one round.
bool Whole(const TStrings& list) {
  if (list.Count() == 0) return true;
  if (list.Count() != kListItems) return false;
  const std::string first = list.Strings(0);
  const std::string tag = first.substr(0, first.rfind(':'));
  for (int i = 0; i < kListItems; ++i)
    if (list.Strings(i) != tag + ":" + std::to_string(i)) return false;
  return true;
}

int LastListRound() { return (kKeys - 1) / kListEvery * kListEvery; }

// One writer's work on both stores; the exit status tells the parent.
int Write(int writer, const std::string& ini, const std::string& store) {
  try {
    TRegManager reg(nullptr);
    Declare(reg);
    TStringList list;
    for (int i = 0; i < kKeys; ++i) {
      for (int backend = 0; backend < 2; ++backend) {
        backend == 0 ? UseIni(reg, ini) : UseRegistry(reg, store);
        TRegFiler* filer = reg.Filer("One");
        filer->WriteValue("Writer" + std::to_string(writer), "Key" + std::to_string(i), Tag(writer, i));
        if (i % kListEvery != 0) continue;
        FillList(list, writer, i);
        reg.Filer("List")->WriteStrings(list);
        reg.Filer("One")->WriteString(Tag(writer, i));
      }
    }
    return 0;
  } catch (const std::exception&) {
    return 2;
  }
}

TEST(TwoWriters, KeepEveryKeyAndNeverTearASetting) {
  testing::TempFolder folder;
  const std::string ini = folder.File("shared.ini");
  const std::string store = folder.File("config/registry.ini");
  int start[2];
  ASSERT_EQ(::pipe(start), 0);
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = ::fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) {
      ::close(start[1]);
      char go = 0;
      const bool started = ::read(start[0], &go, 1) == 1;
      ::_exit(started ? Write(w, ini, store) : 3);
    }
  }
  ::close(start[0]);
  ASSERT_EQ(::write(start[1], "go", 2), 2);
  ::close(start[1]);

  // While they write, every read of the list finds one whole list.
  TRegManager reg(nullptr);
  Declare(reg);
  TStringList list;
  bool done[2] = {false, false};
  int status[2] = {0, 0};
  while (!done[0] || !done[1]) {
    for (int backend = 0; backend < 2; ++backend) {
      backend == 0 ? UseIni(reg, ini) : UseRegistry(reg, store);
      reg.Filer("List")->ReadStrings(list);
      EXPECT_TRUE(Whole(list)) << list.Text();
    }
    for (int w = 0; w < 2; ++w)
      if (!done[w]) done[w] = ::waitpid(writers[w], &status[w], WNOHANG) == writers[w];
  }
  for (int w = 0; w < 2; ++w) {
    ASSERT_TRUE(WIFEXITED(status[w]));
    ASSERT_EQ(WEXITSTATUS(status[w]), 0) << "writer " << w;
  }

  const int last = LastListRound();
  for (int backend = 0; backend < 2; ++backend) {
    backend == 0 ? UseIni(reg, ini) : UseRegistry(reg, store);
    SCOPED_TRACE(backend == 0 ? "INI file" : "registry store");
    TRegFiler* filer = reg.Filer("One");
    int missing = 0;
    for (int w = 0; w < 2; ++w)
      for (int i = 0; i < kKeys; ++i)
        missing += filer->ReadValue("Writer" + std::to_string(w), "Key" + std::to_string(i), "") != Tag(w, i);
    EXPECT_EQ(missing, 0);
    const std::string one = reg.Filer("One")->ReadString();
    EXPECT_TRUE(one == Tag(0, last) || one == Tag(1, last)) << one;
    reg.Filer("List")->ReadStrings(list);
    ASSERT_EQ(list.Count(), kListItems);
    EXPECT_TRUE(Whole(list));
    EXPECT_TRUE(list.Strings(0) == Tag(0, last) + ":0" || list.Strings(0) == Tag(1, last) + ":0") << list.Text();
  }
}

}  // namespace
}  // namespace corvida
