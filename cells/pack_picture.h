// Pictures as the crossword pack sees them: the ink test, loading a picture
// for its cells, the cells themselves, and the size text the picture list
// shows.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cells/cell_grid.h"
#include "imaging/picture.h"

namespace grix {

// A pixel is a filled cell unless all three of its red, green and blue bytes
// are 225 or more. The fourth byte plays no part, so a read outside the
// picture (0xFFFFFFFF) is an empty cell. Channels are neither weighted nor
// averaged: pure red or blue is ink as much as black.
constexpr bool IsInk(TColor color) {
    constexpr TColor kThreshold = 0xE0;
    // Bitwise, not short-circuit: no branches to mispredict in the loops
    // that judge every pixel.
    const int red = (color & 0xFF) <= kThreshold;
    const int green = ((color >> 8) & 0xFF) <= kThreshold;
    const int blue = ((color >> 16) & 0xFF) <= kThreshold;
    return (red | green | blue) != 0;
}

// Loads `path` into `picture` and answers its bitmap. Only bitmaps give
// cells: icons and metafiles load, but their pixels cannot be read, so they
// are refused with "Bitmap image is not valid" rather than packed as empty
// puzzles.
TBitmap& LoadPackBitmap(TPicture& picture, const std::string& path);

// The cells of the picture at `path` exactly as the pack holds them: the
// picture loaded by LoadPackBitmap, every pixel judged by the ink test.
// Raises the reader's errors unchanged.
[[nodiscard]] CellGrid CellsOfPicture(const std::string& path);
[[nodiscard]] CellGrid CellsOfBitmap(const TBitmap& bitmap);

// Asked while a picture's cells are read: true ends the reading.
using ShouldStop = std::function<bool()>;

// The cells of `bitmap` by the ink test, as CellsOfBitmap. A huge picture
// takes a while to read, so `should_stop` (when set) is asked before the
// first row and every few rows after it; once it answers true the reading
// ends with no cells.
[[nodiscard]] std::optional<CellGrid> ReadBitmapCells(const TBitmap& bitmap,
                                                      const ShouldStop& should_stop);

// Whether the bytes a damaged picture lacks (which read as zero) come out as
// filled cells: black, or a colour-table entry 0 that is ink.
[[nodiscard]] bool MissingPixelsAreInk(const TBitmap& bitmap);

// "<width> * <height>" of the picture at `path`, whatever kind it is.
std::string PictureSizeText(const std::string& path);

}  // namespace grix
