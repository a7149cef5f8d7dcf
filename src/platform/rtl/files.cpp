#include "platform/rtl/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/streams.h"

namespace corvida {
namespace {

// Index of the last byte of path that is one of delimiters and is not the
// second byte of a double-byte character, or npos.
size_t LastDelimiter(std::string_view path, std::string_view delimiters) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(path[i])) {
      ++i;
      continue;
    }
    if (delimiters.find(path[i]) != std::string_view::npos) found = i;
  }
  return found;
}

TAtomicWriteHook atomicWriteHook = nullptr;

// Where a new content of target is written before it is renamed into place:
// beside it, under a name no user would give a file of their own.
std::string TemporaryPrefix(const std::string& target) {
  return ExtractFilePath(target) + "." + ExtractFileName(target) + ".writing-";
}

[[noreturn]] void RaiseCreateError(const std::string& path, int error) {
  RaisePathError<EFCreateError>(msg::kFCreateError, path, SystemErrorMessage(error));
}

bool WriteAll(int fd, std::string_view content) {
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The file that a write to path lands in: the end of a chain of symbolic
// links, existing or not, so that replacing the file keeps the links.
std::string WriteTarget(const std::string& path) {
  constexpr int kMaxLinks = 40;
  std::string target = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    std::vector<char> buffer(PATH_MAX);
    const ssize_t n = ::readlink(target.c_str(), buffer.data(), buffer.size());
    if (n < 0 || static_cast<size_t>(n) >= buffer.size()) RaiseCreateError(path, n < 0 ? errno : ENAMETOOLONG);
    std::string next(buffer.data(), static_cast<size_t>(n));
    target = next.front() == '/' ? next : ExtractFilePath(target) + next;
  }
  RaiseCreateError(path, ELOOP);
}

// Whether an existing file may be written: some write permission bit is set
// (the root user is held to them too, as the system the files come from
// holds every user to a read-only file) and the system lets us write it.
bool MayWrite(const std::string& target, const struct stat& st, int& error) {
  if ((st.st_mode & 0222) == 0) {
    error = EACCES;
    return false;
  }
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    error = errno;
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadFileIfExists(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) return std::nullopt;
  int error = errno;
  if (fd >= 0) {
    ScopeGuard close([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode)) {
      std::string content;
      char buffer[1 << 16];
      for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) return content;
        if (n < 0) break;
        content.append(buffer, static_cast<size_t>(n));
      }
      error = errno;
    } else {
      error = EISDIR;
    }
  }
  RaisePathError<EFOpenError>(msg::kFOpenError, path, SystemErrorMessage(error));
}

void WriteFileAtomic(const std::string& path, std::string_view content) {
  const std::string target = WriteTarget(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) RaiseCreateError(path, EISDIR);
  if (int error = 0; exists && !MayWrite(target, old, error)) RaiseCreateError(path, error);

  std::string tempTemplate = TemporaryPrefix(target) + "XXXXXX";
  std::vector<char> tempName(tempTemplate.begin(), tempTemplate.end());
  tempName.push_back('\0');
  const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
  if (fd < 0) RaiseCreateError(path, errno);
  const std::string tempPath(tempName.data());
  bool renamed = false;
  ScopeGuard cleanUp([&] {
    if (!renamed) ::unlink(tempPath.c_str());
  });
  auto fail = [&](int error) {
    ::close(fd);
    RaiseCreateError(path, error);
  };

  // mkostemp makes the file private; give it the old file's mode, or the
  // mode a plain new file would get.
  mode_t mode;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd, mode) != 0) fail(errno);
  if (!WriteAll(fd, content)) fail(errno != 0 ? errno : EIO);
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) RaiseCreateError(path, errno);

  if (atomicWriteHook != nullptr) atomicWriteHook(tempPath);
  if (::rename(tempPath.c_str(), target.c_str()) != 0) RaiseCreateError(path, errno);
  renamed = true;

  // Make the rename itself durable.
  const std::string folder = ExtractFilePath(target);
  const int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

