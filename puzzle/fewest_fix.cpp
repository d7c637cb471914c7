#include "puzzle/fewest_fix.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <utility>

#include "puzzle/clues.h"
#include "puzzle/line_solver.h"

namespace grix {
namespace {

using Clock = std::chrono::steady_clock;
// Sorted cell indices (y x width + x): the cells changed from the picture.
using Changes = std::vector<int>;

// Beyond this a budget means "no limit"; it also keeps the deadline's
// arithmetic clear of overflow.
constexpr double kLongestBudget = 1e6;
// Switches are listed up front on grids up to this side (the listing costs
// side^4 line steps), and at most this many of them.
constexpr int kSwitchListSide = 64;
constexpr std::size_t kMostSwitches = 256;
// A greedy step weighs at most this many cells.
constexpr std::size_t kMostStepCells = 400;
// The share of the budget greedy paths may take before the exhaustive
// search of pairs when no fix is known yet.
constexpr double kFirstFixShare = 0.25;
// A greedy path may go this many times deeper than the fix it looks for:
// the needless changes it made on the way are dropped once it ends in a fix.
constexpr std::size_t kDiveReach = 2;

// Another solution known for the picture changed in `base`: the cells
// where it differs from that grid, by row and by column.
struct Witness {
    Changes base;
    std::vector<int> by_row;     // y x width + x, sorted
    std::vector<int> by_column;  // x x height + y, sorted
    std::vector<std::uint8_t> rows;
    std::vector<std::uint8_t> columns;
    std::size_t line_cells = 0;  // cells in those rows and columns together
};

enum class Judgement {
    Fix,        // fair as asked
    Refuted,    // another solution is known (`witness`)
    Unfair,     // unique but not solved line by line (when asked), or blank
    Undecided,  // its check ran out of time
};

struct Judged {
    Judgement judgement = Judgement::Undecided;
    Verdict verdict = Verdict::Undecided;
    int witness = -1;
};

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

class FixSearch {
  public:
    FixSearch(const CellGrid& picture, const FixLimits& limits, const std::atomic<bool>* cancel)
        : picture_(picture),
          width_(picture.width),
          height_(picture.height),
          cells_(static_cast<int>(picture.cells.size())),
          limits_(limits),
          cancel_(cancel),
          start_(Clock::now()),
          deadline_(start_ +
                    std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                        std::clamp(limits.budget_seconds, 0.0, kLongestBudget)))) {}

    FixResult Run();

  private:
    [[nodiscard]] double Elapsed() const {
        return std::chrono::duration<double>(Clock::now() - start_).count();
    }
    [[nodiscard]] bool Stopped() const {
        return Clock::now() >= deadline_ || (cancel_ != nullptr && cancel_->load());
    }
    [[nodiscard]] CellGrid Apply(const Changes& changes) const;
    int AddWitness(Changes base, const std::vector<int>& differs);
    void ListSwitches();
    // Whether a row (or column) of the grid changed in `changes` keeps its
    // clue when the witness's cells in it are flipped as well.
    [[nodiscard]] bool KeepsRuns(int line, bool row, const Changes& changes, const Witness& w);
    // Whether the grid changed in `changes` escapes witness `w`, i.e. `w`
    // no longer shows it another solution.
    [[nodiscard]] bool Escapes(const Witness& w, const Changes& changes);
    // The known other solutions first (the picture's own, and those found
    // for the grids one change short of this one); the check only when
    // none of them stands. Answers are kept: no grid is checked twice.
    // `smallest_refuter` asks for the standing witness with the fewest
    // line cells, whose lines then hold the next change.
    [[nodiscard]] Judged Judge(const Changes& changes, bool smallest_refuter);
    [[nodiscard]] const std::vector<int>& LineCells(int witness);
    [[nodiscard]] std::vector<int> AllCells() const;
    // The cells line logic leaves unknown in the grid changed in
    // `changes`, then their neighbours: where a change may let it through.
    [[nodiscard]] std::vector<int> StalledCells(const Changes& changes);
    // `first`, then every other cell.
    [[nodiscard]] std::vector<int> AllCellsFrom(const std::vector<int>& first) const;
    void Offer(const Changes& changes, Verdict verdict);
    [[nodiscard]] Changes Minimized(Changes changes);
    [[nodiscard]] bool Proven() const { return best_ && static_cast<int>(best_->size()) <= lower_; }
    void NoteProof();
    // Each answers true when it went through every candidate.
    [[nodiscard]] bool SingleCells();
    [[nodiscard]] bool CellPairs();
    void Dive(std::mt19937& random, std::size_t most);

    const CellGrid& picture_;
    const int width_;
    const int height_;
    const int cells_;
    const FixLimits limits_;
    const std::atomic<bool>* cancel_;
    const Clock::time_point start_;
    const Clock::time_point deadline_;

