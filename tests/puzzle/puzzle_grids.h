// Grids the check's tests share: random ones, and one built to be slow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "puzzle/solvability.h"

namespace grix {

inline CellGrid Random(int width, int height, double ink, std::mt19937& random) {
    std::bernoulli_distribution filled(ink);
    CellGrid grid{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        grid.cells.push_back(filled(random));
    return grid;
}

// A picture built to be slow: copies of two unique 30 x 30 pictures that
// need search, each framed by empty cells, along the diagonal of a filled
// square. Every copy has to be searched on its own, so the time grows with
// their number while nothing is ambiguous.
inline CellGrid SlowGrid(int copies) {
    static const std::vector<CellGrid> units = [] {
        std::mt19937 random(3030);
        std::vector<CellGrid> found;
        while (found.size() < 2) {
            CellGrid unit = Random(30, 30, 0.5, random);
            if (CheckCells(unit, 10.0).verdict == Verdict::Search)
                found.push_back(std::move(unit));
        }
        return found;
    }();
    const int step = 31;
    const int side = copies * step;
    CellGrid grid{side, side, std::vector<std::uint8_t>(static_cast<std::size_t>(side) * side, 1)};
    for (int i = 0; i < copies; ++i) {
        const CellGrid& unit = units[static_cast<std::size_t>(i) % units.size()];
        for (int y = -1; y <= 30; ++y) {
            for (int x = -1; x <= 30; ++x) {
                const int at_x = i * step + x;
                const int at_y = i * step + y;
                if (at_x < 0 || at_y < 0 || at_x >= side || at_y >= side)
                    continue;
                const bool inside = x >= 0 && y >= 0 && x < 30 && y < 30;
                grid.cells[static_cast<std::size_t>(at_y) * side + at_x] =
                    inside ? unit.cells[static_cast<std::size_t>(y * 30 + x)] : 0;
            }
        }
    }
    return grid;
}

}  // namespace grix
