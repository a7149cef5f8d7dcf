#include "editor/model/line_index.h"

#include <algorithm>
#include <bit>

namespace corvida {
namespace {

// Blocks are cut at this many rows, cut up above the largest size and joined
// to a neighbour below the smallest, so that a question reads at most a few
// hundred rows and the tree stays small.
constexpr int kBlockRows = 256;
constexpr int kMaxBlockRows = 512;
constexpr int kMinBlockRows = 64;

int64_t RowsWeight(const TRowTotals& t) { return t.rows; }
int64_t LinesWeight(const TRowTotals& t) { return t.rows - t.wrapped; }
int64_t OffsetWeight(const TRowTotals& t) { return t.Offset(); }
int64_t EofWeight(const TRowTotals& t) { return t.eof; }

TRowTotals OneRow(size_t length, TRowAttribute attribute) {
  TRowTotals t;
  t.rows = 1;
  t.crlf = attribute == raCrlf;
  t.wrapped = attribute == raWrapped;
  t.eof = attribute == raEof;
  t.bytes = static_cast<int64_t>(length);
  return t;
}

TRowTotals Negated(const TRowTotals& t) {
  TRowTotals n;
  n -= t;
  return n;
}

}  // namespace

TRowTotals& TRowTotals::operator+=(const TRowTotals& o) {
  rows += o.rows;
  crlf += o.crlf;
  wrapped += o.wrapped;
  eof += o.eof;
  bytes += o.bytes;
  return *this;
}

TRowTotals& TRowTotals::operator-=(const TRowTotals& o) {
  rows -= o.rows;
  crlf -= o.crlf;
  wrapped -= o.wrapped;
  eof -= o.eof;
  bytes -= o.bytes;
  return *this;
}

TRowTotals TLineIndex::RowTotals(int row) const { return OneRow(rows_.StringRef(row).size(), rows_.RowAttributes(row)); }

TRowTotals TLineIndex::Sum(int from, int to) const {
  TRowTotals t;
  for (int r = from; r < to; ++r) t += RowTotals(r);
  return t;
}

void TLineIndex::RowsInserted(int index, int count) {
  if (count <= 0) return;
  if (index >= total_.rows) {
    // Appending (loading) fills the last block and opens new ones: nothing
    // before them moves.
    for (int r = index, end = index + count; r < end;) {
      if (blocks_.empty() || blocks_.back().rows >= kBlockRows) {
        blocks_.emplace_back();
        treeValid_ = false;
      }
      const int take = std::min(end - r, kBlockRows - static_cast<int>(blocks_.back().rows));
      AddToBlock(blocks_.size() - 1, Sum(r, r + take));
      r += take;
    }
    return;
  }
  int start = 0;
  const size_t k = Locate(index, start);
  if (blocks_[k].rows + count <= kMaxBlockRows) {
    AddToBlock(k, Sum(index, index + count));
    return;
  }
  CutUp(k, start, start + static_cast<int>(blocks_[k].rows) + count);
}

void TLineIndex::RowsRemoving(int index, int count) {
  if (count <= 0) return;
  if (index == 0 && count >= total_.rows) {
    blocks_.clear();
    total_ = {};
    Structural();
    return;
  }
  int start = 0;
  const size_t k = Locate(index, start);
  const int end = index + count;
  // The first and the last block touched may keep some rows; those between
  // them go whole.
  size_t j = k;
  size_t wholeFrom = blocks_.size();
  size_t wholeTo = wholeFrom;
  bool firstKept = false;
  bool lastKept = false;
  for (int s = start; s < end; ++j) {
    const int n = static_cast<int>(blocks_[j].rows);
    const int lo = std::max(index, s);
    const int hi = std::min(end, s + n);
    if (lo == s && hi == s + n) {
      if (wholeFrom == blocks_.size()) wholeFrom = j;
      wholeTo = j + 1;
      total_ -= blocks_[j];
    } else {
      AddToBlock(j, Negated(Sum(lo, hi)));
      (j == k ? firstKept : lastKept) = true;
    }
    s += n;
  }
  const size_t last = j - 1;
  if (wholeFrom < wholeTo) {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(wholeFrom),
                  blocks_.begin() + static_cast<std::ptrdiff_t>(wholeTo));
    Structural();
  }
  // The later block first, so that joining it leaves the earlier in place.
  if (lastKept) JoinSmall(last - (wholeTo - wholeFrom));
  if (firstKept) JoinSmall(k);
}

void TLineIndex::RowChanged(int index, size_t oldLength, TRowAttribute oldAttribute) {
  TRowTotals delta = RowTotals(index);
  const TRowTotals was = OneRow(oldLength, oldAttribute);
  if (delta == was) return;
  delta -= was;
  int start = 0;
  AddToBlock(Locate(index, start), delta);
}

