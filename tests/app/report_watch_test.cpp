#include "app/report_watch.h"

#include <gtest/gtest.h>

#include "mqo/zip_builder.h"
#include "temp_folder.h"

namespace corvida {
namespace {

// A save is finished once its last word is Eof, or once an archive has its
// end record.
TEST(ReportWatch, AModelLooksFinishedOnlyOnceItsEndIsWritten) {
  const std::string model = "Metasequoia Document\r\nObject \"a\" {\r\n}\r\n";
  const std::string archive = testing::ZipArchive({{"m.mqo", model + "Eof\r\n"}});
  const struct {
    const char* what;
    std::string bytes;
    bool finished;
  } cases[] = {
      {"text with Eof", model + "Eof\r\n", true},
      {"Eof, blanks and a NUL after it", model + "Eof \r\n\n" + std::string(1, '\0'), true},
      {"text cut before Eof", model, false},
      {"text cut inside Eof", model + "Eo", false},
      {"whole archive", archive, true},
      {"archive without its end", archive.substr(0, archive.size() - 22), false},
  };
  testing::TempFolder folder;
  for (const auto& c : cases) {
    testing::WriteAll(folder.File("m.mqo"), c.bytes);
    EXPECT_EQ(ModelLooksFinished(folder.File("m.mqo")), c.finished) << c.what;
  }
}

}  // namespace
}  // namespace corvida
