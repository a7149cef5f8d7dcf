#include "platform/rtl/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
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

[[noreturn]] void RaiseCreateError(const std::string& path, int error) {
  throw EFCreateError(Format(msg::kFCreateError, {Utf8ToCp932(path), SystemErrorMessage(error)}));
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

// The file that a write to path lands in: the target of a symbolic link, so
// that replacing the file keeps the link.
std::string WriteTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target(resolved);
  std::free(resolved);
  return target;
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
  throw EFOpenError(Format(msg::kFOpenError, {Utf8ToCp932(path), SystemErrorMessage(error)}));
}

void WriteFileAtomic(const std::string& path, std::string_view content) {
  const std::string target = WriteTarget(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) RaiseCreateError(path, EISDIR);

  std::string tempTemplate = ExtractFilePath(target) + "." + ExtractFileName(target) + ".XXXXXX";
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
