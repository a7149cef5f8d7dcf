#pragma once
// The editor's built-in pictures, drawn as pixel art: ten digit tiles, six
// mark images and two pointer shapes.
#include "platform/winsys/cursors.h"
#include "platform/winsys/surface.h"

namespace corvida {

// The digit shapes of the editor's ruler, rows 1 to 7 of 9: digit d is
// columns 5d + 1 to 5d + 4 ('#' is ink; the 1 uses two columns).
inline constexpr const char* kDigitGlyphRows[7] = {
    "..##...#....##...##....#..####..##..####..##...##.",
    ".#..#.##...#..#.#..#..##..#....#..#....#.#..#.#..#",
    ".#..#..#......#....#..##..###..#......#..#..#.#..#",
    ".#..#..#.....#....#..#.#..#..#.###....#...##...###",
    ".#..#..#....#......#.####....#.#..#..#...#..#....#",
    ".#..#..#...#....#..#...#..#..#.#..#..#...#..#.#..#",
    "..##...#...####..##....#...##...##...#....##...##.",
};

inline constexpr int kDigitImageWidth = 8;
inline constexpr int kDigitImageHeight = 11;
inline constexpr int kMarkImageWidth = 11;
inline constexpr int kMarkImageHeight = 11;

// A strip of ten 8 × 11 tiles: digit i in aqua on navy, white top row and
// left column, grey bottom row and right column. Red is see-through.
TSurface DigitImagesBitmap();
// A strip of six 11 × 11 marks on white (see-through): a small blue dot; a
// red disc with a yellow cross; a yellow and green arrow pointing right; a
// red disc; a grey ring; a yellow face. Outlines are black.
TSurface MarkImagesBitmap();
// A right-pointing arrow (hot spot at its tip) and the drag-copy pointer
// (an arrow with a boxed plus).
TCursorShape RightArrowCursor();
TCursorShape DragSelCopyCursor();

}  // namespace corvida
