// Solving a whole crossword from its clues: line solving to a fixed point,
// then probing and a depth-first search for a solution other than a known
// one. Used by CheckCells; open to tests and benchmarks.
//
// One propagation pass solves each queued line once: O(n x k) per line, so
// O(width x height x runs per line) for a pass over the whole grid. Only
// lines whose cells changed go back into the queue.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

#include "puzzle/clues.h"
#include "puzzle/line_solver.h"

namespace grix {

class GridSolver {
public:
    using Clock = std::chrono::steady_clock;

    enum class Outcome {
        Consistent,     // no contradiction found; the grid may be unsolved
        Contradiction,  // no solution fits what is assigned
        Found,          // a complete solution other than the known one
        OutOfTime,      // the deadline passed or the caller cancelled
    };

    GridSolver(Clues rows, Clues columns, Clock::time_point deadline,
               const std::atomic<bool>* cancel = nullptr);

    // Line solving from the current state until no line changes.
    [[nodiscard]] Outcome Propagate();

    // Searches for a solution other than `known` (which must fit the
    // clues): Found when there is one (see Solution), Contradiction when
    // `known` is the only one.
    [[nodiscard]] Outcome FindOtherSolution(const std::vector<std::uint8_t>& known);

    [[nodiscard]] bool Solved() const { return unknown_ == 0; }
    // Cells as 1 = filled, 0 = empty (unknown cells read as empty).
    [[nodiscard]] std::vector<std::uint8_t> Solution() const;
    [[nodiscard]] const std::vector<std::uint8_t>& State() const { return state_; }

private:
    struct Change {
        int cell;
        std::uint8_t old;
    };

    void Assign(int cell, std::uint8_t value);
    void Undo(std::size_t mark);
    void QueueLinesOf(int cell);
    void Queue(int line);
    void ClearQueue();
    [[nodiscard]] bool OutOfTime();
    [[nodiscard]] bool MatchesKnown() const;
    // Propagation, then probing while the grid is unsolved. Sets
    // branch_cell_ for an unsolved, consistent grid.
    [[nodiscard]] Outcome Explore();
    [[nodiscard]] Outcome Probe();

    int width_;
    int height_;
    Clues rows_;
    Clues columns_;
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

    const std::vector<std::uint8_t>* known_ = nullptr;
    std::vector<std::uint32_t> seen_;  // probing: epoch per cell
    std::vector<std::uint8_t> seen_value_;
    std::uint32_t epoch_ = 0;
    std::vector<std::pair<int, std::uint8_t>> agreed_;
    int branch_cell_ = -1;
};

}  // namespace grix
