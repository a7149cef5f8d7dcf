#pragma once
// Upkeep of the scan state stored per row: the state the highlighter has at
// the start of the row, plus the attribute of the row above at that time.
// After an edit only the rows whose state changed are rescanned, and rows
// below a window are only marked not computed; they are scanned when shown.
#include <functional>

#include "editor/model/row_attribute_string_list.h"
#include "editor/model/editor_view.h"

namespace corvida {

// The state the text starts with.
TRowAttributeData InitialScanState();
// The stored state of row, with its own attribute as RowAttribute.
TRowAttributeData StoredScanState(const TRowAttributeStringList& rows, int row);
// Stores every scan field of data into row; the row's attribute stays.
void StoreScanState(TRowAttributeStringList& rows, int row, const TRowAttributeData& data);
// The stored scan fields of row equal those of data (RowAttribute aside).
bool SameScanState(const TRowAttributeStringList& rows, int row, const TRowAttributeData& data);
// Marks row as not computed (BracketIndex -2).
void InvalidateScanState(TRowAttributeStringList& rows, int row);
bool ScanStateValid(const TRowAttributeStringList& rows, int row);
// The first row not computed (the row count when every row is): the computed
// rows are always the first rows of the text.
int FirstRowNotComputed(const TRowAttributeStringList& rows);

// Brings the stored state up to date from row on, over at most window rows
// below it, stopping at the first row whose stored state is already right;
// past the window every computed row is marked not computed. The computed
// rows stay the first rows of the text. When notify is set,
// rewritten is called with each row whose state was rewritten, and the
// number of those rows is returned (0 otherwise).
int RescanRowStates(TRowAttributeStringList& rows, int row, TRowScanner& scanner, int window, bool notify,
                    const std::function<void(int row)>& rewritten);

// Marks every row not computed, then scans rows 0 to limit from the start.
void InitRowStates(TRowAttributeStringList& rows, TRowScanner& scanner, int limit);

}  // namespace corvida
