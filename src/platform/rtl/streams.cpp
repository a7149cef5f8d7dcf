#include "platform/rtl/streams.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"

namespace corvida {

namespace {

// Maps the pages of a large new buffer in one call instead of one page fault
// each, which costs a whole-file read of hundreds of MB a quarter of its time.
// Only a hint: kernels without it simply fault the pages in as they are used.
void PrefaultForWrite(char* buffer, size_t size) {
#ifdef MADV_POPULATE_WRITE
  constexpr size_t kLarge = 1 << 20;
  if (size < kLarge) return;
  const auto pageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(buffer) + pageSize - 1) & ~(pageSize - 1);
  const uintptr_t last = (reinterpret_cast<uintptr_t>(buffer) + size) & ~(pageSize - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

}  // namespace

std::string SystemErrorMessage(int error) { return Utf8ToCp932(std::strerror(error)); }

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(msg::kReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(msg::kWriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(count, 1 << 16)));
  int64_t left = count;
  while (left > 0) {
    const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t available = std::max<int64_t>(0, DataSize() - position_);
  const int64_t n = std::clamp<int64_t>(count, 0, available);
  if (n > 0) std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = position_ + count;
  if (end > DataSize()) {
    if (static_cast<size_t>(end) > data_.capacity())
      data_.reserve(std::max<size_t>(static_cast<size_t>(end), data_.capacity() * 2));
    data_.resize(static_cast<size_t>(end));
  }
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: position_ = offset; break;
    case soCurrent: position_ += offset; break;
    case soEnd: position_ = DataSize() + offset; break;
  }
  position_ = std::max<int64_t>(position_, 0);
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
  position_ = std::min(position_, DataSize());
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const int64_t size = stream.Size();
  std::vector<char> data;
  if (size >= 0) {
    data.reserve(static_cast<size_t>(size));
    PrefaultForWrite(data.data(), static_cast<size_t>(size));
    data.resize(static_cast<size_t>(size));
    stream.ReadBuffer(data.data(), size);
  } else {
    // A stream that cannot seek, such as a pipe, has no size: read it to its end.
    char piece[1 << 16];
    for (int64_t n; (n = stream.Read(piece, sizeof piece)) > 0;) data.insert(data.end(), piece, piece + n);
  }
  data_ = std::move(data);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) { stream.WriteBuffer(data_.data(), DataSize()); }

TFileStream::TFileStream(const std::string& path, unsigned mode) : path_(path) {
  int flags;
  if (mode >= fmCreate) {
    flags = O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & 3) {
      case fmOpenWrite: flags = O_WRONLY; break;
      case fmOpenReadWrite: flags = O_RDWR; break;
      default: flags = O_RDONLY; break;
    }
  }
  fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd_ >= 0 && mode < fmCreate) {
    // Only regular files are streams; a folder opens but cannot be read.
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd_);
      fd_ = -1;
      errno = EISDIR;
    }
  }
  if (fd_ < 0) {
    const int error = errno;
    if (mode >= fmCreate) RaisePathError<EFCreateError>(msg::kFCreateError, path, SystemErrorMessage(error));
    RaisePathError<EFOpenError>(msg::kFOpenError, path, SystemErrorMessage(error));
  }
}

std::unique_ptr<TFileStream> TFileStream::CreateTemporary() {
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string folder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // A file system without unnamed files: a named one, unlinked at once.
    std::string name = folder + "/corvida-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(name.c_str());
  }
  if (fd < 0) RaisePathError<EFCreateError>(msg::kFCreateError, folder, SystemErrorMessage(errno));
  return std::unique_ptr<TFileStream>(new TFileStream(fd, folder));
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    // A failing read is not the end of the file: what came before it is
    // only part of the content.
    if (n < 0) RaisePathError<EReadError>(msg::kFReadError, path_, SystemErrorMessage(errno));
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) RaisePathError<EWriteError>(msg::kFWriteError, path_, SystemErrorMessage(errno));
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t pos = ::lseek(fd_, static_cast<off_t>(offset), whence);
  return pos < 0 ? -1 : static_cast<int64_t>(pos);
}

void TFileStream::SetSize(int64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw EWriteError(msg::kWriteError);
}

}  // namespace corvida
