#pragma once
// A .mqoz file is a zip archive holding the model (name.mqo), often beside
// its textures. The report reads the model straight out of the archive, piece
// by piece as the scanner asks for bytes, without a temporary file.
#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/streams.h"

struct zip;
struct zip_file;

namespace corvida {

namespace msg {
// "モデル (.mqo) が入っていません"
inline constexpr const char* kArchiveWithoutModel =
    "\x83\x82\x83\x66\x83\x8b (.mqo) \x82\xaa\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
// "ファイル "%s" を展開できません。%s"
inline constexpr const char* kArchiveReadError =
    "\x83\x74\x83\x40\x83\x43\x83\x8b \"%s\" \x82\xf0\x93\x57\x8a\x4a\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x42%s";
}  // namespace msg

// True when path names an archive: it ends in ".mqoz", in any case.
bool IsMqozPath(std::string_view path);

// The model inside an archive: the first entry whose name ends in ".mqo" (any
// case), decompressed as it is read. It can only be read forwards; Seek
// answers the position read so far, and the size is unknown (-1).
class TMqozModelStream : public TStream {
 public:
  CORVIDA_CLASS_NAME(TMqozModelStream)

  // archive must be seekable and outlive this stream; path (the file
  // system's bytes) names the archive in errors. A damaged archive or one without a model
  // raises EFOpenError.
  TMqozModelStream(TStream& archive, std::string path);
  ~TMqozModelStream() override;

  // Raises EReadError when the entry fails to decompress or its checksum
  // does not match.
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

 private:
  struct TArchiveSource;
  struct TZipCloser {
    void operator()(zip* archive) const;
    void operator()(zip_file* entry) const;
  };

  // Raises again what the archive's stream raised inside libzip, if it did.
  void RaiseSourceFailure() const;
  [[noreturn]] void RaiseOpenError(std::string_view reason) const;

  std::string path_;
  // Destroyed in reverse order: the entry, the archive, then its source.
  std::unique_ptr<TArchiveSource> source_;
  std::unique_ptr<zip, TZipCloser> archive_;
  std::unique_ptr<zip_file, TZipCloser> entry_;
  int64_t position_ = 0;
};

}  // namespace corvida
