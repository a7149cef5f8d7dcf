#pragma once
// Whole-window pictures checked pixel for pixel against PNG files kept
// under tests/editor/control/golden/. With CORVIDA_UPDATE_GOLDEN=1 the
// files are written anew instead (look at each before committing it).
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/winsys/png_writer.h"
#include "platform/winsys/surface.h"

namespace corvida::testing {

inline std::filesystem::path GoldenPath(const std::string& name) {
  const char* source = std::getenv("CORVIDA_SOURCE_DIR");
  return std::filesystem::path(source ? source : ".") / "tests/editor/control/golden" / (name + ".png");
}

inline uint32_t Big32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

// Reads the 8-bit RGB, unfiltered PNG files that SavePng writes.
inline std::optional<TSurface> ReadPng(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::stringstream buffer;
  buffer << file.rdbuf();
  const std::string bytes = buffer.str();
  int width = 0;
  int height = 0;
  std::string packed;
  for (size_t at = 8; at + 8 <= bytes.size();) {
    const uint32_t length = Big32(bytes, at);
    const std::string type = bytes.substr(at + 4, 4);
    if (at + 12 + length > bytes.size()) return std::nullopt;
    if (type == "IHDR") {
      width = static_cast<int>(Big32(bytes, at + 8));
      height = static_cast<int>(Big32(bytes, at + 12));
    } else if (type == "IDAT") {
      packed += bytes.substr(at + 8, length);
    }
    at += 12 + length;
  }
  const size_t stride = 1 + 3 * static_cast<size_t>(width);
  std::string raw(stride * static_cast<size_t>(height), '\0');
  uLongf rawSize = static_cast<uLongf>(raw.size());
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize, reinterpret_cast<const Bytef*>(packed.data()),
                 static_cast<uLong>(packed.size())) != Z_OK || rawSize != raw.size())
    return std::nullopt;
  TSurface surface(width, height);
  for (int y = 0; y < height; ++y) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(raw.data()) + stride * static_cast<size_t>(y);
    if (p[0] != 0) return std::nullopt;
    for (int x = 0; x < width; ++x)
      surface.SetPixel(x, y, 0xFF000000u | p[1 + 3 * x] << 16 | p[2 + 3 * x] << 8 | p[3 + 3 * x]);
  }
  return surface;
}

inline ::testing::AssertionResult MatchesGolden(const TSurface& picture, const std::string& name) {
  const std::filesystem::path path = GoldenPath(name);
  if (const char* update = std::getenv("CORVIDA_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    std::filesystem::create_directories(path.parent_path());
    SavePng(picture, path.string());
    return ::testing::AssertionSuccess();
  }
  const std::optional<TSurface> golden = ReadPng(path);
  if (!golden) return ::testing::AssertionFailure() << "no readable picture " << path;
  if (golden->Width() != picture.Width() || golden->Height() != picture.Height())
    return ::testing::AssertionFailure() << name << ": size " << picture.Width() << "x" << picture.Height()
                                         << ", expected " << golden->Width() << "x" << golden->Height();
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (golden->Pixel(x, y) != picture.Pixel(x, y))
        return ::testing::AssertionFailure() << name << ": first difference at " << x << "," << y;
  return ::testing::AssertionSuccess();
}

}  // namespace corvida::testing
