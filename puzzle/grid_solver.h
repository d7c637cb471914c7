// Solving a crossword from the clues of a picture: line solving to a fixed
// point, then probing and a depth-first search for a solution other than
// the picture. Used by CheckCells.
//
// One propagation pass solves each queued line once, O(n + k x slack) <=
// O(n x k) per line (see LineSolver), so a pass over every line of a
// W x H grid costs O(W x H x k) for k runs per line at most. Only lines
// whose cells changed go back into the queue.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

#include "cells/cell_grid.h"
#include "puzzle/line_solver.h"

namespace grix {

class GridSolver {
  public:
    using Clock = std::chrono::steady_clock;

    enum class Outcome {
        Consistent,     // no contradiction found; the grid may be unsolved
        Contradiction,  // no solution fits what is assigned
        Found,          // a complete solution other than the picture
        OutOfTime,      // the deadline passed or the caller cancelled
    };

    // Solves the clues of `picture` (rows, then columns), starting from a
    // grid where every cell is unknown. `picture` must outlive the solver.
    GridSolver(const CellGrid& picture, Clock::time_point deadline,
               const std::atomic<bool>* cancel = nullptr);

    // Line solving from the current state until no line changes.
    [[nodiscard]] Outcome Propagate();

    // Searches for a solution other than the picture: Found when there is
    // one (see Solution), Contradiction when the picture is the only one.
    [[nodiscard]] Outcome FindOtherSolution();

    [[nodiscard]] bool Solved() const { return unknown_ == 0; }
    // Cells as 1 = filled, 0 = empty (unknown cells read as empty).
    [[nodiscard]] std::vector<std::uint8_t> Solution() const;
    [[nodiscard]] const std::vector<std::uint8_t>& State() const { return state_; }

  private:
    struct Change {
        int cell;
        std::uint8_t old;
    };
    struct LineRuns {
        std::size_t first;  // into runs_
        std::size_t count;
    };

    void Assign(int cell, std::uint8_t value);
    void Undo(std::size_t mark);
    void QueueLinesOf(int cell);
    void Queue(int line);
    void ClearQueue();
    [[nodiscard]] bool OutOfTime();
    [[nodiscard]] bool MatchesPicture() const;
    static constexpr std::size_t kEverything = static_cast<std::size_t>(-1);
    // Propagation, then probing while the grid is unsolved (see Probe for
    // `since`). Sets branch_cell_ for an unsolved, consistent grid.
    [[nodiscard]] Outcome Explore(std::size_t since);
    [[nodiscard]] Outcome Probe(std::size_t since);
    // The unknown cells to probe: all of them (kEverything), or those of
    // the lines with a cell changed since the trail mark `since`.
    void CollectProbeCells(std::size_t since);

    int width_;
    int height_;
    const std::vector<std::uint8_t>& picture_;
    std::vector<int> runs_;        // every line's clue, one after another
    std::vector<LineRuns> clues_;  // rows first, then columns
    Clock::time_point deadline_;
    const std::atomic<bool>* cancel_;
    bool out_of_time_ = false;
    unsigned ticks_ = 0;

    std::vector<std::uint8_t> state_;
    std::size_t unknown_;
    std::vector<Change> trail_;
    std::vector<int> queue_;  // a ring of lines: rows first, then columns
    std::size_t queue_head_ = 0;
    std::size_t queue_size_ = 0;
    std::vector<std::uint8_t> queued_;
    std::vector<std::uint8_t> line_;
    LineSolver line_solver_;

    std::vector<std::uint32_t> seen_;  // probing: epoch per cell
    std::vector<std::uint8_t> seen_value_;
    std::uint32_t epoch_ = 0;
    std::vector<std::pair<int, std::uint8_t>> agreed_;
    std::vector<int> probe_cells_;
    std::vector<std::uint32_t> line_stamp_;  // lines already taken, by stamp
    std::vector<std::uint32_t> cell_stamp_;
    std::uint32_t stamp_ = 0;
    int branch_cell_ = -1;
};

}  // namespace grix
