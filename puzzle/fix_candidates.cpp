// The fix search's knowledge: the other solutions known so far, which
// changes escape them, the verdict on each grid tried, and the cells worth
// trying next.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "puzzle/clues.h"
#include "puzzle/fix_search.h"
#include "puzzle/line_solver.h"

namespace grix::fix_search {

bool SameRuns(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    const std::size_t n = a.size();
    std::size_t i = 0, j = 0;
    for (;;) {
        while (i < n && a[i] == 0)
            ++i;
        while (j < n && b[j] == 0)
            ++j;
        if (i == n || j == n)
            return i == n && j == n;
        std::size_t run_a = 0, run_b = 0;
        for (; i < n && a[i] != 0; ++i)
            ++run_a;
        for (; j < n && b[j] != 0; ++j)
            ++run_b;
        if (run_a != run_b)
            return false;
    }
}

Changes With(const Changes& changes, int cell) {
    Changes out;
    out.reserve(changes.size() + 1);
    const auto at = std::lower_bound(changes.begin(), changes.end(), cell);
    out.insert(out.end(), changes.begin(), at);
    out.push_back(cell);
    out.insert(out.end(), at, changes.end());
    return out;
}

Changes Without(const Changes& changes, std::size_t index) {
    Changes out = changes;
    out.erase(out.begin() + static_cast<std::ptrdiff_t>(index));
    return out;
}

CellGrid FixSearch::Apply(const Changes& changes) const {
    CellGrid grid = picture_;
    for (const int cell : changes)
        grid.cells[static_cast<std::size_t>(cell)] ^= 1;
    return grid;
}

int FixSearch::AddWitness(Changes base, const std::vector<int>& differs) {
    Witness w;
    w.base = std::move(base);
    w.rows.assign(static_cast<std::size_t>(height_), 0);
    w.columns.assign(static_cast<std::size_t>(width_), 0);
    for (const int cell : differs) {
        const int x = cell % width_, y = cell / width_;
        w.by_row.push_back(cell);
        w.by_column.push_back(x * height_ + y);
        w.rows[static_cast<std::size_t>(y)] = 1;
        w.columns[static_cast<std::size_t>(x)] = 1;
    }
    std::sort(w.by_row.begin(), w.by_row.end());
    std::sort(w.by_column.begin(), w.by_column.end());
    const auto rows = static_cast<std::size_t>(std::count(w.rows.begin(), w.rows.end(), 1));
    const auto columns =
        static_cast<std::size_t>(std::count(w.columns.begin(), w.columns.end(), 1));
    w.line_cells = rows * static_cast<std::size_t>(width_) +
                   columns * static_cast<std::size_t>(height_) - rows * columns;
    witnesses_.push_back(std::move(w));
    return static_cast<int>(witnesses_.size()) - 1;
}

// The four corners of a rectangle, filled on one diagonal and empty on the
// other, whose swap keeps every clue: each is another solution, found far
// quicker than a search would find them one by one.
void FixSearch::ListSwitches() {
    if (width_ > kSwitchListSide || height_ > kSwitchListSide)
        return;
    const auto at = [this](int x, int y) {
        return picture_.cells[static_cast<std::size_t>(y * width_ + x)];
    };
    const auto swap_keeps = [this](int line, bool row, int a, int b) {
        const int length = row ? width_ : height_;
        line_.resize(static_cast<std::size_t>(length));
        for (int i = 0; i < length; ++i)
            line_[static_cast<std::size_t>(i)] =
                picture_
                    .cells[static_cast<std::size_t>(row ? line * width_ + i : i * width_ + line)];
        other_ = line_;
        other_[static_cast<std::size_t>(a)] ^= 1;
        other_[static_cast<std::size_t>(b)] ^= 1;
        return SameRuns(line_, other_);
    };
    const auto known = [this](const std::vector<int>& corners) {
        return std::any_of(picture_witnesses_.begin(), picture_witnesses_.end(), [&](int w) {
            return witnesses_[static_cast<std::size_t>(w)].by_row == corners;
        });
    };
    std::vector<int> rows;
    for (int x1 = 0; x1 < width_; ++x1) {
        for (int x2 = x1 + 1; x2 < width_; ++x2) {
            rows.clear();
            for (int y = 0; y < height_; ++y) {
                if (at(x1, y) != at(x2, y) && swap_keeps(y, true, x1, x2))
                    rows.push_back(y);
            }
            for (std::size_t i = 0; i < rows.size(); ++i) {
                for (std::size_t j = i + 1; j < rows.size(); ++j) {
                    const int y1 = rows[i], y2 = rows[j];
                    if (at(x1, y1) == at(x1, y2) || !swap_keeps(x1, false, y1, y2) ||
                        !swap_keeps(x2, false, y1, y2))
                        continue;
                    const std::vector<int> corners{y1 * width_ + x1, y1 * width_ + x2,
                                                   y2 * width_ + x1, y2 * width_ + x2};
                    if (known(corners))
                        continue;
                    picture_witnesses_.push_back(AddWitness({}, corners));
                    if (picture_witnesses_.size() >= kMostSwitches)
                        return;
                }
            }
        }
    }
}

bool FixSearch::KeepsRuns(int line, bool row, const Changes& changes, const Witness& w) {
    const int length = row ? width_ : height_;
    line_.resize(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        line_[static_cast<std::size_t>(i)] =
            picture_.cells[static_cast<std::size_t>(row ? line * width_ + i : i * width_ + line)];
    for (const int cell : changes) {
        const int x = cell % width_, y = cell / width_;
        if (row ? y == line : x == line)
            line_[static_cast<std::size_t>(row ? x : y)] ^= 1;
    }
    other_ = line_;
    const std::vector<int>& cells = row ? w.by_row : w.by_column;
    const int first = line * length;
    for (auto it = std::lower_bound(cells.begin(), cells.end(), first);
         it != cells.end() && *it < first + length; ++it)
        other_[static_cast<std::size_t>(*it - first)] ^= 1;
    return SameRuns(line_, other_);
}

bool FixSearch::Escapes(const Witness& w, const Changes& changes) {
    // Only lines that both the witness and the step from its grid touch
    // can tell the two solutions apart.
    const Changes* step = &changes;
    if (!w.base.empty()) {
        scratch_.clear();
        std::set_symmetric_difference(w.base.begin(), w.base.end(), changes.begin(), changes.end(),
                                      std::back_inserter(scratch_));
        step = &scratch_;
    }
    for (const int cell : *step) {
        const int x = cell % width_, y = cell / width_;
        if (w.rows[static_cast<std::size_t>(y)] != 0 && !KeepsRuns(y, true, changes, w))
            return true;
        if (w.columns[static_cast<std::size_t>(x)] != 0 && !KeepsRuns(x, false, changes, w))
            return true;
    }
    return false;
}

Judged FixSearch::Judge(const Changes& changes, bool smallest_refuter) {
    if (const auto known = judged_.find(changes); known != judged_.end())
        return known->second;
    Judged judged;
    const auto consider = [&](int index) {
        const Witness& w = witnesses_[static_cast<std::size_t>(index)];
        if (judged.witness >= 0 &&
            (!smallest_refuter ||
             witnesses_[static_cast<std::size_t>(judged.witness)].line_cells <= w.line_cells))
            return;
        if (!Escapes(w, changes))
            judged.witness = index;
    };
    for (const int index : picture_witnesses_)
        consider(index);
    for (std::size_t i = 0; i < changes.size() && changes.size() > 1; ++i) {
        if (const auto found = witness_of_.find(Without(changes, i)); found != witness_of_.end())
            consider(found->second);
    }
    if (judged.witness >= 0) {
        judged.judgement = Judgement::Refuted;
        judged.verdict = Verdict::Several;
        return judged_[changes] = judged;
    }
    if (Stopped())
        return judged;  // not kept: it was never looked at
    const double left = std::chrono::duration<double>(deadline_ - Clock::now()).count();
    const CheckResult check =
        CheckCells(Apply(changes), std::min(left, kDefaultCheckBudget), cancel_);
    ++checks_;
    judged.verdict = check.verdict;
    switch (check.verdict) {
        case Verdict::Line:
            judged.judgement = Judgement::Fix;
            break;
        case Verdict::Search:
            judged.judgement = limits_.line_logic ? Judgement::Unfair : Judgement::Fix;
            break;
        case Verdict::Blank:
            judged.judgement = Judgement::Unfair;
            break;
        case Verdict::Several: {
            std::vector<int> differs;
            for (const auto& [x, y] : check.differs)
                differs.push_back(y * width_ + x);
            judged.judgement = Judgement::Refuted;
            judged.witness = AddWitness(changes, differs);
            witness_of_[changes] = judged.witness;
            break;
        }
        case Verdict::Undecided:
            if (Stopped())
                return judged;  // cut short by the deadline: may be asked again
            break;
    }
    return judged_[changes] = judged;
}

// The cells of the witness's rows and columns, those where it differs
// first, then the nearer ones: every fix of its grid changes one of them.
const std::vector<int>& FixSearch::LineCells(int witness) {
    if (const auto known = line_cells_.find(witness); known != line_cells_.end())
        return known->second;
    const Witness& w = witnesses_[static_cast<std::size_t>(witness)];
    std::vector<std::pair<int, int>> ranked;  // distance, cell
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (w.rows[static_cast<std::size_t>(y)] == 0 &&
                w.columns[static_cast<std::size_t>(x)] == 0)
                continue;
            // The nearest differing cell along the row and the column.
            int distance = width_ + height_;
            const auto row_begin = std::lower_bound(w.by_row.begin(), w.by_row.end(), y * width_);
            for (auto it = row_begin; it != w.by_row.end() && *it < (y + 1) * width_; ++it)
                distance = std::min(distance, std::abs(*it - (y * width_ + x)));
            const auto column_begin =
                std::lower_bound(w.by_column.begin(), w.by_column.end(), x * height_);
            for (auto it = column_begin; it != w.by_column.end() && *it < (x + 1) * height_; ++it)
                distance = std::min(distance, std::abs(*it - (x * height_ + y)));
            ranked.emplace_back(distance, y * width_ + x);
        }
    }
    std::sort(ranked.begin(), ranked.end());
    std::vector<int> cells;
    cells.reserve(ranked.size());
    for (const auto& entry : ranked)
        cells.push_back(entry.second);
    return line_cells_[witness] = std::move(cells);
}

