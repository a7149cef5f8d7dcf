#pragma once
// The table-driven tokenizer of the fountains. It cuts one screen row at a
// time into typed tokens, reports each token's colour through its fountain,
// and computes the scan state the next row starts with.
//
// The scan never leaves the string given to StartRow: every scanner stops at
// NUL, CR or LF, and the string's own terminator ends the row.
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "editor/model/editor_view.h"
#include "platform/rtl/object.h"

namespace corvida {

class TFountain;
class TFountainColor;

// One byte per token.
using TTokenKind = uint8_t;

inline constexpr TTokenKind ttEnd = 0;
inline constexpr TTokenKind ttSymbol = 1;
inline constexpr TTokenKind ttInteger = 3;
inline constexpr TTokenKind ttFloat = 4;
inline constexpr TTokenKind ttBracket = 6;
inline constexpr TTokenKind ttComment = 7;
inline constexpr TTokenKind ttReserve = 8;
inline constexpr TTokenKind ttTab = 9;
inline constexpr TTokenKind ttAnk = 11;
inline constexpr TTokenKind ttWideSymbol = 12;
inline constexpr TTokenKind ttWideDigit = 14;
inline constexpr TTokenKind ttWideAlpha = 15;
inline constexpr TTokenKind ttHiragana = 16;
inline constexpr TTokenKind ttKatakana = 17;
inline constexpr TTokenKind ttKanji = 18;
inline constexpr TTokenKind ttKanaSymbol = 19;
inline constexpr TTokenKind ttKana = 20;
inline constexpr TTokenKind ttUrl = 21;
inline constexpr TTokenKind ttMail = 22;
inline constexpr TTokenKind ttHex = 23;
inline constexpr TTokenKind ttSingleQuote = 24;
inline constexpr TTokenKind ttDoubleQuote = 25;
inline constexpr TTokenKind ttQuotation = 26;
inline constexpr TTokenKind ttControlCode = 27;
inline constexpr TTokenKind ttControlHex = 28;

// A set of token kinds.
using TTokenKinds = std::bitset<256>;

class TFountainParser : public TObject, public TRowScanner {
 public:
  CORVIDA_CLASS_NAME(TFountainParser)
  using TScanProc = void (TFountainParser::*)();
  // The class of a tokenizer: makes a ready tokenizer for a fountain.
  using TParserClass = std::unique_ptr<TFountainParser> (*)(TFountain* fountain);

  // Makes a T for fountain with its tables filled. Raises EFountainError
  // when fountain is null.
  template <class T>
  static std::unique_ptr<TFountainParser> Create(TFountain* fountain) {
    std::unique_ptr<TFountainParser> parser(new T(fountain));
    parser->InitTables();
    return parser;
  }

  // Starts scanning s, whose last byte is followed by a NUL, with the scan
  // state data. The tokenizer keeps pointers into s, which must outlive the
  // scan of the row.
  virtual void StartRow(std::string_view s, const TRowAttributeData& data);
  // A temporary would be gone before its tokens are read.
  void StartRow(std::string&& s, const TRowAttributeData& data) = delete;
  // Scans the next token and returns its kind; ttEnd at the end of the row.
  virtual TTokenKind ScanToken();
  // The colour of the current token; null for the row's default colours.
  virtual TFountainColor* TokenColor() = 0;
  // The current token is a word of the fountain's reserved-word list.
  virtual bool IsReserved();
  void ScanRowState(int index, TRowAttributeStringList& strings, TRowAttributeData& data) override;
  // Whether scanning row, a row no wrap ends, from outside every bracket
  // may end in another state than outside every bracket with no token
  // carried on. A row where it cannot is not tokenized by the row-state scan,
  // which is what makes the first jump to the end of a long text quick. Here
  // only a bracket opening in the row can; a tokenizer with state of its own
  // answers for that too.
  virtual bool MayLeavePlainState(std::string_view row) const;
  // Kinds that a wrapped row hands on to the next row without a byte count.
  virtual TTokenKinds CarriedKinds() const;
  // Kinds that make the whole of a continued row one token.
  virtual TTokenKinds LineKinds() const;

