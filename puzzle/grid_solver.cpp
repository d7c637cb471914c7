#include "puzzle/grid_solver.h"

#include <algorithm>

namespace grix {
namespace {

// Line solves between two looks at the clock: often enough that a check
// ends within a fraction of a millisecond of its deadline on large grids,
// rarely enough that the clock costs nothing on small ones.
constexpr unsigned kTicksPerClockRead = 32;

}  // namespace

GridSolver::GridSolver(Clues rows, Clues columns, Clock::time_point deadline,
                       const std::atomic<bool>* cancel)
    : width_(static_cast<int>(columns.size())),
      height_(static_cast<int>(rows.size())),
      rows_(std::move(rows)),
      columns_(std::move(columns)),
      deadline_(deadline),
      cancel_(cancel) {
    const auto cells = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    state_.assign(cells, kUnknown);
    unknown_ = cells;
    const auto lines = static_cast<std::size_t>(width_ + height_);
    queue_.resize(lines);
    queued_.assign(lines, 0);
    line_.resize(static_cast<std::size_t>(std::max(width_, height_)));
    for (int line = 0; line < width_ + height_; ++line) Queue(line);
}

void GridSolver::Assign(int cell, std::uint8_t value) {
    std::uint8_t& slot = state_[static_cast<std::size_t>(cell)];
    trail_.push_back({cell, slot});
    if (slot == kUnknown) --unknown_;
    slot = value;
}

void GridSolver::Undo(std::size_t mark) {
    while (trail_.size() > mark) {
        const Change change = trail_.back();
        trail_.pop_back();
        std::uint8_t& slot = state_[static_cast<std::size_t>(change.cell)];
        if (change.old == kUnknown && slot != kUnknown) ++unknown_;
        slot = change.old;
    }
}

void GridSolver::Queue(int line) {
    auto& flag = queued_[static_cast<std::size_t>(line)];
    if (flag != 0) return;
    flag = 1;
    queue_[(queue_head_ + queue_size_) % queue_.size()] = line;
    ++queue_size_;
}

void GridSolver::QueueLinesOf(int cell) {
    Queue(cell / width_);
    Queue(height_ + cell % width_);
}

void GridSolver::ClearQueue() {
    for (; queue_size_ > 0; --queue_size_) {
        queued_[static_cast<std::size_t>(queue_[queue_head_])] = 0;
        queue_head_ = (queue_head_ + 1) % queue_.size();
    }
}

bool GridSolver::OutOfTime() {
    if (out_of_time_) return true;
    if (++ticks_ % kTicksPerClockRead != 0) return false;
    out_of_time_ = (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) ||
                   Clock::now() >= deadline_;
    return out_of_time_;
}

GridSolver::Outcome GridSolver::Propagate() {
    std::uint8_t* const line = line_.data();
    while (queue_size_ > 0) {
        if (OutOfTime()) {
            ClearQueue();
            return Outcome::OutOfTime;
        }
        const int index = queue_[queue_head_];
        queue_head_ = (queue_head_ + 1) % queue_.size();
        --queue_size_;
        queued_[static_cast<std::size_t>(index)] = 0;

        const bool row = index < height_;
        const int length = row ? width_ : height_;
        const int first = row ? index * width_ : index - height_;
        const int step = row ? 1 : width_;
        const LineClue& clue = row ? rows_[static_cast<std::size_t>(index)]
                                   : columns_[static_cast<std::size_t>(index - height_)];
        bool open = false;
        for (int i = 0, cell = first; i < length; ++i, cell += step) {
            line[i] = state_[static_cast<std::size_t>(cell)];
            open |= line[i] == kUnknown;
        }
        // A line with nothing left to find only needs its clue checked,
        // which the solver does as fast as anything else would.
        if (!line_solver_.Solve(clue, line, length)) {
            ClearQueue();
            return Outcome::Contradiction;
        }
        if (!open) continue;
        for (int i = 0, cell = first; i < length; ++i, cell += step) {
            if (line[i] != state_[static_cast<std::size_t>(cell)]) {
                Assign(cell, line[i]);
                Queue(row ? height_ + i : i);
            }
        }
    }
    return Outcome::Consistent;
}

bool GridSolver::MatchesKnown() const {
    for (std::size_t i = 0; i < state_.size(); ++i) {
        if (state_[i] != ((*known_)[i] != 0 ? kMayFill : kMayEmpty)) return false;
    }
    return true;
}

std::vector<std::uint8_t> GridSolver::Solution() const {
    std::vector<std::uint8_t> cells(state_.size());
    for (std::size_t i = 0; i < state_.size(); ++i) cells[i] = state_[i] == kMayFill;
    return cells;
}

GridSolver::Outcome GridSolver::Explore() {
    const Outcome outcome = Propagate();
    if (outcome != Outcome::Consistent) return outcome;
    if (Solved()) return MatchesKnown() ? Outcome::Contradiction : Outcome::Found;
    return Probe();
}

// Tries every unknown cell both ways. A value that leads to a
// contradiction is ruled out; cells both ways agree on are settled. Repeats
// until a whole round settles nothing, then names the cell whose two trials
// settled the most as the one to branch on.
GridSolver::Outcome GridSolver::Probe() {
    if (seen_.size() != state_.size()) {
        seen_.assign(state_.size(), 0);
        seen_value_.assign(state_.size(), 0);
    }
    const int cells = width_ * height_;
    const auto settled = [this] {
        return MatchesKnown() ? Outcome::Contradiction : Outcome::Found;
    };
    for (;;) {
        bool progress = false;
        std::size_t best = 0;
        branch_cell_ = -1;
        for (int cell = 0; cell < cells; ++cell) {
            if (state_[static_cast<std::size_t>(cell)] != kUnknown) continue;
            const std::size_t mark = trail_.size();

            Assign(cell, kMayFill);
            QueueLinesOf(cell);
            const Outcome fill = Propagate();
            if (fill == Outcome::OutOfTime) return fill;
            if (fill == Outcome::Consistent && Solved() && !MatchesKnown()) return Outcome::Found;
            const std::size_t fill_count = trail_.size() - mark;
            if (fill == Outcome::Consistent) {
                if (++epoch_ == 0) {
                    std::fill(seen_.begin(), seen_.end(), 0);
                    epoch_ = 1;
                }
                for (std::size_t t = mark; t < trail_.size(); ++t) {
                    const auto at = static_cast<std::size_t>(trail_[t].cell);
                    seen_[at] = epoch_;
                    seen_value_[at] = state_[at];
                }
            }
            Undo(mark);

            Assign(cell, kMayEmpty);
            QueueLinesOf(cell);
            const Outcome empty = Propagate();
            if (empty == Outcome::OutOfTime) return empty;
            if (empty == Outcome::Consistent && Solved() && !MatchesKnown()) return Outcome::Found;
            const std::size_t empty_count = trail_.size() - mark;

            if (fill == Outcome::Contradiction && empty == Outcome::Contradiction) {
                Undo(mark);
                return Outcome::Contradiction;
            }
            if (fill == Outcome::Contradiction) {
                // The empty trial stands as it is.
                progress = true;
                if (Solved()) return settled();
                continue;
            }
            agreed_.clear();
            if (empty == Outcome::Consistent) {
                for (std::size_t t = mark; t < trail_.size(); ++t) {
                    const auto at = static_cast<std::size_t>(trail_[t].cell);
                    if (seen_[at] == epoch_ && seen_value_[at] == state_[at]) {
                        agreed_.emplace_back(trail_[t].cell, state_[at]);
                    }
                }
            } else {
                agreed_.emplace_back(cell, kMayFill);
            }
            Undo(mark);
            if (!agreed_.empty()) {
                for (const auto& [at, value] : agreed_) {
                    Assign(at, value);
                    QueueLinesOf(at);
                }
                const Outcome outcome = Propagate();
                if (outcome != Outcome::Consistent) return outcome;
                progress = true;
                if (Solved()) return settled();
                continue;
            }
            const std::size_t score = (fill_count + 1) * (empty_count + 1);
            if (score > best) {
                best = score;
                branch_cell_ = cell;
            }
        }
        if (!progress) return Outcome::Consistent;
    }
}

GridSolver::Outcome GridSolver::FindOtherSolution(const std::vector<std::uint8_t>& known) {
    known_ = &known;
    struct Branch {
        int cell;
        std::size_t mark;
        bool agreeing;  // the second way: the cell as in `known`
    };
    std::vector<Branch> branches;
    const auto value_of = [&known](int cell, bool agreeing) {
        const bool filled = known[static_cast<std::size_t>(cell)] != 0;
        return filled == agreeing ? kMayFill : kMayEmpty;
    };

    Outcome outcome = Explore();
    for (;;) {
        if (outcome == Outcome::Found || outcome == Outcome::OutOfTime) return outcome;
        if (outcome == Outcome::Consistent) {
            // Unsolved: the way that differs from `known` first, since any
            // solution under it is the one sought.
            const int cell = branch_cell_;
            branches.push_back({cell, trail_.size(), false});
            Assign(cell, value_of(cell, false));
            QueueLinesOf(cell);
            outcome = Explore();
            continue;
        }
        // A dead end (or `known` itself): back to the latest branch not yet
        // tried the other way.
        for (;;) {
            if (branches.empty()) return Outcome::Contradiction;
            Branch& branch = branches.back();
            Undo(branch.mark);
            if (!branch.agreeing) {
                branch.agreeing = true;
                Assign(branch.cell, value_of(branch.cell, true));
                QueueLinesOf(branch.cell);
                outcome = Explore();
                break;
            }
            branches.pop_back();
        }
    }
}

}  // namespace grix