std::vector<int> FixSearch::AllCells() const {
    std::vector<int> cells(static_cast<std::size_t>(cells_));
    for (int i = 0; i < cells_; ++i)
        cells[static_cast<std::size_t>(i)] = i;
    return cells;
}

std::vector<int> FixSearch::StalledCells(const Changes& changes) {
    const CellGrid grid = Apply(changes);
    const Clues rows = RowClues(grid), columns = ColumnClues(grid);
    std::vector<std::uint8_t> state(grid.cells.size(), kUnknown);
    LineSolver solver;
    const auto solve = [&](int index, bool row) {
        const int length = row ? width_ : height_;
        const auto cell = [&](int i) {
            return static_cast<std::size_t>(row ? index * width_ + i : i * width_ + index);
        };
        line_.resize(static_cast<std::size_t>(length));
        for (int i = 0; i < length; ++i)
            line_[static_cast<std::size_t>(i)] = state[cell(i)];
        const LineClue& clue =
            row ? rows[static_cast<std::size_t>(index)] : columns[static_cast<std::size_t>(index)];
        bool changed = false;
        if (solver.Solve(clue, line_.data(), length)) {
            for (int i = 0; i < length; ++i) {
                changed |= state[cell(i)] != line_[static_cast<std::size_t>(i)];
                state[cell(i)] = line_[static_cast<std::size_t>(i)];
            }
        }
        return changed;
    };
    for (bool changed = true; changed && !Stopped();) {
        changed = false;
        for (int y = 0; y < height_; ++y)
            changed |= solve(y, true);
        for (int x = 0; x < width_; ++x)
            changed |= solve(x, false);
    }
    std::vector<int> cells;
    std::vector<std::uint8_t> taken(state.size(), 0);
    for (int i = 0; i < cells_; ++i) {
        if (state[static_cast<std::size_t>(i)] == kUnknown) {
            cells.push_back(i);
            taken[static_cast<std::size_t>(i)] = 1;
        }
    }
    const std::size_t unknown = cells.size();
    for (std::size_t k = 0; k < unknown; ++k) {
        const int x = cells[k] % width_, y = cells[k] / width_;
        for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_)
                continue;
            const int near = ny * width_ + nx;
            if (taken[static_cast<std::size_t>(near)] == 0) {
                taken[static_cast<std::size_t>(near)] = 1;
                cells.push_back(near);
            }
        }
    }
    return cells;
}

std::vector<int> FixSearch::AllCellsFrom(const std::vector<int>& first) const {
    std::vector<int> cells = first;
    std::vector<std::uint8_t> taken(static_cast<std::size_t>(cells_), 0);
    for (const int cell : first)
        taken[static_cast<std::size_t>(cell)] = 1;
    for (int i = 0; i < cells_; ++i) {
        if (taken[static_cast<std::size_t>(i)] == 0)
            cells.push_back(i);
    }
    return cells;
}

}  // namespace grix::fix_search
