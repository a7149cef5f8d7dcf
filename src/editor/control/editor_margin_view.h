#pragma once
// The margins around the editor's text: the image bar with bookmarks and
// image marks, the left bar with row or line numbers, the ruler with its
// caret-column mark, and the corner where they meet. The view owns the
// off-screen bitmaps they are copied from, rebuilt only when a setting, the
// font or the colour changes, so that painting a bar, scrolling and moving
// the caret only copy pixels. It reads its settings objects and is handed
// everything else it paints from (TMarginInputs); it knows no editor.
#include <vector>

#include "editor/control/editor_bar_settings.h"
#include "editor/control/editor_settings_change.h"
#include "editor/model/editor_screen_strings.h"
#include "platform/toolkit/graphics.h"
#include "platform/toolkit/img_list.h"
#include "platform/winsys/surface.h"
#include "platform/winsys/window.h"

namespace corvida {

// The digit glyphs: digit d in the 5-pixel cell at x = 5d, 9 rows high.
inline constexpr int kDigitHeight = 9;
inline constexpr int kDigitWidth = 5;
// The digit 1 is narrower: the first 3 columns of its cell.
inline constexpr int kDigitOneWidth = 3;
inline constexpr int kDigitStripWidth = 56;

// The editor's state that the margins are built and painted from, gathered
// afresh for each call.
struct TMarginInputs {
  // The editor's background and font colours: the bars' colours fall back
  // on them.
  TColor color = clWhite;
  TColor fontColor = clBlack;
  TEditorBarSizes sizes;
  int colWidth = 0;
  int rowHeight = 0;
  int fontHeight = 0;
  int textLeft = 0;
  int textTop = 0;
  // The client area.
  int width = 0;
  int height = 0;
  int topRow = 0;
  int topCol = 0;
  int visibleRows = 0;
  int visibleCols = 0;
};

// What painting the bars draws with and reads: the editor's canvas, font
// and advance table, its rows and their marks, and its own image lists.
struct TMarginCanvas {
  TCanvas& canvas;
  const TFont& font;
  const std::vector<int>& advances;
  const TEditorScreenStrings& store;
  TImageList* imageDigits = nullptr;
  TImageList* imageMarks = nullptr;
};

class TEditorMarginView {
 public:
  TEditorMarginView(const TEditorLeftbar& leftbar, const TEditorRuler& ruler, const TEditorImagebar& imagebar);

  // Building the bitmaps. The edges take the screen's size.
  void BuildDigitGlyphs();
  void BuildRulerEdge();
  void BuildLeftbarEdge(const TMarginInputs& in);
  void BuildMarginBitmap(const TMarginInputs& in);
  // Digit strips, gauge and ruler image sizes for the ruler's settings.
  void RebuildRuler(const TMarginInputs& in);
  void BuildDigitStrips(const TMarginInputs& in);
  void BuildGauge(const TMarginInputs& in);
  void SizeRulerImages(const TMarginInputs& in);
  // Ticks and numbers from the numbered column at or before TopCol.
  void BuildRulerImages(const TMarginInputs& in);
  // Whole gauge spans covering the screen's width and two more.
  int RulerImageWidth(int colWidth) const;

  // Painting; each paints at once on the canvas.
  void PaintCorner(TDeviceContext& dc, const TMarginInputs& in);
  void PaintRuler(TDeviceContext& dc, const TMarginInputs& in, int caretCol);
  // The caret-column mark of the ruler at column col, and its removal.
  void DrawRulerMark(TDeviceContext& dc, const TMarginInputs& in, int col);
  void EraseRulerMark(TDeviceContext& dc, const TMarginInputs& in, int col);
  // The column the mark was last drawn at.
  int RulerMarkCol() const { return rulerMarkCol_; }
  // Rows first..last of the left bar; firstLine is the logical line of row
  // first, for numbering lines.
  void PaintLeftbar(const TMarginCanvas& on, const TMarginInputs& in, int first, int last, int firstLine);
  void PaintImagebar(const TMarginCanvas& on, const TMarginInputs& in, int first, int last);

  // Repainting through the window: the left bar's cells of rows a..b
  // (either order), and the pixels right of the image bar moved along with
  // a left bar that changed width.
  void RepaintLeftbarRows(TWindow& window, const TMarginInputs& in, int a, int b);
  void LeftbarResized(TWindow& window, const TMarginInputs& in, int oldWidth, int newWidth);

  // The bars' colours with clNone resolved.
  TColor BarBkColor(const TMarginInputs& in) const;
  TColor NumberColor(const TMarginInputs& in) const;
  TColor RulerBkColor(const TMarginInputs& in) const;
  TColor TickColor(const TMarginInputs& in) const;
  TColor RulerMarkColor(const TMarginInputs& in) const;

 private:
  void CopyRulerCell(TDeviceContext& dc, const TMarginInputs& in, int col, TSurface& from);

  const TEditorLeftbar& leftbar_;
  const TEditorRuler& ruler_;
  const TEditorImagebar& imagebar_;

  // The left bar's right border: 2 x screen height.
  TSurface leftbarEdge_;
  // The corner above the bars and left of the ruler: TextLeft x TextTop.
  TSurface margin_;
  // Ticks and numbers in ruler colours, and the same on the mark colour.
  TSurface rulerImage_;
  TSurface markedRulerImage_;
  // Ticks only, one gauge span repeated.
  TSurface gauge_;
  // One bit per pixel, ink black.
  TSurface digitGlyphs_{kDigitStripWidth, kDigitHeight, true};
  // The glyphs in ruler colours and in mark colours.
  TSurface rulerDigits_{kDigitStripWidth, kDigitHeight};
  TSurface markedDigits_{kDigitStripWidth, kDigitHeight};
  // The ruler's bottom border: screen width x 2.
  TSurface rulerEdge_;
  // The first number of the ruler images as last built (-1: none), and the
  // column the caret mark was last drawn at.
  int rulerImagesStart_ = -1;
  int rulerMarkCol_ = 0;
};

}  // namespace corvida
