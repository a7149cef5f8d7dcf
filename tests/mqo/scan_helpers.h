#pragma once
// Small helpers for the scanner and report tests: a stream over given bytes,
// a stream that hands out only a few bytes per read, and token dumps.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mqo/mqo_parser.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace corvida::testing {

struct TToken {
  int kind;
  std::string text;
  bool operator==(const TToken&) const = default;
};

inline void PrintTo(const TToken& t, std::ostream* os) { *os << "{" << t.kind << ", \"" << t.text << "\"}"; }

// A source that gives at most step bytes per read, as a pipe might.
class TTrickleStream : public TStream {
 public:
  TTrickleStream(std::string data, int64_t step) : data_(std::move(data)), step_(step) {}
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t n = std::min({count, step_, static_cast<int64_t>(data_.size()) - pos_});
    std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return pos_; }
  void SetSize(int64_t) override {}

 private:
  std::string data_;
  int64_t step_;
  int64_t pos_ = 0;
};

inline void LoadBytes(TMemoryStream& stream, std::string_view bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

inline std::vector<TToken> Tokens(TStream& source) {
  TParser parser(source);
  std::vector<TToken> out;
  while (parser.TokenKind() != tkEnd) {
    out.push_back({parser.TokenKind(), parser.TokenText()});
    parser.Advance();
  }
  return out;
}

inline std::vector<TToken> Tokens(std::string_view bytes) {
  TMemoryStream stream;
  LoadBytes(stream, bytes);
  return Tokens(stream);
}

// The message of the scanner's error for bytes, or "" when they scan.
inline std::string ScanError(std::string_view bytes) {
  try {
    Tokens(bytes);
  } catch (const EParserError& e) {
    return e.Message();
  }
  return "";
}

// The texts of the tokens joined: the input with its blanks removed.
inline std::string Joined(const std::vector<TToken>& tokens) {
  std::string out;
  for (const TToken& t : tokens) out += t.text;
  return out;
}

}  // namespace corvida::testing
