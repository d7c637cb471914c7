#include "puzzle/switch_search.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace grix {
namespace {

// One row or column of the grid, read in place.
struct LineView {
    const std::uint8_t* first;
    std::ptrdiff_t step;
    int length;

    [[nodiscard]] bool Filled(int i) const { return i >= 0 && i < length && first[i * step] != 0; }
    [[nodiscard]] bool Empty(int i) const { return !Filled(i); }
};

LineView Row(const CellGrid& grid, int y) {
    return {grid.cells.data() + static_cast<std::ptrdiff_t>(y) * grid.width, 1, grid.width};
}

LineView Column(const CellGrid& grid, int x) {
    return {grid.cells.data() + x, grid.width, grid.height};
}

// No two neighbouring filled cells in (from, to): every run there is a
// single cell.
bool OnlySingles(const LineView& line, int from, int to) {
    for (int i = from + 1; i + 1 < to; ++i) {
        if (line.Filled(i) && line.Filled(i + 1))
            return false;
    }
    return true;
}

bool AllFilled(const LineView& line, int from, int to) {
    for (int i = from; i <= to; ++i) {
        if (line.Empty(i))
            return false;
    }
    return true;
}

// Whether emptying cell a (filled) and filling cell b (empty) keeps the
// line's runs, in the two ways the header names.
bool KeepsRuns(const LineView& line, int a, int b) {
    if (a < b) {
        // The run [a, b) one cell to the right.
        if (line.Empty(a - 1) && line.Empty(b + 1) && AllFilled(line, a, b - 1))
            return true;
    } else {
        // The run (b, a] one cell to the left.
        if (line.Empty(a + 1) && line.Empty(b - 1) && AllFilled(line, b + 1, a))
            return true;
    }
    const int low = std::min(a, b);
    const int high = std::max(a, b);
    return high - low >= 2 && line.Empty(a - 1) && line.Empty(a + 1) && line.Empty(b - 1) &&
           line.Empty(b + 1) && OnlySingles(line, low, high);
}

// Calls `take(a, b)` for every move of the line: a filled cell a and an
// empty cell b whose swap keeps the runs. Stops early, answering true,
// when `take` does.
template <typename Take>
bool ForEachMove(const LineView& line, Take&& take) {
    const int n = line.length;
    for (int s = 0; s < n; ++s) {
        if (line.Empty(s))
            continue;
        int e = s;
        while (line.Filled(e + 1))
            ++e;
        if (e + 1 < n && line.Empty(e + 2) && take(s, e + 1))
            return true;
        if (s > 0 && line.Empty(s - 2) && take(e, s - 1))
            return true;
        if (s == e) {
            // A single cell hops over single cells only: the scan ends at
            // the first longer run.
            for (int p = s + 2; p < n && !(line.Filled(p) && line.Filled(p + 1)); ++p) {
                if (line.Empty(p) && line.Empty(p - 1) && line.Empty(p + 1) && take(s, p))
                    return true;
            }
            for (int p = s - 2; p >= 0 && !(line.Filled(p) && line.Filled(p - 1)); --p) {
                if (line.Empty(p) && line.Empty(p - 1) && line.Empty(p + 1) && take(s, p))
                    return true;
            }
        }
        s = e;
    }
    return false;
}

}  // namespace

bool FindSwitch(const CellGrid& grid, Deadline& deadline, int most_distance, CellGrid& other) {
    const int reach = std::min(most_distance, grid.height - 1);
    for (int d = 1; d <= reach; ++d) {
        for (int y1 = 0; y1 + d < grid.height; ++y1) {
            if (deadline.Passed(4))
                return false;
            const int y2 = y1 + d;
            const LineView upper = Row(grid, y1);
            const LineView lower = Row(grid, y2);
            int x1 = -1;
            int x2 = -1;
            const bool found = ForEachMove(upper, [&](int a, int b) {
                if (deadline.Passed(256))
                    return true;
                if (lower.Filled(a) || lower.Empty(b))
                    return false;
                if (!KeepsRuns(lower, b, a) || !KeepsRuns(Column(grid, a), y1, y2) ||
                    !KeepsRuns(Column(grid, b), y2, y1)) {
                    return false;
                }
                x1 = a;
                x2 = b;
                return true;
            });
            if (!found)
                continue;
            if (x1 < 0)
                return false;  // out of time
            other = grid;
            for (const int x : {x1, x2}) {
                for (const int y : {y1, y2}) {
                    auto& cell = other.cells[static_cast<std::size_t>(y) *
                                                 static_cast<std::size_t>(grid.width) +
                                             static_cast<std::size_t>(x)];
                    cell = cell != 0 ? 0 : 1;
                }
            }
            return true;
        }
    }
    return false;
}

}  // namespace grix
