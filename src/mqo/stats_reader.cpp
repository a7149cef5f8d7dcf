#include "mqo/stats_reader.h"

#include <algorithm>

namespace corvida {
namespace {

inline bool IsBracket(char c) {
  return c == '{' || c == '}' || c == '(' || c == ')' || c == '[' || c == ']';
}

inline bool IsWordByte(char c) { return static_cast<unsigned char>(c) > ' ' && c != '"' && !IsBracket(c); }

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The shape of a word so far, as a whole number.
enum TShape : uint8_t { shSign, shDigits, shTooLarge, shNot };

}  // namespace

void TStatsReader::Error(std::string text) const { throw EModelError(line_, std::move(text)); }

std::string TStatsReader::ChunkText() const {
  const std::string begun = " begun on line " + std::to_string(outerLine_);
  return outerKeyword_.empty() ? "the chunk" + begun : "the chunk \"" + outerKeyword_ + "\"" + begun;
}

std::optional<uint64_t> TStatsReader::Count(const TWholeNumber& number) const {
  if (number.kind == TWholeNumber::wnTooLarge) Error("a count beyond " + std::to_string(kMaxCount));
  if (number.kind == TWholeNumber::wnNone || number.value < 0) return std::nullopt;
  return static_cast<uint64_t>(number.value);
}

int64_t TStatsReader::Value(const TWholeNumber& number) const {
  if (number.kind == TWholeNumber::wnTooLarge) Error("a number beyond " + std::to_string(kMaxCount));
  return number.kind == TWholeNumber::wnValue ? number.value : -1;
}

TStatsReader::TContext TStatsReader::Context() const {
  if (level_ == 0) return cxTop;
  if (level_ == 1) return outer_ == ckObject ? cxObject : outer_ == ckMaterial ? cxMaterial : cxOther;
  if (level_ == 2 && outer_ == ckObject && second_ == ckFaces) return cxFaces;
  return cxOther;
}

TStatsReader::TPlace TStatsReader::Place() const {
  switch (Context()) {
    case cxFaces: return rpFaces;
    case cxOther: return rpPassing;
    default: return rpCounting;
  }
}

void TStatsReader::Feed(std::string_view bytes) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end && !done_) {
    if (lex_ == lsBinary) {
      p = PassBinary(p, end);
      continue;
    }
    const char c = *p++;
    atLineStart_ = false;
    if (lex_ == lsString) {
      if (c == '"') {
        lex_ = lsBlank;
        Token(tkStringToken, 0);
      } else if (c == '\n' || c == 0) {
        Error(c == 0 ? "a NUL byte in the text" : "a string that is not closed on its line");
      } else if (string_.size() < kNameLimit) {
        string_ += c;
      } else {
        stringCut_ = true;
      }
      continue;
    }
    if (lex_ == lsWord) {
      if (IsWordByte(c)) {
        AddToWord(c);
        continue;
      }
      EndWord();
      if (done_) return;
    }
    if (c == '\n') {
      EndLine();
    } else if (c == 0) {
      Error("a NUL byte in the text");
    } else if (static_cast<unsigned char>(c) <= ' ') {
    } else if (c == '"') {
      lex_ = lsString;
      string_.clear();
      stringCut_ = false;
    } else if (c == '{') {
      OpenChunk();
    } else if (c == '}') {
      CloseChunk();
    } else if (IsBracket(c)) {
      Token(tkBracket, c);
    } else {
      StartWord(c);
    }
  }
}

void TStatsReader::StartWord(char c) {
  lex_ = lsWord;
  word_.assign(1, c);
  number_ = {};
  shape_ = c == '-' ? shSign : IsDigit(c) ? shDigits : shNot;
  if (shape_ == shDigits) number_.value = c - '0';
}

void TStatsReader::AddToWord(char c) {
  if (word_.size() < kWordLimit) word_ += c;
  if (!IsDigit(c)) {
    shape_ = shNot;
  } else if (shape_ == shSign || shape_ == shDigits) {
    number_.value = number_.value * 10 + (c - '0');
    shape_ = number_.value > static_cast<int64_t>(kMaxCount) ? shTooLarge : shDigits;
  }
}

