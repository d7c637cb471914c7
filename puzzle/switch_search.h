// The commonest way a picture has a second solution: four cells at the
// corners of a rectangle, filled on one diagonal and empty on the other,
// whose swap leaves every row's and column's clue as it was (the 2 x 2
// diagonal is the smallest). Looking for one directly is far quicker than
// a search when a grid has one, as most ambiguous pictures do.
#pragma once

#include "cells/cell_grid.h"

namespace grix {

// Grids wider or taller than this are left to the search: the lookup keeps
// one bit per pair of cells in a line.
inline constexpr int kSwitchSearchSide = 64;

// Answers a switch's result in `other` when the grid has a switch (and is
// at most kSwitchSearchSide on each side); false otherwise.
[[nodiscard]] bool FindSwitch(const CellGrid& grid, CellGrid& other);

}  // namespace grix
