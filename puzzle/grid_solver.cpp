#include "puzzle/grid_solver.h"

#include <algorithm>

namespace grix {
namespace {

// Line solves between two looks at the clock: often enough that a check
// ends within a fraction of a millisecond of its deadline on large grids,
// rarely enough that the clock costs nothing on small ones.
constexpr unsigned kTicksPerClockRead = 32;

}  // namespace

GridSolver::GridSolver(const CellGrid& picture, Clock::time_point deadline,
                       const std::atomic<bool>* cancel)
    : width_(picture.width),
      height_(picture.height),
      picture_(picture.cells),
      deadline_(deadline),
      cancel_(cancel) {
    const auto cells = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    // The runs of each row, then of each column: one flat list, so that a
    // check allocates a handful of times whatever the grid's size.
    clues_.reserve(static_cast<std::size_t>(width_ + height_));
    const auto add_line = [this](std::size_t first, int length, std::size_t step) {
        const std::size_t start = runs_.size();
        int run = 0;
        for (int i = 0; i < length; ++i, first += step) {
            if (picture_[first] != 0) {
                ++run;
            } else if (run != 0) {
                runs_.push_back(run);
                run = 0;
            }
        }
        if (run != 0)
            runs_.push_back(run);
        clues_.push_back({start, runs_.size() - start});
    };
    runs_.reserve(cells / 2 + static_cast<std::size_t>(width_ + height_));
    for (int y = 0; y < height_; ++y) {
        add_line(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_), width_, 1);
    }
    for (int x = 0; x < width_; ++x) {
        add_line(static_cast<std::size_t>(x), height_, static_cast<std::size_t>(width_));
    }

    state_.assign(cells, kUnknown);
    unknown_ = cells;
    // Enough for every cell of a picture the phone can show; a huge grid's
    // trail grows only as far as the budget lets the search go.
    trail_.reserve(std::min<std::size_t>(cells, 1 << 16));
    const auto lines = static_cast<std::size_t>(width_ + height_);
    queue_.resize(lines);
    queued_.assign(lines, 0);
    line_.resize(static_cast<std::size_t>(std::max(width_, height_)));
    for (int line = 0; line < width_ + height_; ++line)
        Queue(line);
}

void GridSolver::Assign(int cell, std::uint8_t value) {
    std::uint8_t& slot = state_[static_cast<std::size_t>(cell)];
    trail_.push_back({cell, slot});
    if (slot == kUnknown)
        --unknown_;
    slot = value;
}

void GridSolver::Undo(std::size_t mark) {
    while (trail_.size() > mark) {
        const Change change = trail_.back();
        trail_.pop_back();
        std::uint8_t& slot = state_[static_cast<std::size_t>(change.cell)];
        if (change.old == kUnknown && slot != kUnknown)
            ++unknown_;
        slot = change.old;
    }
}

void GridSolver::Queue(int line) {
    auto& flag = queued_[static_cast<std::size_t>(line)];
    if (flag != 0)
        return;
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
    if (out_of_time_)
        return true;
    if (++ticks_ % kTicksPerClockRead != 0)
        return false;
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
        const LineRuns clue = clues_[static_cast<std::size_t>(index)];
        bool open = false;
        for (int i = 0, cell = first; i < length; ++i, cell += step) {
            line[i] = state_[static_cast<std::size_t>(cell)];
            open |= line[i] == kUnknown;
        }
        // A line with nothing left to find only needs its clue checked,
        // which the solver does as fast as anything else would.
        if (!line_solver_.Solve(runs_.data() + clue.first, clue.count, line, length)) {
            ClearQueue();
            return Outcome::Contradiction;
        }
        if (!open)
            continue;
        for (int i = 0, cell = first; i < length; ++i, cell += step) {
            if (line[i] != state_[static_cast<std::size_t>(cell)]) {
                Assign(cell, line[i]);
                Queue(row ? height_ + i : i);
            }
        }
    }
    return Outcome::Consistent;
}

bool GridSolver::MatchesPicture() const {
    for (std::size_t i = 0; i < state_.size(); ++i) {
        if (state_[i] != (picture_[i] != 0 ? kMayFill : kMayEmpty))
            return false;
    }
    return true;
}

std::vector<std::uint8_t> GridSolver::Solution() const {
    std::vector<std::uint8_t> cells(state_.size());
    for (std::size_t i = 0; i < state_.size(); ++i)
        cells[i] = state_[i] == kMayFill;
    return cells;
}

GridSolver::Outcome GridSolver::Explore(std::size_t since) {
    const Outcome outcome = Propagate();
    if (outcome != Outcome::Consistent)
        return outcome;
    if (Solved())
        return MatchesPicture() ? Outcome::Contradiction : Outcome::Found;
    return Probe(since);
}

