// The exact line solver: given one line's clue and what is known of its
// cells, finds every cell that all placements of the clue's runs agree on.
//
// A dynamic programme over (position, run): `fits_before[i][j]` says the
// first i cells can hold the first j runs, `fits_after[i][j]` that the cells
// from i on can hold the runs from j on. A cell can be empty when some j has
// both halves around it; run j can start at s when the cells it covers may
// be filled, its neighbours may be empty and both sides fit. O(n x k) time
// and space for a line of n cells and k runs, with no allocation once the
// scratch has grown to the longest line.
#pragma once

#include <cstdint>
#include <vector>

#include "puzzle/clues.h"

namespace grix {

// What is known of a cell, as the set of values it may still take.
enum CellState : std::uint8_t {
    kNoValue = 0,    // contradiction
    kMayEmpty = 1,   // known empty
    kMayFill = 2,    // known filled
    kUnknown = 3,
};

class LineSolver {
public:
    // Narrows `cells[0..length)` to what `clue` allows. Answers false when
    // no placement fits (the cells are then left as they were).
    [[nodiscard]] bool Solve(const LineClue& clue, std::uint8_t* cells, int length);

private:
    std::vector<std::uint8_t> before_;
    std::vector<std::uint8_t> after_;
    std::vector<int> empties_;  // known-empty cells before each position
    std::vector<int> cover_;    // runs of possible filled cells, as +1/-1 marks
};

}  // namespace grix
