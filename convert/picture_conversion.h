// A picture of any kind into crossword cells: decoded to luminance over
// white, scaled to the cell size by area averaging, then thresholded.
#pragma once

#include <optional>
#include <string>

#include "cells/cell_grid.h"
#include "convert/cell_scaling.h"
#include "import/picture_reader.h"

namespace grix {

// How many decoded pixels a cell should cover at least along each side
// when the decoder may decode smaller (JPEG): enough that the cut blocks at
// a cell's edges move its mean by little.
inline constexpr int kPixelsPerCell = 8;

struct ConversionRequest {
    int width = 0;                 // cells across
    int height = 0;                // cells down; 0: from the aspect ratio
    std::optional<int> threshold;  // 0-255; none: automatic (Otsu)
    bool invert = false;
};

struct ConvertedPicture {
    CellGrid cells;
    int threshold = 0;  // the one used, automatic or not
};

// The height a request gives for a picture of that size.
[[nodiscard]] int RequestedHeight(const ConversionRequest& request, int source_width,
                                  int source_height);

// Reads `path`, decoded no larger than the request needs.
[[nodiscard]] DecodedPicture ReadForConversion(const std::string& path,
                                               const ConversionRequest& request);

// Scales, thresholds and inverts as asked.
[[nodiscard]] ConvertedPicture ConvertCells(const CellLuma& cells, std::optional<int> threshold,
                                            bool invert);
[[nodiscard]] ConvertedPicture ConvertPicture(const DecodedPicture& picture,
                                              const ConversionRequest& request);

}  // namespace grix
