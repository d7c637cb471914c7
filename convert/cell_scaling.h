// Scaling a picture down to crossword cells by area averaging: each cell is
// the mean luminance of the part of the picture it covers, pixels cut by a
// cell's edge counted by the share that lies inside.
#pragma once

#include <cstdint>
#include <vector>

#include "import/luma_image.h"

namespace grix {

// The mean luminance of every cell, row by row from the top.
struct CellLuma {
    int width = 0;
    int height = 0;
    std::vector<float> y;
};

// The largest crossword side an import makes: far beyond what a phone
// shows, small enough that every check of a candidate stays quick.
inline constexpr int kMaxCellSide = 1000;

// Scales `source` to width x height cells (each from 1 to 65,536; larger
// than the source is allowed, a cell then lies within one pixel or two).
// O(source pixels + cells).
[[nodiscard]] CellLuma AreaAverage(const LumaImage& source, int width, int height);

// The same scaling, rounded back to whole levels: a smaller copy of a
// picture that later scalings start from.
[[nodiscard]] LumaImage ReduceLuma(const LumaImage& source, int width, int height);

// The height that keeps the aspect ratio of a source_width x source_height
// picture at `width` cells, rounded to the nearest, at least 1.
[[nodiscard]] int HeightForWidth(std::int64_t source_width, std::int64_t source_height, int width);
// The same without the cap on scaled sides, for messages that give the size
// a request would really have.
[[nodiscard]] std::int64_t FullHeightForWidth(std::int64_t source_width, std::int64_t source_height,
                                              int width);
// And the width for a height.
[[nodiscard]] int WidthForHeight(std::int64_t source_width, std::int64_t source_height, int height);

}  // namespace grix