TRowTotals TLineIndex::Before(int row) const {
  if (row <= 0) return {};
  if (row >= total_.rows) return total_;
  TRowTotals before;
  const size_t k = SeekBlock(RowsWeight, row, before);
  const int start = static_cast<int>(before.rows);
  const int end = start + static_cast<int>(blocks_[k].rows);
  // Read the shorter side of the block.
  if (row - start <= end - row) {
    before += Sum(start, row);
    return before;
  }
  before += blocks_[k];
  before -= Sum(row, end);
  return before;
}

int TLineIndex::NotWrappedRow(int64_t n) const { return SeekRow(LinesWeight, n - 1); }

int TLineIndex::RowEndingPast(int64_t offset) const { return SeekRow(OffsetWeight, offset); }

int TLineIndex::EofRowFrom(int row) const {
  if (row >= total_.rows) return static_cast<int>(total_.rows);
  return SeekRow(EofWeight, Before(row).eof);
}

void TLineIndex::EnsureTree() const {
  if (treeValid_) return;
  const size_t m = blocks_.size();
  tree_.assign(m + 1, TRowTotals());
  for (size_t i = 1; i <= m; ++i) {
    tree_[i] += blocks_[i - 1];
    const size_t up = i + (i & -i);
    if (up <= m) tree_[up] += tree_[i];
  }
  treeValid_ = true;
}

void TLineIndex::AddToBlock(size_t k, const TRowTotals& delta) {
  blocks_[k] += delta;
  total_ += delta;
  if (treeValid_)
    for (size_t i = k + 1; i < tree_.size(); i += i & -i) tree_[i] += delta;
  // The blocks after k begin elsewhere now.
  if (delta.rows != 0 && cachedBlock_ > k) cachedStart_ = -1;
}

size_t TLineIndex::Locate(int row, int& start) const {
  if (cachedStart_ >= 0) {
    // The block found last or the one after it.
    int s = cachedStart_;
    for (size_t k = cachedBlock_; k < blocks_.size() && k <= cachedBlock_ + 1; ++k) {
      const int end = s + static_cast<int>(blocks_[k].rows);
      if (row >= s && row < end) {
        cachedBlock_ = k;
        cachedStart_ = s;
        start = s;
        return k;
      }
      s = end;
    }
  }
  TRowTotals before;
  cachedBlock_ = SeekBlock(RowsWeight, row, before);
  cachedStart_ = static_cast<int>(before.rows);
  start = cachedStart_;
  return cachedBlock_;
}

template <typename Weight>
size_t TLineIndex::SeekBlock(Weight weight, int64_t target, TRowTotals& before) const {
  EnsureTree();
  const size_t m = blocks_.size();
  size_t pos = 0;
  before = {};
  for (size_t step = std::bit_floor(m); step > 0; step >>= 1) {
    if (pos + step > m) continue;
    TRowTotals next = before;
    next += tree_[pos + step];
    if (weight(next) <= target) {
      pos += step;
      before = next;
    }
  }
  return pos;
}

template <typename Weight>
int TLineIndex::SeekRow(Weight weight, int64_t target) const {
  TRowTotals running;
  const size_t k = SeekBlock(weight, target, running);
  if (k == blocks_.size()) return static_cast<int>(total_.rows);
  const int end = static_cast<int>(running.rows + blocks_[k].rows);
  for (int r = static_cast<int>(running.rows); r < end; ++r) {
    running += RowTotals(r);
    if (weight(running) > target) return r;
  }
  return end;
}

void TLineIndex::CutUp(size_t k, int from, int to) {
  std::vector<TRowTotals> fresh;
  const int pieces = std::max(1, (to - from + kBlockRows - 1) / kBlockRows);
  for (int i = 0; i < pieces; ++i) {
    const int lo = from + static_cast<int>(int64_t{to - from} * i / pieces);
    const int hi = from + static_cast<int>(int64_t{to - from} * (i + 1) / pieces);
    fresh.push_back(Sum(lo, hi));
    total_ += fresh.back();
  }
  total_ -= blocks_[k];
  const auto at = blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(k));
  blocks_.insert(at, fresh.begin(), fresh.end());
  Structural();
}

void TLineIndex::JoinSmall(size_t k) {
  if (blocks_[k].rows >= kMinBlockRows) return;
  size_t into = k;
  if (k + 1 < blocks_.size() && blocks_[k].rows + blocks_[k + 1].rows <= kMaxBlockRows)
    into = k + 1;
  else if (k > 0 && blocks_[k - 1].rows + blocks_[k].rows <= kMaxBlockRows)
    into = k - 1;
  if (into == k) return;
  const size_t low = std::min(k, into);
  blocks_[low] += blocks_[low + 1];
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(low + 1));
  Structural();
}

void TLineIndex::Structural() {
  treeValid_ = false;
  cachedStart_ = -1;
}

}  // namespace corvida
