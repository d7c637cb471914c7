// The exact line solver: given one line's clue and what is known of its
// cells, finds every cell that all placements of the clue's runs agree on.
//
// Lines of up to 255 cells are solved on bit masks (one, two or four
// 64-bit words), one bit per position: for each run, the
// positions where the runs so far can end (shifts and ANDs over the cells
// that may be filled, then a flood through the cells that may be empty in
// log2(word bits) shift-and-OR steps), the same from the right, and the
// run's possible starts are where both sides meet. O(k log n) word
// operations for k runs, no tables. Longer lines take the table form below,
// which gives the same answers:
//
// a dynamic programme over (position, run): `fits_before(i, j)` says the
// first i cells can hold the first j runs, `fits_after(i, j)` that the cells
// from i on can hold the runs from j on. A cell can be empty when some j has
// both halves around it; run j can start at s when the cells it covers may
// be filled, its neighbours may be empty and both sides fit. Each run can
// only start within `slack` cells of its left-most place (slack = n minus
// the room all runs need), so the work is O(n + k x slack), at most
// O(n x k), for a line of n cells and k runs, with no allocation once the
// scratch has grown to the longest line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "puzzle/clues.h"

namespace grix {

// What is known of a cell, as the set of values it may still take.
enum CellState : std::uint8_t {
    kNoValue = 0,   // contradiction
    kMayEmpty = 1,  // known empty
    kMayFill = 2,   // known filled
    kUnknown = 3,
};

class LineSolver {
  public:
    // Narrows `cells[0..length)` to what the clue `runs[0..count)` allows.
    // Answers false when no placement fits (the cells are then left as
    // they were).
    [[nodiscard]] bool Solve(const int* runs, std::size_t count, std::uint8_t* cells, int length);
    [[nodiscard]] bool Solve(const LineClue& clue, std::uint8_t* cells, int length) {
        return Solve(clue.data(), clue.size(), cells, length);
    }

    // The two forms Solve chooses between, open so that tests can hold
    // them against each other: the bit masks (up to kMaskCells cells) and
    // the tables (any length).
    static constexpr int kMaskCells = 255;
    [[nodiscard]] bool SolveByMasks(const int* runs, std::size_t count, std::uint8_t* cells,
                                    int length);
    [[nodiscard]] bool SolveByTables(const int* runs, std::size_t count, std::uint8_t* cells,
                                     int length);

  private:
    // Scratch kept between calls, so that solving allocates nothing once
    // it has seen the longest line: the two tables and the may-be-empty
    // marks; the known-empty counts, the +1/-1 marks of possible filled
    // cells and each run's left-most start. (The masks live on the stack.)
    std::vector<std::uint8_t> flags_;
    std::vector<std::ptrdiff_t> counts_;
};

}  // namespace grix
