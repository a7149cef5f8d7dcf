#pragma once
// TLineIndex: totals over the rows of the row store (rows, line breaks,
// wrapped rows, end-of-text rows, text bytes), so that converting between
// rows, lines and character offsets never walks the text.
//
// The rows are grouped into blocks of neighbouring rows, each block keeping
// the totals of its rows, and a Fenwick tree over the blocks gives the totals
// before any block in O(log n). A question about one row descends the tree
// and then reads the rows of one block from the list itself. An edit adjusts
// one or two blocks; a block that grows too big is cut up, one that shrinks
// too small joins a neighbour, and the tree is rebuilt at the next question.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/model/row_attribute_string_list.h"

namespace corvida {

// Totals over a run of rows.
struct TRowTotals {
  int64_t rows = 0;
  int64_t crlf = 0;     // raCrlf rows
  int64_t wrapped = 0;  // raWrapped rows
  int64_t eof = 0;      // raEof rows
  int64_t bytes = 0;    // text bytes, line breaks not counted

  // The text's characters: a line break counts 2.
  int64_t TextLength() const { return bytes + 2 * crlf; }
  // The characters a caret offset counts: a line break 2, the end of the
  // text 1.
  int64_t Offset() const { return bytes + 2 * crlf + eof; }

  TRowTotals& operator+=(const TRowTotals& o);
  TRowTotals& operator-=(const TRowTotals& o);
  bool operator==(const TRowTotals&) const = default;
};

class TLineIndex {
 public:
  explicit TLineIndex(const TRowAttributeStringList& rows) : rows_(rows) {}

  // The list's changes: after rows were inserted, before rows are removed,
  // after one row's text or attribute changed.
  void RowsInserted(int index, int count);
  void RowsRemoving(int index, int count);
  void RowChanged(int index, size_t oldLength, TRowAttribute oldAttribute);

  const TRowTotals& Total() const { return total_; }
  // The totals of rows 0..row-1; row is clamped to the rows.
  TRowTotals Before(int row) const;
  // The n-th row (n >= 1) that is not raWrapped; the row count when there
  // are fewer.
  int NotWrappedRow(int64_t n) const;
  // The first row whose end lies more than offset characters (as Offset
  // counts them) after the start of the text; the row count when none.
  int RowEndingPast(int64_t offset) const;
  // The first raEof row at or after row; the row count when none.
  int EofRowFrom(int row) const;

 private:
  TRowTotals RowTotals(int row) const;
  // The totals of rows from..to-1, read from the list.
  TRowTotals Sum(int from, int to) const;
  void EnsureTree() const;
  // Adds delta to block k, its tree nodes and the total.
  void AddToBlock(size_t k, const TRowTotals& delta);
  // The block holding row (0 <= row < the row count) and its first row.
  size_t Locate(int row, int& start) const;
  // The first block k for which weight(totals of blocks 0..k) > target, and
  // the totals of the blocks before it; the block count when none.
  template <typename Weight>
  size_t SeekBlock(Weight weight, int64_t target, TRowTotals& before) const;
  // The first row for which weight(totals of rows 0..row) > target; the row
  // count when none.
  template <typename Weight>
  int SeekRow(Weight weight, int64_t target) const;
  // Cuts block k, now rows from..to-1, into blocks of the usual size.
  void CutUp(size_t k, int from, int to);
  // Joins block k with a neighbour when it has become small.
  void JoinSmall(size_t k);
  // The blocks were cut or joined: the tree and the found block are stale.
  void Structural();

  const TRowAttributeStringList& rows_;
  std::vector<TRowTotals> blocks_;
  TRowTotals total_;
  // tree_[i] (1-based) holds the totals of blocks (i - lowbit(i), i].
  mutable std::vector<TRowTotals> tree_;
  mutable bool treeValid_ = true;
  // The block found last and its first row, for runs of nearby changes.
  mutable size_t cachedBlock_ = 0;
  mutable int cachedStart_ = -1;
};

}  // namespace corvida
