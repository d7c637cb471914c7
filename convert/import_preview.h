// What an interactive import keeps between the author's changes: the
// picture decoded once and reduced to what the largest crossword needs,
// and the cell luminance of the last size asked, so that moving the
// threshold or inverting only thresholds again.
#pragma once

#include <optional>
#include <string>

#include "convert/cell_scaling.h"
#include "convert/picture_conversion.h"
#include "import/luma_image.h"

namespace grix {

class ImportPreview {
  public:
    // The reduced copy is at most this many pixels along its longer side:
    // kPixelsPerCell for each cell of a 200-cell crossword.
    static constexpr int kReducedSide = 200 * kPixelsPerCell;

    // Reads and decodes `path` once. Raises the readers' errors.
    [[nodiscard]] static ImportPreview Open(const std::string& path);
    // From a picture already decoded (tests, benchmarks).
    [[nodiscard]] static ImportPreview FromPicture(const DecodedPicture& picture);

    [[nodiscard]] int SourceWidth() const { return source_width_; }
    [[nodiscard]] int SourceHeight() const { return source_height_; }
    [[nodiscard]] const LumaImage& Reduced() const { return reduced_; }

    // The cells at the settings given (height 0: from the aspect ratio).
    // Scales only when the size differs from the last call's.
    [[nodiscard]] ConvertedPicture Convert(const ConversionRequest& request);

  private:
    int source_width_ = 0;
    int source_height_ = 0;
    LumaImage reduced_;
    CellLuma scaled_;  // of the last size asked
};

}  // namespace grix