namespace {

// The two bytes of a lock file that writers lock. A writer queues at the
// gate before it waits for the file and leaves the gate once it has the
// file, so that a writer that just let go cannot take the file again while
// another waits: the writers take turns.
constexpr off_t kGateByte = 0;
constexpr off_t kFileByte = 1;

enum TLockResult { lrTaken, lrHeld, lrUnsupported };

// Sets (F_WRLCK) or clears (F_UNLCK) the lock of one byte; fcntl's result.
int SetByteLock(int fd, off_t byte, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  return ::fcntl(fd, F_OFD_SETLK, &lock);
}

TLockResult TryLockByte(int fd, off_t byte) {
  while (SetByteLock(fd, byte, F_WRLCK) != 0) {
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EACCES ? lrHeld : lrUnsupported;
  }
  return lrTaken;
}

enum TLockFileState { lfHeld, lfStale, lfUnknown };

// A lock file we may not open for writing: whether another writer holds it
// now, as far as reading it tells.
TLockFileState ForeignLockFileState(const std::string& lockPath) {
  const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return lfUnknown;
  ScopeGuard close([fd] { ::close(fd); });
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kGateByte;
  probe.l_len = 2;
  if (::fcntl(fd, F_OFD_GETLK, &probe) != 0) return lfUnknown;
  return probe.l_type == F_UNLCK ? lfStale : lfHeld;
}

// A writer killed between making its temporary file and renaming it leaves
// the file behind; the next writer, holding the lock, takes it away. Only
// names WriteFileAtomic makes are touched: the prefix and 6 characters.
void RemoveLeftTemporaries(const std::string& target) {
  const std::string folder = ExtractFilePath(target);
  const std::string prefix = ExtractFileName(TemporaryPrefix(target));
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  ScopeGuard close([dir] { ::closedir(dir); });
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name.size() != prefix.size() + 6 || !name.starts_with(prefix)) continue;
    const std::string_view tail = name.substr(prefix.size());
    if (!std::all_of(tail.begin(), tail.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
      continue;
    ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
}

}  // namespace

TFileLock::TFileLock(const std::string& path, std::chrono::milliseconds wait) {
  const std::string target = WriteTarget(path);
  lockPath_ = ExtractFilePath(target) + "." + ExtractFileName(target) + ".lock";
  const auto deadline = std::chrono::steady_clock::now() + wait;
  auto pause = std::chrono::milliseconds(1);
  // Waits a little longer, or gives up at the deadline.
  auto waitOrGiveUp = [&] {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = -1;
      RaisePathError<EInOutError>(msg::kFileInUse, path);
    }
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(10));
  };
  auto fail = [&](int error) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    RaisePathError<EInOutError>(msg::kCannotLock, lockPath_, SystemErrorMessage(error));
  };
  auto take = [&](off_t byte) {
    for (TLockResult result; (result = TryLockByte(fd_, byte)) != lrTaken;) {
      if (result == lrUnsupported) fail(errno);
      waitOrGiveUp();
    }
  };
  for (;;) {
    fd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
      const int error = errno;
      // Another user's lock file (left by a run as root, say) cannot be
      // opened for writing; while that user holds it we wait, and one that
      // nobody holds is stale and makes way for ours.
      if (error != EACCES && error != EPERM) fail(error);
      const TLockFileState state = ForeignLockFileState(lockPath_);
      if (state == lfHeld) {
        waitOrGiveUp();
        continue;
      }
      if (state == lfStale && ::unlink(lockPath_.c_str()) == 0) continue;
      fail(error);
    }
    take(kGateByte);
    take(kFileByte);
    SetByteLock(fd_, kGateByte, F_UNLCK);
    // The holder before us removed the lock file when it let go: a lock on
    // the removed file guards nothing, so take the lock file that is there.
    struct stat held {}, named {};
    if (::fstat(fd_, &held) == 0 && ::stat(lockPath_.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev)
      break;
    ::close(fd_);
  }
  RemoveLeftTemporaries(target);
}

TFileLock::~TFileLock() {
  if (fd_ < 0) return;
  // With nobody at the gate the lock file goes, so that no folder keeps lock
  // files about; one who comes later finds it gone and makes a new one.
  if (TryLockByte(fd_, kGateByte) == lrTaken) ::unlink(lockPath_.c_str());
  ::close(fd_);
}

TAtomicWriteHook SetAtomicWriteHook(TAtomicWriteHook hook) {
  const TAtomicWriteHook previous = atomicWriteHook;
  atomicWriteHook = hook;
  return previous;
}

std::optional<int32_t> DateTimeToFileDate(int64_t unixSeconds) {
  const time_t t = static_cast<time_t>(unixSeconds);
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return std::nullopt;
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return std::nullopt;
  const uint32_t date = static_cast<uint32_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
  const uint32_t time = static_cast<uint32_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
  return static_cast<int32_t>(date << 16 | time);
}

std::optional<int32_t> FileAge(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return DateTimeToFileDate(static_cast<int64_t>(st.st_mtime));
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DirectoryWritable(const std::string& path) {
  return DirectoryExists(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

void ForceDirectories(const std::string& path) {
  std::string folder = path;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty() || DirectoryExists(folder)) return;
  const std::string parent = ExtractFilePath(folder);
  if (!parent.empty() && parent != folder) ForceDirectories(parent);
  if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) RaiseCreateError(folder, errno);
}

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string ExpandFileName(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char buffer[PATH_MAX];
  if (::getcwd(buffer, sizeof buffer) == nullptr) return path;
  std::string dir(buffer);
  if (dir.empty() || dir.back() != '/') dir.push_back('/');
  return dir + path;
}

std::string ExtractFileName(std::string_view path) {
  const size_t i = LastDelimiter(path, "/");
  return std::string(i == std::string_view::npos ? path : path.substr(i + 1));
}

std::string ExtractFilePath(std::string_view path) {
  const size_t i = LastDelimiter(path, "/");
  return i == std::string_view::npos ? std::string() : std::string(path.substr(0, i + 1));
}

std::string ExtractFileExt(std::string_view path) {
  const size_t i = LastDelimiter(path, "./");
  if (i == std::string_view::npos || path[i] != '.') return std::string();
  return std::string(path.substr(i));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  const size_t i = LastDelimiter(path, "./");
  std::string out(i != std::string_view::npos && path[i] == '.' ? path.substr(0, i) : path);
  out.append(ext);
  return out;
}

}  // namespace corvida
