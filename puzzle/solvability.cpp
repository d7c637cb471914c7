#include "puzzle/solvability.h"

#include <algorithm>
#include <stdexcept>

#include "puzzle/grid_solver.h"
#include "puzzle/switch_search.h"

namespace grix {
namespace {

using Clock = GridSolver::Clock;

// Beyond this a budget means "no limit"; it also keeps the deadline's
// arithmetic clear of overflow.
constexpr double kLongestBudget = 1e6;

Clock::time_point DeadlineAfter(Clock::time_point start, double budget_seconds) {
    const double budget = std::clamp(budget_seconds, 0.0, kLongestBudget);
    return start +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(budget));
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
    if (std::none_of(grid.cells.begin(), grid.cells.end(), [](std::uint8_t c) { return c != 0; })) {
        return finish(Verdict::Blank);
    }

    GridSolver solver(grid, DeadlineAfter(start, budget_seconds), cancel);
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
    if (outcome == GridSolver::Outcome::OutOfTime)
        return finish(Verdict::Undecided);
    if (CellGrid other; FindSwitch(grid, other))
        return several(std::move(other));
    outcome = solver.FindOtherSolution();
    switch (outcome) {
        case GridSolver::Outcome::Found:
            return several(CellGrid{grid.width, grid.height, solver.Solution()});
        case GridSolver::Outcome::Contradiction:
            return finish(Verdict::Search);
        case GridSolver::Outcome::Consistent:
        case GridSolver::Outcome::OutOfTime:
            break;
    }
    return finish(Verdict::Undecided);
}

const char* VerdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Line:
            return "unique (line logic)";
        case Verdict::Search:
            return "unique (needs search)";
        case Verdict::Several:
            return "several solutions";
        case Verdict::Blank:
            return "blank";
        case Verdict::Undecided:
            break;
    }
    return "undecided (time limit)";
}

const char* VerdictKey(Verdict verdict) {
    switch (verdict) {
        case Verdict::Line:
            return "line";
        case Verdict::Search:
            return "search";
        case Verdict::Several:
            return "several";
        case Verdict::Blank:
            return "blank";
        case Verdict::Undecided:
            break;
    }
    return "undecided";
}

}  // namespace grix
