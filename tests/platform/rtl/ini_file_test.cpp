#include "platform/rtl/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/streams.h"
#include "temp_folder.h"

namespace corvida {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

class IniFileTest : public ::testing::Test {
 protected:
  std::string Read(std::string_view section, std::string_view key, std::string_view def = "<none>") {
    return TIniFile(path_).ReadString(section, key, def);
  }
  TempFolder folder_;
  std::string path_ = folder_.File("a.ini");
};

TEST_F(IniFileTest, ReadsNamesWithoutCaseAndTrimsNamesAndValues) {
  WriteAll(path_, "[Main]\r\n  Width =  640 \r\nname=x\r\n[ Other ]\r\nWidth=1\r\n");
  EXPECT_EQ(Read("main", "WIDTH"), "640");
  EXPECT_EQ(Read(" Main ", " width "), "640");
  EXPECT_EQ(Read("other", "width"), "1");
  EXPECT_EQ(Read("Main", "Height", "7"), "7");
  EXPECT_EQ(Read("Missing", "Width", "7"), "7");
  EXPECT_EQ(Read("Main", "Width", ""), "640");
}

TEST_F(IniFileTest, DropsOnePairOfSurroundingQuotes) {
  WriteAll(path_,
           "[Q]\nd=\"two words\"\ns='single'\nn=\"\"x\"\"\nm=\"mixed'\none=\"\nempty=\"\"\ninner=a\"b\"\n");
  EXPECT_EQ(Read("Q", "d"), "two words");
  EXPECT_EQ(Read("Q", "s"), "single");
  EXPECT_EQ(Read("Q", "n"), "\"x\"");
  EXPECT_EQ(Read("Q", "m"), "\"mixed'");
  EXPECT_EQ(Read("Q", "one"), "\"");
  EXPECT_EQ(Read("Q", "empty"), "");
  EXPECT_EQ(Read("Q", "inner"), "a\"b\"");
}

TEST_F(IniFileTest, DefaultLosesTrailingSpacesAndMissingFileReadsDefaults) {
  EXPECT_EQ(Read("S", "K", "  padded  "), "  padded");
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(IniFileTest, LongValuesAreCutToTheReadBuffer) {
  WriteAll(path_, "[S]\nk=" + std::string(5000, 'v') + "\nq=\"" + std::string(3000, 'w') + "\"\n");
  EXPECT_EQ(Read("S", "k"), std::string(2047, 'v'));
  EXPECT_EQ(Read("S", "q"), std::string(2047, 'w'));
  EXPECT_EQ(Read("S", "none", std::string(3000, 'd')), std::string(2047, 'd'));
  // A double-byte character that would straddle the cut is left out whole.
  std::string kanji;
  for (int i = 0; i < 1024; ++i) kanji += "\x8a\xbf";
  WriteAll(path_, "[S]\nk=x" + kanji + "\n");
  EXPECT_EQ(Read("S", "k"), "x" + kanji.substr(0, 2046));
}

TEST_F(IniFileTest, FirstSectionAndFirstKeyWinAndCommentsAreNoKeys) {
  WriteAll(path_, "top=0\n[S]\n;k=comment\nk=1\nk=2\n[s]\nk=3\nj=4\n");
  EXPECT_EQ(Read("S", "k"), "1");
  EXPECT_EQ(Read("S", "j"), "<none>");
  EXPECT_EQ(Read("S", ";k"), "<none>");
  EXPECT_EQ(TIniFile(path_).ReadKeys("S"), (std::vector<std::string>{"k", "k"}));
}

TEST_F(IniFileTest, WriteCreatesFileAndSectionAndReplacesInPlace) {
  TIniFile ini(path_);
  ini.WriteString("Main", "Width", "640");
  EXPECT_EQ(ReadAll(path_), "[Main]\r\nWidth=640\r\n");
  ini.WriteString("main", "Height", "480");
  ini.WriteString("Other", "X", "1");
  ini.WriteString("MAIN", "width", "800");
  EXPECT_EQ(ReadAll(path_), "[Main]\r\nWidth=800\r\nHeight=480\r\n[Other]\r\nX=1\r\n");
}

TEST_F(IniFileTest, WritesKeepCommentsForeignLinesAndLineEnds) {
  const std::string before =
      "; settings\n[Main]\n# not a key\n  Width = 1 \n\n; about Other\n[Other]\nY=2\njunk line\n";
  WriteAll(path_, before);
  TIniFile ini(path_);
  ini.WriteString("Main", "Width", "2");
  ini.WriteString("Main", "Height", "3");
  ini.WriteString("Other", "Z", "4");
  EXPECT_EQ(ReadAll(path_),
            "; settings\n[Main]\n# not a key\nWidth=2\nHeight=3\n\n; about Other\n[Other]\nY=2\nZ=4\njunk line\n");
  ini.DeleteKey("Main", "height");
  ini.DeleteKey("Other", "z");
  EXPECT_EQ(ReadAll(path_), "; settings\n[Main]\n# not a key\nWidth=2\n\n; about Other\n[Other]\nY=2\njunk line\n");
}

TEST_F(IniFileTest, WriteAfterALastLineWithoutLineEnd) {
  WriteAll(path_, "[A]\r\nk=1");
  TIniFile(path_).WriteString("A", "j", "2");
  TIniFile(path_).WriteString("B", "k", "3");
  EXPECT_EQ(ReadAll(path_), "[A]\r\nk=1\r\nj=2\r\n[B]\r\nk=3\r\n");
}

TEST_F(IniFileTest, DeletingWhatIsMissingLeavesTheFileAlone) {
  TIniFile(path_).DeleteKey("S", "K");
  EXPECT_FALSE(std::filesystem::exists(path_));
  WriteAll(path_, "[S]\nK=1\n");
  TIniFile(path_).DeleteKey("S", "J");
  TIniFile(path_).DeleteKey("T", "K");
  EXPECT_EQ(ReadAll(path_), "[S]\nK=1\n");
}

TEST_F(IniFileTest, WrittenValuesReadBackValueForValue) {
  const std::vector<std::pair<std::string, std::string>> values = {
      {"plain", "text"},        {"spaces", "a  b"},         {"kanji", "\x95\x5c\x8e\xa6"},
      {"equals", "a=b=c"},      {"brackets", "[not]"},      {"semicolon", ";x"},
      {"hash", "#"},            {"empty", ""},              {"path", "C:\\models\\"},
      {"latin", "\xff\xfe\x80"}, {"kana", "\xb1\xb2\xb3"}};
  TIniFile ini(path_);
  for (const auto& [key, value] : values) ini.WriteString("Round", key, value);
  for (const auto& [key, value] : values) EXPECT_EQ(ini.ReadString("Round", key, "<none>"), value) << key;
}

TEST_F(IniFileTest, BadFilesReadWithoutHarmAndSurviveWrites) {
  std::string bad = "\xef\xbb\xbfjunk\r[S]\rk=1\r\n\x81\nnul=a";
  bad += '\0';
  bad += "b\n" + std::string(100000, 'x') + "\n\xff\xfe=\x82\n[T\nt=2\nj=\"q\n\n\r\n";
  WriteAll(path_, bad);
  EXPECT_EQ(Read("S", "k"), "1");
  EXPECT_EQ(Read("S", "nul"), "a");
  EXPECT_EQ(Read("S", "\xff\xfe"), "\x82");
  EXPECT_EQ(Read("S", "[T"), "<none>");
  EXPECT_EQ(Read("S", "t"), "2");
  EXPECT_EQ(Read("S", "j"), "\"q");
  TIniFile(path_).WriteString("S", "k", "9");
  std::string expected = bad;
  expected.replace(expected.find("k=1"), 3, "k=9");
  EXPECT_EQ(ReadAll(path_), expected);
}

TEST_F(IniFileTest, RefusedWritesRaiseNamingTheFileAndLoseNothing) {
  // "に書き込めません", and after it the system's reason when the system refused.
  const std::string cannotWrite = " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";
  auto expectRefused = [](const std::string& path, std::string_view key, std::string_view value,
                          const std::string& message) {
    try {
      TIniFile(path).WriteString("S", key, value);
      ADD_FAILURE() << "no error for " << path;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), message);
    }
  };
  const std::string missing = folder_.File("missing/a.ini");
  expectRefused(missing, "k", "v",
                Format(msg::kCannotLock, {folder_.File("missing/.a.ini.lock"), SystemErrorMessage(ENOENT)}));
  expectRefused(folder_.Path(), "k", "v",
                Format(msg::kCannotWriteBecause, {folder_.Path(), SystemErrorMessage(EISDIR)}));
  expectRefused("", "k", "v", cannotWrite);
  WriteAll(path_, "[S]\nk=1\n");
  expectRefused(path_, "k", "two\r\nlines", path_ + cannotWrite);
  expectRefused(path_, "a=b", "v", path_ + cannotWrite);
  expectRefused(path_, "[x]", "v", path_ + cannotWrite);
  expectRefused(path_, std::string("n\0l", 3), "v", path_ + cannotWrite);
  EXPECT_EQ(ReadAll(path_), "[S]\nk=1\n");
}

