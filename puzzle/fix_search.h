// The search behind FindFewestFix, shared by the files that hold its
// parts: the known other solutions and the candidates they leave
// (fix_candidates.cpp), the exhaustive search of one and two cells
// (fix_proof.cpp) and the greedy search beyond them (fewest_fix.cpp).
// Internal to the puzzle layer.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "cells/cell_grid.h"
#include "puzzle/fewest_fix.h"
#include "puzzle/solvability.h"

namespace grix::fix_search {

using Clock = std::chrono::steady_clock;
// Sorted cell indices (y x width + x): the cells changed from the picture.
using Changes = std::vector<int>;

// Beyond this a budget means "no limit"; it also keeps the deadline's
// arithmetic clear of overflow.
inline constexpr double kLongestBudget = 1e6;
// Switches are listed up front on grids up to this side (the listing costs
// side^4 line steps), and at most this many of them.
inline constexpr int kSwitchListSide = 64;
inline constexpr std::size_t kMostSwitches = 256;
// A greedy step weighs at most this many cells.
inline constexpr std::size_t kMostStepCells = 400;
// The share of the budget greedy paths may take before the exhaustive
// search of pairs when no fix is known yet.
inline constexpr double kFirstFixShare = 0.25;
// A greedy path may go this many times deeper than the fix it looks for:
// the needless changes it made on the way are dropped once it ends in a fix.
inline constexpr std::size_t kDiveReach = 2;

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

// Whether two lines have the same clue.
[[nodiscard]] bool SameRuns(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);
// `changes` with `cell` added, still sorted.
[[nodiscard]] Changes With(const Changes& changes, int cell);
[[nodiscard]] Changes Without(const Changes& changes, std::size_t index);

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

}  // namespace grix::fix_search
