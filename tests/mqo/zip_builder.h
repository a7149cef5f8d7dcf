#pragma once
// Zip archives built in memory with libzip, for the archive tests and the
// archive fuzz target: each entry stored or deflated as asked.
#include <zip.h>

#include <string>
#include <vector>

namespace corvida::testing {

struct TZipEntry {
  std::string name;
  std::string data;
  bool deflated = true;
};

inline std::string ZipArchive(const std::vector<TZipEntry>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  // Kept past zip_close, which writes the archive into it.
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  for (const TZipEntry& entry : entries) {
    zip_source_t* data = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
    const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), data, ZIP_FL_ENC_RAW);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), entry.deflated ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                             0);
  }
  zip_close(archive);
  zip_error_fini(&error);

  std::string bytes;
  zip_source_open(buffer);
  char piece[4096];
  for (zip_int64_t n; (n = zip_source_read(buffer, piece, sizeof piece)) > 0;) bytes.append(piece, static_cast<size_t>(n));
  zip_source_close(buffer);
  zip_source_free(buffer);
  return bytes;
}

}  // namespace corvida::testing
