#include "puzzle/clues.h"

#include <cstddef>

namespace grix {
namespace {

// The runs of the `count` cells starting at `first`, `step` apart.
LineClue ClueOf(const std::uint8_t* first, int count, std::ptrdiff_t step) {
    LineClue clue;
    ForEachRun(first, count, step, [&clue](int run) { clue.push_back(run); });
    return clue;
}

}  // namespace

Clues RowClues(const CellGrid& grid) {
    Clues clues;
    clues.reserve(static_cast<std::size_t>(grid.height));
    for (int y = 0; y < grid.height; ++y) {
        clues.push_back(
            ClueOf(grid.cells.data() + static_cast<std::ptrdiff_t>(y) * grid.width, grid.width, 1));
    }
    return clues;
}

Clues ColumnClues(const CellGrid& grid) {
    Clues clues;
    clues.reserve(static_cast<std::size_t>(grid.width));
    for (int x = 0; x < grid.width; ++x) {
        clues.push_back(ClueOf(grid.cells.data() + x, grid.height, grid.width));
    }
    return clues;
}

bool SatisfiesClues(const CellGrid& grid, const Clues& rows, const Clues& columns) {
    return grid.cells.size() ==
               static_cast<std::size_t>(grid.width) * static_cast<std::size_t>(grid.height) &&
           RowClues(grid) == rows && ColumnClues(grid) == columns;
}

}  // namespace grix
