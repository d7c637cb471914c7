// Writing crossword cells as the picture file the project lists: a 1-bit
// BMP whose colour table is black (filled) and white (empty), one pixel
// per cell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cells/cell_grid.h"

namespace grix {

// The file's bytes: 14-byte file header, 40-byte info header, the two
// colours, then bottom-up rows padded to 4 bytes.
[[nodiscard]] std::vector<std::uint8_t> CellBmpBytes(const CellGrid& cells);

// Writes the BMP to `path` in one step (a temporary file beside it,
// renamed over it), so a failure never leaves half a picture or costs the
// file that was there, and a link at `path` is replaced by the picture,
// never written through. Throws EFCreateError "Cannot create file "<path>".
// <reason>" on failure.
void WriteCellBmp(const std::string& path, const CellGrid& cells);

// Whether `path` ends in ".bmp" in any case: the only name a cell picture
// is written under, so that nothing else is replaced by mistake.
bool HasBmpExtension(const std::string& path);

}  // namespace grix
