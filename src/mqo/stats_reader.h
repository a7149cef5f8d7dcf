#pragma once
// TStatsReader reads the chunk structure of a model, byte by byte, for its
// statistics: the literal reader, which the fast path (fast_stats.h) hands
// every line it does not read itself.
//
// The text is lines of statements. A statement is the tokens between a line
// feed, '{' or '}' and the next: words (runs of bytes other than blanks,
// NUL, '"', and the brackets "{}()[]"), strings ("..." on one line), and
// those brackets. A statement ending in '{' opens a chunk of the kind its
// first word names; '}' closes one. "Eof" as the first word of a statement
// outside any chunk ends the model; the rest of the input is not read. A
// line ending in '[', a count and ']' is followed by that many bytes of
// binary data.
//
// What counts: "CodePage utf8" before the first chunk; Object "name" chunks
// with their fields visible, mirror, mirror_axis, patch and lathe, their
// vertex and BVertex counts and their face chunks; the entries (lines
// beginning with a name) of Material chunks. A face line is a statement in
// a face chunk: its first word is its count of vertices, the words in its
// first V(...) the vertices it lists, the first word in its first M(...)
// its material; V and M count only outside other brackets.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mqo/model_stats.h"

namespace corvida {

class TStatsReader {
 public:
  // The bytes an object's name is cut to.
  static constexpr size_t kNameLimit = 1024;
  // The bytes of a word that are kept: enough for every keyword.
  static constexpr size_t kWordLimit = 64;

  explicit TStatsReader(TStatsTally& tally) : tally_(tally) {}

  // Reads the next bytes of the model; a piece may end anywhere. Raises
  // EModelError.
  void Feed(std::string_view bytes);
  // The end of the model. Raises EModelError when it ends inside a chunk, a
  // string or a binary block.
  TModelStats Finish();
  // "Eof" was read: the rest of the input does not count.
  bool Done() const { return done_; }

  // Where the reader stands, for the fast path. Right after a line feed,
  // with no binary block to pass, the next line starts afresh; what its
  // statements mean depends only on the chunk the reader is in.
  bool AtLineStart() const { return atLineStart_; }
  enum TPlace : uint8_t {
    // Statements count here: outside chunks, in an object or a Material.
    rpCounting,
    // In a face chunk: each statement is a face line.
    rpFaces,
    // In any other chunk: statements count for nothing; only the chunk
    // structure and an "Eof" out of place matter.
    rpPassing,
  };
  TPlace Place() const;
  uint64_t Line() const { return line_; }
  bool InBinary() const { return lex_ == lsBinary; }
  // Lines the fast path read itself.
  void PassLines(uint64_t count) { line_ += count; }

 private:
  enum TLexState : uint8_t { lsBlank, lsWord, lsString, lsBinary };
  enum TChunkKind : uint8_t { ckOther, ckObject, ckMaterial, ckFaces };
  // The chunk a statement stands in, as far as it matters.
  enum TContext : uint8_t { cxTop, cxObject, cxMaterial, cxFaces, cxOther };
  // What a statement is, from the place and its first token.
  enum THead : uint8_t { hdNone, hdIgnored, hdObject, hdMaterial, hdCodePage, hdVertices, hdFaces, hdField, hdFaceLine, hdEntry };
  // A binary block is announced by '[', a count and ']' ending a line.
  enum TBlockState : uint8_t { bsNone, bsOpen, bsCount, bsClose };
  // The bracketed group of a face line being read.
  enum TGroup : uint8_t { grNone, grV, grM };
  enum TTokenKind : uint8_t { tkWordToken, tkStringToken, tkBracket };

  [[noreturn]] void Error(std::string text) const;
  // The outermost open chunk, for messages.
  std::string ChunkText() const;
  // A count of the statistics: none for a word that is no whole number or
  // below 0; raises EModelError for one too large.
  std::optional<uint64_t> Count(const TWholeNumber& number) const;
  // A value of a field, or a material: -1 for a word that is no whole
  // number; raises EModelError for one too large.
  int64_t Value(const TWholeNumber& number) const;
  TContext Context() const;

  void StartWord(char c);
  void AddToWord(char c);
  void EndWord();
  void EndLine();
  const char* PassBinary(const char* p, const char* end);

  void TrackBlock(TTokenKind kind, char bracket);
  void Token(TTokenKind kind, char bracket);
  void FirstToken(TTokenKind kind);
  void FaceLineToken(TTokenKind kind, char bracket);
  void OpenChunk();
  void CloseChunk();
  void EndStatement();

  TStatsTally& tally_;
  uint64_t line_ = 1;
  bool atLineStart_ = true;
  bool done_ = false;

  TLexState lex_ = lsBlank;
  std::string word_;
  TWholeNumber number_;
  uint8_t shape_ = 0;
  std::string string_;
  bool stringCut_ = false;
  uint64_t binaryLeft_ = 0;
  uint64_t binaryLine_ = 0;

  // The chunks open, and the kinds of the outer two.
  uint64_t level_ = 0;
  TChunkKind outer_ = ckOther;
  TChunkKind second_ = ckOther;
  bool chunkSeen_ = false;
  std::string outerKeyword_;
  uint64_t outerLine_ = 0;

  // The statement being read.
  THead head_ = hdNone;
  uint64_t tokens_ = 0;
  uint64_t statementLine_ = 0;
  std::string keyword_;
  std::string name_;
  bool named_ = false;
  TWholeNumber value_;
  TObjectField field_ = ofVisible;
  TBlockState block_ = bsNone;
  TWholeNumber blockCount_;
  // A face line.
  std::optional<uint64_t> corners_;
  uint64_t listed_ = 0;
  int64_t material_ = -1;
  uint64_t depth_ = 0;
  TGroup group_ = grNone;
  TGroup pending_ = grNone;
  bool vSeen_ = false;
  bool mSeen_ = false;
  bool materialTaken_ = false;
};

}  // namespace corvida