void GridSolver::CollectProbeCells(std::size_t since) {
    probe_cells_.clear();
    const int cells = width_ * height_;
    if (since == kEverything) {
        for (int cell = 0; cell < cells; ++cell) {
            if (state_[static_cast<std::size_t>(cell)] == kUnknown)
                probe_cells_.push_back(cell);
        }
        return;
    }
    if (line_stamp_.size() != queued_.size()) {
        line_stamp_.assign(queued_.size(), 0);
        cell_stamp_.assign(state_.size(), 0);
    }
    if (++stamp_ == 0) {
        std::fill(line_stamp_.begin(), line_stamp_.end(), 0);
        std::fill(cell_stamp_.begin(), cell_stamp_.end(), 0);
        stamp_ = 1;
    }
    const auto take_line = [this](int line) {
        auto& mark = line_stamp_[static_cast<std::size_t>(line)];
        if (mark == stamp_)
            return;
        mark = stamp_;
        const bool row = line < height_;
        const int length = row ? width_ : height_;
        const int step = row ? 1 : width_;
        for (int i = 0, cell = row ? line * width_ : line - height_; i < length;
             ++i, cell += step) {
            const auto at = static_cast<std::size_t>(cell);
            if (state_[at] == kUnknown && cell_stamp_[at] != stamp_) {
                cell_stamp_[at] = stamp_;
                probe_cells_.push_back(cell);
            }
        }
    };
    for (std::size_t t = since; t < trail_.size(); ++t) {
        take_line(trail_[t].cell / width_);
        take_line(height_ + trail_[t].cell % width_);
    }
}

// Tries unknown cells both ways. A value that leads to a contradiction is
// ruled out; cells both ways agree on are settled. Repeats until a round
// settles nothing, then names the cell whose two trials settled the most
// as the one to branch on. At the top every unknown cell is tried in every
// round; below a branch only the cells of lines that changed since
// (`since`, a mark in the trail), since the rest were tried before the
// branch and trying them again seldom finds anything new. Probing only
// ever settles what must hold, so trying fewer cells costs the search
// more branches, never a wrong answer.
GridSolver::Outcome GridSolver::Probe(std::size_t since) {
    if (seen_.size() != state_.size()) {
        seen_.assign(state_.size(), 0);
        seen_value_.assign(state_.size(), 0);
    }
    const auto settled = [this] {
        return MatchesPicture() ? Outcome::Contradiction : Outcome::Found;
    };
    for (;;) {
        bool progress = false;
        std::size_t best = 0;
        branch_cell_ = -1;
        const std::size_t round_start = trail_.size();
        CollectProbeCells(since);
        for (const int cell : probe_cells_) {
            if (state_[static_cast<std::size_t>(cell)] != kUnknown)
                continue;
            const std::size_t mark = trail_.size();

            Assign(cell, kMayFill);
            QueueLinesOf(cell);
            const Outcome fill = Propagate();
            if (fill == Outcome::OutOfTime)
                return fill;
            if (fill == Outcome::Consistent && Solved() && !MatchesPicture())
                return Outcome::Found;
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
            if (empty == Outcome::OutOfTime)
                return empty;
            if (empty == Outcome::Consistent && Solved() && !MatchesPicture())
                return Outcome::Found;
            const std::size_t empty_count = trail_.size() - mark;

            if (fill == Outcome::Contradiction && empty == Outcome::Contradiction) {
                Undo(mark);
                return Outcome::Contradiction;
            }
            if (fill == Outcome::Contradiction) {
                // The empty trial stands as it is.
                progress = true;
                if (Solved())
                    return settled();
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
                if (outcome != Outcome::Consistent)
                    return outcome;
                progress = true;
                if (Solved())
                    return settled();
                continue;
            }
            const std::size_t score = (fill_count + 1) * (empty_count + 1);
            if (score > best) {
                best = score;
                branch_cell_ = cell;
            }
        }
        if (!progress) {
            if (branch_cell_ < 0) {
                // Nothing was tried (no changed line has an unknown cell).
                const auto unknown = std::find(state_.begin(), state_.end(), kUnknown);
                branch_cell_ = static_cast<int>(unknown - state_.begin());
            }
            return Outcome::Consistent;
        }
        if (since != kEverything)
            since = round_start;
    }
}

// Every solution lies under exactly one leaf of the search, so each branch
// is tried both ways. While every decision so far agrees with the picture,
// the picture itself lies ahead, so the way that differs comes first: any
// solution under it is the one sought. Once a decision differs, every
// solution ahead differs too, and the way that agrees comes first: the
// other solution of a picture usually differs from it in a few cells only.
GridSolver::Outcome GridSolver::FindOtherSolution() {
    struct Branch {
        int cell;
        std::size_t mark;
        bool agreeing;  // the cell as in the picture
        bool second;    // tried the other way already
    };
    std::vector<Branch> branches;
    int differing = 0;  // decisions on the stack that differ from the picture
    const auto decide = [this, &differing](const Branch& branch) {
        const bool filled = picture_[static_cast<std::size_t>(branch.cell)] != 0;
        Assign(branch.cell, filled == branch.agreeing ? kMayFill : kMayEmpty);
        QueueLinesOf(branch.cell);
        differing += branch.agreeing ? 0 : 1;
        return Explore(branch.mark);
    };

    Outcome outcome = Explore(kEverything);
    for (;;) {
        if (outcome == Outcome::Found || outcome == Outcome::OutOfTime)
            return outcome;
        if (outcome == Outcome::Consistent) {
            branches.push_back({branch_cell_, trail_.size(), differing > 0, false});
            outcome = decide(branches.back());
            continue;
        }
        // A dead end (or the picture itself): back to the latest branch not
        // yet tried the other way.
        for (;;) {
            if (branches.empty())
                return Outcome::Contradiction;
            Branch& branch = branches.back();
            Undo(branch.mark);
            differing -= branch.agreeing ? 0 : 1;
            if (!branch.second) {
                branch.second = true;
                branch.agreeing = !branch.agreeing;
                outcome = decide(branch);
                break;
            }
            branches.pop_back();
        }
    }
}

}  // namespace grix
