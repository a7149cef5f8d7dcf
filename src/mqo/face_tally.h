#pragma once
// The report's reading of the token stream, one token at a time, so that a
// run can pass from one scanner to another between any two tokens: the
// header, up to the first "{", "Object" or "face", may say "CodePage utf8";
// after "Object" every token up to "{" makes the name (a "{" that is the
// trail byte of a Shift-JIS character included); after "face" the next
// token is the count, and a face line is made of it and the current name.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mqo/face_report.h"

namespace corvida {

class TFaceTally {
 public:
  enum TState : uint8_t { fsHeader, fsCodePage, fsOutside, fsName, fsCount };

  virtual ~TFaceTally() = default;

  // One token of the scanner: its kind and its text.
  void Token(uint8_t kind, std::string_view text);
  // The input ended: a "face" without a count counts 0.
  void End();

  // The same steps for a scanner that finds the keywords itself, in a
  // stretch without bytes from 0x80 on.
  void BeginName();
  void AppendName(std::string_view text) { name_ += text; }
  void EndName() { state_ = fsOutside; }
  void AwaitCount() { state_ = fsCount; }
  void Count(std::string_view text);

  TState State() const { return state_; }
  // Whether the next token may be read by a scanner that finds the keywords
  // itself: the header is over, and no name waits for a trail byte.
  bool KeywordsSuffice() const { return state_ >= fsOutside && !leadPending_; }
  bool Utf8Document() const { return utf8_; }
  const std::string& Name() const { return name_; }
  int64_t Total() const { return total_; }

 protected:
  virtual void FaceLine(int32_t count) = 0;
  virtual void NameBegun() {}

 private:
  TState state_ = fsHeader;
  bool utf8_ = false;
  std::string name_;
  bool leadPending_ = false;
  // Counts are 32-bit, their sum is not: a total must not wrap negative.
  int64_t total_ = 0;
};

// The face lines of one run with each name held once, put into the order of
// a sort mode at the end in O(n log n), and formatted one at a time.
class TFaceCounts : public TFaceTally {
 public:
  explicit TFaceCounts(TReportSpelling spelling = rsCp932) : spelling_(spelling) {}

  // The order InsertSorted gives when the lines arrive one by one.
  void Sort(int sortMode);
  size_t LineCount() const { return lines_.size(); }
  std::string Line(size_t index) const;
  // The parts of a line: its count, its name, and where it stood in the
  // file's order.
  int32_t FaceCount(size_t index) const { return lines_[index].count; }
  const std::string& LineName(size_t index) const { return names_[lines_[index].name]; }
  uint32_t FileIndex(size_t index) const { return lines_[index].fileIndex; }

 protected:
  void FaceLine(int32_t count) override;
  void NameBegun() override { nameKept_ = false; }

 private:
  struct TLine {
    int32_t count;
    uint32_t name;
    uint32_t fileIndex;
  };
  std::vector<std::string> names_;
  std::vector<TLine> lines_;
  TReportSpelling spelling_;
  bool nameKept_ = false;
};

// The count an object line is sorted by: its first 8 bytes read as a number.
int32_t SortKey(int32_t count);

}  // namespace corvida
