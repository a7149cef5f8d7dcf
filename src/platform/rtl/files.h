#pragma once
// File services: last-write time as a local DOS date and time, the
// executable's path, and path-name helpers with '/' as the separator.
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
bool DirectoryExists(const std::string& path);

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
