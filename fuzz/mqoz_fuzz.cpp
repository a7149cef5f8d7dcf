// Archive input: any bytes given as a .mqoz, and well-formed archives with
// damage put into them, give either a report or an EFOpenError, EReadError
// or EParserError; never a crash, a hang, a leak or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "mqo/face_report.h"
#include "mqo/mqoz_reader.h"
#include "mqo/reference_report.h"
#include "mqo/zip_builder.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvida;
  if (size < 3) return 0;
  // The first byte picks the mode: bit 0 the archive as given, or one built
  // around the rest as its model; bit 1 stored or deflated. The next two
  // bytes say where a built archive's byte is changed (0 for nowhere).
  const uint8_t mode = data[0];
  const size_t damageAt = static_cast<size_t>(data[1]) | static_cast<size_t>(data[2]) << 8;
  const std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);

  std::string archiveBytes = rest;
  if (mode & 1) {
    archiveBytes = testing::ZipArchive({{"tex.png", "png", false}, {"model.mqo", rest, (mode & 2) != 0}});
    if (damageAt != 0 && !archiveBytes.empty()) archiveBytes[damageAt % archiveBytes.size()] ^= static_cast<char>(mode | 1);
  }
  TMemoryStream archive;
  archive.WriteBuffer(archiveBytes.data(), static_cast<int64_t>(archiveBytes.size()));
  archive.SetPosition(0);
  TStringList lines;
  try {
    TMqozModelStream model(archive, "fuzz.mqoz");
    CollectFaceLines(model, kSortNone, lines, (mode & 4) ? rsUtf8 : rsCp932);
  } catch (const EFOpenError&) {
  } catch (const EReadError&) {
  } catch (const EParserError&) {
  }
  return 0;
}
