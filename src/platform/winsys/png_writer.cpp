#include "platform/winsys/png_writer.h"

#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/messages.h"

namespace corvida {
namespace {

void PutBig32(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v >> 24));
  out.push_back(static_cast<char>(v >> 16));
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  out += body;
  PutBig32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

}  // namespace

std::string EncodePng(const TSurface& surface) {
  int w = surface.Width();
  int h = surface.Height();
  std::string raw;
  raw.reserve(static_cast<size_t>(h) * (1 + 3 * static_cast<size_t>(w)));
  for (int y = 0; y < h; ++y) {
    raw.push_back('\0');  // filter: none
    const uint32_t* row = surface.Row(y);
    for (int x = 0; x < w; ++x) {
      raw.push_back(static_cast<char>(row[x] >> 16));
      raw.push_back(static_cast<char>(row[x] >> 8));
      raw.push_back(static_cast<char>(row[x]));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK)
    throw EOutOfResources("cannot compress the picture");
  packed.resize(packedSize);

  std::string out("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  PutBig32(header, static_cast<uint32_t>(w));
  PutBig32(header, static_cast<uint32_t>(h));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", "");
  return out;
}

void SavePng(const TSurface& surface, const std::string& path) {
  std::string bytes = EncodePng(surface);
  std::string temp = path + ".tmp";
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      throw EFCreateError(Format(msg::kFCreateError, {path, ""}));
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    throw EFCreateError(Format(msg::kFCreateError, {path, ""}));
  }
}

}  // namespace corvida
