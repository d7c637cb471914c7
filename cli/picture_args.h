// The repeated "--image PICTURE [--note TEXT]" pairs of grix-cli: each note
// belongs to the picture given before it; a picture without one has an
// empty note.
#pragma once

#include <string>
#include <vector>

#include "builder/project.h"
#include "cli/command.h"

namespace grix::cli {

class PictureArgs {
public:
    // Adds --image and --note to `command`.
    void Declare(CLI::App& command);
    // The pictures in command-line order, numbered from 1. Throws
    // grix::Error for a --note with no --image of its own before it.
    std::vector<PictureEntry> Entries(const CLI::App& command) const;

private:
    std::vector<std::string> images_, notes_;
    CLI::Option* image_ = nullptr;
    CLI::Option* note_ = nullptr;
};

}  // namespace grix::cli
