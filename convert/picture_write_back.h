// Saving cells an author has drawn over a listed picture. A picture is
// written back in place only when nothing but its cells can change: an
// uncompressed 1-bit BMP of the same size whose two colours are one ink and
// one not by the pack's ink test. Its headers, colour order, resolution,
// row padding and anything after the rows stay byte for byte. Any other
// picture (24-bit, a palette of two inks, another size) would come back
// different in ways the author did not draw, so it is never overwritten:
// the cells go to a new 1-bit BMP (WriteCellBmp) under a name the author
// picks, EditedCopyPath proposed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cells/cell_grid.h"

namespace grix {

// The bytes of the picture file `file` with its pixels set to `cells`, or
// nothing when it is not a picture that takes them without loss (then it
// must not be written back). The answer reads back as exactly `cells`
// through the pack's reader.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> CellsWrittenBack(
    const std::vector<std::uint8_t>& file, const CellGrid& cells);

// Whether the file at `path` (a ".bmp" name) takes `cells` back without
// loss; false for a file that cannot be read.
[[nodiscard]] bool CanWriteBackInPlace(const std::string& path, const CellGrid& cells);

// Writes `cells` into the picture at `path` in one step (a temporary file
// beside it renamed over it, so a link at `path` is replaced, never written
// through). Throws EFCreateError "Cannot create file "<path>". <reason>"
// when the file cannot be read or written or does not take the cells
// without loss; the file is then as it was.
void WriteCellsBack(const std::string& path, const CellGrid& cells);

// The name proposed for the edited copy of a picture that cannot be
// written back: "<folder>/<name>-edited.bmp" beside it, its name without
// its last extension.
[[nodiscard]] std::string EditedCopyPath(const std::string& path);

}  // namespace grix
