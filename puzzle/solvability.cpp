#include "puzzle/solvability.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "puzzle/grid_solver.h"
#include "puzzle/switch_search.h"

namespace grix {
namespace {

using Clock = Deadline::Clock;

// Beyond this a budget means "no limit"; it also keeps the deadline's
// arithmetic clear of overflow.
constexpr double kLongestBudget = 1e6;

// Switches between rows this close are looked for before the nearby
// search; farther ones after it.
constexpr int kNearSwitchRows = 16;
// The nearby search's squares and the guesses each may take.
constexpr int kNearbySide = 8;
constexpr std::size_t kNearbyGuesses = 48;

Clock::time_point DeadlineAfter(Clock::time_point start, double budget_seconds) {
    const double budget =
        std::isnan(budget_seconds) ? 0.0 : std::clamp(budget_seconds, 0.0, kLongestBudget);
    return start +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(budget));
}

// Whether any cell is filled, in slices between looks at the clock.
// Answers false when the deadline passed, as `deadline` then says.
bool AnyFilled(const CellGrid& grid, Deadline& deadline) {
    constexpr std::size_t kSlice = std::size_t{1} << 20;
    const std::uint8_t* const cells = grid.cells.data();
    for (std::size_t at = 0; at < grid.cells.size(); at += kSlice) {
        if (deadline.Passed(1))
            return false;
        const std::size_t end = std::min(grid.cells.size(), at + kSlice);
        if (std::any_of(cells + at, cells + end, [](std::uint8_t c) { return c != 0; }))
            return true;
    }
    return false;
}

}  // namespace

CheckResult CheckCells(const CellGrid& grid, double budget_seconds,
                       const std::atomic<bool>* cancel) {
    const Clock::time_point start = Clock::now();
    if (grid.width < 0 || grid.height < 0 ||
        grid.cells.size() !=
            static_cast<std::size_t>(grid.width) * static_cast<std::size_t>(grid.height)) {
        throw std::invalid_argument("CheckCells: the cells do not match the grid's size");
    }
    if (grid.cells.size() > kMostCells) {
        throw std::invalid_argument("CheckCells: the grid has too many cells");
    }
    CheckResult result;
    result.width = grid.width;
    result.height = grid.height;
    const auto finish = [&result, start](Verdict verdict) {
        result.verdict = verdict;
        result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        return result;
    };
    Deadline deadline(DeadlineAfter(start, budget_seconds), cancel);
    if (!AnyFilled(grid, deadline))
        return finish(deadline.HasPassed() ? Verdict::Undecided : Verdict::Blank);

    GridSolver solver(grid, deadline);
    GridSolver::Outcome outcome = solver.Propagate();
    if (outcome == GridSolver::Outcome::Consistent && solver.Solved()) {
        return finish(Verdict::Line);
    }
    const auto several = [&](CellGrid other) {
        result.other = std::move(other);
        for (int y = 0; y < grid.height; ++y) {
            for (int x = 0; x < grid.width; ++x) {
                if (result.other.Filled(x, y) != grid.Filled(x, y))
                    result.differs.emplace_back(x, y);
            }
        }
        return finish(Verdict::Several);
    };
    const auto solution = [&] { return CellGrid{grid.width, grid.height, solver.Solution()}; };
    if (outcome == GridSolver::Outcome::OutOfTime)
        return finish(Verdict::Undecided);
    if (CellGrid other; FindSwitch(grid, deadline, kNearSwitchRows, other))
        return several(std::move(other));
    outcome = solver.FindNearbySolution(kNearbySide, kNearbyGuesses);
    if (outcome == GridSolver::Outcome::Found)
        return several(solution());
    if (CellGrid other;
        grid.height > kNearSwitchRows + 1 && FindSwitch(grid, deadline, grid.height - 1, other)) {
        return several(std::move(other));
    }
    outcome = solver.FindOtherSolution();
    switch (outcome) {
        case GridSolver::Outcome::Found:
            return several(solution());
        case GridSolver::Outcome::Contradiction:
            return finish(Verdict::Search);
        case GridSolver::Outcome::Consistent:
        case GridSolver::Outcome::OutOfTime:
            break;
    }
    return finish(Verdict::Undecided);
}

bool SolveClues(int width, int height, const std::vector<std::vector<int>>& rows,
                const std::vector<std::vector<int>>& columns, CellGrid& solution,
                double budget_seconds, bool* out_of_time) {
    const Clock::time_point start = Clock::now();
    if (out_of_time != nullptr)
        *out_of_time = false;
    if (width < 0 || height < 0 || rows.size() != static_cast<std::size_t>(height) ||
        columns.size() != static_cast<std::size_t>(width) ||
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > kMostCells) {
        throw std::invalid_argument("SolveClues: the clues do not match the grid's size");
    }
    for (const auto* lines : {&rows, &columns}) {
        const int length = lines == &rows ? width : height;
        for (const std::vector<int>& clue : *lines) {
            long long needed = -1;
            for (const int run : clue) {
                if (run <= 0)
                    throw std::invalid_argument("SolveClues: a run is not a positive length");
                needed += run + 1;
            }
            if (needed > length)
                return false;
        }
    }
    // Any solution differs from an empty grid unless the empty grid is the
    // solution, which the lines alone then find.
    const CellGrid empty{width, height,
                         std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
    Deadline deadline(DeadlineAfter(start, budget_seconds), nullptr);
    GridSolver solver(empty, rows, columns, deadline);
    GridSolver::Outcome outcome = solver.Propagate();
    if (outcome == GridSolver::Outcome::Consistent && !solver.Solved())
        outcome = solver.FindOtherSolution();
    if (outcome == GridSolver::Outcome::OutOfTime && out_of_time != nullptr)
        *out_of_time = true;
    if (outcome == GridSolver::Outcome::Contradiction ||
        outcome == GridSolver::Outcome::OutOfTime) {
        return false;
    }
    solution = CellGrid{width, height, solver.Solution()};
    return true;
}

namespace {

// What each verdict is called for a reader and in the check's JSON.
struct VerdictNames {
    const char* text;
    const char* key;
};

VerdictNames NamesOf(Verdict verdict) {
    switch (verdict) {
        case Verdict::Line:
            return {"unique (line logic)", "line"};
        case Verdict::Search:
            return {"unique (needs search)", "search"};
        case Verdict::Several:
            return {"several solutions", "several"};
        case Verdict::Blank:
            return {"blank", "blank"};
        case Verdict::Undecided:
            break;
    }
    return {"undecided (time limit)", "undecided"};
}

}  // namespace

const char* VerdictText(Verdict verdict) { return NamesOf(verdict).text; }

const char* VerdictKey(Verdict verdict) { return NamesOf(verdict).key; }

}  // namespace grix
