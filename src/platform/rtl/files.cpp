#include "platform/rtl/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <ctime>

#include "platform/rtl/cp932.h"

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

}  // namespace

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
