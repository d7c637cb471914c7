// The cells of a crossword picture: what the solvability check reads and
// what it answers when it finds a second solution.
#pragma once

#include <cstdint>
#include <vector>

namespace grix {

struct CellGrid {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> cells;  // row by row from the top, 1 = filled

    [[nodiscard]] bool Filled(int x, int y) const {
        return cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)] != 0;
    }
    friend bool operator==(const CellGrid&, const CellGrid&) = default;
};

}  // namespace grix
