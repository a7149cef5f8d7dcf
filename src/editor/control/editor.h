#pragma once
// TEditor, the text-editor window. It owns its settings objects, joins a row
// store as one of its views, maps screen rows and display columns to pixels
// with its font, and keeps the caret, the first visible row and column and
// the scroll bars in step with each other.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/control/editor_bar_settings.h"
#include "editor/control/editor_caret_settings.h"
#include "editor/control/editor_fountain_link.h"
#include "editor/control/editor_margin_view.h"
#include "editor/control/editor_mark_settings.h"
#include "editor/control/editor_selection.h"
#include "editor/control/editor_settings_change.h"
#include "editor/control/editor_speed.h"
#include "editor/control/editor_view_info.h"
#include "editor/highlight/fountain_parser.h"
#include "editor/model/editor_screen.h"
#include "editor/model/editor_screen_strings.h"
#include "editor/model/editor_strings.h"
#include "editor/model/text_search.h"
#include "platform/toolkit/controls.h"
#include "platform/toolkit/img_list.h"

namespace corvida {

class TFountainParser;
class TEditorPopupMenu;

// Called for every painted text row (each part of a row split by the
// selection): the row text, its x and y, the row index, the rectangle and
// whether the part is selected.
using TDrawLineEvent = TEvent<TObject*, const std::string&, int, int, int, const TRect&, bool>;

class TEditor : public TCustomControl,
                public TEditorView,
                public TEditorScreenView,
                public TEditorSettingsHost {
 public:
  CORVIDA_CLASS_NAME(TEditor)
  // Builds an editor of class T; the second step reaches T's factories.
  template <class T = TEditor>
  static T* Create(TComponent* owner) {
    T* editor = new T(owner);
    editor->AfterConstruction();
    return editor;
  }
  ~TEditor() override;

  using TComponent::Destroying;

  // Settings objects; the setters assign into the owned objects.
  TEditorCaret* Caret() const { return caret_.get(); }
  void SetCaret(const TEditorCaret* value) { caret_->Assign(value); }
  TEditorImagebar* Imagebar() const { return imagebar_.get(); }
  void SetImagebar(const TEditorImagebar* value) { imagebar_->Assign(value); }
  TEditorLeftbar* Leftbar() const { return leftbar_.get(); }
  void SetLeftbar(const TEditorLeftbar* value) { leftbar_->Assign(value); }
  TEditorMarks* Marks() const { return marks_.get(); }
  void SetMarks(const TEditorMarks* value) { marks_->Assign(value); }
  TEditorMargin* Margin() const { return margin_.get(); }
  void SetMargin(const TEditorMargin* value) { margin_->Assign(value); }
  TEditorRuler* Ruler() const { return ruler_.get(); }
  void SetRuler(const TEditorRuler* value) { ruler_->Assign(value); }
  TEditorSpeed* Speed() const { return speed_.get(); }
  void SetSpeed(const TEditorSpeed* value) { speed_->Assign(value); }
  TEditorViewInfo* View() const { return view_.get(); }
  void SetView(const TEditorViewInfo* value);
  TEditorWrapOption* WrapOption() const { return &store_->WrapOption(); }
  void SetWrapOption(const TEditorWrapOption* value) { store_->WrapOption().Assign(value); }

  // The text as logical lines.
  TEditorStrings* Lines() const { return lines_.get(); }
  void SetLines(const TStrings* value);

  TFountain* Fountain() const { return fountainLink_.Fountain(); }
  void SetFountain(TFountain* value);
  // The attached fountain, else the view's own.
  virtual TFountain* ActiveFountain() const { return fountainLink_.Active(*view_); }
  TStringList* ReserveWordList() const { return view_->ReserveWordList(); }
  void SetReserveWordList(const TStrings* value) { view_->SetReserveWordList(value); }
  TImageList* ImageDigits() const { return imageDigits_; }
  void SetImageDigits(TImageList* value) { SetImageList(imageDigits_, value); }
  TImageList* ImageMarks() const { return imageMarks_; }
  void SetImageMarks(TImageList* value) { SetImageList(imageMarks_, value); }

  TEditorHitStyle HitStyle() const { return hitStyle_; }
  void SetHitStyle(TEditorHitStyle value);
  bool ReadOnly() const { return readOnly_; }
  // Refused while a selection is dragged.
  void SetReadOnly(bool value);
  int UndoListMax() const { return store_->UndoObj().UndoListMax(); }
  void SetUndoListMax(int value) { store_->UndoObj().SetUndoListMax(value); }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  bool WordWrap() const { return store_->WordWrap(); }
  void SetWordWrap(bool value) { store_->SetWordWrap(value); }
  // Shows or hides the bars at once and refits the view to them.
  void SetScrollBars(TScrollStyle value);
  bool OverWrite() const { return overWrite_; }
  void SetOverWrite(bool value) { overWrite_ = value; }

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }
  TNotifyEvent OnCaretMoved() const { return onCaretMoved_; }
  void SetOnCaretMoved(TNotifyEvent e) { onCaretMoved_ = e; }
  TNotifyEvent OnTopRowChange() const { return onTopRowChange_; }
  void SetOnTopRowChange(TNotifyEvent e) { onTopRowChange_ = e; }
  TNotifyEvent OnTopColChange() const { return onTopColChange_; }
  void SetOnTopColChange(TNotifyEvent e) { onTopColChange_ = e; }
  TDrawLineEvent OnDrawLine() const { return onDrawLine_; }
  void SetOnDrawLine(TDrawLineEvent e) { onDrawLine_ = e; }
  // Fired whenever the selection is recomputed or dropped.
  TSelectionChangeEvent OnSelectionChange() const { return onSelectionChange_; }
  void SetOnSelectionChange(TSelectionChangeEvent e) { onSelectionChange_ = e; }
  TNotifyEvent OnSelectionModeChange() const { return onSelectionModeChange_; }
  void SetOnSelectionModeChange(TNotifyEvent e) { onSelectionModeChange_ = e; }