void TStatsReader::EndWord() {
  lex_ = lsBlank;
  if (shape_ == shDigits) {
    number_.kind = TWholeNumber::wnValue;
    if (word_[0] == '-') number_.value = -number_.value;
  } else {
    number_.kind = shape_ == shTooLarge ? TWholeNumber::wnTooLarge : TWholeNumber::wnNone;
  }
  Token(tkWordToken, 0);
}

void TStatsReader::EndLine() {
  const bool block = block_ == bsClose;
  const TWholeNumber blockCount = blockCount_;
  EndStatement();
  ++line_;
  if (block) {
    binaryLeft_ = *Count(blockCount);
    binaryLine_ = line_ - 1;
    if (binaryLeft_ > 0) {
      lex_ = lsBinary;
      return;
    }
  }
  atLineStart_ = true;
}

const char* TStatsReader::PassBinary(const char* p, const char* end) {
  const size_t n = static_cast<size_t>(std::min<uint64_t>(binaryLeft_, static_cast<uint64_t>(end - p)));
  // The block's bytes are data, but a line feed among them is still a line
  // where an editor shows the file.
  line_ += static_cast<uint64_t>(std::count(p, p + n, '\n'));
  binaryLeft_ -= n;
  if (binaryLeft_ == 0) lex_ = lsBlank;
  return p + n;
}

void TStatsReader::TrackBlock(TTokenKind kind, char bracket) {
  if (kind == tkBracket && bracket == '[') {
    block_ = bsOpen;
  } else if (block_ == bsOpen && kind == tkWordToken && number_.kind != TWholeNumber::wnNone && word_[0] != '-') {
    block_ = bsCount;
    blockCount_ = number_;
  } else if (block_ == bsCount && kind == tkBracket && bracket == ']') {
    block_ = bsClose;
  } else {
    block_ = bsNone;
  }
}

void TStatsReader::Token(TTokenKind kind, char bracket) {
  TrackBlock(kind, bracket);
  if (tokens_++ == 0) {
    FirstToken(kind);
    if (done_) return;
  }
  switch (head_) {
    case hdFaceLine:
      FaceLineToken(kind, bracket);
      return;
    case hdObject:
      if (kind == tkStringToken && !named_) {
        named_ = true;
        name_ = string_;
        if (stringCut_)
          tally_.Warn(line_, "the object's name is longer than " + std::to_string(kNameLimit) + " bytes; it is cut there");
      }
      return;
    case hdMaterial:
    case hdCodePage:
    case hdVertices:
    case hdFaces:
    case hdField:
      if (tokens_ != 2) return;
      value_ = kind == tkWordToken ? number_ : TWholeNumber{};
      if (head_ == hdCodePage && !chunkSeen_) tally_.SetUtf8(kind == tkWordToken && word_ == "utf8");
      if (head_ == hdField && value_.kind != TWholeNumber::wnNone) tally_.SetField(field_, Value(value_));
      return;
    default:
      return;
  }
}

void TStatsReader::FirstToken(TTokenKind kind) {
  statementLine_ = line_;
  head_ = hdIgnored;
  const bool word = kind == tkWordToken;
  keyword_ = word ? word_ : std::string();
  if (word && word_ == "Eof") {
    if (level_ > 0) Error("Eof inside " + ChunkText());
    done_ = true;
    return;
  }
  switch (Context()) {
    case cxTop:
      if (!word) return;
      if (word_ == "Object") head_ = hdObject;
      else if (word_ == "Material") head_ = hdMaterial;
      else if (word_ == "CodePage") head_ = hdCodePage;
      return;
    case cxObject:
      if (!word) return;
      if (word_ == "vertex" || word_ == "BVertex") {
        head_ = hdVertices;
      } else if (word_ == "face") {
        head_ = hdFaces;
      } else {
        static constexpr std::pair<std::string_view, TObjectField> kFields[] = {
            {"visible", ofVisible}, {"mirror", ofMirror}, {"mirror_axis", ofMirrorAxis}, {"patch", ofPatch}, {"lathe", ofLathe}};
        for (const auto& [name, field] : kFields) {
          if (word_ == name) {
            head_ = hdField;
            field_ = field;
          }
        }
      }
      return;
    case cxMaterial:
      if (kind == tkStringToken) {
        head_ = hdEntry;
        tally_.MaterialEntry();
      }
      return;
    case cxFaces:
      head_ = hdFaceLine;
      corners_ = word ? Count(number_) : std::nullopt;
      return;
    case cxOther:
      return;
  }
}

