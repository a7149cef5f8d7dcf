#include "platform/rtl/registry_store.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/messages.h"
#include "temp_folder.h"

namespace corvida {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

class RegistryStoreTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::string store_ = folder_.File("config/corvida/registry.ini");
};

TEST_F(RegistryStoreTest, StringAndBinaryValuesRoundTripUnderNestedKeys) {
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey("Software\\Tool", true));
  ASSERT_TRUE(reg.OpenKey("Section", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Tool\\Section");
  const std::string binary("\0\x01\xff\r\n=", 6);
  reg.WriteString("Name", " padded  value ");
  reg.WriteBinaryData("Blob", binary);
  reg.WriteBinaryData("Empty", "");

  TRegistry again(store_);
  ASSERT_TRUE(again.OpenKey("\\software\\TOOL\\section", false));
  EXPECT_EQ(again.ReadString("name"), " padded  value ");
  EXPECT_EQ(again.ReadBinaryData("BLOB"), binary);
  EXPECT_EQ(again.ReadBinaryData("Empty"), "");
  EXPECT_FALSE(again.ReadString("Blob").has_value());
  EXPECT_FALSE(again.ReadBinaryData("Name").has_value());
  EXPECT_FALSE(again.ReadString("Missing").has_value());
  EXPECT_EQ(again.GetValueNames(), (std::vector<std::string>{"Name", "Blob", "Empty"}));
}

TEST_F(RegistryStoreTest, KeysExistOnceAValueLivesAtOrBelowThem) {
  TRegistry reg(store_);
  EXPECT_FALSE(reg.KeyExists("A"));
  EXPECT_FALSE(reg.OpenKey("A", false));
  ASSERT_TRUE(reg.OpenKey("A\\B\\C", true));
  EXPECT_FALSE(TRegistry(store_).KeyExists("A\\B\\C"));
  reg.WriteString("v", "1");
  TRegistry fresh(store_);
  EXPECT_TRUE(fresh.KeyExists("a"));
  EXPECT_TRUE(fresh.KeyExists("A\\b"));
  EXPECT_TRUE(fresh.KeyExists("\\A\\B\\C\\"));
  EXPECT_FALSE(fresh.KeyExists("A\\BC"));
  EXPECT_FALSE(fresh.KeyExists("A\\B\\C\\D"));
  EXPECT_TRUE(fresh.KeyExists(""));
}

TEST_F(RegistryStoreTest, AwkwardNamesAndTextsSurvive) {
  // 0x5C is the second byte of this character, not a separator.
  const std::string table = "\x95\x5c";
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey(table + "\\[x]=;y", true));
  const std::vector<std::string> names = {" lead", "a=b", "[s]", ";c", "%41", "", table};
  for (const std::string& name : names)
    reg.WriteString(name, name + "\r\n\"quoted\" %20 " + table);
  TRegistry back(store_);
  ASSERT_TRUE(back.OpenKey(table + "\\[X]=;Y", false));
  EXPECT_EQ(back.CurrentPath(), table + "\\[X]=;Y");
  for (const std::string& name : names)
    EXPECT_EQ(back.ReadString(name), name + "\r\n\"quoted\" %20 " + table) << name;
  EXPECT_FALSE(back.ValueExists("A"));
}

TEST_F(RegistryStoreTest, DeletingValuesAndKeepingForeignLines) {
  TRegistry reg(store_);
  reg.OpenKey("K", true);
  reg.WriteString("a", "1");
  reg.WriteString("b", "2");
  std::string text = ReadAll(store_);
  WriteAll(store_, "; hand-written note\r\n" + text + "garbage without equals\r\n");
  EXPECT_TRUE(reg.DeleteValue("A"));
  EXPECT_FALSE(reg.DeleteValue("a"));
  EXPECT_FALSE(reg.ValueExists("a"));
  EXPECT_EQ(reg.ReadString("b"), "2");
  text = ReadAll(store_);
  EXPECT_NE(text.find("; hand-written note"), std::string::npos);
  EXPECT_NE(text.find("garbage without equals"), std::string::npos);
}