  // Row marks: 0-9 are numbered (one row each), 10-15 image marks.
  virtual void SetRowMark(int row, int mark);
  virtual void DeleteRowMark(int row, int mark);
  virtual void GotoRowMark(int mark);

  // Leaves the own row store and shows other's.
  virtual void ExchangeScreenStrings(TEditor* other);

  // Geometry.
  int FontHeight() const { return fontHeight_; }
  int ColWidth() const { return colWidth_; }
  int RowHeight() const override { return rowHeight_; }
  int TextTop() const;
  int TextLeft() const;
  int VisibleRows() const override { return visibleRows_; }
  int VisibleCols() const { return visibleCols_; }
  int TopCol() const { return topCol_; }
  int MaxTopRow() const { return maxTopRow_; }
  const TEditorBarSizes& BarSizes() const { return barSizes_; }
  // Client pixels to (row, column); the row is not clamped.
  void PosToRowCol(int x, int y, bool round, int& col, int& row) const;
  virtual void CaretPixelPos(int& x, int& y) const;
  // The row and the byte index of the character under a client point; false
  // off the text (row is set as soon as it is known).
  virtual bool PosToRowIndex(TPoint p, int& row, int& index) const;

  // Rows as the caret sees them; '' / raEof / 0 outside the store.
  std::string GetRowString(int row) const;
  TRowAttribute GetRowAttribute(int row) const override;
  int RowWidth(int row) const;
  int StrColumns(std::string_view s) const { return corvida::StrColumns(s, Layout()); }
  // The columns of s's leading blanks; -1 for an empty s.
  int IndentWidth(std::string_view s) const;
  std::string ColumnMap(int row) const;
  // The byte index of display column col in row, at most the row's length.
  int ColumnToIndex(int row, int col) const;
  // The caret's byte index in its row.
  int CaretIndex() const { return ColumnToIndex(row_, col_); }
  TColumnLayout Layout() const { return store_->Layout(); }
  int RowToLine(int row) const;
  // The text with each tab replaced by the spaces up to its stop.
  std::string ExpandTabs(std::string_view s) const;
  std::string GetExpandedRow(int row) const { return ExpandTabs(GetRowString(row)); }
  int GetTextLen() const override;
  int CharOffset(int startRow, int row, int col) const;

