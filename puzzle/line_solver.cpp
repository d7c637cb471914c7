#include "puzzle/line_solver.h"

#include <cstddef>

namespace grix {

bool LineSolver::Solve(const LineClue& clue, std::uint8_t* cells, int length) {
    const auto n = static_cast<std::size_t>(length);
    const std::size_t k = clue.size();
    if (k == 0) {
        for (std::size_t i = 0; i < n; ++i) {
            if ((cells[i] & kMayEmpty) == 0) return false;
        }
        for (std::size_t i = 0; i < n; ++i) cells[i] = kMayEmpty;
        return true;
    }

    const std::size_t w = k + 1;
    if (before_.size() < (n + 1) * w) {
        before_.resize((n + 1) * w);
        after_.resize((n + 1) * w);
    }
    if (empties_.size() < n + 1) {
        empties_.resize(n + 1);
        cover_.resize(n + 1);
    }
    int* const empties = empties_.data();
    empties[0] = 0;
    for (std::size_t i = 0; i < n; ++i) empties[i + 1] = empties[i] + (cells[i] == kMayEmpty);
    const auto may_fill = [empties](std::size_t from, std::size_t to) {
        return empties[to] == empties[from];
    };
    const int* const runs = clue.data();

    // before[i * w + j]: cells [0, i) can hold runs [0, j).
    std::uint8_t* const before = before_.data();
    before[0] = 1;
    for (std::size_t j = 1; j <= k; ++j) before[j] = 0;
    for (std::size_t i = 1; i <= n; ++i) {
        std::uint8_t* const row = before + i * w;
        const std::uint8_t* const previous = row - w;
        const bool may_empty = (cells[i - 1] & kMayEmpty) != 0;
        row[0] = may_empty && previous[0];
        for (std::size_t j = 1; j <= k; ++j) {
            bool fits = may_empty && previous[j];
            const auto run = static_cast<std::size_t>(runs[j - 1]);
            if (!fits && i >= run && may_fill(i - run, i)) {
                if (i == run) {
                    fits = j == 1;
                } else {
                    fits = (cells[i - run - 1] & kMayEmpty) != 0 &&
                           before[(i - run - 1) * w + j - 1] != 0;
                }
            }
            row[j] = fits;
        }
    }
    if (before[n * w + k] == 0) return false;

    // after[i * w + j]: cells [i, n) can hold runs [j, k).
    std::uint8_t* const after = after_.data();
    for (std::size_t j = 0; j < k; ++j) after[n * w + j] = 0;
    after[n * w + k] = 1;
    for (std::size_t i = n; i-- > 0;) {
        std::uint8_t* const row = after + i * w;
        const std::uint8_t* const next = row + w;
        const bool may_empty = (cells[i] & kMayEmpty) != 0;
        row[k] = may_empty && next[k];
        for (std::size_t j = k; j-- > 0;) {
            bool fits = may_empty && next[j];
            const auto run = static_cast<std::size_t>(runs[j]);
            if (!fits && i + run <= n && may_fill(i, i + run)) {
                if (i + run == n) {
                    fits = j + 1 == k;
                } else {
                    fits = (cells[i + run] & kMayEmpty) != 0 &&
                           after[(i + run + 1) * w + j + 1] != 0;
                }
            }
            row[j] = fits;
        }
    }

    // Every placement of every run that fits both sides marks its cells as
    // possibly filled; the marks are +1 at its start and -1 past its end.
    int* const cover = cover_.data();
    for (std::size_t i = 0; i <= n; ++i) cover[i] = 0;
    std::size_t earliest = 0;  // the runs before j need this many cells
    std::size_t room_after = 0;  // cells the runs after j need, separators included
    for (std::size_t j = 1; j < k; ++j) room_after += static_cast<std::size_t>(runs[j]) + 1;
    for (std::size_t j = 0; j < k; ++j) {
        const auto run = static_cast<std::size_t>(runs[j]);
        const std::size_t last_start = n - room_after - run;
        for (std::size_t s = earliest; s <= last_start; ++s) {
            if (!may_fill(s, s + run)) continue;
            const bool left = s == 0 ? j == 0
                                     : (cells[s - 1] & kMayEmpty) != 0 && before[(s - 1) * w + j];
            if (!left) continue;
            const bool right = s + run == n ? j + 1 == k
                                            : (cells[s + run] & kMayEmpty) != 0 &&
                                                  after[(s + run + 1) * w + j + 1];
            if (!right) continue;
            ++cover[s];
            --cover[s + run];
        }
        earliest += run + 1;
        if (j + 1 < k) room_after -= static_cast<std::size_t>(runs[j + 1]) + 1;
    }

    // The line fits, so every cell keeps at least one value.
    int covered = 0;
    for (std::size_t i = 0; i < n; ++i) {
        covered += cover[i];
        std::uint8_t may = covered > 0 ? kMayFill : 0;
        if (cells[i] & kMayEmpty) {
            // Empty is possible when some split of the runs leaves this cell
            // between run j - 1 and run j.
            const std::uint8_t* const left = before + i * w;
            const std::uint8_t* const right = after + (i + 1) * w;
            for (std::size_t j = 0; j <= k; ++j) {
                if (left[j] & right[j]) {
                    may |= kMayEmpty;
                    break;
                }
            }
        }
        cells[i] &= may;
    }
    return true;
}

}  // namespace grix
