// Looking near the author's settings for a picture that makes a fair
// crossword: among the thresholds around the one chosen (and, when the
// height was left to the aspect ratio, the heights within a tenth of it),
// the closest whose clues have one solution that line logic reaches.
#pragma once

#include <atomic>
#include <optional>

#include "cells/cell_grid.h"
#include "import/luma_image.h"
#include "puzzle/solvability.h"

namespace grix {

struct FairSearchLimits {
    int threshold_radius = 64;    // thresholds tried on either side
    double height_share = 0.10;   // heights tried on either side, as a share of the asked one
    double check_seconds = 0.25;  // each candidate's check; longer ones count as undecided
    double total_seconds = 20;    // the whole search
};

struct FairCandidate {
    int threshold = 0;
    int height = 0;
    CellGrid cells;
    Verdict verdict = Verdict::Undecided;
};

struct FairSearchResult {
    std::optional<FairCandidate> line;  // the closest unique by line logic, if any
    // The closest unique one that needs search, among those tried (all of
    // them when no line-logic one turned up).
    std::optional<FairCandidate> search;
    bool stopped = false;  // the time ran out or the search was cancelled first
    int checked = 0;       // distinct grids checked
};

struct FairSearchStart {
    int width = 0;
    int height = 0;  // the asked or aspect-ratio height
    bool vary_height = false;
    int threshold = 128;  // the asked or automatic threshold
    bool invert = false;
};

// Candidates are tried from the closest out: a threshold step of 1 weighs
// 1/255 of the range, a height step 1/height; ties go to the asked height,
// then to the nearer threshold, then to the lower one. Grids that come out
// alike are checked once.
[[nodiscard]] FairSearchResult FindFairCells(const LumaImage& picture, const FairSearchStart& start,
                                             const FairSearchLimits& limits = {},
                                             const std::atomic<bool>* cancel = nullptr);

}  // namespace grix