  // Caret and view.
  int Row() const override { return row_; }
  int Col() const override { return col_; }
  int TopRow() const override { return topRow_; }
  void SetRow(int row) override;
  void SetCol(int col) override;
  void SetRowCol(int row, int col);
  void SetTopRow(int row) override;
  void SetTopCol(int col);
  void ScrollPage(int rows);
  void PlaceCaretAtOffset(int row, int offset) override;
  void ScrollCaret() override;
  void UpdateCaret() override;
  void InitScroll() override;
  virtual void InitCaret();
  void PlaceCaret() override;
  virtual void CaretShow();
  virtual void CaretHide();
  virtual bool CaretOutOfView() const;
  void CaretBeginUpdate() override;
  void CaretEndUpdate() override;
  void UnderlineBeginUpdate() override;
  void UnderlineEndUpdate() override;
  void UpdateImeWindow();

  // Painting of the text area.
  virtual void PaintRect(const TRect& r);
  virtual void DrawEof(int x, int y);
  virtual void DrawRetMark(int x, int y);
  virtual void DrawWrapMark(int x, int y);
  virtual void DrawHideMark(int x, int y);
  virtual void DrawSelRetMark(int x, int y);
  virtual void DrawSelWrapMark(int x, int y);
  virtual void DrawSelHideMark(int x, int y);
  virtual void DrawUnderline(int row);
  virtual void EraseUnderline(int row);
  // The y of row's underline, or -1 outside the text area.
  virtual int UnderlineY(int row) const;
  bool ItalicMode() const { return italicMode_; }

  // Margins and bars, drawn by the margin view from the editor's state.
  // The bar sizes, in the order of the metrics step.
  virtual bool UpdateLeftbarDigits();
  virtual void UpdateRulerHeight();
  virtual void UpdateImagebarWidth();
  virtual void UpdateLeftbarWidth();
  virtual void BuildRulerImages();
  // The caret-column mark of the ruler at column col, and its removal.
  virtual void DrawRulerMark(int col);
  virtual void EraseRulerMark(int col);
  virtual void SizeRulerImages();
  virtual void BuildDigitGlyphs();
  virtual void BuildDigitStrips();
  virtual void BuildRulerEdge();
  virtual void BuildGauge();
  // Paints the left bar's cells of rows a..b (either order) at once.
  virtual void RepaintLeftbarRows(int a, int b);
  virtual void PaintLeftbar(int first, int last);
  virtual void PaintRuler();
  virtual int RulerImageWidth() const;
  // The left bar changed width: the pixels right of it move along.
  virtual void LeftbarResized(int oldWidth, int newWidth);
  void PaintImagebar(int first, int last);
  // The selection. Positions are the caret's: anchor a selection, move the
  // caret, update the selection.
  const TSelectionModel& Selection() const { return selection_.Model(); }
  TSelectionState SelectionState() const { return selection_.State(); }
  // A selection is shown (a search hit is not).
  bool Selected() const { return selection_.Selected(); }
  // A selection or a search hit is shown.
  bool SelectedOrHit() const override { return selection_.SelectedOrHit(); }
  // Painting draws the selection colours: a selection, or a hit with hsDraw.
  bool SelectionDrawn() const { return selection_.Drawn(hitStyle_); }
  TSelectionMode SelectionMode() const { return selection_.Box() ? TSelectionMode::Box : TSelectionMode::Normal; }
  // Recomputes a shown selection in the new mode; refused while dragging.
  void SetSelectionMode(TSelectionMode mode);
  // Drops a shown selection or hit and anchors a new selection at the
  // caret; nothing is shown yet.
  void StartSelection();
  // Shows an anchored selection (a hit while one is being marked) or
  // recomputes a shown one up to the caret; repaints only what changed.
  void UpdateSelection();
  // Drops a shown selection or hit, repainting its rows once. Without a
  // window the selection is dropped all the same.
  void CleanSelection() override;
  // Deletes the selected text as one edit and one undo step, also without a
  // window; the caret goes to where the selection began.
  void DeleteSelection();
  void ClearSelection() { DeleteSelection(); }
  // The selected text; a box gives each row's part followed by CR LF.
  std::string GetSelText() const;
  int GetSelLength() const;
  // The character offset of the selection's start, or of the caret.
  int GetSelStart() const;
  // Drops the selection and puts the caret at a character offset.
  void SetSelStart(int offset);
  // Selects length characters from the caret (from the start of a selection
  // or hit), as a selection or a hit by HitStyle; length <= 0 drops it.
  void SetSelLength(int length);
  void SelectAll();
  bool IsInSelection(int row, int col) const;
  // The selection's rows as they are without the selected text: one entry a
  // row for a box, one entry for a normal selection.
  std::vector<TRowWithoutSelection> RowsWithoutSelection() const;

