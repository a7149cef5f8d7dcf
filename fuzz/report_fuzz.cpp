// Any bytes given to the scanner and the face report give either tokens and
// a report or an EParserError; never a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "mqo/face_report.h"
#include "mqo/mqo_parser.h"
#include "mqo/reference_report.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace {

// A source that hands out its bytes a few at a time, so that refills meet
// every kind of short read.
class TPieceStream : public corvida::TStream {
 public:
  TPieceStream(const uint8_t* data, size_t size, int64_t piece) : data_(data), size_(size), piece_(piece) {}
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = count < piece_ ? count : piece_;
    if (n > static_cast<int64_t>(size_ - pos_)) n = static_cast<int64_t>(size_ - pos_);
    for (int64_t i = 0; i < n; ++i) static_cast<uint8_t*>(buffer)[i] = data_[pos_ + static_cast<size_t>(i)];
    pos_ += static_cast<size_t>(n);
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, corvida::TSeekOrigin) override { return static_cast<int64_t>(pos_); }
  void SetSize(int64_t) override {}

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  int64_t piece_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvida;
  if (size == 0) return 0;
  // The first byte picks the sort order and the read size; the rest is the model.
  const int sortMode = data[0] % 3;
  const int64_t piece = 1 + (data[0] >> 2) * 97;
  ++data;
  --size;

  TPieceStream tokens(data, size, piece);
  try {
    TParser parser(tokens);
    while (parser.TokenKind() != tkEnd) {
      const uint8_t kind = parser.TokenKind();
      const std::string text = parser.TokenText();
      // A one-byte token's kind is its byte; an identifier is never empty.
      if (kind > tkWideString && (text.size() != 1 || static_cast<uint8_t>(text[0]) != kind)) __builtin_trap();
      if (kind == tkSymbol && text.empty()) __builtin_trap();
      parser.Advance();
    }
    if (parser.Advance() != tkEnd) __builtin_trap();
  } catch (const EParserError&) {
  }

  TMemoryStream model;
  model.WriteBuffer(data, static_cast<int64_t>(size));
  model.SetPosition(0);
  TStringList lines;
  try {
    CollectFaceLines(model, sortMode, lines);
  } catch (const EParserError&) {
  }
  return 0;
}
