#include "mqo/mqoz_reader.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <exception>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<ptrdiff_t>(suffix.size()),
                    [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b); });
}

// libzip's own texts are ASCII; the messages around them are CP932.
std::string ZipReason(zip_error_t* error) { return Utf8ToCp932(zip_error_strerror(error)); }

}  // namespace

// libzip reads the archive through one of our streams, so a file's bytes
// come through the runtime's file layer and nothing is opened twice.
struct TMqozModelStream::TArchiveSource {
  TArchiveSource(TStream& archive, int64_t archiveSize) : stream(archive), size(archiveSize) { zip_error_init(&error); }
  ~TArchiveSource() { zip_error_fini(&error); }

  TStream& stream;
  int64_t size;
  zip_error_t error;
  // What the archive's stream raised, to be raised again once libzip has
  // returned: its message names the file and the system's reason.
  std::exception_ptr failure;

  static zip_int64_t Call(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto& source = *static_cast<TArchiveSource*>(self);
    // libzip is C: nothing may unwind through it.
    try {
      return source.Answer(data, length, command);
    } catch (...) {
      source.failure = std::current_exception();
      zip_error_set(&source.error, ZIP_ER_READ, 0);
      return -1;
    }
  }

  zip_int64_t Answer(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_OPEN:
      case ZIP_SOURCE_CLOSE:
      case ZIP_SOURCE_FREE:
        return 0;
      case ZIP_SOURCE_READ:
        return stream.Read(data, static_cast<int64_t>(std::min<zip_uint64_t>(length, INT32_MAX)));
      case ZIP_SOURCE_STAT: {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error);
        if (st == nullptr) return -1;
        zip_stat_init(st);
        st->size = static_cast<zip_uint64_t>(size);
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
      }
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error, data, length);
      case ZIP_SOURCE_SEEK: {
        const zip_int64_t to = zip_source_seek_compute_offset(static_cast<zip_uint64_t>(stream.Position()),
                                                              static_cast<zip_uint64_t>(size), data, length, &error);
        if (to < 0) return -1;
        if (stream.Seek(to, soBeginning) != to) {
          zip_error_set(&error, ZIP_ER_SEEK, errno);
          return -1;
        }
        return 0;
      }
      case ZIP_SOURCE_TELL:
        return stream.Position();
      case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_SEEKABLE;
      default:
        zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }
};

bool IsMqozPath(std::string_view path) { return EndsWithNoCase(path, ".mqoz"); }

void TMqozModelStream::TZipCloser::operator()(zip* archive) const { zip_discard(archive); }
void TMqozModelStream::TZipCloser::operator()(zip_file* entry) const { zip_fclose(entry); }

TMqozModelStream::TMqozModelStream(TStream& archive, std::string path) : path_(std::move(path)) {
  const int64_t size = archive.Size();
  // A pipe has no size and cannot seek: an archive is read from its end.
  if (size < 0) RaiseOpenError(SystemErrorMessage(ESPIPE));
  source_ = std::make_unique<TArchiveSource>(archive, size);

  zip_error_t error;
  zip_error_init(&error);
  if (zip_source_t* zipSource = zip_source_function_create(&TArchiveSource::Call, source_.get(), &error)) {
    archive_.reset(zip_open_from_source(zipSource, ZIP_RDONLY, &error));
    if (!archive_) zip_source_free(zipSource);
  }
  const std::string reason = archive_ ? "" : ZipReason(&error);
  zip_error_fini(&error);
  if (!archive_) {
    RaiseSourceFailure();
    RaiseOpenError(reason);
  }

  const zip_int64_t entries = zip_get_num_entries(archive_.get(), 0);
  for (zip_uint64_t i = 0; static_cast<zip_int64_t>(i) < entries; ++i) {
    const char* name = zip_get_name(archive_.get(), i, ZIP_FL_ENC_RAW);
    if (name == nullptr || !EndsWithNoCase(name, ".mqo")) continue;
    entry_.reset(zip_fopen_index(archive_.get(), i, 0));
    if (!entry_) RaiseSourceFailure();
    if (!entry_) RaisePathError<EReadError>(msg::kArchiveReadError, path_, ZipReason(zip_get_error(archive_.get())));
    return;
  }
  RaiseOpenError(msg::kArchiveWithoutModel);
}

TMqozModelStream::~TMqozModelStream() = default;

void TMqozModelStream::RaiseSourceFailure() const {
  if (source_->failure) std::rethrow_exception(source_->failure);
}

void TMqozModelStream::RaiseOpenError(std::string_view reason) const {
  RaisePathError<EFOpenError>(msg::kFOpenError, path_, reason);
}

int64_t TMqozModelStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const zip_int64_t n = zip_fread(entry_.get(), buffer, static_cast<zip_uint64_t>(count));
  if (n < 0) RaiseSourceFailure();
  if (n < 0) RaisePathError<EReadError>(msg::kArchiveReadError, path_, ZipReason(zip_file_get_error(entry_.get())));
  position_ += n;
  return n;
}

int64_t TMqozModelStream::Write(const void*, int64_t) { return 0; }

int64_t TMqozModelStream::Seek(int64_t offset, TSeekOrigin origin) {
  return origin == soCurrent && offset == 0 ? position_ : -1;
}

void TMqozModelStream::SetSize(int64_t) { throw EWriteError(msg::kWriteError); }

}  // namespace corvida
