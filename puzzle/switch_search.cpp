#include "puzzle/switch_search.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace grix {
namespace {

using Line = std::array<std::uint8_t, kSwitchSearchSide>;

// Whether turning over cells a (filled) and b (empty) of `line` keeps its
// runs: compares the runs of the changed line with those of the original
// one as both are walked.
bool KeepsRuns(const Line& line, int length, int a, int b) {
    int i = 0;
    int j = 0;
    const auto cell = [&](int at, bool changed) {
        const std::uint8_t value = line[static_cast<std::size_t>(at)];
        return changed && (at == a || at == b) ? value == 0 : value != 0;
    };
    // Next run of the line from `at`: its start and length (length 0 at
    // the end).
    const auto next_run = [&](int& at, bool changed, int& start) {
        while (at < length && !cell(at, changed))
            ++at;
        start = at;
        while (at < length && cell(at, changed))
            ++at;
        return at - start;
    };
    for (;;) {
        int start_i = 0;
        int start_j = 0;
        const int run_i = next_run(i, false, start_i);
        const int run_j = next_run(j, true, start_j);
        if (run_i != run_j)
            return false;
        if (run_i == 0)
            return true;
    }
}

// For every line, bit b of pairs[line * side + a] says that turning over
// cells a and b keeps the line's runs. A filled cell inside a run is never
// a: taking it out splits the run, which one added cell seldom mends, and
// a switch that needs it is left to the search.
void PairsOfLines(const CellGrid& grid, bool rows, std::vector<std::uint64_t>& pairs) {
    const int lines = rows ? grid.height : grid.width;
    const int length = rows ? grid.width : grid.height;
    pairs.assign(static_cast<std::size_t>(lines) * kSwitchSearchSide, 0);
    Line line{};
    for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < length; ++i) {
            line[static_cast<std::size_t>(i)] = rows ? grid.Filled(i, l) : grid.Filled(l, i);
        }
        const auto filled = [&](int at) {
            return at >= 0 && at < length && line[static_cast<std::size_t>(at)] != 0;
        };
        for (int a = 0; a < length; ++a) {
            if (!filled(a) || (filled(a - 1) && filled(a + 1)))
                continue;
            for (int b = 0; b < length; ++b) {
                if (filled(b) || !KeepsRuns(line, length, a, b))
                    continue;
                const auto base = static_cast<std::size_t>(l) * kSwitchSearchSide;
                pairs[base + static_cast<std::size_t>(a)] |= std::uint64_t{1} << b;
                pairs[base + static_cast<std::size_t>(b)] |= std::uint64_t{1} << a;
            }
        }
    }
}

}  // namespace

bool FindSwitch(const CellGrid& grid, CellGrid& other) {
    if (grid.width > kSwitchSearchSide || grid.height > kSwitchSearchSide)
        return false;
    std::vector<std::uint64_t> row_pairs;
    std::vector<std::uint64_t> column_pairs;
    PairsOfLines(grid, true, row_pairs);
    PairsOfLines(grid, false, column_pairs);
    const auto pair = [](const std::vector<std::uint64_t>& pairs, int line, int a, int b) {
        return ((pairs[static_cast<std::size_t>(line) * kSwitchSearchSide +
                       static_cast<std::size_t>(a)] >>
                 b) &
                1) != 0;
    };
    for (int y1 = 0; y1 < grid.height; ++y1) {
        for (int y2 = y1 + 1; y2 < grid.height; ++y2) {
            for (int x1 = 0; x1 < grid.width; ++x1) {
                // Corners on a diagonal alike, so column x1 differs between
                // the two rows.
                if (grid.Filled(x1, y1) == grid.Filled(x1, y2) || !pair(column_pairs, x1, y1, y2))
                    continue;
                std::uint64_t across = row_pairs[static_cast<std::size_t>(y1) * kSwitchSearchSide +
                                                 static_cast<std::size_t>(x1)] &
                                       row_pairs[static_cast<std::size_t>(y2) * kSwitchSearchSide +
                                                 static_cast<std::size_t>(x1)];
                for (; across != 0; across &= across - 1) {
                    const int x2 = std::countr_zero(across);
                    if (!pair(column_pairs, x2, y1, y2))
                        continue;
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
        }
    }
    return false;
}

}  // namespace grix
