#pragma once
// Where a model's bytes come from: a source of byte pieces (a file mapped
// whole, a file or pipe read piece by piece, or anything else that hands out
// bytes, such as an archive entry), and a holder that keeps a stretch of
// them contiguous for the scanners.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/streams.h"

namespace corvida {

class TBytePieces {
 public:
  virtual ~TBytePieces() = default;
  // The next piece of the input, valid until the next call; empty at the end.
  virtual std::string_view NextPiece() = 0;
};

// The bytes of a file: a regular file is mapped read-only and handed out as
// one piece; what cannot be mapped (a pipe, a device) is read in pieces.
// Opening raises EFOpenError as TFileStream does.
class TFilePieces : public TBytePieces {
 public:
  explicit TFilePieces(const std::string& path);
  ~TFilePieces() override;
  TFilePieces(const TFilePieces&) = delete;
  TFilePieces& operator=(const TFilePieces&) = delete;

  std::string_view NextPiece() override;
  bool Mapped() const { return map_ != nullptr; }

 private:
  static constexpr size_t kPieceSize = 256 * 1024;

  TFileStream file_;
  void* map_ = nullptr;
  size_t mapSize_ = 0;
  bool mapGiven_ = false;
  std::unique_ptr<char[]> buffer_;
};

// Holds the input from an offset on, so that the next bytes are contiguous:
// a piece itself when it holds them, else a copy that joins pieces.
class TModelInput {
 public:
  explicit TModelInput(TBytePieces& pieces) : pieces_(pieces) {}

  // The bytes from offset from on: at least want of them unless the input
  // ends first. Bytes before from are let go; from lies between the start
  // of the bytes held and their end.
  std::string_view Hold(uint64_t from, size_t want);
  uint64_t HeldStart() const { return start_; }

 private:
  TBytePieces& pieces_;
  std::string_view held_;
  uint64_t start_ = 0;
  std::string joined_;
  bool inJoined_ = false;
  bool dry_ = false;
};

// A stream over the input from an offset on, for the literal scanner. It
// keeps the last window's length of bytes read, so that the input can be
// held again from anywhere in the scanner's window.
class TModelInputStream : public TStream {
 public:
  TModelInputStream(TModelInput& input, uint64_t start) : input_(input), pos_(start) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return -1; }
  void SetSize(int64_t) override {}

 private:
  TModelInput& input_;
  uint64_t pos_;
};

}  // namespace corvida
