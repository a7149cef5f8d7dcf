#include "mqo/mqo_parser.h"

#include <cstring>

#include "mqo/mqo_chars.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"

namespace corvida {
namespace {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllNul(const char* p, const char* end) {
  for (; p < end; ++p)
    if (*p != 0) return false;
  return true;
}

}  // namespace

TParser::TParser(TStream& stream, int line)
    : source_(stream), window_(std::make_unique<char[]>(kWindowSize)), line_(line) {
  char* start = window_.get();
  start[0] = 0;
  dataEnd_ = pos_ = limit_ = tokenStart_ = stringEnd_ = start;
  windowEnd_ = start + kWindowSize;
  Advance();
}

TParser::~TParser() = default;

void TParser::Error(const char* text) {
  const int line = line_;
  // Leave an empty window behind, so that a caller who scans on anyway only
  // meets the end of the input.
  char* start = window_.get();
  start[0] = 0;
  dataEnd_ = pos_ = limit_ = tokenStart_ = stringEnd_ = start;
  saved_ = 0;
  kind_ = tkEnd;
  blockState_ = bsNone;
  blockPending_ = false;
  sourceDry_ = true;
  throw EParserError(Format(msg::kParserErrorFormat, {text, line}));
}

void TParser::ReadMore() {
  while (!sourceDry_ && dataEnd_ < windowEnd_) {
    const int64_t n = source_.Read(dataEnd_, windowEnd_ - dataEnd_);
    if (n <= 0) {
      sourceDry_ = true;
      break;
    }
    dataEnd_ += n;
    bytesRead_ += n;
  }
}

void TParser::Refill() {
  *limit_ = saved_;
  Fill();
}

void TParser::Fill() {
  char* start = window_.get();
  const size_t keep = static_cast<size_t>(dataEnd_ - pos_);
  std::memmove(start, pos_, keep);
  dataEnd_ = start + keep;
  ReadMore();
  pos_ = start;
  if (dataEnd_ == windowEnd_) {
    // Cut after the last line feed in the 2nd to 4,095th byte, so that no
    // token spans two fills. Without one, a NUL byte in the window is where
    // the scan stops anyway (padding or an error), so the cut goes there.
    if (const void* lf = memrchr(start + 1, '\n', kWindowSize - 2)) {
      limit_ = static_cast<char*>(const_cast<void*>(lf)) + 1;
    } else if (void* nul = std::memchr(start, 0, kWindowSize)) {
      limit_ = static_cast<char*>(nul);
    } else {
      Error(msg::kLineTooLong);
    }
  } else {
    limit_ = dataEnd_;
  }
  saved_ = *limit_;
  *limit_ = 0;
}

bool TParser::SkipBlanks() {
  char* p = pos_;
  // Counted without a sign, so that billions of line feeds wrap, not overflow.
  uint32_t line = static_cast<uint32_t>(line_);
  for (;;) {
    const auto c = static_cast<unsigned char>(*p);
    if (c > ' ') break;
    if (c == 0) {
      pos_ = p;
      line_ = static_cast<int>(line);
      if (!PassNul()) return false;
      p = pos_;
      continue;
    }
    line += c == '\n';
    ++p;
  }
  pos_ = p;
  line_ = static_cast<int>(line);
  return true;
}

bool TParser::PassNul() {
  if (pos_ == limit_) {
    Refill();
    if (*pos_ != 0) return true;
    if (pos_ == dataEnd_) return false;
  }
  CheckNulPadding();
  return false;
}

void TParser::CheckNulPadding() {
  // Trailing NUL bytes are padding and end the text; a NUL with anything
  // after it would hide the rest of the file, so it is an error.
  *limit_ = saved_;
  if (!AllNul(pos_, dataEnd_)) Error(msg::kInvalidNul);
  char* start = window_.get();
  dataEnd_ = start;
  for (;;) {
    ReadMore();
    if (dataEnd_ == start) break;
    if (!AllNul(start, dataEnd_)) Error(msg::kInvalidNul);
    dataEnd_ = start;
  }
  pos_ = limit_ = start;
  saved_ = 0;
  *start = 0;
}

void TParser::TrackBlock() {
  if (kind_ == '[') {
    blockState_ = bsOpen;
  } else if (blockState_ == bsOpen && kind_ == tkInteger && IsDigit(*tokenStart_)) {
    uint64_t count = 0;
    for (const char* p = tokenStart_; p < pos_ && count <= INT32_MAX; ++p) count = count * 10 + (*p - '0');
    blockState_ = count <= INT32_MAX ? bsCount : bsNone;
    blockCount_ = static_cast<uint32_t>(count);
  } else if (blockState_ == bsCount && kind_ == ']') {
    blockState_ = bsNone;
    // The limit's sentinel is NUL, so pos_[1] is still inside the window.
    blockPending_ = pos_[0] == '\n' || (pos_[0] == '\r' && pos_[1] == '\n');
  } else {
    blockState_ = bsNone;
  }
}

void TParser::SkipBlock() {
  blockPending_ = false;
  if (*pos_ == '\r') ++pos_;
  ++pos_;
  line_ = static_cast<int>(static_cast<uint32_t>(line_) + 1);
  // The block's bytes are raw data: they may hold NUL, quotes or line feeds,
  // so they are passed over without being scanned, also beyond the limit.
  *limit_ = saved_;
  uint32_t left = blockCount_;
  for (;;) {
    const auto held = static_cast<uint32_t>(dataEnd_ - pos_);
    if (left <= held) {
      pos_ += left;
      break;
    }
    left -= held;
    pos_ = dataEnd_ = window_.get();
    ReadMore();
    if (dataEnd_ == pos_) break;
  }
  Fill();
}

void TParser::ScanString() {
  // Check and classify.
  char* p = tokenStart_;
  bool wide = false;
  for (;;) {
    if (*p == '#') {
      ++p;
      uint32_t code = 0;
      for (; IsDigit(*p); ++p) code = code * 10 + static_cast<uint32_t>(*p - '0');
      if (static_cast<int32_t>(code) > 127) wide = true;
    } else if (*p == '\'') {
      ++p;
      for (;; ++p) {
        const char c = *p;
        if (c == 0 || c == '\n' || c == '\r') Error(msg::kInvalidString);
        if (c == '\'') {
          if (p[1] != '\'') break;
          ++p;
        }
      }
      ++p;
    } else {
      break;
    }
  }
  char* end = p;
  pos_ = end;
  if (wide) {
    kind_ = tkWideString;
    return;
  }
  // Decode in place: the text is never longer than its source.
  char* out = tokenStart_;
  p = tokenStart_;
  while (p < end) {
    if (*p == '#') {
      ++p;
      uint32_t code = 0;
      for (; p < end && IsDigit(*p); ++p) code = code * 10 + static_cast<uint32_t>(*p - '0');
      *out++ = static_cast<char>(code);
    } else {
      ++p;
      for (;;) {
        if (*p == '\'') {
          if (p[1] != '\'') break;
          ++p;
        }
        *out++ = *p++;
      }
      ++p;
    }
  }
  stringEnd_ = out;
  kind_ = tkString;
}

bool TParser::AtWindowEnd() {
  if (blockPending_ || blockState_ != bsNone) return false;
  char* p = pos_;
  uint32_t line = static_cast<uint32_t>(line_);
  for (; static_cast<unsigned char>(*p) <= ' ' && *p != 0; ++p) line += *p == '\n';
  pos_ = p;
  line_ = static_cast<int>(line);
  return p == limit_ && !(limit_ == dataEnd_ && sourceDry_);
}

uint8_t TParser::Advance() {
  if (blockPending_) SkipBlock();
  if (!SkipBlanks()) {
    tokenStart_ = pos_;
    kind_ = tkEnd;
    blockState_ = bsNone;
    return kind_;
  }
  tokenStart_ = pos_;
  if (kStartClass[static_cast<unsigned char>(*pos_)] == ccString) {
    ScanString();
    if (blockState_ != bsNone) TrackBlock();
    return kind_;
  }
  pos_ = const_cast<char*>(PlainTokenEnd(pos_, kind_));
  if (blockState_ != bsNone || kind_ == '[') TrackBlock();
  return kind_;
}

}  // namespace corvida
