// Whether a picture makes a fair crossword: do its clues have exactly one
// solution, and can line-by-line logic reach it without guessing?
//
// Read the cells with CellsOfPicture (builder/pack_picture.h), the same
// cells the pack and the preview hold, then CheckCells. CheckCells keeps no
// state between calls: several threads may check different grids at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <utility>
#include <vector>

#include "cells/cell_grid.h"

namespace grix {

enum class Verdict {
    Line,       // unique, and solving line by line reaches it
    Search,     // unique, but only guessing (probing, search) shows it
    Several,    // another solution fits the same clues
    Blank,      // no filled cell: trivially unique, but no puzzle
    Undecided,  // the time budget ran out (or the check was cancelled)
};

inline constexpr double kDefaultCheckBudget = 2.0;  // seconds per picture

struct CheckResult {
    Verdict verdict = Verdict::Undecided;
    int width = 0;
    int height = 0;
    double seconds = 0;  // time the check took
    // For Several only: a solution other than the picture, and the cells
    // (x, y) where it differs from the picture, row by row.
    std::vector<std::pair<int, int>> differs;
    CellGrid other;
};

// The most cells a grid may have (cells are counted in an int).
inline constexpr std::size_t kMostCells = std::size_t{1} << 30;

// Checks the grid's clues. Gives up with Undecided once `budget_seconds`
// have passed or `*cancel` turns true (both checked often, so the answer
// comes soon after either). Throws std::invalid_argument when the cells do
// not match the size or exceed kMostCells.
[[nodiscard]] CheckResult CheckCells(const CellGrid& grid,
                                     double budget_seconds = kDefaultCheckBudget,
                                     const std::atomic<bool>* cancel = nullptr);

// Solves a crossword given by its clues rather than its picture: `rows`
// top to bottom, `columns` left to right, each the run lengths in order.
// Answers a solution in `solution` and true; false when the clues have no
// solution or the budget ran out first (then `*out_of_time` is set).
// Throws std::invalid_argument when the clues do not match the size.
[[nodiscard]] bool SolveClues(int width, int height, const std::vector<std::vector<int>>& rows,
                              const std::vector<std::vector<int>>& columns, CellGrid& solution,
                              double budget_seconds = kDefaultCheckBudget,
                              bool* out_of_time = nullptr);

// "unique (line logic)", "unique (needs search)", "several solutions",
// "blank", "undecided (time limit)".
[[nodiscard]] const char* VerdictText(Verdict verdict);
// "line", "search", "several", "blank", "undecided".
[[nodiscard]] const char* VerdictKey(Verdict verdict);

}  // namespace grix
