// The numbers printed beside a crossword: for every row (left to right) and
// every column (top to bottom) the lengths of its runs of filled cells.
#pragma once

#include <vector>

#include "cells/cell_grid.h"

namespace grix {

// The run lengths of one line, in order; empty for a line with no filled
// cell (shown as a single 0).
using LineClue = std::vector<int>;
using Clues = std::vector<LineClue>;

// One clue per row, top to bottom.
[[nodiscard]] Clues RowClues(const CellGrid& grid);
// One clue per column, left to right.
[[nodiscard]] Clues ColumnClues(const CellGrid& grid);

// True when every row and column of `grid` has the clue given for it.
[[nodiscard]] bool SatisfiesClues(const CellGrid& grid, const Clues& rows, const Clues& columns);

}  // namespace grix