  // Keyboard editing.
  // Inserts typed text at the caret in place of a shown selection (over the
  // text with OverWrite, padding with spaces past the end); one undo step.
  void TypeText(const std::string& s);
  // Moves (row, col) to the next (dir 1) or previous (dir -1) word stop of
  // the active fountain's tokens; false when it stays.
  virtual bool FindWordStop(int& row, int& col, int dir);
  // The mouse: pointer shapes by area (0 text, 1 left margin, 2 top margin,
  // 3 inside the selection, 4 dragging, 5 dragging a copy).
  void SetMouseCursor(int kind);
  // Whole rows with their line breaks, from a left-margin press.
  void StartRowSelect(int row);
  void ExtendRowSelect(int row);
  TSelDragState SelDragState() const { return selection_.Model().dragState; }
  // The selection may be dragged: writable, a shown normal selection, and
  // Caret.SelMove.
  virtual bool CanSelDrag() const;
  // Inserts a copy of the selection at (row, col) as one undo step; a drop
  // onto the selection itself only drops the selection.
  virtual void CopySelectionTo(int row, int col);
  // The token under a client point: its text and kind; false off the text.
  // The line is scanned by the active fountain (from the row's stored state
  // with keepState, else from a cleared one) or by a plain tokenizer.
  virtual bool GetTokenAt(TPoint point, bool useFountain, bool keepState, std::string& text, TTokenKind& kind);
  virtual void SelectTokenAt(TPoint point, bool useFountain, bool keepState);
  // Finds text from the selection or the caret, forward with sfDown, and
  // marks what it finds by HitStyle; false when it is not found.
  virtual bool SearchText(const std::string& text, TSearchOptions options);
  // Inserting text and the clipboard. Each insertion is one edit and one
  // undo step and leaves the caret right after the text; a read-only editor
  // changes nothing.
  // Replaces a shown selection by text, else inserts it at the caret.
  void InsertText(const std::string& text);
  // Puts the lines of text one below the other at the caret's column (or in
  // place of a shown selection), padding short rows and adding missing ones.
  void InsertBoxText(const std::string& text);
  // A box goes with the box format beside its text, so it pastes as a box.
  // With nothing selected, or an empty selection, the clipboard keeps what
  // the user copied before.
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  virtual void Undo();
  virtual void Redo();
  virtual bool CanUndo() const;
  virtual bool CanRedo() const;

  // Row shifts after the store inserted or deleted rows.
  void ScrollTextRows(int fromRow, int rows) override;
  void ScrollImagebarRows(int fromRow, int rows) override;

  // TEditorView.
  TEditorScreenStrings* ScreenStrings() const override { return store_; }
  void StringsChange() override;
  bool Modified() const override { return modified_; }
  void SetModified(bool value) override { modified_ = value; }
  // Lines is inside an update bracket.
  bool LinesUpdating() const { return linesUpdating_; }
  void SetLinesUpdating(bool value) override { linesUpdating_ = value; }
  bool Loading() const override { return HasState(csLoading); }
  bool Destroying() const override { return HasState(csDestroying); }
  bool Focused() const override { return TWinControl::Focused(); }
  bool Showing() const override { return TWinControl::Showing(); }
  void SetRedraw(bool redraw) override;
  void RefreshView() override;
  void InvalidateRow(int row) override;
  int TabSpaceCount() const override { return caret_->TabSpaceCount(); }
  const TCharSet& Delimiters() const override { return delimiters_; }
  int ScreenHeight() const override;
  bool InitBracketsFull() const override { return speed_->InitBracketsFull(); }
  std::unique_ptr<TRowScanner> CreateRowScanner() override;

