#include "puzzle/grid_solver.h"

#include <algorithm>

#include "puzzle/clues.h"
#include "puzzle/solvability.h"

namespace grix {

static_assert(kMostCells <= std::size_t{1} << 30, "a trail entry holds a cell in 30 bits");

GridSolver::GridSolver(const CellGrid& picture, Deadline& deadline)
    : width_(picture.width),
      height_(picture.height),
      picture_(picture.cells),
      deadline_(&deadline),
      window_{0, 0, picture.width, picture.height} {
    // The runs of each row, then of each column: one flat list, so that a
    // check allocates a handful of times whatever the grid's size.
    clues_.reserve(static_cast<std::size_t>(width_) + static_cast<std::size_t>(height_));
    const auto add_line = [this](std::size_t first, int length, std::ptrdiff_t step) {
        const std::size_t start = runs_.size();
        ForEachRun(picture_.data() + first, length, step, [this](int run) { runs_.push_back(run); });
        clues_.push_back({start, runs_.size() - start});
    };
    const auto lines = static_cast<std::size_t>(width_ + height_);
    for (int y = 0; y < height_ && !deadline.Passed(64); ++y) {
        add_line(static_cast<std::size_t>(y) * static_cast<std::size_t>(width_), width_, 1);
    }
    // The columns row by row, as the cells lie in memory: first how many
    // runs each column has, then the runs into each column's place.
    if (clues_.size() == static_cast<std::size_t>(height_)) {
        const auto width = static_cast<std::size_t>(width_);
        std::vector<std::size_t> place(width + 1, 0);
        std::vector<int> run(width, 0);
        const std::uint8_t* cells = picture_.data();
        const auto each_row = [&](const auto& end_of_run) {
            for (int y = 0; y < height_; ++y, cells += width) {
                if (deadline.Passed(64))
                    return false;
                for (std::size_t x = 0; x < width; ++x) {
                    if (cells[x] != 0) {
                        ++run[x];
                    } else if (run[x] != 0) {
                        end_of_run(x);
                    }
                }
            }
            for (std::size_t x = 0; x < width; ++x) {
                if (run[x] != 0)
                    end_of_run(x);
            }
            return true;
        };
        if (each_row([&](std::size_t x) {
                ++place[x + 1];
                run[x] = 0;
            })) {
            // place[x + 1] holds column x's count; place[x] becomes where
            // its runs go.
            std::size_t at = runs_.size();
            for (std::size_t x = 0; x < width; ++x) {
                clues_.push_back({at, place[x + 1]});
                place[x] = at;
                at += place[x + 1];
            }
            runs_.resize(at);
            cells = picture_.data();
            if (!each_row([&](std::size_t x) {
                    runs_[place[x]++] = run[x];
                    run[x] = 0;
                })) {
                clues_.resize(static_cast<std::size_t>(height_));
            }
        }
    }
    if (clues_.size() != lines) {
        // Out of time already: Propagate answers so at once.
        clues_.resize(lines);
    }
    Start();
}

GridSolver::GridSolver(const CellGrid& reference, const std::vector<std::vector<int>>& rows,
                       const std::vector<std::vector<int>>& columns, Deadline& deadline)
    : width_(reference.width),
      height_(reference.height),
      picture_(reference.cells),
      deadline_(&deadline),
      window_{0, 0, reference.width, reference.height} {
    for (const auto* lines : {&rows, &columns}) {
        for (const std::vector<int>& clue : *lines) {
            clues_.push_back({runs_.size(), clue.size()});
            runs_.insert(runs_.end(), clue.begin(), clue.end());
        }
    }
    Start();
}

void GridSolver::Start() {
    const auto cells = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    const auto lines = static_cast<std::size_t>(width_ + height_);
    state_.assign(cells, kUnknown);
    unknown_ = cells;
    queue_.resize(lines);
    queued_.assign(lines, 0);
    line_failures_.assign(lines, 0);
    line_.resize(static_cast<std::size_t>(std::max(width_, height_)));
    for (int line = 0; line < width_ + height_; ++line)
        Queue(line);
}

void GridSolver::Set(std::size_t cell, std::uint8_t value) {
    const std::uint8_t slot = state_[cell];
    const std::uint8_t want = PictureValue(cell);
    unknown_ += (value == kUnknown) - (slot == kUnknown);
    differing_ += (value != kUnknown && value != want) - (slot != kUnknown && slot != want);
    state_[cell] = value;
}

void GridSolver::Assign(int cell, std::uint8_t value) {
    const auto at = static_cast<std::size_t>(cell);
    if (recording_)
        trail_.push_back({static_cast<std::uint32_t>(cell), state_[at]});
    Set(at, value);
}

void GridSolver::Undo(std::size_t mark) {
    while (trail_.size() > mark) {
        const Change change = trail_.back();
        trail_.pop_back();
        Set(change.cell, static_cast<std::uint8_t>(change.old));
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

GridSolver::Outcome GridSolver::Propagate() {
    std::uint8_t* const line = line_.data();
    // A long line may take a while to solve: the clock is read before each
    // of them.
    const unsigned every = std::max(width_, height_) >= kLongLine ? 1 : kTicksPerClockRead;
    while (queue_size_ > 0) {
        if (deadline_->Passed(every)) {
            ClearQueue();
            return Outcome::OutOfTime;
        }
        const int index = queue_[queue_head_];
        queue_head_ = (queue_head_ + 1) % queue_.size();
        --queue_size_;
        queued_[static_cast<std::size_t>(index)] = 0;

        const bool row = index < height_;
        const int length = row ? width_ : height_;
        const std::size_t first = row ? static_cast<std::size_t>(index) * width_
                                      : static_cast<std::size_t>(index - height_);
        const std::size_t step = row ? 1 : static_cast<std::size_t>(width_);
        const LineRuns clue = clues_[static_cast<std::size_t>(index)];
        bool open = false;
        for (std::size_t i = 0, cell = first; i < static_cast<std::size_t>(length);
             ++i, cell += step) {
            line[i] = state_[cell];
            open |= line[i] == kUnknown;
        }
        // A line with nothing left to find only needs its clue checked,
        // which the solver does as fast as anything else would.
        if (!SolveLine(index, runs_.data() + clue.first, clue.count, line, length)) {
            ++line_failures_[static_cast<std::size_t>(index)];
            ClearQueue();
            return Outcome::Contradiction;
        }
        if (!open)
            continue;
        for (std::size_t i = 0, cell = first; i < static_cast<std::size_t>(length);
             ++i, cell += step) {
            if (line[i] != state_[cell]) {
                Assign(static_cast<int>(cell), line[i]);
                Queue(row ? height_ + static_cast<int>(i) : static_cast<int>(i));
            }
        }
    }
    return Outcome::Consistent;
}

bool GridSolver::SolveLine(int index, const int* runs, std::size_t count, std::uint8_t* line,
                           int length) {
    if (length < kShortestCachedLine || length > kLongestCachedLine)
        return line_solver_.Solve(runs, count, line, length);
    if (!cache_)
        cache_ = std::make_unique<LineCache>(std::max(width_, height_));
    bool fits = false;
    if (cache_->Find(index, line, length, &fits))
        return fits;
    asked_.assign(line, line + length);
    fits = line_solver_.Solve(runs, count, line, length);
    cache_->Keep(index, asked_.data(), line, length, fits);
    return fits;
}

std::vector<std::uint8_t> GridSolver::Solution() const {
    std::vector<std::uint8_t> cells(state_.size());
    for (std::size_t i = 0; i < state_.size(); ++i)
        cells[i] = state_[i] == kMayFill;
    return cells;
}

GridSolver::Outcome GridSolver::Explore(bool probe) {
    const Outcome outcome = Propagate();
    if (outcome != Outcome::Consistent)
        return outcome;
    if (Solved())
        return MatchesPicture() ? Outcome::Contradiction : Outcome::Found;
    if (probe)
        return Probe();
    BranchOnMostFailed();
    return Outcome::Consistent;
}

void GridSolver::CollectProbeCells() {
    probe_cells_.clear();
    for (int y = window_.y0; y < window_.y1; ++y) {
        for (int x = window_.x0; x < window_.x1; ++x) {
            const int cell = y * width_ + x;
            if (state_[static_cast<std::size_t>(cell)] == kUnknown)
                probe_cells_.push_back(cell);
        }
    }
}

int GridSolver::FirstUnknownCell() const {
    std::size_t unknown = 0;
    while (state_[unknown] != kUnknown)
        ++unknown;
    return static_cast<int>(unknown);
}

// The unknown cell whose row and column have failed most often so far
// (the first such cell in reading order): where the search has met
// contradictions is where the next decision is likeliest to meet one
// soon, so dead ends end early and the tree stays small.
void GridSolver::BranchOnMostFailed() {
    std::uint64_t best = 0;
    branch_cell_ = -1;
    for (int y = window_.y0; y < window_.y1; ++y) {
        const std::uint64_t row = line_failures_[static_cast<std::size_t>(y)];
        for (int x = window_.x0; x < window_.x1; ++x) {
            const auto cell = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                              static_cast<std::size_t>(x);
            if (state_[cell] != kUnknown)
                continue;
            const std::uint64_t score =
                row + line_failures_[static_cast<std::size_t>(height_ + x)] + 1;
            if (score > best) {
                best = score;
                branch_cell_ = static_cast<int>(cell);
            }
        }
    }
    if (branch_cell_ < 0)
        branch_cell_ = FirstUnknownCell();  // only cells outside the window are open
}

// Tries unknown cells both ways. A value that leads to a contradiction is
// ruled out, and so is one whose lines settle the picture itself: the
// picture is then the only solution with that value, and it is not the one
// sought. Cells both ways agree on are settled. Repeats until a round
// settles nothing, then names the cell whose two trials settled the most
// as the one to branch on. Probing runs before the first branch only:
// below it, trying every open cell both ways at every node costs more
// than the branches it saves on most puzzles that need search (a 25 x 25
// survey puzzle took 150,000 probed nodes where plain branching on the
// most failed lines takes a few hundred). Probing only ever settles what
// must hold, so trying fewer cells costs the search more branches, never
// a wrong answer.
GridSolver::Outcome GridSolver::Probe() {
    if (seen_value_.size() != state_.size())
        seen_value_.Assign(state_.size(), 0);
    const auto settled = [this] {
        return MatchesPicture() ? Outcome::Contradiction : Outcome::Found;
    };
    for (;;) {
        bool progress = false;
        std::size_t best = 0;
        branch_cell_ = -1;
        CollectProbeCells();
        for (const int cell : probe_cells_) {
            if (state_[static_cast<std::size_t>(cell)] != kUnknown)
                continue;
            const std::size_t mark = trail_.size();

            Assign(cell, kMayFill);
            QueueLinesOf(cell);
            Outcome fill = Propagate();
            if (fill == Outcome::OutOfTime)
                return fill;
            if (fill == Outcome::Consistent && Solved()) {
                if (!MatchesPicture())
                    return Outcome::Found;
                fill = Outcome::Contradiction;
            }
            const std::size_t fill_count = trail_.size() - mark;
            // The filled trial's values, marked until the empty trial has
            // been held against them.
            trial_cells_.clear();
            if (fill == Outcome::Consistent) {
                for (std::size_t t = mark; t < trail_.size(); ++t) {
                    const auto at = static_cast<std::size_t>(trail_[t].cell);
                    seen_value_.Put(at, state_[at]);
                    trial_cells_.push_back(static_cast<int>(at));
                }
            }
            Undo(mark);

            Assign(cell, kMayEmpty);
            QueueLinesOf(cell);
            Outcome empty = Propagate();
            if (empty == Outcome::Consistent && Solved() && MatchesPicture())
                empty = Outcome::Contradiction;
            agreed_.clear();
            if (fill == Outcome::Consistent && empty == Outcome::Consistent) {
                for (std::size_t t = mark; t < trail_.size(); ++t) {
                    const auto at = static_cast<std::size_t>(trail_[t].cell);
                    if (seen_value_[at] == state_[at])
                        agreed_.emplace_back(static_cast<int>(at), state_[at]);
                }
            }
            for (const int at : trial_cells_)
                seen_value_.Put(static_cast<std::size_t>(at), 0);
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
            if (empty == Outcome::Contradiction)
                agreed_.emplace_back(cell, kMayFill);
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
            if (branch_cell_ < 0)
                branch_cell_ = FirstUnknownCell();  // the window has no unknown cell
            return Outcome::Consistent;
        }
    }
}

GridSolver::Outcome GridSolver::FindOtherSolution() {
    recording_ = true;
    return Search(kNoLimit);
}

// Every solution lies under exactly one leaf of the search, so each branch
// is tried both ways. While every decision so far agrees with the picture,
// the picture itself lies ahead, so the way that differs comes first: any
// solution under it is the one sought. Once a decision differs, every
// solution ahead differs too, and the way that agrees comes first: the
// other solution of a picture usually differs from it in a few cells only.
GridSolver::Outcome GridSolver::Search(std::size_t most_guesses) {
    struct Branch {
        int cell;
        std::size_t mark;
        bool agreeing;  // the cell as in the picture
        bool second;    // tried the other way already
    };
    std::vector<Branch> branches;
    const std::size_t base = trail_.size();
    int differing = 0;  // decisions on the stack that differ from the picture
    std::size_t guesses = 0;
    const auto decide = [this, &differing, &guesses](const Branch& branch) {
        ++guesses;
        const bool filled = picture_[static_cast<std::size_t>(branch.cell)] != 0;
        Assign(branch.cell, filled == branch.agreeing ? kMayFill : kMayEmpty);
        QueueLinesOf(branch.cell);
        differing += branch.agreeing ? 0 : 1;
        return Explore(false);
    };

    Outcome outcome = Explore(true);
    for (;;) {
        if (outcome == Outcome::Found || outcome == Outcome::OutOfTime)
            return outcome;
        if (guesses >= most_guesses) {
            Undo(base);
            ClearQueue();
            return Outcome::Consistent;
        }
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
