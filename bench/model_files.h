#pragma once
// Generated model files: plausible numbers as the modeller writes them, and
// files that go when the benchmark leaves them.
#include <sys/statvfs.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

namespace corvida::bench {

// A deterministic generator of plausible coordinates.
class TRandom {
 public:
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint32_t state_ = 2463534242u;
};

// Appends a fixed-point number with the given decimals, as the modeller writes them.
inline void AppendFixed(std::string& out, int64_t scaled, int decimals) {
  if (scaled < 0) {
    out.push_back('-');
    scaled = -scaled;
  }
  char digits[24];
  int n = 0;
  do {
    if (n == decimals) digits[n++] = '.';
    digits[n++] = static_cast<char>('0' + scaled % 10);
    scaled /= 10;
  } while (scaled > 0 || n <= decimals);
  while (n > 0) out.push_back(digits[--n]);
}


// A file removed when the benchmark leaves it.
class TScratchFile {
 public:
  explicit TScratchFile(std::string path) : path_(std::move(path)) {}
  ~TScratchFile() { std::filesystem::remove(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline bool HasRoomFor(const std::string& folder, double bytes) {
  struct statvfs fs {};
  return ::statvfs(folder.c_str(), &fs) == 0 && static_cast<double>(fs.f_bavail) * fs.f_frsize > bytes * 1.5;
}

}  // namespace corvida::bench
