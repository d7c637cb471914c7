// GridSolver's search for a solution close to the picture, kept apart from
// the propagation, probing and depth-first search it builds on.
#include <algorithm>

#include "puzzle/grid_solver.h"

namespace grix {

// The lines have settled what holds in every solution; the rest of the
// grid is first set as in the picture, then each window over open cells
// is opened in turn and searched with everything around it fixed. A
// window's lines run the whole width or height, so their clues still hold
// it to the rest of the picture: any solution found is one of the whole
// grid. Windows overlap by half, so any swap within half a window's side
// lies wholly inside one of them.
GridSolver::Outcome GridSolver::FindNearbySolution(int side, std::size_t most_guesses) {
    PackedCells settled(state_.size(), kUnknown);
    for (std::size_t cell = 0; cell < state_.size(); ++cell)
        settled.Put(cell, state_[cell]);
    for (std::size_t cell = 0; cell < state_.size(); ++cell)
        Set(cell, PictureValue(cell));
    const auto restore = [this, &settled] {
        for (std::size_t cell = 0; cell < state_.size(); ++cell)
            Set(cell, settled[cell]);
        trail_.clear();
        recording_ = false;
        window_ = {0, 0, width_, height_};
    };
    recording_ = true;
    const int stride = std::max(1, side / 2);
    for (int y0 = 0; y0 < height_; y0 += stride) {
        for (int x0 = 0; x0 < width_; x0 += stride) {
            if (OutOfTime()) {
                restore();
                return Outcome::OutOfTime;
            }
            window_ = {x0, y0, std::min(width_, x0 + side), std::min(height_, y0 + side)};
            trail_.clear();
            for (int y = window_.y0; y < window_.y1; ++y) {
                for (int x = window_.x0; x < window_.x1; ++x) {
                    const int cell = y * width_ + x;
                    if (settled[static_cast<std::size_t>(cell)] == kUnknown) {
                        Assign(cell, kUnknown);
                        QueueLinesOf(cell);
                    }
                }
            }
            if (trail_.empty())
                continue;
            const Outcome outcome = Search(most_guesses);
            if (outcome == Outcome::Found) {
                trail_.clear();
                recording_ = false;
                window_ = {0, 0, width_, height_};
                return outcome;
            }
            ClearQueue();
            Undo(0);
            if (outcome == Outcome::OutOfTime) {
                restore();
                return outcome;
            }
            if (x0 + side >= width_)
                break;
        }
        if (y0 + side >= height_)
            break;
    }
    restore();
    return Outcome::Consistent;
}

}  // namespace grix
