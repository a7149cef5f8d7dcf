#include "editor/highlight/fountain_parser.h"

#include <cstring>

#include "editor/highlight/fountain.h"
#include "editor/model/row_attribute_string_list.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"

namespace corvida {

namespace {

constexpr const char* kNeedFountain = "TFountainParser.Create need instance of TFountain";

bool InRange(unsigned char c, unsigned char lo, unsigned char hi) { return c >= lo && c <= hi; }

bool IsAnkChar(unsigned char c) {
  return InRange(c, '0', '9') || InRange(c, 'A', 'Z') || InRange(c, 'a', 'z') || c == '_';
}

bool IsKanjiLead(unsigned char c) { return InRange(c, 0x88, 0x9F) || InRange(c, 0xE0, 0xFC); }

// Trails after 0x82 that are symbols rather than digits, letters or kana.
bool IsSymbolTrail82(unsigned char t) {
  return InRange(t, 0x40, 0x4E) || InRange(t, 0x59, 0x5F) || InRange(t, 0x7A, 0x80) || InRange(t, 0x9B, 0x9E) ||
         t >= 0xF2;
}

bool IsMailChar(unsigned char c) {
  switch (c) {
    case '!': case '$': case '%': case '&': case '*': case ',': case '-': case '.': case '/':
    case ';': case '=': case '?': case '@': case '^': case '_': case '~':
      return true;
    default:
      return InRange(c, '0', '9') || InRange(c, 'A', 'Z') || InRange(c, 'a', 'z');
  }
}

bool IsUrlChar(unsigned char c) {
  switch (c) {
    case '#': case '%': case '&': case '+': case '-': case '.': case '/': case ':': case '=':
    case '?': case '_': case '~':
      return true;
    default:
      return InRange(c, '0', '9') || InRange(c, 'A', 'Z') || InRange(c, 'a', 'z');
  }
}

bool IsAllSpaces(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

TFountainParser::TFountainParser(TFountain* fountain) : fountain_(fountain) {
  if (fountain == nullptr) throw EFountainError(kNeedFountain);
}

void TFountainParser::InitTables() {
  charTable_.fill(&TFountainParser::ScanSymbol);
  charTable_[0] = &TFountainParser::ScanNull;
  charTable_[9] = &TFountainParser::ScanTab;
  charTable_[10] = &TFountainParser::ScanLF;
  charTable_[13] = &TFountainParser::ScanCR;
  for (int c = '0'; c <= '9'; ++c) charTable_[c] = &TFountainParser::ScanNumber;
  for (int c = 'A'; c <= 'Z'; ++c) charTable_[c] = &TFountainParser::ScanAnk;
  for (int c = 'a'; c <= 'z'; ++c) charTable_[c] = &TFountainParser::ScanAnk;
  charTable_['_'] = &TFountainParser::ScanAnk;
  charTable_[0x81] = &TFountainParser::ScanWideSymbol;
  for (int c = 0x84; c <= 0x87; ++c) charTable_[c] = &TFountainParser::ScanWideSymbol;
  charTable_[0x82] = &TFountainParser::ScanWideLetters;
  charTable_[0x83] = &TFountainParser::ScanWideLetters;
  for (int c = 0x88; c <= 0x9F; ++c) charTable_[c] = &TFountainParser::ScanKanji;
  for (int c = 0xE0; c <= 0xFC; ++c) charTable_[c] = &TFountainParser::ScanKanji;
  for (int c = 0xA1; c <= 0xA5; ++c) charTable_[c] = &TFountainParser::ScanKanaSymbol;
  for (int c = 0xA6; c <= 0xDF; ++c) charTable_[c] = &TFountainParser::ScanKana;

  kindTable_.fill(&TFountainParser::ScanSymbol);
  kindTable_[ttInteger] = &TFountainParser::ScanNumber;
  kindTable_[ttFloat] = &TFountainParser::ScanNumber;
  kindTable_[ttBracket] = &TFountainParser::ScanBracket;
  kindTable_[ttComment] = &TFountainParser::ScanComment;
  kindTable_[ttReserve] = &TFountainParser::ScanReserveContinued;
  kindTable_[ttAnk] = &TFountainParser::ScanAnk;
  kindTable_[ttWideSymbol] = &TFountainParser::ScanWideSymbol;
  for (int k = ttWideDigit; k <= ttKatakana; ++k) kindTable_[k] = &TFountainParser::ScanWideLetters;
  kindTable_[ttKanji] = &TFountainParser::ScanKanji;
  kindTable_[ttKanaSymbol] = &TFountainParser::ScanKanaSymbol;
  kindTable_[ttKana] = &TFountainParser::ScanKana;
  kindTable_[ttUrl] = &TFountainParser::ScanUrl;
  kindTable_[ttMail] = &TFountainParser::ScanMail;
  kindTable_[ttHex] = &TFountainParser::ScanHex;
  kindTable_[ttSingleQuote] = &TFountainParser::ScanSingleQuote;
  kindTable_[ttDoubleQuote] = &TFountainParser::ScanDoubleQuote;
}

void TFountainParser::StartRow(std::string_view s, const TRowAttributeData& data) {
  start_ = reinterpret_cast<PByte>(s.data());
  mailRun_ = {};
  end_ = start_ + s.size();
  run_ = start_;
  p_ = start_;
  tokenStart_ = start_;
  tokenBracketIndex_ = -2;
  rowAttribute_ = static_cast<uint8_t>(data.RowAttribute);
  prevRowAttribute_ = static_cast<uint8_t>(data.PrevRowAttribute);
  bracketIndex_ = data.BracketIndex;
  elementIndex_ = data.ElementIndex;
  wrappedByte_ = data.WrappedByte;
  remain_ = data.Remain;
  prevToken_ = data.PrevToken;
  startToken_ = data.StartToken;
  dataStr_ = data.DataStr;
}

TTokenKind TFountainParser::ScanToken() {
  SkipBlanks();
  p_ = run_;
  tokenStart_ = run_;
  continuing_ = prevToken_ != 0;
  if (AtRowEnd(*p_)) {
    tokenKind_ = ttEnd;
  } else if (prevToken_ != 0) {
    ScanContinued();
  } else if (bracketIndex_ >= 0) {
    ScanBracket();
  } else {
    ScanDefault();
  }
  run_ = p_;
  return tokenKind_;
}

std::string TFountainParser::TokenStr() const {
  return std::string(reinterpret_cast<const char*>(tokenStart_), static_cast<size_t>(run_ - tokenStart_));
}

void TFountainParser::SkipBlanks() {
  while (InRange(*run_, 1, 8) || InRange(*run_, 10, 32)) ++run_;
}

bool TFountainParser::LooksAt(const std::string& s) const {
  // The first byte decides for nearly every token, without a call.
  if (s.empty()) return true;
  return *p_ == static_cast<unsigned char>(s[0]) && static_cast<size_t>(end_ - p_) >= s.size() &&
         std::memcmp(p_, s.data(), s.size()) == 0;
}

void TFountainParser::StepChar() {
  const bool withTrail = IsLeadByte(*p_) && !AtRowEnd(p_[1]);
  p_ += withTrail ? 2 : 1;
}

void TFountainParser::ScanContinued() {
  if (wrappedByte_ > 0) {
    // The tail of a token that the row break split.
    tokenKind_ = prevToken_;
    for (int i = 0; i < wrappedByte_ && !AtRowEnd(*p_); ++i) ++p_;
    if (tokenKind_ == ttBracket) {
      tokenBracketIndex_ = bracketIndex_;
      bracketIndex_ = -1;
    }
  } else {
    (this->*kindTable_[prevToken_])();
  }
  prevToken_ = 0;
  wrappedByte_ = 0;
}

void TFountainParser::ScanDefault() {
  if (bracketIndex_ == -1 && MatchLeftBracket()) {
    ScanBracket();
  } else {
    ScanByCharTable();
  }
}

bool TFountainParser::MatchLeftBracket() {
  if (fountain_ == nullptr) return false;
  const TFountainBracketCollection* brackets = fountain_->Brackets();
  const int count = brackets->Count();
  for (int i = 0; i < count; ++i) {
    const std::string& left = brackets->Items(i)->LeftBracket();
    if (!left.empty() && LooksAt(left)) {
      bracketIndex_ = i;
      p_ += left.size();
      return true;
    }
  }
  return false;
}

int TFountainParser::RightBracketLength(int index) const {
  if (fountain_ == nullptr || index < 0 || index >= fountain_->Brackets()->Count()) return 0;
  return static_cast<int>(fountain_->Brackets()->Items(index)->RightBracket().size());
}

void TFountainParser::ScanBracket() {
  if (RightBracketLength(bracketIndex_) == 0) {
    tokenKind_ = ttEnd;
    return;
  }
  const std::string& right = fountain_->Brackets()->Items(bracketIndex_)->RightBracket();
  tokenKind_ = ttBracket;
  tokenBracketIndex_ = bracketIndex_;
  while (!AtRowEnd(*p_)) {
    if (LooksAt(right)) {
      p_ += right.size();
      bracketIndex_ = -1;
      return;
    }
    StepChar();
  }
}

bool TFountainParser::MatchMail() {
  if (!IsMailChar(*p_) || *p_ == '@') return false;
  // An address starts here when an '@' after here is followed by a '.' before
  // the run of mail characters ends: that is, when the run's last '@' with a
  // '.' after it lies after here.
  if (p_ < mailRun_.begin || p_ >= mailRun_.end) {
    mailRun_ = {p_, p_, nullptr};
    PByte at = nullptr;
    for (; IsMailChar(*mailRun_.end); ++mailRun_.end) {
      if (*mailRun_.end == '@') at = mailRun_.end;
      if (*mailRun_.end == '.' && at != nullptr) mailRun_.lastAt = at;
    }
  }
  if (mailRun_.lastAt == nullptr || mailRun_.lastAt <= p_) return false;
  // The match reaches past the first '.' after the first '@'.
  PByte q = p_;
  while (*q != '@') ++q;
  while (*q != '.') ++q;
  p_ = q + 1;
  return true;
}

void TFountainParser::ScanMail() {
  tokenKind_ = ttMail;
  while (IsMailChar(*p_)) ++p_;
}

bool TFountainParser::MatchUrl() {
  static const std::string kFtp = "ftp:", kHttp = "http:", kHttps = "https:", kWww = "www.";
  const std::string* found = nullptr;
  switch (*p_) {
    case 'f':
      if (LooksAt(kFtp)) found = &kFtp;
      break;
    case 'h':
      if (LooksAt(kHttp)) {
        found = &kHttp;
      } else if (LooksAt(kHttps)) {
        found = &kHttps;
      }
      break;
    case 'w':
      if (LooksAt(kWww)) found = &kWww;
      break;
  }
  if (found == nullptr) return false;
  p_ += found->size();
  return true;
}

void TFountainParser::ScanUrl() {
  tokenKind_ = ttUrl;
  while (IsUrlChar(*p_)) ++p_;
}

void TFountainParser::ScanReserveContinued() {
  ScanByCharTable();
  tokenKind_ = ttReserve;
}

void TFountainParser::ScanNull() { tokenKind_ = ttEnd; }

void TFountainParser::ScanTab() {
  tokenKind_ = ttTab;
  ++p_;
}

void TFountainParser::ScanLF() {
  tokenKind_ = ttEnd;
  if (*p_ == '\n') ++p_;
}

void TFountainParser::ScanCR() {
  tokenKind_ = ttEnd;
  if (*p_ == '\r') ++p_;
  if (*p_ == '\n') ++p_;
}

void TFountainParser::ScanComment() {
  tokenKind_ = ttComment;
  while (!AtRowEnd(*p_)) ++p_;
}

void TFountainParser::ScanHex() {
  tokenKind_ = ttHex;
  while (IsHexDigit(*p_)) ++p_;
}

void TFountainParser::ScanExponent() {
  ++p_;  // E or e
  if (*p_ == '+' || *p_ == '-') ++p_;
  while (IsDigit(*p_)) ++p_;
}

void TFountainParser::ScanNumber() {
  tokenKind_ = ttInteger;
  while (IsDigit(*p_)) ++p_;
  if (*p_ == '.') {
    tokenKind_ = ttFloat;
    ++p_;
    if (IsDigit(*p_)) {
      while (IsDigit(*p_)) ++p_;
      if (*p_ == 'E' || *p_ == 'e') ScanExponent();
    } else if (*p_ == 'E' || *p_ == 'e') {
      ScanExponent();
    } else {
      --p_;  // the dot is not part of the number
    }
  } else if (*p_ == 'E' || *p_ == 'e') {
    tokenKind_ = ttFloat;
    ScanExponent();
  }
}

void TFountainParser::ScanAnk() {
  tokenKind_ = ttAnk;
  while (IsAnkChar(*p_)) ++p_;
}

void TFountainParser::ScanWideSymbol() {
  tokenKind_ = ttWideSymbol;
  const unsigned char lead = p_[0];
  const unsigned char trail = p_[1];
  const bool isSymbol = lead == 0x81 || InRange(lead, 0x84, 0x87) || (lead == 0x83 && InRange(trail, 0x97, 0xF0)) ||
                        (lead == 0x82 && IsSymbolTrail82(trail));
  if (isSymbol) StepChar();
}

void TFountainParser::ScanWideLetters() {
  const unsigned char lead = *p_;
  if (lead != 0x82 && lead != 0x83) {
    tokenKind_ = ttSymbol;  // nothing of this kind here: an empty token
    return;
  }
  ++p_;
  const unsigned char trail = *p_;
  // Further pairs: lead byte then trail range, or one of the extra pairs.
  auto pairAt = [this](unsigned char l, unsigned char lo, unsigned char hi) {
    return p_[0] == l && InRange(p_[1], lo, hi);
  };
  if (lead == 0x82 && InRange(trail, 0x4F, 0x58)) {
    tokenKind_ = ttWideDigit;
    ++p_;
    while (pairAt(0x82, 0x4F, 0x58) || pairAt(0x81, 0x43, 0x44)) p_ += 2;
  } else if (lead == 0x82 && (InRange(trail, 0x60, 0x79) || InRange(trail, 0x81, 0x9A))) {
    tokenKind_ = ttWideAlpha;
    ++p_;
    while (pairAt(0x82, 0x60, 0x79) || pairAt(0x82, 0x81, 0x9A)) p_ += 2;
  } else if (lead == 0x82 && InRange(trail, 0x9F, 0xF1)) {
    tokenKind_ = ttHiragana;
    ++p_;
    while (pairAt(0x82, 0x9F, 0xF1) || pairAt(0x81, 0x5B, 0x5B) || pairAt(0x81, 0x7C, 0x7C)) p_ += 2;
  } else if (lead == 0x83 && InRange(trail, 0x40, 0x96)) {
    tokenKind_ = ttKatakana;
    ++p_;
    while (pairAt(0x83, 0x40, 0x96) || pairAt(0x81, 0x5B, 0x5B) || pairAt(0x81, 0x7C, 0x7C)) p_ += 2;
  } else if ((lead == 0x82 && IsSymbolTrail82(trail)) || (lead == 0x83 && InRange(trail, 0x97, 0xF0))) {
    tokenKind_ = ttWideSymbol;
    ++p_;
  } else {
    // A lead byte without a valid trail (or at the end of the row) stands
    // alone, as a byte no rule recognises.
    tokenKind_ = ttSymbol;
  }
}

void TFountainParser::ScanKanji() {
  tokenKind_ = ttKanji;
  while (IsKanjiLead(*p_)) {
    ++p_;
    if (*p_ >= 0x40) ++p_;
  }
}

void TFountainParser::ScanKanaSymbol() {
  tokenKind_ = ttKanaSymbol;
  if (InRange(*p_, 0xA1, 0xA5)) ++p_;
}

void TFountainParser::ScanKana() {
  tokenKind_ = ttKana;
  while (InRange(*p_, 0xA6, 0xDF)) ++p_;
}

void TFountainParser::ScanSymbol() {
  tokenKind_ = ttSymbol;
  if (!AtRowEnd(*p_)) ++p_;
}

void TFountainParser::ScanQuoted(unsigned char quote, TTokenKind kind) {
  tokenKind_ = kind;
  if (!continuing_ && !AtRowEnd(*p_)) ++p_;  // the opening quote
  while (!AtRowEnd(*p_)) {
    if (*p_ == quote) {
      ++p_;
      if (*p_ != quote) return;
      ++p_;  // a doubled quote stands for one quote
    } else {
      StepChar();
    }
  }
}

void TFountainParser::ScanSingleQuote() { ScanQuoted('\'', ttSingleQuote); }

void TFountainParser::ScanDoubleQuote() { ScanQuoted('"', ttDoubleQuote); }

bool TFountainParser::IsReserved() {
  if (continuing_ || fountain_ == nullptr) return false;
  if (tokenKind_ == ttEnd || tokenKind_ == ttBracket || tokenKind_ == ttComment) return false;
  const TStringList* words = fountain_->ReserveWordList();
  if (words->Count() == 0) return false;
  int index = 0;
  return words->Find(TokenStr(), index);
}

void TFountainParser::FinalKind(TTokenKind& kind) {
  if (IsReserved()) kind = ttReserve;
}

TTokenKinds TFountainParser::CarriedKinds() const {
  TTokenKinds kinds;
  kinds.set(ttComment).set(ttSingleQuote).set(ttDoubleQuote);
  return kinds;
}

TTokenKinds TFountainParser::LineKinds() const {
  TTokenKinds kinds;
  kinds.set(ttComment);
  return kinds;
}

void TFountainParser::ScanRowState(int index, TRowAttributeStringList& strings, TRowAttributeData& data) {
  if (LineKinds().test(data.PrevToken)) {
    // The whole row is the carried token; it goes on only past a wrap.
    if (data.RowAttribute != raWrapped) data.PrevToken = 0;
    data.WrappedByte = 0;
    return;
  }
  const std::string_view row = strings.StringRef(index);
  if (IsAllSpaces(row)) return;
  if (data.RowAttribute != raWrapped && data.BracketIndex == -1 && !MayLeavePlainState(row)) {
    data.PrevToken = 0;
    data.WrappedByte = 0;
    return;
  }
  const int len = static_cast<int>(row.size());
  const bool hasNext = index + 1 < strings.Count();
  // A token crossing the wrap is scanned whole; only then is the row copied.
  std::string joined;
  if (data.RowAttribute == raWrapped && hasNext) joined.append(row).append(strings.StringRef(index + 1));
  const std::string_view s = joined.empty() ? row : std::string_view(joined);

  int savedBracket = data.BracketIndex;
  int savedElement = data.ElementIndex;
  TTokenKind lastKind = ttEnd;
  StartRow(s, data);
  while (ScanToken() != ttEnd) {
    lastKind = tokenKind_;
    data.BracketIndex = bracketIndex_;
    if (tokenKind_ == ttBracket) savedBracket = tokenBracketIndex_;
    savedElement = elementIndex_;
    if (TokenOffset() + TokenSize() > len) break;  // this token crosses the row end
    data.ElementIndex = elementIndex_;
    data.StartToken = startToken_;
  }
  data.WrappedByte = 0;
  data.PrevToken = 0;
  if (tokenKind_ != ttEnd && TokenOffset() >= len) {
    // The loop stopped at a token wholly in the next row.
    data.BracketIndex = -1;
    return;
  }
  const int after = TokenOffset() + TokenSize();
  if (!(TokenOffset() < len && len < after)) return;
  data.ElementIndex = savedElement;
  if (lastKind == ttBracket) {
    if (data.BracketIndex != -1) return;  // still open: the next row starts inside it
    // The region closes in the next row.
    data.BracketIndex = savedBracket;
    if (RightBracketLength(savedBracket) > after - len) {
      // The row break falls inside the closer.
      data.PrevToken = ttBracket;
      data.WrappedByte = after - len;
    }
    return;
  }
  FinalKind(lastKind);
  data.PrevToken = lastKind;
  if (CarriedKinds().test(lastKind)) return;
  const bool endsBeforeEnd = after < static_cast<int>(s.size());
  if (endsBeforeEnd || (hasNext && strings.RowAttributes(index + 1) != raWrapped)) data.WrappedByte = after - len;
}

bool TFountainParser::MayLeavePlainState(std::string_view row) const {
  if (fountain_ == nullptr) return false;
  const TFountainBracketCollection* brackets = fountain_->Brackets();
  const int count = brackets->Count();
  for (int i = 0; i < count; ++i) {
    const std::string& left = brackets->Items(i)->LeftBracket();
    if (!left.empty() && std::memchr(row.data(), left[0], row.size()) != nullptr) return true;
  }
  return false;
}

std::unique_ptr<TTokenParser> TTokenParser::Create() {
  std::unique_ptr<TTokenParser> parser(new TTokenParser());
  parser->InitTables();
  return parser;
}

}  // namespace corvida
