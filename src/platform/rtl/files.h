#pragma once
// File services: whole-file reads, atomic whole-file writes, a lock between
// the writers of a file, last-write time as a local DOS date and time, the
// executable's path, and path-name helpers with '/' as the separator.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvida {

// The last-write time of a file as a DOS date (high word) and time (low
// word), local time. None for a missing path, a folder, or a year outside
// 1980 to 2107.
std::optional<int32_t> FileAge(const std::string& path);
// A local time as a DOS date and time; none outside 1980 to 2107.
std::optional<int32_t> DateTimeToFileDate(int64_t unixSeconds);

bool FileExists(const std::string& path);

// The whole content of a file; none when the file does not exist. Any other
// failure (no permission, a folder) raises EFOpenError.
std::optional<std::string> ReadFileIfExists(const std::string& path);

// Replaces the file's content so that a crash at any moment leaves either the
// old file or the new one: the content goes to a temporary file in the same
// folder, is flushed to disk and renamed over the old file. A symbolic link
// is written through (also a dangling one), and an existing file keeps its
// permissions. An existing file that may not be written is not replaced:
// one whose permission bits forbid writing to everyone (for the root user
// too) or that the system does not let us write. Raises EFCreateError with
// the system's reason; the old file is then untouched.
void WriteFileAtomic(const std::string& path, std::string_view content);

// An exclusive advisory lock between the writers of a file, held for the
// object's life; a writer holds it from its read of the file to the rename of
// the new one, so that no other writer's update is lost, and waiting writers
// take turns. It lives on a lock file beside the file's target
// (".name.lock"), as every write replaces the file itself; the last holder
// removes it. A stale lock file of another user (nobody holds it) is
// replaced. Once held, temporary files that a killed writer left are
// removed. A write never goes ahead unlocked: where the lock cannot be had
// (the lock file cannot be made, or the file system has no locks) it raises
// EInOutError "%s をロックできません。%s" naming the lock file and the reason.
class TFileLock {
 public:
  // Waits up to wait for another holder to let go; raises EInOutError
  // "%s は他のプロセスが使用中です" naming path when it does not.
  TFileLock(const std::string& path, std::chrono::milliseconds wait);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

 private:
  std::string lockPath_;
  int fd_ = -1;
};

// A seam for tests: called with the temporary file's path after it is
// flushed and before it is renamed into place. Returns the previous hook.
using TAtomicWriteHook = void (*)(const std::string& tempPath);
TAtomicWriteHook SetAtomicWriteHook(TAtomicWriteHook hook);
bool DirectoryExists(const std::string& path);
// Whether this process may create files in the folder path.
bool DirectoryWritable(const std::string& path);
// Creates a folder and any missing parents. Raises EFCreateError naming the
// folder that could not be made.
void ForceDirectories(const std::string& path);

// The running executable's full path.
std::string ExecutablePath();
// An absolute form of path, relative paths taken from the working folder.
std::string ExpandFileName(const std::string& path);

// Path parts; the separator is '/', found without splitting a double-byte
// character. ExtractFilePath keeps the trailing separator.
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileExt(std::string_view path);
// Replaces the extension (from the last '.' after the last separator) by
// ext, or appends ext when there is none.
std::string ChangeFileExt(std::string_view path, std::string_view ext);

}  // namespace corvida
