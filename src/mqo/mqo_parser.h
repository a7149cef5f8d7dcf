#pragma once
// TParser cuts the bytes of a model file into tokens, one at a time, through
// a fixed 4,096-byte window. It knows nothing of the model format: the face
// report applies the keywords on top of the tokens.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace corvida {

class TStream;

// Token kinds. Any other byte from 33 to 255 is a one-byte token whose kind
// is the byte itself; 6 to 32 never occur because bytes 1 to 32 are blanks.
inline constexpr uint8_t tkEnd = 0;
inline constexpr uint8_t tkSymbol = 1;
inline constexpr uint8_t tkString = 2;
inline constexpr uint8_t tkInteger = 3;
inline constexpr uint8_t tkFloat = 4;
inline constexpr uint8_t tkWideString = 5;

// The scanner's error texts, CP932.
namespace msg {
// "%1:d 行で%0:s"
inline constexpr const char* kParserErrorFormat = "%1:d \x8d\x73\x82\xc5%0:s";
// "不正な文字列定数"
inline constexpr const char* kInvalidString = "\x95\x73\x90\xb3\x82\xc8\x95\xb6\x8e\x9a\x97\xf1\x92\xe8\x90\x94";
// "行が長すぎます"
inline constexpr const char* kLineTooLong = "\x8d\x73\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7";
// "不正な NUL 文字"
inline constexpr const char* kInvalidNul = "\x95\x73\x90\xb3\x82\xc8 NUL \x95\xb6\x8e\x9a";
}  // namespace msg

class TParser {
 public:
  static constexpr int kWindowSize = 4096;

  // Scans the first token at once, so construction can raise EParserError.
  // line is the number of the stream's first line.
  explicit TParser(TStream& stream, int line = 1);
  ~TParser();
  TParser(const TParser&) = delete;
  TParser& operator=(const TParser&) = delete;

  uint8_t TokenKind() const { return kind_; }
  // A new string holding the current token's text.
  std::string TokenText() const { return std::string(TokenView()); }
  // The same text without a copy; valid until the next Advance.
  std::string_view TokenView() const {
    const char* end = kind_ == tkString ? stringEnd_ : pos_;
    return std::string_view(tokenStart_, static_cast<size_t>(end - tokenStart_));
  }
  // Scans the next token and returns its kind; at the end it stays tkEnd.
  uint8_t Advance();
  int LineNumber() const { return line_; }

  // Passes the blanks after the current token up to the end of the window.
  // True when they reach it, no binary block is under way and input may
  // follow: the next Advance would start afresh from WindowEnd, which is
  // what a new scanner started there at LineNumber would do too.
  bool AtWindowEnd();
  // The stream offset, from where the scanner began reading, of the end of
  // the window.
  int64_t WindowEnd() const { return bytesRead_ - (dataEnd_ - limit_); }

 private:
  // Where a binary block may begin: after "[", a decimal count, "]".
  enum TBlockState : uint8_t { bsNone, bsOpen, bsCount };

  // Raises EParserError with the line number; the scanner is left at its end.
  [[noreturn]] void Error(const char* text);
  // Blank skipping; false at the end of the input.
  bool SkipBlanks();
  // At a NUL byte: the sentinel, so refill; or NUL bytes in the data.
  [[gnu::cold]] bool PassNul();
  // Puts the saved byte back, then fills.
  void Refill();
  // Moves the unscanned bytes to the window's start, reads after them, cuts
  // the scan limit after the last whole line and puts the sentinel there.
  void Fill();
  // Reads from the source until the window is full or the source is dry.
  void ReadMore();
  // A NUL byte in the data: padding up to the end, or an error.
  void CheckNulPadding();
  // Follows "[", a decimal count and "]" right before a line break.
  void TrackBlock();
  // Passes that line break and the count's raw bytes after it.
  void SkipBlock();
  void ScanString();

  TStream& source_;
  std::unique_ptr<char[]> window_;
  char* dataEnd_;
  char* windowEnd_;
  char* pos_;
  char* limit_;
  char* tokenStart_;
  char* stringEnd_;
  int line_ = 1;
  char saved_ = 0;
  uint8_t kind_ = tkEnd;

  TBlockState blockState_ = bsNone;
  // Count of the "[N]" just read, or of the block waiting to be skipped.
  uint32_t blockCount_ = 0;
  bool blockPending_ = false;
  bool sourceDry_ = false;
  int64_t bytesRead_ = 0;
};

}  // namespace corvida
