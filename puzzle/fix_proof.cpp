// The exhaustive part of the fix search (every single cell, then every
// pair, so that a fix of one or two cells is never missed and the fewest is
// proven) and the record of the best fix found by any part.
#include <algorithm>
#include <vector>

#include "puzzle/fix_search.h"

namespace grix::fix_search {

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

}  // namespace grix::fix_search