  // TEditorScreenView.
  void RepaintTextArea() override;
  void RepaintRows(int first, int last) override;
  bool ImagebarVisible() const override { return imagebar_->Visible(); }
  bool LeftbarShowsNumbers() const override { return leftbar_->Visible() && leftbar_->ShowNumber(); }
  TShowNumberMode ShowNumberMode() const override { return leftbar_->ShowNumberMode(); }
  void RepaintLeftbarNumbers(int first, int last) override { RepaintLeftbarRows(first, last); }

  // TEditorSettingsHost.
  bool HandleAllocated() const override { return TWinControl::HandleAllocated(); }
  void InitScan() override { store_->InitScan(); }
  void UpdateMetrics() override;
  void BuildLeftbarEdge() override;
  // Digit strips, gauge and ruler image sizes for the ruler's settings.
  void RebuildRuler() override;
  void BuildMarginBitmap() override;
  void InvalidateAll() override { Invalidate(); }
  void ClearUndo() override { store_->UndoObj().Clear(); }

  // The settings-change handler of every owned settings object and of the
  // attached fountain.
  virtual void SettingsChanged(TObject* sender);

  void WndProc(TMessage& message) override;
  void Loaded() override;
  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  explicit TEditor(TComponent* owner);
  // The second step of construction: the owned objects, made through the
  // factories below.
  virtual void AfterConstruction();
  virtual void InitDelimiters();
  virtual TEditorScreenStrings* CreateScreenStrings();
  virtual std::unique_ptr<TEditorStrings> CreateEditorStrings();
  virtual std::unique_ptr<TEditorScreen> CreateEditorScreen();
  virtual std::unique_ptr<TEditorViewInfo> CreateViewInfo();
  virtual std::unique_ptr<TEditorCaret> CreateEditorCaret();
  virtual std::unique_ptr<TEditorMarks> CreateEditorMarks();
  virtual std::unique_ptr<TEditorMargin> CreateEditorMargin();
  virtual std::unique_ptr<TEditorImagebar> CreateEditorImagebar();
  virtual std::unique_ptr<TEditorLeftbar> CreateEditorLeftbar();
  virtual std::unique_ptr<TEditorRuler> CreateEditorRuler();
  virtual std::unique_ptr<TEditorSpeed> CreateEditorSpeed();
  // The margin view with its bitmaps.
  virtual std::unique_ptr<TEditorMarginView> CreateBitmaps();
  virtual void FreeBitmaps();
  // Owned by the editor as a component.
  virtual TEditorPopupMenu* CreateEditorPopupMenu();

  void Notification(TComponent* component, TOperation operation) override;
  bool FocusOnPress() const override { return !HasState(csDesigning); }
  void CreateWnd() override;
  void FontChanged() override;
  void ColorChanged() override;
  void Paint() override { PaintRect(PaintClip()); }
  // Row index with expanded text s, column 0 at x and top at y, inside r.
  virtual void DrawRow(const TRect& r, int x, TFountainParser& parser, int index, std::string s, int y);
  virtual void DrawSelectedRow(const TRect& r, int x, TFountainParser& parser, int index, std::string s, int y);
  // Splits the row by the selection into normal and selected parts.
  virtual void DrawRowParts(const TRect& r, int x, TFountainParser& parser, int index, const std::string& s, int y);
  // Selects n characters from the caret, normal mode; n <= 0 drops the
  // selection, leaving the caret at its start.
  void SelectCharacters(int n);
  // The one text output: at most the first 1000 columns, each byte one
  // column; an underlined font's line is drawn dotted by hand.
  void EditorTextOut(const TRect& r, int x, UINT options, std::string_view s, int y);
  virtual void DoDrawLine(const TRect& r, int x, int y, const std::string& s, int index, bool selected);
  // Moves the pixels inside clip by (dx, dy) and repaints what is uncovered.
  virtual void Scroll(int dx, int dy, const TRect& clip);
  // Moves the caret column by the caret rules after a row or column change.
  void AdjustCol(bool vertical, int dir);
  void DoMouseDown(TMessage& m, TMouseButton button) override;
  void DoMouseUp(TMessage& m, TMouseButton button) override;
  void DoMouseMove(TMessage& m) override;
  // Moves the selected text to (row, col) as one undo step.
  void MoveSelectionTo(int row, int col);

