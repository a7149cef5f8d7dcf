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
// a sort mode at the end in O(n log n). Identical lines one after another
// (the same name and count) are held once with their number, so that a
// model of a million "face 1" lines costs what one does.
class TFaceCounts : public TFaceTally {
 public:
  struct TLine {
    int32_t count;
    const std::string& name;
    // Where the line stood in the file's order.
    uint64_t fileIndex;
  };

  explicit TFaceCounts(TReportSpelling spelling = rsCp932) : spelling_(spelling) {}

  // The order InsertSorted gives when the lines arrive one by one.
  void Sort(int sortMode);
  uint64_t LineCount() const { return lineCount_; }
  // Calls each(const TLine&) for the lines in their order.
  template <class F>
  void ForEachLine(F&& each) const {
    for (const TRun& run : runs_) {
      for (uint64_t i = 0; i < run.length; ++i) {
        // Sorting reverses the file's order, the runs' insides too.
        each(TLine{run.count, names_[run.name], reversed_ ? run.first + run.length - 1 - i : run.first + i});
      }
    }
  }

 protected:
  void FaceLine(int32_t count) override;
  void NameBegun() override { nameKept_ = false; }

 private:
  struct TRun {
    int32_t count;
    uint32_t name;
    uint64_t first;
    uint64_t length;
  };
  std::vector<std::string> names_;
  std::vector<TRun> runs_;
  uint64_t lineCount_ = 0;
  TReportSpelling spelling_;
  bool nameKept_ = false;
  bool reversed_ = false;
};

// The count an object line is sorted by: its first 8 bytes read as a number.
int32_t SortKey(int32_t count);

}  // namespace corvida
