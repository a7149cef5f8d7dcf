#include "editor/model/scan_state.h"

#include <algorithm>

namespace corvida {

TRowAttributeData InitialScanState() {
  TRowAttributeData data;
  data.RowAttribute = raCrlf;
  data.PrevRowAttribute = raCrlf;
  data.BracketIndex = -1;
  return data;
}

TRowAttributeData StoredScanState(const TRowAttributeStringList& rows, int row) {
  TRowAttributeData data;
  data.RowAttribute = rows.RowAttributes(row);
  data.PrevRowAttribute = rows.PrevRowAttributes(row);
  data.BracketIndex = rows.BracketIndexes(row);
  data.ElementIndex = rows.ElementIndexes(row);
  data.WrappedByte = rows.WrappedBytes(row);
  data.Remain = rows.Remains(row);
  data.PrevToken = rows.PrevTokens(row);
  data.StartToken = rows.StartTokens(row);
  data.DataStr = rows.DataStrings(row);
  return data;
}

void StoreScanState(TRowAttributeStringList& rows, int row, const TRowAttributeData& data) {
  rows.SetPrevRowAttributes(row, data.PrevRowAttribute);
  rows.SetBracketIndexes(row, data.BracketIndex);
  rows.SetElementIndexes(row, data.ElementIndex);
  rows.SetWrappedBytes(row, data.WrappedByte);
  rows.SetRemains(row, data.Remain);
  rows.SetPrevTokens(row, data.PrevToken);
  rows.SetStartTokens(row, data.StartToken);
  rows.SetDataStrings(row, data.DataStr);
}

bool SameScanState(const TRowAttributeStringList& rows, int row, const TRowAttributeData& data) {
  return rows.PrevRowAttributes(row) == data.PrevRowAttribute && rows.BracketIndexes(row) == data.BracketIndex &&
         rows.ElementIndexes(row) == data.ElementIndex && rows.WrappedBytes(row) == data.WrappedByte &&
         rows.Remains(row) == data.Remain && rows.PrevTokens(row) == data.PrevToken &&
         rows.StartTokens(row) == data.StartToken && rows.DataStrings(row) == data.DataStr;
}

void InvalidateScanState(TRowAttributeStringList& rows, int row) {
  // Every scan field packed as 0 reads as the invalid state (the bracket
  // index is biased by 2); only how the row ends and its marks are kept.
  constexpr uint32_t kRowAttributeBits = 0x00000003;
  constexpr uint32_t kRowMarkBits = 0xFFFF0000;
  rows.SetAttributes(row, rows.Attributes(row) & kRowAttributeBits);
  rows.SetAttributes2(row, rows.Attributes2(row) & kRowMarkBits);
  if (!rows.DataStrings(row).empty()) rows.SetDataStrings(row, std::string());
}

bool ScanStateValid(const TRowAttributeStringList& rows, int row) { return rows.BracketIndexes(row) != -2; }

int FirstRowNotComputed(const TRowAttributeStringList& rows) {
  int low = 0;
  int high = rows.Count();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (ScanStateValid(rows, middle))
      low = middle + 1;
    else
      high = middle;
  }
  return low;
}

int RescanRowStates(TRowAttributeStringList& rows, int row, TRowScanner& scanner, int window, bool notify,
                    const std::function<void(int row)>& rewritten) {
  const int count = rows.Count();
  if (row < 0 || row >= count) return 0;
  // Start after the nearest row above whose state is known.
  int first = row - 1;
  while (first >= 0 && !ScanStateValid(rows, first)) --first;
  TRowAttributeData running = InitialScanState();
  int start = 0;
  if (first >= 0) {
    running = StoredScanState(rows, first);
    scanner.ScanRowState(first, rows, running);
    running.PrevRowAttribute = rows.RowAttributes(first);
    start = first + 1;
  }
  const int limit = std::min(row + window, count - 1);
  int rewrittenCount = 0;
  for (int r = start; r <= limit; ++r) {
    if (SameScanState(rows, r, running)) return rewrittenCount;  // the rest is still right
    running.RowAttribute = rows.RowAttributes(r);
    StoreScanState(rows, r, running);
    if (notify) {
      ++rewrittenCount;
      if (rewritten) rewritten(r);
    }
    scanner.ScanRowState(r, rows, running);
    running.PrevRowAttribute = rows.RowAttributes(r);
  }
  // The computed rows are always the first rows of the text (a scan starts
  // below the last computed row above it), so the marking ends at the first
  // row that is already not computed.
  for (int r = limit + 1; r < count && ScanStateValid(rows, r); ++r) InvalidateScanState(rows, r);
  return rewrittenCount;
}

void InitRowStates(TRowAttributeStringList& rows, TRowScanner& scanner, int limit) {
  const int count = rows.Count();
  for (int r = 0; r < count; ++r) InvalidateScanState(rows, r);
  TRowAttributeData running = InitialScanState();
  for (int r = 0; r <= std::min(limit, count - 1); ++r) {
    running.RowAttribute = rows.RowAttributes(r);
    StoreScanState(rows, r, running);
    scanner.ScanRowState(r, rows, running);
    running.PrevRowAttribute = rows.RowAttributes(r);
  }
}

}  // namespace corvida
