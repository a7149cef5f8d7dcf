#pragma once
// Where a model's bytes come from: a source that hands out its bytes piece
// by piece (a file or a pipe, or anything else, such as an archive entry),
// and a holder that keeps a stretch of them contiguous for the scanners.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/rtl/streams.h"

namespace corvida {

class TBytePieces {
 public:
  virtual ~TBytePieces() = default;
  // Puts the next bytes of the input, at most capacity, into buffer and
  // returns their count; 0 at the end.
  virtual size_t ReadPiece(char* buffer, size_t capacity) = 0;
};

// The bytes of a stream as they come: a file, a pipe or a device, or a
// model decompressed out of an archive. Bytes already taken from the stream
// to look at (head) come first. Read calls into a buffer that stays in the
// processor's cache beat mapping a file, whose page faults cost more than
// the copy.
class TStreamPieces : public TBytePieces {
 public:
  explicit TStreamPieces(TStream& stream, std::string head = {}) : stream_(stream), head_(std::move(head)) {}
  size_t ReadPiece(char* buffer, size_t capacity) override;

 private:
  TStream& stream_;
  std::string head_;
  size_t headTaken_ = 0;
};

// Holds the input from an offset on in one buffer of fixed size, so that the
// next bytes are contiguous; memory does not grow with the input.
class TModelInput {
 public:
  static constexpr size_t kCapacity = 256 * 1024;
  // Room for a scanner window and the window before it.
  static constexpr size_t kLeastCapacity = 8192;

  // A capacity below the usual one, at least kLeastCapacity, makes tests
  // meet more refills.
  explicit TModelInput(TBytePieces& pieces, size_t capacity = kCapacity)
      : pieces_(pieces), capacity_(capacity), buffer_(std::make_unique_for_overwrite<char[]>(capacity)) {}

  // The bytes from offset from on: at least want of them (at most the
  // capacity) unless the input ends first. Bytes before from are let go;
  // from lies between the start of the bytes held and their end.
  std::string_view Hold(uint64_t from, size_t want);
  uint64_t HeldStart() const { return start_; }

 private:
  TBytePieces& pieces_;
  size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  // The input offset of the byte at begin_.
  uint64_t start_ = 0;
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
