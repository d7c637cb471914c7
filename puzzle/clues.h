// The numbers printed beside a crossword: for every row (left to right) and
// every column (top to bottom) the lengths of its runs of filled cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cells/cell_grid.h"

namespace grix {

// The run lengths of one line, in order; empty for a line with no filled
// cell (shown as a single 0).
using LineClue = std::vector<int>;
using Clues = std::vector<LineClue>;

// Calls on_run(length) for each run of filled cells, in order, among the
// `count` cells starting at `first`, `step` apart.
template <typename OnRun>
void ForEachRun(const std::uint8_t* first, int count, std::ptrdiff_t step, OnRun on_run) {
    int run = 0;
    for (int i = 0; i < count; ++i, first += step) {
        if (*first != 0) {
            ++run;
        } else if (run != 0) {
            on_run(run);
            run = 0;
        }
    }
    if (run != 0)
        on_run(run);
}

// One clue per row, top to bottom.
[[nodiscard]] Clues RowClues(const CellGrid& grid);
// One clue per column, left to right.
[[nodiscard]] Clues ColumnClues(const CellGrid& grid);

// True when every row and column of `grid` has the clue given for it.
[[nodiscard]] bool SatisfiesClues(const CellGrid& grid, const Clues& rows, const Clues& columns);

}  // namespace grix
