// Mending a picture whose clues have several solutions: the fewest cells
// to change so that they have exactly one (or, asked for, one that line
// logic alone reaches).
//
// Every candidate is judged by CheckCells, so a fix is never a guess. Most
// candidates never get that far: a second solution T of a grid B whose
// cells differ in D stays a second solution of B changed in Y whenever the
// rows and columns Y touches keep their clue equal with D applied (lines Y
// leaves alone keep T's clues, lines D leaves alone are the same in both).
// In particular a change that touches no row or column of D can never
// help, so candidates come from the lines where other solutions differ,
// and each known other solution rules out most of them at the cost of a
// few line comparisons.
//
// Fixes of up to kProvenFixCells cells are searched exhaustively in that
// way, which proves the fewest; larger ones are looked for greedily (the
// change that rules out the most known other solutions first, or, with
// none known, a change where line logic stops) until the budget runs out.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "cells/cell_grid.h"
#include "puzzle/solvability.h"

namespace grix {

inline constexpr double kDefaultFixBudget = 10.0;  // seconds for the whole search
inline constexpr int kDefaultFixMostCells = 8;
// Fixes of this many cells or fewer are never missed (within the budget).
inline constexpr int kProvenFixCells = 2;

struct FixLimits {
    bool line_logic = false;  // the fix must be solved line by line, not just unique
    double budget_seconds = kDefaultFixBudget;
    int most_cells = kDefaultFixMostCells;  // larger fixes are not taken
};

struct CellChange {
    int x = 0;
    int y = 0;
    bool filled = false;  // the cell's new state
    friend bool operator==(const CellChange&, const CellChange&) = default;
};

enum class FixOutcome {
    Fair,      // fair as it is: nothing to change
    Fixed,     // `cells` is fair, `changes` away from the picture
    NotFound,  // no fix within the limits, or the picture's own check did not end
    Blank,     // no filled cell: nothing to mend
};

struct FixResult {
    FixOutcome outcome = FixOutcome::NotFound;
    // The fix's verdict (Fair, Fixed), or the picture's own (NotFound, Blank).
    Verdict verdict = Verdict::Undecided;
    CellGrid cells;                   // the fair picture (Fair, Fixed)
    std::vector<CellChange> changes;  // row by row from the top
    // No fix of fewer cells exists. False when only a search within the
    // budget stands behind the answer.
    bool proven_fewest = false;
    double first_fix_seconds = -1;  // when the first fix turned up (-1: none)
    double proven_seconds = -1;     // when the fewest was proven (-1: not proven)
    double seconds = 0;             // the whole search
    int checks = 0;                 // CheckCells calls, the picture's own included
};

// "(x, y) filled" or "(x, y) cleared": a changed cell as grix-cli fix and
// the window name it (x, y from 0 at the top left).
[[nodiscard]] std::string CellChangeText(const CellChange& change);

// Searches for the fewest-cells fix of `picture` within `limits`, or until
// `*cancel` turns true (then it answers the best found so far). Several
// threads may search different pictures at once. Throws
// std::invalid_argument as CheckCells does.
[[nodiscard]] FixResult FindFewestFix(const CellGrid& picture, const FixLimits& limits = {},
                                      const std::atomic<bool>* cancel = nullptr);

}  // namespace grix
