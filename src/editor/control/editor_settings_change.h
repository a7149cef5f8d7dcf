#pragma once
// What a change of one settings object sets off in the editor, and the bar
// sizes the settings define. Both work without a window: the editor hands in
// itself as a TEditorSettingsHost and its font's column pitch.
#include "editor/control/editor_bar_settings.h"
#include "editor/control/editor_caret_settings.h"
#include "editor/control/editor_mark_settings.h"
#include "editor/control/editor_view_info.h"
#include "editor/model/row_attribute_string_list.h"
#include "platform/rtl/font_style.h"

namespace corvida {

// The operations of the editor window that a settings change runs.
class TEditorSettingsHost {
 public:
  virtual ~TEditorSettingsHost() = default;

  virtual bool HandleAllocated() const = 0;
  // Recomputes every row's scan state.
  virtual void InitScan() = 0;
  // Font metrics, row and column pitch, bar sizes, visible rows and columns.
  virtual void UpdateMetrics() = 0;
  virtual void InitScroll() = 0;
  virtual void BuildLeftbarEdge() = 0;
  virtual void RebuildRuler() = 0;
  virtual void BuildMarginBitmap() = 0;
  virtual void InvalidateAll() = 0;
  // Empties the undo and the redo list.
  virtual void ClearUndo() = 0;
  virtual void UpdateCaret() = 0;
  virtual void ScrollCaret() = 0;
  virtual void PlaceCaret() = 0;
};

// The settings objects of one editor, owned by the editor.
struct TEditorSettingsSet {
  TEditorCaret* caret = nullptr;
  TEditorMarks* marks = nullptr;
  TEditorMargin* margin = nullptr;
  TEditorViewInfo* view = nullptr;
  TEditorLeftbar* leftbar = nullptr;
  TEditorRuler* ruler = nullptr;
  TEditorImagebar* imagebar = nullptr;
};

// The settings-change handler: sender is the settings object that changed,
// or a fountain. Before the window exists only the state that painting will
// need is kept up to date.
void EditorSettingsChanged(TObject* sender, const TEditorSettingsSet& settings, TEditorSettingsHost& host);

// What the left bar numbers: the number of screen rows, the logical line of
// the last row, and how the last row ends.
struct TLeftbarText {
  int rowCount = 1;
  int lastLine = 0;
  TRowAttribute lastRowAttribute = raEof;
};

// Digit columns of the left bar: Column without a window or without
// numbers, else enough for the highest number (one more when a final line
// break leaves an empty last line), within Column..8.
int LeftbarDigits(const TEditorLeftbar& leftbar, bool hasWindow, const TLeftbarText& text);
// 11 with the raised edge, else 10.
int RulerHeight(const TEditorRuler& ruler);
int ImagebarWidth(const TEditorImagebar& imagebar);
// The numbers, their margins and 2 pixels of edge; 0 while hidden.
int LeftbarWidth(const TEditorLeftbar& leftbar, int digits, int colWidth);
// The editor paints in italic mode when its font or any colour record under
// the active fountain is italic.
bool ItalicMode(TFontStyles fontStyle, TFountain& activeFountain);

// The bar sizes as the metrics step keeps them.
class TEditorBarSizes {
 public:
  // Recomputes the sizes; returns whether the digit count changed. The digit
  // count follows the text only while the left bar shows, the ruler height
  // only while the ruler shows.
  bool Update(const TEditorSettingsSet& settings, bool hasWindow, const TLeftbarText& text, int colWidth);
  // The steps of Update, in its order.
  bool UpdateLeftbarDigits(const TEditorLeftbar& leftbar, bool hasWindow, const TLeftbarText& text);
  void UpdateRulerHeight(const TEditorRuler& ruler);
  void UpdateImagebarWidth(const TEditorImagebar& imagebar);
  void UpdateLeftbarWidth(const TEditorLeftbar& leftbar, int colWidth);

  int LeftbarDigits() const { return leftbarDigits_; }
  int LeftbarWidth() const { return leftbarWidth_; }
  int RulerHeight() const { return rulerHeight_; }
  int ImagebarWidth() const { return imagebarWidth_; }

 private:
  int leftbarDigits_ = 0;
  int leftbarWidth_ = 0;
  int rulerHeight_ = 0;
  int imagebarWidth_ = 0;
};

}  // namespace corvida
