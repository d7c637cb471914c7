// Solving a crossword from the clues of a picture: line solving to a fixed
// point, then probing and a depth-first search for a solution other than
// the picture. Used by CheckCells.
//
// One propagation pass solves each queued line once, O(n + k x slack) <=
// O(n x k) per line (see LineSolver), so a pass over every line of a
// W x H grid costs O(W x H x k) for k runs per line at most. Only lines
// whose cells changed go back into the queue.
//
// Memory: one byte a cell for the state, two bits more while probing and
// two more while searching near the picture (FindNearbySolution), a count
// of contradictions a line, and a trail of the cells assigned since the
// first guess (nothing is recorded while the lines settle what holds in
// every solution).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "cells/cell_grid.h"
#include "puzzle/deadline.h"
#include "puzzle/line_cache.h"
#include "puzzle/line_solver.h"
#include "puzzle/packed_cells.h"

namespace grix {

class GridSolver {
  public:
    using Clock = Deadline::Clock;

    enum class Outcome {
        Consistent,     // no contradiction found; the grid may be unsolved
        Contradiction,  // no solution fits what is assigned
        Found,          // a complete solution other than the picture
        OutOfTime,      // the deadline passed or the caller cancelled
    };

    // Solves the clues of `picture` (rows, then columns), starting from a
    // grid where every cell is unknown. `picture` and `deadline` must
    // outlive the solver; reading the clues already watches the deadline.
    GridSolver(const CellGrid& picture, Deadline& deadline);
    // Solves the clues given, `rows` top to bottom and `columns` left to
    // right, searching for a solution other than `reference` (a grid of
    // the same size that must outlive the solver; all empty for any
    // solution at all).
    GridSolver(const CellGrid& reference, const std::vector<std::vector<int>>& rows,
               const std::vector<std::vector<int>>& columns, Deadline& deadline);

    // Line solving from the current state until no line changes.
    [[nodiscard]] Outcome Propagate();

    // Looks for a solution that differs from the picture only inside a
    // square of `side` cells: every such square over the cells the lines
    // left open is tried with all cells outside it as in the picture, each
    // search given up after `most_guesses` guesses. Found leaves that
    // solution in place; otherwise the state is as before. Call after
    // Propagate and before FindOtherSolution.
    [[nodiscard]] Outcome FindNearbySolution(int side, std::size_t most_guesses);

    // Searches for a solution other than the picture: Found when there is
    // one (see Solution), Contradiction when the picture is the only one.
    [[nodiscard]] Outcome FindOtherSolution();

    [[nodiscard]] bool Solved() const { return unknown_ == 0; }
    // Cells as 1 = filled, 0 = empty (unknown cells read as empty).
    [[nodiscard]] std::vector<std::uint8_t> Solution() const;

  private:
    // Four bytes a change: a grid has at most 2^30 cells (kMostCells).
    struct Change {
        std::uint32_t cell : 30;
        std::uint32_t old : 2;
    };
    struct LineRuns {
        std::size_t first;  // into runs_
        std::size_t count;
    };
    struct Window {
        int x0, y0, x1, y1;  // [x0, x1) x [y0, y1)
    };

    // The state, queue and scratch for clues already in runs_ and clues_.
    void Start();
    [[nodiscard]] std::uint8_t PictureValue(std::size_t cell) const {
        return picture_[cell] != 0 ? kMayFill : kMayEmpty;
    }
    // Sets a cell and keeps the counts of unknown and differing cells.
    void Set(std::size_t cell, std::uint8_t value);
    void Assign(int cell, std::uint8_t value);
    void Undo(std::size_t mark);
    // The line solver, through the cache for long lines.
    [[nodiscard]] bool SolveLine(int index, const int* runs, std::size_t count, std::uint8_t* line,
                                 int length);
    void QueueLinesOf(int cell);
    void Queue(int line);
    void ClearQueue();
    [[nodiscard]] bool OutOfTime() { return deadline_->Passed(kTicksPerClockRead); }
    [[nodiscard]] bool MatchesPicture() const { return unknown_ == 0 && differing_ == 0; }
    static constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);
    // Line solves between two looks at the clock: often enough that a check
    // ends within a fraction of a millisecond of its deadline, rarely
    // enough that the clock costs nothing on small grids.
    static constexpr unsigned kTicksPerClockRead = 32;
    static constexpr int kLongLine = 512;
    // Lines of one or two words are quicker to solve than to look up;
    // longer ones than kLongestCachedLine are not cached, as the cache
    // would hold too few of them.
    static constexpr int kShortestCachedLine = 128;
    static constexpr int kLongestCachedLine = 2048;
    // Propagation, then, while the grid is unsolved, probing (`probe`) or
    // the choice of the most failed cell. Sets branch_cell_ for an
    // unsolved, consistent grid.
    [[nodiscard]] Outcome Explore(bool probe);
    [[nodiscard]] Outcome Probe();
    // The unknown cells of the window, to probe.
    void CollectProbeCells();
    void BranchOnMostFailed();
    // The first unknown cell of the grid (one must be left).
    [[nodiscard]] int FirstUnknownCell() const;
    // The depth-first search behind FindOtherSolution, given up as
    // Consistent after `most_guesses` guesses.
    [[nodiscard]] Outcome Search(std::size_t most_guesses);

    int width_;
    int height_;
    const std::vector<std::uint8_t>& picture_;
    std::vector<int> runs_;        // every line's clue, one after another
    std::vector<LineRuns> clues_;  // rows first, then columns
    Deadline* deadline_;

    std::vector<std::uint8_t> state_;  // a byte a cell: the hot loops read it
    std::size_t unknown_;
    std::size_t differing_ = 0;  // known cells unlike the picture
    bool recording_ = false;     // whether assignments go on the trail
    std::vector<Change> trail_;
    std::vector<int> queue_;  // a ring of lines: rows first, then columns
    std::size_t queue_head_ = 0;
    std::size_t queue_size_ = 0;
    std::vector<std::uint8_t> queued_;
    std::vector<std::uint8_t> line_;
    LineSolver line_solver_;
    std::unique_ptr<LineCache> cache_;  // made for the first long line
    std::vector<std::uint8_t> asked_;
    Window window_;  // where probing looks for unknown cells

    // Probing: the value each cell took in the filled trial, 0 when the
    // trial left it alone (cleared through the trail after each use), and
    // the marks of cells already collected.
    PackedCells seen_value_;
    std::vector<int> trial_cells_;
    std::vector<std::pair<int, std::uint8_t>> agreed_;
    std::vector<int> probe_cells_;
    // Contradictions met in each line (rows first), for the branching.
    std::vector<std::uint64_t> line_failures_;
    int branch_cell_ = -1;
};

}  // namespace grix
