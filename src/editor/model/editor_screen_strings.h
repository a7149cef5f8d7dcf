#pragma once
// The editor's row store. TEditorScreenStrings keeps the text as screen rows
// (a line cut by word wrap is several rows), serves one or more views, owns
// the undo manager and the wrap options, and makes every change of text
// through one edit primitive, ChangeRows, which records undo, rewraps the
// touched lines, carries row marks, rescans and publishes the changed range.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/model/column_map.h"
#include "editor/model/editor_undo.h"
#include "editor/model/editor_view.h"
#include "editor/model/editor_wrap_option.h"
#include "editor/model/line_index.h"
#include "editor/model/row_attribute_string_list.h"

namespace corvida {

// A row list of the store's layout: the store itself, and the temporary row
// sets of editing and box selection.
class TEditorStringList : public TRowAttributeStringList {
 public:
  CORVIDA_CLASS_NAME(TEditorStringList)

  // Whole rows in and out, moved rather than copied.
  std::vector<TqdStringItem> TakeRows(int index, int count) { return ExtractItems(index, count); }
  void InsertRows(int index, std::vector<TqdStringItem>&& rows) { InsertItems(index, std::move(rows)); }
};

class TEditorScreenStrings : public TEditorStringList {
 public:
  CORVIDA_CLASS_NAME(TEditorScreenStrings)
  TEditorScreenStrings();
  ~TEditorScreenStrings() override;

  // Views. The store is freed when its last view leaves.
  void AddView(TEditorView* view);
  void RemoveView(TEditorView* view);
  int ViewCount() const { return static_cast<int>(views_.size()); }
  TEditorView* Views(int index) const { return views_.at(static_cast<size_t>(index)); }
  TEditorView* FirstView() const { return views_.empty() ? nullptr : views_.front(); }
  // The first focused view, else the first view.
  TEditorView* ActiveView() const;

  int FirstRowOfLine(int row) const;
  int LastRowOfLine(int row) const;
  // Rows row..row+n-1 (n -1: to the end of row's line) joined, each raCrlf
  // row followed by CR LF.
  void GetRowsText(int row, int n, TRowAttribute& lastAttribute, int& rowCount, std::string& text) const;
  // Rows first..last (stored rows) joined the same way, and the bytes one
  // row adds to such a text.
  std::string JoinRows(int first, int last) const;
  size_t JoinedSize(int row) const;
  // Returns the union of the deleted rows' marks.
  TRowMarks DeleteRows(int row, int n);
  // Replaces oldCount rows from row by newRows (emptied), carrying marks.
  void PutRows(int row, int oldCount, TEditorStringList& newRows);
  void PutRows(int row, int oldCount, std::vector<TqdStringItem>&& newRows);
  // The edit primitive: replaces rows row..row+n-1 by text s (CR LF breaks
  // allowed); n 0 inserts s before row.
  void ChangeRows(int row, int n, std::string_view s);

  // Conversions between rows, lines and character offsets, answered from
  // the store's index of its rows without walking the text.
  // Logical lines: rows not raWrapped, and the last row when it is.
  int LineCount() const;
  // The row reached after line lines have been passed from row 0 (the row
  // count for the line count); more lines than there are is a list index
  // error.
  int LineStartRow(int line) const;
  // The raCrlf rows above row.
  int BreaksBefore(int row) const;
  // The byte length of every row plus 2 for each line break.
  int TextLength() const;
  // The characters before row as caret offsets count them: each row's bytes,
  // plus 2 after a raCrlf row and 1 after a raEof row.
  int RowOffset(int row) const;
  // Walks offset characters on from row: the first row whose length exceeds
  // what is left of offset, or which is raEof; offset becomes what is left.
  // The row count when the rows run out.
  int RowAtOffset(int row, int& offset) const;

  void SetUpdateInfo(int row, int oldCount, int scanCount, int newCount);
  int UpdateRow() const { return updateRow_; }
  int UpdateOldCount() const { return updateOldCount_; }
  int UpdateNewCount() const { return updateNewCount_; }
  int UpdateScanCount() const { return updateScanCount_; }
  bool UpdatePending() const { return updatePending_; }

  virtual void ExcludeMarks(TRowMarks marks);
  virtual void IncludeMarks(TRowMarks marks);
  virtual TRowMarks UsedMarks() const { return usedMarks_; }
  virtual void Redo();
  virtual void Undo();
  TEditorUndoObj& UndoObj();

  // Word wrap.
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TEditorWrapOption& WrapOption();
  void WrapOptionChange(TObject* sender);
  // Cuts s into rows (rows is cleared first); every row but a line's last is
  // raWrapped.
  virtual void WrapLines(std::string_view s, std::vector<TqdStringItem>& rows);
  void WrapLines(std::string_view s, TEditorStringList& rows);
  // The number of rows WrapLines makes of one line.
  virtual int WrapCount(std::string_view line);
  void WrapAll();
  void UnwrapAll();

  // Highlighting state upkeep; filled in by the highlighter.
  virtual int RescanRows(int row, bool notify);
  virtual void InitScan();
  // Computes up to rows rows from the first row not computed, so that rows
  // far below the view are ready before they are shown; answers whether rows
  // not computed remain. Nothing is repainted: every shown row is computed.
  bool ScanAhead(int rows);

  // The layout rules of the first view (defaults without one).
  TColumnLayout Layout() const;

  // View operations, applied to every view in order.
  void ClampViews();
  void CleanViewSelections();
  void ResetViewColumns();
  void RefreshViews();

  // Empties the text and both undo lists; one change published.
  void Clear() override;

 protected:
  virtual std::unique_ptr<TEditorUndoObj> CreateUndoObj();
  virtual std::unique_ptr<TEditorWrapOption> CreateWrapOption();
  void SetUpdateState(bool updating) override;
  void RowsInserted(int index, int count) override;
  void RowsRemoving(int index, int count) override;
  void RowChanged(int index, size_t oldLength, uint32_t oldAttributes) override;

 private:
  void ViewsChange(TObject* sender);
  bool OwnerLoading() const;
  // Cuts one line; emit(piece, attribute) for each row.
  template <typename Emit>
  void CutLine(std::string_view line, Emit&& emit);
  // Replaces every row by rows, keeping nothing of the old ones.
  void ReplaceAllRows(std::vector<TqdStringItem>&& rows);
  // Rebuilds the rows after a wrap change: undo emptied, rewrap, rescan.
  void Rewrap();

  std::vector<TEditorView*> views_;
  int updateRow_ = 0;
  int updateOldCount_ = 0;
  int updateNewCount_ = 0;
  int updateScanCount_ = 0;
  bool updatePending_ = false;
  TRowMarks usedMarks_;
  std::unique_ptr<TEditorUndoObj> undoObj_;
  bool wordWrap_ = false;
  std::unique_ptr<TEditorWrapOption> wrapOption_;
  TLineIndex lineIndex_{*this};
};

// The union of two mark sets.
inline TRowMarks operator|(TRowMarks a, TRowMarks b) { return TRowMarks(static_cast<uint16_t>(a.Bits() | b.Bits())); }

}  // namespace corvida