TEST_F(IniFileTest, AnUnreadableFileIsNeitherReadNorReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  WriteAll(path_, "[S]\nk=1\n");
  std::filesystem::permissions(path_, std::filesystem::perms::none);
  EXPECT_EQ(Read("S", "k"), "<none>");
  EXPECT_THROW(TIniFile(path_).WriteString("S", "j", "2"), EIniFileException);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadAll(path_), "[S]\nk=1\n");
}

TEST_F(IniFileTest, AByteOrderMarkIsSkippedOnReadingAndKeptOnWriting) {
  WriteAll(path_, "\xef\xbb\xbf[Main]\r\nWidth=1\r\n");
  EXPECT_EQ(Read("main", "width"), "1");
  TIniFile(path_).WriteString("Main", "Height", "2");
  EXPECT_EQ(ReadAll(path_), "\xef\xbb\xbf[Main]\r\nWidth=1\r\nHeight=2\r\n");
}

TEST_F(IniFileTest, AReadOnlyFileIsNotReplacedEvenByTheSuperUser) {
  WriteAll(path_, "[S]\nk=1\n");
  std::filesystem::permissions(path_, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  try {
    TIniFile(path_).WriteString("S", "k", "2");
    ADD_FAILURE() << "a read-only file was written";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), Format(msg::kCannotWriteBecause, {path_, SystemErrorMessage(EACCES)}));
  }
  EXPECT_EQ(ReadAll(path_), "[S]\nk=1\n");
  EXPECT_EQ(Read("S", "k"), "1");
}

