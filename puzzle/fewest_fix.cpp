#include "puzzle/fewest_fix.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <utility>

#include "puzzle/fix_search.h"

namespace grix {
namespace fix_search {

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

}  // namespace fix_search

FixResult FindFewestFix(const CellGrid& picture, const FixLimits& limits,
                        const std::atomic<bool>* cancel) {
    // The picture's own check comes first and refuses cells that do not
    // match the size before any cell is indexed.
    return fix_search::FixSearch(picture, limits, cancel).Run();
}

std::string CellChangeText(const CellChange& change) {
    std::string text = "(";
    text += std::to_string(change.x);
    text += ", ";
    text += std::to_string(change.y);
    text += change.filled ? ") filled" : ") cleared";
    return text;
}

}  // namespace grix
