// What the phone player can hold, as the desktop side knows it: a picture
// the player would refuse still goes into the pack (the phone lists it as
// unavailable and plays the others), and the build warns about it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "builder/project.h"

namespace grix {

// The player's clue values and board indices fit a byte per side.
inline constexpr std::int64_t kPlayerMaxSide = 255;
// The packed cells of all playable pictures together (width x height / 8 + 1
// bytes each); keeps room for the open board in a phone's small heap. A
// picture that would pass it is left out and the next ones still counted.
inline constexpr std::int64_t kPlayerMaxCellBytes = 64 * 1024;

// Why the player refuses a picture, if it does.
enum class PlayerRefusal { None, TooWide, TooTall, OverCellBytes };

struct CellSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The player's verdict on each picture of a suite in list order; a picture
// whose size is unknown (it cannot be read) takes no part and is None.
// Pictures refused for their cells leave the budget to the ones after them.
std::vector<PlayerRefusal> PlayerRefusals(const std::vector<std::optional<CellSize>>& sizes);

// One "Warning: " line per picture of the pack the player will refuse,
// saying why; `pack` is cfg.dat as written for `project`.
std::vector<std::string> PlayerLimitWarnings(const CrosswordProject& project,
                                             const std::vector<std::uint8_t>& pack);

// Reads the written pack and logs its warnings.
void LogPlayerLimitWarnings(const CrosswordProject& project, const std::string& pack_path,
                            const LogSink& log);

}  // namespace grix