 private:
  TEditorSettingsSet SettingsSet() const;
  TLeftbarText LeftbarText() const;
  void SetImageList(TImageList*& field, TImageList* value);
  // Rescans and repaints with the now active fountain.
  void ActiveFountainChanged();
  // The application's idle handler: a step of highlighting the rows below
  // the view, so that a jump far down finds them ready.
  void ScanAheadWhenIdle(TObject* sender, bool& done);
  void SetRowMarks(int row, TRowMarks marks);
  void JoinStore(TEditorScreenStrings* store);
  void LeaveStore();
  // Messages of the view and the caret.
  void WMSize(TMessage& m);
  void WMSetFocus(TMessage& m);
  void WMKillFocus(TMessage& m);
  void WMVScroll(TMessage& m);
  void WMHScroll(TMessage& m);
  // A solid one-pixel line of a mark, in color or the font colour for clNone.
  void MarkLine(TColor color, std::initializer_list<TPoint> points);
  void DrawRowText(const TRect& r, int x, TFountainParser& parser, int index, std::string s, int y, bool selected);
  // The colour record of a shown selection: Hit or Select of the view.
  const TFountainColor& SelectionColor() const;
  TColor SelBk() const;
  TColor SelFg() const;
  void RetMarkShape(TColor color, int x, int y);
  void WrapMarkShape(TColor color, int x, int y);
  void HideMarkShape(TColor color, int x, int y);
  TColor FontColorFor(TColor color) const { return color == clNone ? Font()->Color() : color; }
  void SelectTextFont(TColor color, TFontStyles style);
  // What the margin view builds and paints from.
  TMarginInputs MarginInputs() const;
  TMarginCanvas MarginCanvas();
  // Moves the ruler's mark to the caret column.
  void MoveRulerMark();
  // The byte and column forms from the anchor and the caret.
  void ComputeSelection();
  void RepaintSelectionChange(const TSelectionColumns& before, const TSelectionColumns& after);
  void MoveCaretToSelectionStart();
  // SelectCharacters marking a hit.
  void MarkHit(int n);
  // A caret as wide as the hit.
  void ShowHitCaret();
  // Keyboard editing.
  void WMKeyDown(TMessage& m);
  void WMKeyUp(TMessage& m);
  void WMChar(TMessage& m);
  void WMImeComposition(TMessage& m);
  void WMImeNotify(TMessage& m);
  void WMGetDlgCode(TMessage& m);
  void KeyDown(uint16_t key);
  void KeyPress(unsigned char c);
  // TypeText of a typed character, after a deferred IME window update.
  void TypeTyped(const std::string& s);
  void DeleteForward();
  void Backspace();
  // Backspace at the end of the leading blanks: back to the indent of the
  // nearest less indented row above.
  void Unindent(const std::string& text, const std::string& map);
  int UnindentTarget() const;
  void TabKey();
  void EnterKey(bool shift);
  // The blanks a new line after the caret's line starts with.
  std::string NewLineIndent(int lineStart) const;
  // The indent of the nearest line above lineStart that is not empty.
  int PrevLineIndent(int lineStart) const;
  // What remains of the caret's line after overwriting up to column col;
  // lastRow becomes the last row the overwrite reaches.
  std::string OverwrittenRest(int col, int& lastRow) const;
  // One edit: ChangeRows, then the caret at offset from offsetRow.
  void ReplaceRows(int row, int n, const std::string& text, int offsetRow, int offset);
  // The row an edit of row rewraps from, where caret offsets are counted.
  int EditStartRow(int row) const;
  // True when the window procedure drops m while a drag is armed or running
  // or the left button is held; Ctrl and Escape act on a running drag.
  bool MouseFiltered(const TMessage& m);
  void LeftButtonDown(int x, int y, bool shift);
  void LeftButtonMove(int x, int y);
  void LeftButtonUp();
  // As on the X desktop: a selection is offered as the primary selection,
  // and the middle button pastes that at the pointer.
  void OfferSelection();
  void MiddleButtonDown(int x, int y);
  // The pointer is far enough from the press point to start a gesture.
  bool PastDragThreshold(int x, int y) const;
  void BeginSelDrag();
  void EndSelDrag();
  void CancelSelDrag();
  // A move or a copy of the selected text to (row, col) as one edit.
  void PutSelectedText(int row, int col, bool move);
  // Sets the anchor of a shown selection (row selection).
  void SetAnchor(int row, int col);
  // The token under point: the first row of its line, its byte offset and
  // size in the line, its text and kind; false off the text.
  bool ScanTokenAt(TPoint point, bool useFountain, bool keepState, int& lineRow, int& offset, int& size,
                   std::string& text, TTokenKind& kind);
  bool SearchForward(const std::string& text, TSearchOptions options);
  bool SearchBackward(const std::string& text, TSearchOptions options);
  // Marks a found range: offset bytes from the start of row, length bytes.
  void MarkFound(int row, int offset, int length);