void TStatsReader::FaceLineToken(TTokenKind kind, char bracket) {
  if (kind == tkWordToken) {
    if (depth_ == 0) {
      pending_ = word_ == "V" && !vSeen_ ? grV : word_ == "M" && !mSeen_ ? grM : grNone;
      return;
    }
    if (depth_ == 1 && group_ == grV) {
      ++listed_;
    } else if (depth_ == 1 && group_ == grM && !materialTaken_) {
      materialTaken_ = true;
      material_ = Value(number_);
    }
  } else if (kind == tkBracket && bracket == '(') {
    if (depth_ == 0 && pending_ != grNone) {
      group_ = pending_;
      (group_ == grV ? vSeen_ : mSeen_) = true;
    }
    ++depth_;
  } else if (kind == tkBracket && bracket == ')') {
    if (depth_ > 0 && --depth_ == 0) group_ = grNone;
  }
  pending_ = grNone;
}

void TStatsReader::OpenChunk() {
  if (tokens_ == 0) {
    statementLine_ = line_;
    keyword_.clear();
  }
  const std::optional<uint64_t> declared = Count(value_);
  TChunkKind kind = ckOther;
  switch (head_) {
    case hdObject:
      kind = ckObject;
      tally_.BeginObject(std::move(name_));
      break;
    case hdMaterial:
      kind = ckMaterial;
      tally_.BeginMaterials(declared, statementLine_);
      break;
    case hdVertices:
      tally_.AddVertices(declared, statementLine_);
      break;
    case hdFaces:
      kind = ckFaces;
      tally_.BeginFaces(declared, statementLine_);
      break;
    default:
      break;
  }
  if (level_ == 0) {
    outer_ = kind;
    outerKeyword_ = keyword_;
    outerLine_ = statementLine_;
    chunkSeen_ = true;
  } else if (level_ == 1) {
    second_ = kind;
  }
  EndStatement();
  ++level_;
}

void TStatsReader::CloseChunk() {
  EndStatement();
  if (level_ == 0) Error("a } that closes no chunk");
  if (Context() == cxFaces) {
    tally_.EndFaces(line_);
  } else if (level_ == 1 && outer_ == ckObject) {
    tally_.EndObject(line_);
  } else if (level_ == 1 && outer_ == ckMaterial) {
    tally_.EndMaterials(line_);
  }
  --level_;
}

void TStatsReader::EndStatement() {
  if (head_ == hdFaceLine) tally_.Face(corners_, listed_, material_, statementLine_);
  head_ = hdNone;
  tokens_ = 0;
  name_.clear();
  named_ = false;
  value_ = {};
  block_ = bsNone;
  corners_.reset();
  listed_ = 0;
  material_ = -1;
  depth_ = 0;
  group_ = grNone;
  pending_ = grNone;
  vSeen_ = false;
  mSeen_ = false;
  materialTaken_ = false;
}

TModelStats TStatsReader::Finish() {
  if (!done_) {
    if (lex_ == lsString) Error("a string that is not closed on its line");
    if (lex_ == lsBinary) {
      Error("the file ends inside the binary block of " + std::to_string(binaryLeft_) +
            " more bytes announced on line " + std::to_string(binaryLine_));
    }
    if (lex_ == lsWord) EndWord();
  }
  const uint64_t lastLine = atLineStart_ && line_ > 1 ? line_ - 1 : line_;
  if (!done_) {
    EndStatement();
    if (level_ > 0) throw EModelError(lastLine, "the file ends inside " + ChunkText());
  }
  return tally_.Finish(done_, lastLine);
}

}  // namespace corvida
