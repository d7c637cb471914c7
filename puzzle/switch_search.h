// The commonest way a picture has a second solution: four cells at the
// corners of a rectangle, filled on one diagonal and empty on the other,
// whose swap leaves every row's and column's clue as it was (the 2 x 2
// diagonal is the smallest). Looking for one directly is far quicker than
// a search when a grid has one, as most ambiguous pictures do.
//
// A swap keeps a line's runs when it moves a whole run by one cell, or
// moves a single-cell run past nothing but single-cell runs to a cell with
// empty neighbours. (Splitting one run and joining two others can keep the
// runs too; such swaps are rare and left to the search.) Each pair of rows
// is scanned once, nearest pairs first: the moves one row allows, each
// held against the other row and the two columns by a walk between the
// cells, so a pair costs O(W + moves x distance) and the memory is that of
// one row's moves.
#pragma once

#include "cells/cell_grid.h"
#include "puzzle/deadline.h"

namespace grix {

// Looks for a switch between rows at most `most_distance` apart, from the
// nearest pairs out. Answers true with the switched grid in `other`; false
// when there is none in that reach or the deadline passed first.
[[nodiscard]] bool FindSwitch(const CellGrid& grid, Deadline& deadline, int most_distance,
                              CellGrid& other);

}  // namespace grix