  TCharSet delimiters_;
  TEditorScreenStrings* store_ = nullptr;
  std::unique_ptr<TEditorStrings> lines_;
  std::unique_ptr<TEditorScreen> screen_;
  std::unique_ptr<TEditorViewInfo> view_;
  std::unique_ptr<TEditorCaret> caret_;
  std::unique_ptr<TEditorMarks> marks_;
  std::unique_ptr<TEditorMargin> margin_;
  std::unique_ptr<TEditorImagebar> imagebar_;
  std::unique_ptr<TEditorLeftbar> leftbar_;
  std::unique_ptr<TEditorRuler> ruler_;
  std::unique_ptr<TEditorSpeed> speed_;
  std::unique_ptr<TEditorMarginView> marginView_;
  TEditorFountainLink fountainLink_;
  TImageList* imageDigits_ = nullptr;
  TImageList* imageMarks_ = nullptr;
  TEditorBarSizes barSizes_;

  TEditorSelection selection_;
  // CleanSelection is repainting the rows it unselected.
  bool cleaningSelection_ = false;
  TEditorHitStyle hitStyle_ = hsSelect;
  bool readOnly_ = false;
  bool wantReturns_ = true;
  bool wantTabs_ = true;
  bool overWrite_ = false;
  bool modified_ = false;
  bool linesUpdating_ = false;
  // The left button went down on the editor and has not come up (a drag's
  // simulated button-up ends it too).
  bool leftPressed_ = false;

  int row_ = 0;
  int col_ = 0;
  int topRow_ = 0;
  int topCol_ = 0;
  int maxTopRow_ = 0;
  int keptCol_ = 0;
  bool colKept_ = false;
  bool caretMoving_ = false;
  int caretHideLevel_ = 0;
  bool caretShown_ = false;
  int underlineLevel_ = 0;
  bool keyRepeat_ = false;
  // Characters of the last input-method result still to come as WM_CHAR.
  int imeSkip_ = 0;
  // The input method's candidate list is open; the caret is hidden.
  bool candidateOpen_ = false;
  bool imeUpdatePending_ = false;
  int scrollOffset_ = 0;

  int fontHeight_ = 0;
  int colWidth_ = 0;
  int rowHeight_ = 0;
  int visibleRows_ = 1;
  int visibleCols_ = 0;
  bool italicMode_ = false;
  // One advance per byte for every text output.
  std::vector<int> advances_;

  TNotifyEvent onChange_;
  TNotifyEvent onCaretMoved_;
  TNotifyEvent onTopRowChange_;
  TNotifyEvent onTopColChange_;
  TDrawLineEvent onDrawLine_;
  TSelectionChangeEvent onSelectionChange_;
  TNotifyEvent onSelectionModeChange_;
};

}  // namespace corvida