TEST_F(RegistryStoreTest, DamagedValuesReadAsMissing) {
  WriteAll(folder_.File("r.ini"), "[\\K]\r\nbin=b:0G\r\nodd=b:0\r\nbare=text\r\n");
  TRegistry reg(folder_.File("r.ini"));
  reg.OpenKey("K", false);
  EXPECT_FALSE(reg.ReadBinaryData("bin").has_value());
  EXPECT_FALSE(reg.ReadBinaryData("odd").has_value());
  EXPECT_FALSE(reg.ReadString("bare").has_value());
  EXPECT_TRUE(reg.ValueExists("bare"));
}

TEST_F(RegistryStoreTest, AStoreThatCannotBeWrittenRaises) {
  WriteAll(folder_.File("file"), "");
  TRegistry reg(folder_.File("file/registry.ini"));
  reg.OpenKey("K", true);
  EXPECT_THROW(reg.WriteString("a", "1"), ERegistryException);
  EXPECT_FALSE(reg.ReadString("a").has_value());
}

// Puts an environment variable back as it was when the test ends.
class SavedEnv {
 public:
  explicit SavedEnv(const char* name) : name_(name) {
    const char* value = std::getenv(name);
    if (value != nullptr) value_ = value;
  }
  ~SavedEnv() {
    if (value_)
      ::setenv(name_, value_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> value_;
};

TEST(RegistryStoreLocation, FollowsTheUsersConfigurationFolder) {
  SavedEnv config("XDG_CONFIG_HOME");
  SavedEnv home("HOME");
  TempFolder folder;
  ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
  EXPECT_EQ(DefaultRegistryStorePath(), "/somewhere/config/corvida/registry.ini");
  EXPECT_EQ(TRegistry().StorePath(), "/somewhere/config/corvida/registry.ini");
  ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
  ::setenv("HOME", folder.Path().c_str(), 1);
  EXPECT_EQ(DefaultRegistryStorePath(), folder.Path() + "/.config/corvida/registry.ini");
  // A home folder that is missing or the root is no place: the account's
  // home folder is asked instead.
  for (const std::string& bad : {folder.File("missing"), std::string("/")}) {
    ::setenv("HOME", bad.c_str(), 1);
    const passwd* user = ::getpwuid(::getuid());
    const std::string account = user != nullptr ? user->pw_dir : "";
    EXPECT_EQ(DefaultRegistryStorePath(),
              DirectoryExists(account) && account != "/" ? account + "/.config/corvida/registry.ini" : "");
  }
}

TEST(RegistryStoreLocationDeathTest, WithoutAnyPlaceReadsFindNothingAndWritesSaySo) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs an account without a home folder";
  uid_t stranger = 40000;
  while (::getpwuid(stranger) != nullptr) ++stranger;
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("HOME");
        if (::setuid(stranger) != 0) ::_exit(3);
        TRegistry reg;
        reg.OpenKey("Software\\Corvida", true);
        if (!reg.StorePath().empty() || reg.ReadString("a").has_value()) ::_exit(4);
        try {
          reg.WriteString("a", "1");
        } catch (const ERegistryException& e) {
          ::_exit(e.Message() == msg::kNoConfigFolder ? 0 : 5);
        }
        ::_exit(6);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(RegistryStoreTest, SeveralChangesInOneTransactionAreOneWrite) {
  TRegistry reg(store_);
  reg.OpenKey("K", true);
  reg.WriteString("gone", "x");
  reg.Transaction([&] {
    reg.WriteString("a", "1");
    reg.WriteBinaryData("b", "\x01");
    EXPECT_TRUE(reg.DeleteValue("gone"));
    EXPECT_EQ(reg.ReadString("a"), "1");
    EXPECT_FALSE(TRegistry(store_).ValueExists("a"));
  });
  TRegistry back(store_);
  back.OpenKey("K", false);
  EXPECT_EQ(back.GetValueNames(), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace corvida
