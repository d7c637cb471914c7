// grix-cli cells PICTURE: the cells of a picture as the crossword pack holds
// them. The first line is the size text "W * H"; then one line per row,
// "#" for a filled cell and "." for an empty one.
#include <iostream>
#include <string>

#include "cells/pack_picture.h"
#include "cli/command.h"

namespace grix::cli {
namespace {

int RunCells(const std::string& path) {
    const CellGrid grid = CellsOfPicture(path);
    std::string line = std::to_string(grid.width) + " * " + std::to_string(grid.height);
    std::cout << line << '\n';
    for (int y = 0; y < grid.height; ++y) {
        line.assign(static_cast<std::size_t>(grid.width), '.');
        for (int x = 0; x < grid.width; ++x) {
            if (grid.Filled(x, y))
                line[static_cast<std::size_t>(x)] = '#';
        }
        std::cout << line << '\n';
    }
    return FinishOutput(0);
}

const CommandRegistrar kCells(
    "cells", "Print a picture's cells as the crossword pack holds them (# filled, . empty)",
    OneArgument("PICTURE", "BMP picture", RunCells));

}  // namespace
}  // namespace grix::cli
