#pragma once
// The off-screen bitmaps of the editor's bars. They are rebuilt only when a
// setting, the font or the colour changes, so that painting a bar, scrolling
// and moving the caret only copy pixels.
#include "platform/winsys/surface.h"

namespace corvida {

// The digit glyphs: digit d in the 5-pixel cell at x = 5d, 9 rows high.
inline constexpr int kDigitHeight = 9;
inline constexpr int kDigitWidth = 5;
// The digit 1 is narrower: the first 3 columns of its cell.
inline constexpr int kDigitOneWidth = 3;
inline constexpr int kDigitStripWidth = 56;

struct TEditorBitmaps {
  // The left bar's right border: 2 x screen height.
  TSurface leftbarEdge;
  // The corner above the bars and left of the ruler: TextLeft x TextTop.
  TSurface margin;
  // Ticks and numbers in ruler colours, and the same on the mark colour.
  TSurface rulerImage;
  TSurface markedRulerImage;
  // Ticks only, one gauge span repeated.
  TSurface gauge;
  // One bit per pixel, ink black.
  TSurface digitGlyphs{kDigitStripWidth, kDigitHeight, true};
  // The glyphs in ruler colours and in mark colours.
  TSurface rulerDigits{kDigitStripWidth, kDigitHeight};
  TSurface markedDigits{kDigitStripWidth, kDigitHeight};
  // The ruler's bottom border: screen width x 2.
  TSurface rulerEdge;
};

}  // namespace corvida