    std::vector<Witness> witnesses_;
    std::vector<int> picture_witnesses_;  // the picture's own, base empty
    std::map<Changes, int> witness_of_;   // by base, for those found by the check
    std::map<Changes, Judged> judged_;
    std::map<int, std::vector<int>> line_cells_;  // by witness
    std::vector<int> seeds_;                      // where every fix has a cell
    std::optional<Changes> best_;
    Verdict best_verdict_ = Verdict::Undecided;
    int lower_ = 1;  // no fix of fewer cells exists
    int checks_ = 0;
    double first_fix_seconds_ = -1;
    double proven_seconds_ = -1;
    std::vector<std::uint8_t> line_, other_;  // scratch
    Changes scratch_;
};

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

void FixSearch::Offer(const Changes& changes, Verdict verdict) {
    if (changes.size() > static_cast<std::size_t>(limits_.most_cells))
        return;
    const bool fewer = !best_ || changes.size() < best_->size();
    const bool nicer = best_ && changes.size() == best_->size() && verdict == Verdict::Line &&
                       best_verdict_ != Verdict::Line;
    if (!fewer && !nicer)
        return;
    best_ = changes;
    best_verdict_ = verdict;
    if (first_fix_seconds_ < 0)
        first_fix_seconds_ = Elapsed();
    NoteProof();
}

void FixSearch::NoteProof() {
    if (Proven() && proven_seconds_ < 0)
        proven_seconds_ = Elapsed();
}

// A greedy fix often carries a change a later one made needless.
Changes FixSearch::Minimized(Changes changes) {
    for (std::size_t i = 0; i < changes.size() && changes.size() > 1;) {
        Changes fewer = Without(changes, i);
        if (Judge(fewer, false).judgement == Judgement::Fix) {
            changes = std::move(fewer);
            i = 0;
        } else {
            ++i;
        }
    }
    return changes;
}

bool FixSearch::SingleCells() {
    bool decided = true;
    for (const int cell : seeds_) {
        if (Stopped())
            return false;
        const Judged judged = Judge({cell}, true);
        if (judged.judgement == Judgement::Fix) {
            Offer({cell}, judged.verdict);
            // Nothing beats one cell but a fix that line logic solves.
            if (best_verdict_ == Verdict::Line)
                return decided;
        }
        decided &= judged.judgement != Judgement::Undecided;
    }
    if (decided)
        lower_ = std::max(lower_, 2);
    NoteProof();
    return decided;
}

bool FixSearch::CellPairs() {
    // Every fix has a cell among the seeds; with one of them changed, the
    // other cell must escape what is then known to be another solution.
    bool decided = true;
    const std::vector<int> all = AllCells();
    for (const int first : seeds_) {
        const Judged single = Judge({first}, true);
        if (single.judgement == Judgement::Undecided && Stopped())
            return false;
        const std::vector<int> seconds = single.witness >= 0 ? LineCells(single.witness)
                                         : single.verdict == Verdict::Search
                                             ? AllCellsFrom(StalledCells({first}))
                                             : all;
        for (const int second : seconds) {
            if (second == first)
                continue;
            if (Stopped())
                return false;
            const Changes pair = first < second ? Changes{first, second} : Changes{second, first};
            const Judged judged = Judge(pair, false);
            if (judged.judgement == Judgement::Fix) {
                Offer(pair, judged.verdict);
                if (best_verdict_ == Verdict::Line)
                    return true;
            }
            decided &= judged.judgement != Judgement::Undecided;
        }
    }
    // Pairs prove nothing while a single cell is left undecided.
    if (decided && lower_ >= 2)
        lower_ = 3;
    NoteProof();
    return decided;
}

