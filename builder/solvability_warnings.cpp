#include "builder/solvability_warnings.h"

#include <algorithm>
#include <exception>

#include "builder/picture_label.h"
#include "cells/pack_picture.h"
#include "puzzle/solvability.h"

namespace grix {

void WarnAboutUnfairPictures(const CrosswordProject& project, const LogSink& log,
                             const std::atomic<bool>* cancel) {
    double spent = 0;
    for (std::size_t i = 0; i < project.pictures.size(); ++i) {
        if (cancel != nullptr && cancel->load())
            return;
        const std::string& path = project.pictures[i].path;
        const double budget =
            std::clamp(kBuildCheckTotal - spent, kBuildCheckLeast, kBuildCheckBudget);
        CheckResult result;
        try {
            // Judged by its size before its cells are made: a byte per cell
            // of a picture far past the limit would cost more than the pack.
            TPicture picture;
            const TBitmap& bitmap = LoadPackBitmap(picture, path);
            if (static_cast<std::size_t>(bitmap.Width()) *
                    static_cast<std::size_t>(bitmap.Height()) >
                kBuildCheckMostCells) {
                continue;
            }
            result = CheckCells(CellsOfBitmap(bitmap), budget, cancel);
        } catch (const std::exception&) {
            // Out of memory, or the picture changed since the pack read it:
            // the check only ever adds a warning, never fails a build.
            continue;
        }
        spent += result.seconds;
        const char* problem = nullptr;
        if (result.verdict == Verdict::Several)
            problem = "has more than one solution";
        if (result.verdict == Verdict::Blank)
            problem = "has no filled cell";
        // A cancelled build is not a picture out of time.
        if (result.verdict == Verdict::Undecided && (cancel == nullptr || !cancel->load()))
            problem = "could not be checked in time; it may have more than one solution";
        if (problem != nullptr && log) {
            log("Warning: " + PictureLabel(i + 1, path) + " " + problem);
        }
    }
}

}  // namespace grix
