#include "mqo/mqoz_reader.h"

#include <gtest/gtest.h>

#include "mqo/face_report.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "scan_helpers.h"
#include "temp_folder.h"
#include "zip_builder.h"

namespace corvida::testing {
namespace {

// "ファイル "a.mqoz" は開けません。"
const std::string kCannotOpen = "\x83\x74\x83\x40\x83\x43\x83\x8b \"a.mqoz\" \x82\xcd\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x81\x42";

// The model of an archive held in memory, read in pieces as the scanner reads.
std::string ModelOf(const std::string& archiveBytes) {
  TMemoryStream archive;
  LoadBytes(archive, archiveBytes);
  TMqozModelStream model(archive, "a.mqoz");
  std::string out;
  char piece[1000];
  for (int64_t n; (n = model.Read(piece, sizeof piece)) > 0;) out.append(piece, static_cast<size_t>(n));
  return out;
}

// The message of the error that reading the archive raises, "" for none.
template <typename E>
std::string ErrorOf(const std::string& archiveBytes) {
  try {
    ModelOf(archiveBytes);
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}

std::string ManyObjects(int count) {
  std::string model = "Metasequoia Document\r\nFormat Text Ver 1.1\r\n\r\n";
  for (int i = 0; i < count; ++i) model += "Object \"obj" + std::to_string(i) + "\" {\r\n\tface 6 {\r\n\t}\r\n}\r\n";
  return model + "Eof\r\n";
}

// Where the first entry's data begins: after its local header, name and extra field.
size_t FirstDataOffset(const std::string& archive) {
  const auto u16 = [&](size_t at) { return static_cast<uint8_t>(archive[at]) | static_cast<uint8_t>(archive[at + 1]) << 8; };
  return 30 + static_cast<size_t>(u16(26)) + static_cast<size_t>(u16(28));
}

TEST(MqozModel, StoredAndDeflatedEntriesReadBackWhole) {
  const std::string model = ManyObjects(2000);
  for (const bool deflated : {false, true}) {
    const std::string archive = ZipArchive({{"model.mqo", model, deflated}});
    // Stored, the text is in the archive as it is; deflated, it is not.
    EXPECT_EQ(archive.find(model.substr(0, 200)) != std::string::npos, !deflated);
    EXPECT_EQ(ModelOf(archive), model);
  }
}

TEST(MqozModel, TheFirstEntryNamedLikeAModelIsRead) {
  const std::string archive = ZipArchive({{"tex/wood.png", "\x89PNG\r\n\x1a\n", false},
                                          {"model.mqo.bak", "face 9 {"},
                                          {"model.mqx", "<MetasequoiaDocument/>"},
                                          {"tex/", ""},
                                          {"Model.MQO", "face 1 {"},
                                          {"other.mqo", "face 2 {"}});
  EXPECT_EQ(ModelOf(archive), "face 1 {");
  EXPECT_TRUE(IsMqozPath("/m/a.mqoz"));
  EXPECT_TRUE(IsMqozPath("/m/A.MqoZ"));
  EXPECT_FALSE(IsMqozPath("/m/a.mqo"));
  EXPECT_FALSE(IsMqozPath("/m/a.mqoz.bak"));
}

TEST(MqozModel, DamagedArchivesAndArchivesWithoutAModelCannotBeOpened) {
  const std::string good = ZipArchive({{"model.mqo", ManyObjects(10)}});
  for (const std::string& damaged : {std::string(), ManyObjects(1), good.substr(0, good.size() / 2),
                                     good.substr(0, good.size() - 1)}) {
    EXPECT_EQ(ErrorOf<EFOpenError>(damaged).rfind(kCannotOpen, 0), 0u) << damaged.size();
  }
  EXPECT_EQ(ErrorOf<EFOpenError>(ZipArchive({{"tex/wood.png", "png"}, {"model.mqx", "<x/>"}})),
            kCannotOpen + msg::kArchiveWithoutModel);
  EXPECT_EQ(ErrorOf<EFOpenError>(ZipArchive({})), kCannotOpen + msg::kArchiveWithoutModel);
}

TEST(MqozModel, AnEntryThatFailsToDecompressRaisesAReadError) {
  // "ファイル "a.mqoz" を展開できません。"
  const std::string cannotExpand =
      "\x83\x74\x83\x40\x83\x43\x83\x8b \"a.mqoz\" \x82\xf0\x93\x57\x8a\x4a\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x42";
  for (const bool deflated : {false, true}) {
    std::string archive = ZipArchive({{"model.mqo", ManyObjects(200), deflated}});
    const size_t data = FirstDataOffset(archive);
    // Stored, one changed byte breaks the checksum; deflated, the stream itself.
    if (deflated) {
      archive.replace(data + 20, 8, 8, '\xff');
    } else {
      archive[data + 100] ^= 1;
    }
    EXPECT_EQ(ErrorOf<EReadError>(archive).rfind(cannotExpand, 0), 0u) << deflated;
  }
}

class MqozReportTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, std::string_view bytes) {
    WriteAll(folder_.File(name), bytes);
    return folder_.File(name);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (int i = 0; i < lines_.Count(); ++i) out.push_back(lines_.Strings(i));
    return out;
  }

  TempFolder folder_;
  TStringList lines_;
};

TEST_F(MqozReportTest, TheHeaderAndTotalNameTheArchive) {
  const std::string model = "Object \"a\" {\r\nface 6 {\r\n}\r\n}\r\nObject \"b\" {\r\nface 2 {\r\n";
  const std::string path = Write("scene.MQOZ", ZipArchive({{"tex.png", "png", false}, {"scene.mqo", model}}));
  EXPECT_TRUE(MakeReport(path, kSortAscending, lines_, {}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"// " + path, "       2 : \"b\"", "       6 : \"a\"",
                                               "       8 : Total // scene.MQOZ", kReportSeparator}));
}

TEST_F(MqozReportTest, ADamagedArchiveKeepsOnlyTheHeader) {
  const std::string path = Write("broken.mqoz", "PK\x03\x04 not really");
  EXPECT_THROW(MakeReport(path, kSortNone, lines_, {}), EFOpenError);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"// " + path}));
}

// An archive on a device that fails: its n-th read raises what a failing
// file raises.
class TFailingStream : public TMemoryStream {
 public:
  explicit TFailingStream(int failingRead) : failingRead_(failingRead) {}
  int64_t Read(void* buffer, int64_t count) override {
    if (++reads_ == failingRead_) throw EReadError("device failed");
    return TMemoryStream::Read(buffer, count);
  }

 private:
  int failingRead_;
  int reads_ = 0;
};

TEST(MqozModel, AFailingReadOfTheArchiveIsThatFailureNotADamagedArchive) {
  const std::string archive = ZipArchive({{"model.mqo", ManyObjects(20000), true}});
  // The first read is libzip's look at the archive's directory; later ones
  // are the entry's data.
  for (const int failingRead : {1, 2, 4}) {
    TFailingStream stream(failingRead);
    LoadBytes(stream, archive);
    try {
      TMqozModelStream model(stream, "a.mqoz");
      char piece[1 << 12];
      while (model.Read(piece, sizeof piece) > 0) {
      }
      ADD_FAILURE() << "read " << failingRead << " failed unseen";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "device failed") << failingRead;
    }
  }
}

}  // namespace
}  // namespace corvida::testing