TEST_F(IniFileTest, ALinkIsWrittenThroughAndStaysALink) {
  const std::string link = folder_.File("link.ini");
  std::filesystem::create_symlink("a.ini", link);
  // The target does not exist yet: the first write makes it.
  TIniFile(link).WriteString("S", "k", "1");
  TIniFile(link).WriteString("S", "j", "2");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadAll(path_), "[S]\r\nk=1\r\nj=2\r\n");
  EXPECT_EQ(TIniFile(link).ReadString("S", "j", ""), "2");
}

TEST_F(IniFileTest, ATransactionWritesOnceAndAFailedOneNotAtAll) {
  WriteAll(path_, "[S]\r\nk=1\r\n");
  TIniFile ini(path_);
  ini.Transaction([&] {
    ini.WriteString("S", "k", "2");
    ini.WriteString("T", "j", "3");
    // Inside, reads see the edits; the file does not have them yet.
    EXPECT_EQ(ini.ReadString("S", "k", ""), "2");
    EXPECT_EQ(ReadAll(path_), "[S]\r\nk=1\r\n");
  });
  EXPECT_EQ(ReadAll(path_), "[S]\r\nk=2\r\n[T]\r\nj=3\r\n");
  EXPECT_THROW(ini.Transaction([&] {
    ini.DeleteKey("S", "k");
    ini.WriteString("S", "bad", "two\nlines");
  }),
               EIniFileException);
  EXPECT_EQ(ReadAll(path_), "[S]\r\nk=2\r\n[T]\r\nj=3\r\n");
}

TEST_F(IniFileTest, ASnapshotReadsOneStateOfTheFile) {
  WriteAll(path_, "[S]\r\nk=1\r\n");
  TIniFile ini(path_);
  ini.Snapshot([&] {
    TIniFile(path_).WriteString("S", "k", "2");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "1");
  });
  EXPECT_EQ(ini.ReadString("S", "k", ""), "2");
}

TEST(IniText, KeysAreFoundAfterRemovalsMoveThem) {
  TIniText text("[A]\nk=1\nx=2\nk=3\ny=4\n; end\n[B]\nz=5");
  EXPECT_EQ(text.Value("A", "K"), "1");
  EXPECT_TRUE(text.DeleteKey("A", "k"));
  EXPECT_EQ(text.Value("A", "k"), "3");
  EXPECT_TRUE(text.DeleteKey("a", "Y"));
  EXPECT_TRUE(text.SetValue("A", "w", "6"));
  EXPECT_TRUE(text.SetValue("A", "x", "7"));
  EXPECT_TRUE(text.SetValue("B", "v", "8"));
  EXPECT_EQ(text.Content(), "[A]\nx=7\nk=3\nw=6\n; end\n[B]\nz=5\nv=8\n");
  EXPECT_TRUE(text.DeleteKey("A", "w"));
  EXPECT_TRUE(text.DeleteKey("A", "k"));
  EXPECT_TRUE(text.SetValue("A", "u", "9"));
  EXPECT_EQ(text.Keys("A"), (std::vector<std::string>{"x", "u"}));
  EXPECT_EQ(text.Content(), "[A]\nx=7\nu=9\n; end\n[B]\nz=5\nv=8\n");
}

TEST(IniText, UpdateAppliesSeveralEditsAtOnce) {
  TIniText text("[A]\nx=1\ny=2\n[B]\nz=3\n");
  EXPECT_TRUE(text.DeleteSection("a"));
  EXPECT_FALSE(text.DeleteSection("a"));
  EXPECT_FALSE(text.SetValue("B", "z", "3"));
  EXPECT_TRUE(text.SetValue("B", "w", "4"));
  EXPECT_EQ(text.Content(), "[B]\nz=3\nw=4\n");
  EXPECT_EQ(text.Sections(), std::vector<std::string>{"B"});
}

}  // namespace
}  // namespace corvida
