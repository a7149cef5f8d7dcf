#include "support/stream_utils.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "temp_folder.h"

namespace corvida {
namespace {

using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

// Fills the stream with bytes and rewinds it.
void Fill(TMemoryStream& stream, std::string_view bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

std::string BytesOf(TMemoryStream& stream) { return std::string(stream.Memory(), static_cast<size_t>(stream.Size())); }

std::string Bytes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>(i * 37 + 5);
  return s;
}

TEST(HexLines, ThirtyTwoBytesALineInUpperCaseFromThePosition) {
  TStringList lines;
  lines.Add("stale");
  TMemoryStream stream;
  Fill(stream, Bytes(33));
  StreamToHexLines(stream, lines);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Strings(0).size(), 64u);
  EXPECT_EQ(lines.Strings(0).substr(0, 6), "052A4F");
  EXPECT_EQ(lines.Strings(1), "A5");

  TMemoryStream tail;
  Fill(tail, "\xab\xcd\xef");
  tail.SetPosition(1);
  StreamToHexLines(tail, lines);
  EXPECT_EQ(lines.Text(), "CDEF\r\n");
  TMemoryStream empty;
  StreamToHexLines(empty, lines);
  EXPECT_EQ(lines.Count(), 0);
}

TEST(HexLines, ReadingTakesPairsAndMakesTheBestOfBadOnes) {
  TStringList lines;
  lines.SetText("4G\r\nA\r\nff00\r\n\r\n1-2 \r\nabc");
  TMemoryStream stream;
  Fill(stream, "xy");
  stream.SetPosition(1);
  HexLinesToStream(lines, stream);
  EXPECT_EQ(BytesOf(stream), std::string("x\x00\x0a\xff\x00\x00\x00\xab\x0c", 9));
}

class IniStreamTest : public ::testing::Test {
 protected:
  std::string ReadBack() {
    TMemoryStream out;
    ReadStreamFromIni(out, path_, "S", "X");
    return BytesOf(out);
  }
  void Write(std::string_view bytes) {
    TMemoryStream in;
  Fill(in, bytes);
    WriteStreamToIni(in, path_, "S", "X");
  }
  TempFolder folder_;
  std::string path_ = folder_.File("s.ini");
};

TEST_F(IniStreamTest, ThirtyThreeBytesMakeTwoLinesThatReadBackExactly) {
  Write(Bytes(33));
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadKeys("S"), (std::vector<std::string>{"X_c", "X_d0", "X_d1"}));
  EXPECT_EQ(ini.ReadString("S", "X_c", ""), "2");
  EXPECT_EQ(ini.ReadString("S", "X_d1", ""), "A5");
  EXPECT_EQ(ReadBack(), Bytes(33));
  const std::string all = Bytes(256) + Bytes(1000);
  Write(all);
  EXPECT_EQ(ReadBack(), all);
}

TEST_F(IniStreamTest, ShorterStreamsRemoveStaleLinesAndAnEmptyOneEverything) {
  WriteAll(path_, "[S]\r\nkeep=1\r\n");
  Write(Bytes(70));
  Write(Bytes(5));
  EXPECT_EQ(TIniFile(path_).ReadKeys("S"), (std::vector<std::string>{"keep", "X_c", "X_d0"}));
  EXPECT_EQ(ReadBack(), Bytes(5));
  Write("");
  EXPECT_EQ(ReadAll(path_), "[S]\r\nkeep=1\r\n");
  EXPECT_EQ(ReadBack(), "");
}

TEST_F(IniStreamTest, DamagedCountsAndMissingLines) {
  WriteAll(path_, "[S]\r\nX_c=abc\r\nX_d0=41\r\n");
  EXPECT_EQ(ReadBack(), "");
  WriteAll(path_, "[S]\r\nX_c=3\r\nX_d0=41\r\nX_d2=43\r\n");
  EXPECT_EQ(ReadBack(), "AC");
  // A huge count reads only what is there and is cleaned up by a write.
  WriteAll(path_, "[S]\r\nX_c=2147483647\r\nX_d0=41\r\nx_D5=42\r\nX_d007=43\r\n");
  EXPECT_EQ(ReadBack(), "AB");
  Write("z");
  EXPECT_EQ(ReadAll(path_), "[S]\r\nX_c=1\r\nX_d0=7A\r\nX_d007=43\r\n");
}

TEST_F(IniStreamTest, AnUnwritableFileRaisesTheWriteError) {
  TMemoryStream in;
  Fill(in, "abc");
  EXPECT_THROW(WriteStreamToIni(in, folder_.File("none/s.ini"), "S", "X"), EIniFileException);
  EXPECT_THROW(WriteStreamToIni(in, path_, "S", "X=Y"), EIniFileException);
}

TEST(RegistryStream, WholeStreamsAsBinaryValues) {
  TempFolder folder;
  const std::string store = folder.File("registry.ini");
  const std::string bytes = Bytes(300);
  TMemoryStream in;
  Fill(in, bytes);
  WriteStreamToRegistry(in, "Software\\Tool", "Layout", "Main", store);
  TMemoryStream out;
  Fill(out, "<");
  out.SetPosition(1);
  ReadStreamFromRegistry(out, "Software\\Tool", "layout", "MAIN", store);
  EXPECT_EQ(BytesOf(out), "<" + bytes);

  TMemoryStream missing;
  ReadStreamFromRegistry(missing, "Software\\Tool", "Layout", "Other", store);
  EXPECT_EQ(missing.Size(), 0);
  TMemoryStream root;
  Fill(root, "r");
  WriteStreamToRegistry(root, "", "", "AtRoot", store);
  TMemoryStream rootBack;
  ReadStreamFromRegistry(rootBack, "", "", "AtRoot", store);
  EXPECT_EQ(BytesOf(rootBack), "r");
}

TEST(RegistryStream, AStreamNotAtItsStartRaisesAndWritesNothing) {
  TempFolder folder;
  const std::string store = folder.File("registry.ini");
  TMemoryStream in;
  Fill(in, "abcdef");
  in.SetPosition(2);
  EXPECT_THROW(WriteStreamToRegistry(in, "K", "S", "V", store), EReadError);
  TRegistry reg(store);
  EXPECT_FALSE(reg.OpenKey("K\\S", false));
}

TEST(StoredIndexLimit, CountsOnlyPlainDecimalIndexes) {
  EXPECT_EQ(StoredIndexLimit({"a_d0", "A_D3", "a_d07", "a_dx", "a_d", "a_d-1", "b_d9", "a_d99999999999"}, "a_d"), 4);
  EXPECT_EQ(StoredIndexLimit({}, "a_d"), 0);
}

}  // namespace
}  // namespace corvida