// One greedy path: each step takes the cell that lets the changed grid
// escape the most other solutions known to stand, ties broken at random;
// the real check is asked only once no known one stands.
void FixSearch::Dive(std::mt19937& random, std::size_t most) {
    Changes changes;
    std::vector<int> standing = picture_witnesses_;
    int current = -1;  // the other solution whose lines the next cell comes from
    const auto smallest = [this, &standing] {
        int found = -1;
        for (const int w : standing) {
            if (found < 0 || witnesses_[static_cast<std::size_t>(w)].line_cells <
                                 witnesses_[static_cast<std::size_t>(found)].line_cells)
                found = w;
        }
        return found;
    };
    current = smallest();
    const std::vector<int> all = AllCells();
    // Where line logic stops, when no other solution is known to steer by.
    std::vector<int> stalled = current < 0 ? StalledCells(changes) : std::vector<int>{};
    std::vector<int> step_cells;
    while (changes.size() < most) {
        if (Stopped())
            return;
        if (current >= 0) {
            // Nearest first: the cells where the other solution differs
            // and their neighbourhood.
            const std::vector<int>& lines = LineCells(current);
            step_cells.assign(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                 lines.size(), kMostStepCells)));
        } else if (!stalled.empty()) {
            step_cells.clear();
            std::sample(stalled.begin(), stalled.end(), std::back_inserter(step_cells),
                        kMostStepCells, random);
        } else {
            step_cells.clear();
            std::sample(all.begin(), all.end(), std::back_inserter(step_cells), kMostStepCells,
                        random);
        }
        int best_cell = -1, best_score = -1, ties = 0;
        for (const int cell : step_cells) {
            if (std::binary_search(changes.begin(), changes.end(), cell))
                continue;
            const Changes next = With(changes, cell);
            int score = 0;
            for (const int w : standing)
                score += Escapes(witnesses_[static_cast<std::size_t>(w)], next) ? 1 : 0;
            if (score > best_score) {
                best_score = score;
                best_cell = cell;
                ties = 1;
            } else if (score == best_score &&
                       std::uniform_int_distribution<int>(0, ties++)(random) == 0) {
                best_cell = cell;
            }
        }
        if (best_cell < 0)
            return;
        changes = With(changes, best_cell);
        std::erase_if(standing, [&](int w) {
            return Escapes(witnesses_[static_cast<std::size_t>(w)], changes);
        });
        if (!standing.empty()) {
            current = smallest();
            continue;
        }
        const Judged judged = Judge(changes, true);
        switch (judged.judgement) {
            case Judgement::Fix: {
                const Changes fewest = Minimized(changes);
                Offer(fewest, Judge(fewest, false).verdict);
                return;
            }
            case Judgement::Refuted:
                standing.push_back(judged.witness);
                current = judged.witness;
                break;
            case Judgement::Unfair:
                current = -1;
                stalled = StalledCells(changes);
                break;
            case Judgement::Undecided:
                return;
        }
    }
}

FixResult FixSearch::Run() {
    FixResult result;
    const auto finish = [&](FixOutcome outcome) {
        result.outcome = outcome;
        result.proven_fewest = outcome == FixOutcome::Fair || Proven();
        result.first_fix_seconds = first_fix_seconds_;
        result.proven_seconds = proven_seconds_;
        result.checks = checks_;
        result.seconds = Elapsed();
        return result;
    };
    const CheckResult own =
        CheckCells(picture_, std::clamp(limits_.budget_seconds, 0.0, kLongestBudget), cancel_);
    ++checks_;
    result.verdict = own.verdict;
    switch (own.verdict) {
        case Verdict::Blank:
            return finish(FixOutcome::Blank);
        case Verdict::Undecided:
            return finish(FixOutcome::NotFound);
        case Verdict::Line:
        case Verdict::Search:
            if (own.verdict == Verdict::Line || !limits_.line_logic) {
                result.cells = picture_;
                return finish(FixOutcome::Fair);
            }
            break;
        case Verdict::Several: {
            std::vector<int> differs;
            for (const auto& [x, y] : own.differs)
                differs.push_back(y * width_ + x);
            picture_witnesses_.push_back(AddWitness({}, differs));
            ListSwitches();
            break;
        }
    }
    const std::size_t most = static_cast<std::size_t>(std::max(limits_.most_cells, 0));
    if (most > 0) {
        int narrowest = -1;
        for (const int w : picture_witnesses_) {
            if (narrowest < 0 || witnesses_[static_cast<std::size_t>(w)].line_cells <
                                     witnesses_[static_cast<std::size_t>(narrowest)].line_cells)
                narrowest = w;
        }
        seeds_ = narrowest >= 0 ? LineCells(narrowest) : AllCellsFrom(StalledCells({}));

        std::mt19937 random(0x6772);
        Dive(random, kDiveReach * most);
        if (!Proven())
            (void)SingleCells();
        // The pairs may take long (a grid that is unique but needs search
        // leaves every cell a candidate for the second change): with no fix
        // at all yet, a share of the budget goes to greedy paths first.
        while (!best_ && !Stopped() && Elapsed() < kFirstFixShare * limits_.budget_seconds)
            Dive(random, kDiveReach * most);
        if (most >= 2 && !Proven() && !Stopped())
            (void)CellPairs();
        // Beyond the pairs, greedy paths from new random ties, each after
        // a fix fewer than the best.
        while (!Proven() && !Stopped()) {
            const std::size_t limit = best_ ? best_->size() - 1 : most;
            if (static_cast<int>(limit) < lower_)
                break;
            Dive(random, kDiveReach * limit);
        }
    }
    if (!best_)
        return finish(FixOutcome::NotFound);
    result.cells = Apply(*best_);
    result.verdict = best_verdict_;
    for (const int cell : *best_)
        result.changes.push_back({cell % width_, cell / width_,
                                  result.cells.cells[static_cast<std::size_t>(cell)] != 0});
    return finish(FixOutcome::Fixed);
}

}  // namespace

FixResult FindFewestFix(const CellGrid& picture, const FixLimits& limits,
                        const std::atomic<bool>* cancel) {
    // The picture's own check comes first and refuses cells that do not
    // match the size before any cell is indexed.
    return FixSearch(picture, limits, cancel).Run();
}

}  // namespace grix
