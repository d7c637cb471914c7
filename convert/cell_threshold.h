// From cell luminance to filled and empty cells.
#pragma once

#include "cells/cell_grid.h"
#include "convert/cell_scaling.h"

namespace grix {

// Otsu's threshold over the cells: of the 256-bin histogram of their
// luminance (a cell of mean Y in bin floor(Y)), the T in 1..255 that
// splits it into bins below T and bins from T on with the largest
// between-class variance. Where several T split the cells alike (an empty
// gap between two peaks), the middle of them. Cells of a single level
// answer 128.
[[nodiscard]] int OtsuThreshold(const CellLuma& cells);

// A cell is filled when its mean luminance is below `threshold` (0 fills
// nothing; 255 fills all but pure white); `invert` swaps filled and empty.
[[nodiscard]] CellGrid ThresholdCells(const CellLuma& cells, int threshold, bool invert);

}  // namespace grix