  TTokenKind TokenKind() const { return tokenKind_; }
  int TokenOffset() const { return static_cast<int>(tokenStart_ - start_); }
  int TokenSize() const { return static_cast<int>(run_ - tokenStart_); }
  std::string TokenStr() const;
  int BracketIndex() const { return bracketIndex_; }
  int TokenBracketIndex() const { return tokenBracketIndex_; }
  int ElementIndex() const { return elementIndex_; }
  TFountain* Fountain() const { return fountain_; }

 protected:
  using PByte = const unsigned char*;

  explicit TFountainParser(TFountain* fountain);
  // For the tokenizer without a fountain.
  TFountainParser() = default;

  virtual void InitTables();
  virtual void SkipBlanks();
  virtual bool MatchLeftBracket();
  virtual void ScanBracket();
  virtual bool MatchMail();
  virtual void ScanMail();
  virtual bool MatchUrl();
  virtual void ScanUrl();
  virtual void ScanReserveContinued();
  virtual void ScanNull();
  virtual void ScanTab();
  virtual void ScanLF();
  virtual void ScanCR();
  virtual void ScanComment();
  virtual void ScanHex();
  virtual void ScanNumber();
  virtual void ScanAnk();
  virtual void ScanWideSymbol();
  virtual void ScanWideLetters();
  virtual void ScanKanji();
  virtual void ScanKanaSymbol();
  virtual void ScanKana();
  virtual void ScanSymbol();
  virtual void ScanSingleQuote();
  virtual void ScanDoubleQuote();
  virtual void ScanContinued();
  virtual void ScanDefault();
  // Turns kind into ttReserve when the current token is a reserved word.
  virtual void FinalKind(TTokenKind& kind);

  // Byte tests shared by the scanners.
  static bool AtRowEnd(unsigned char c) { return c == 0 || c == '\r' || c == '\n'; }
  static bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
  static bool IsHexDigit(unsigned char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
  }
  // The bytes at P equal s (never compared beyond the row's terminator).
  bool LooksAt(const std::string& s) const;
  // Steps over one character: two bytes for a lead byte with its trail.
  void StepChar();
  // Calls the CharTable scanner of the byte at P.
  void ScanByCharTable() { (this->*charTable_[*p_])(); }

  PByte start_ = nullptr;
  int bracketIndex_ = -1;
  std::string dataStr_;
  int tokenBracketIndex_ = -2;
  int elementIndex_ = 0;
  TFountain* fountain_ = nullptr;
  bool continuing_ = false;
  std::array<TScanProc, 256> charTable_{};
  PByte p_ = nullptr;
  uint8_t prevRowAttribute_ = 0;
  uint8_t startToken_ = 0;
  int remain_ = 0;
  uint8_t rowAttribute_ = 0;
  PByte run_ = nullptr;
  uint8_t prevToken_ = 0;
  TTokenKind tokenKind_ = ttEnd;
  std::array<TScanProc, 256> kindTable_{};
  PByte tokenStart_ = nullptr;
  int wrappedByte_ = 0;
  // The terminator of the row: bounds every multi-byte comparison.
  PByte end_ = nullptr;

 private:
  // The run of mail characters MatchMail last looked at, so that the tokens
  // inside one run do not each walk it to its end again.
  struct TMailRun {
    PByte begin = nullptr;
    PByte end = nullptr;
    // The last '@' of the run with a '.' after it; null when there is none.
    PByte lastAt = nullptr;
  };
  TMailRun mailRun_;

  void ScanQuoted(unsigned char quote, TTokenKind kind);
  void ScanExponent();
  int RightBracketLength(int index) const;
};

// A tokenizer without a fountain, for looking up the token under the mouse.
// It must be started with BracketIndex -2, so that no bracket is looked up.
class TTokenParser : public TFountainParser {
 public:
  CORVIDA_CLASS_NAME(TTokenParser)
  static std::unique_ptr<TTokenParser> Create();
  TFountainColor* TokenColor() override { return nullptr; }

 private:
  TTokenParser() = default;
};

}  // namespace corvida
