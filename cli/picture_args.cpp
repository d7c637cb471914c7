#include "cli/picture_args.h"

#include "core/errors.h"

namespace grix::cli {

void PictureArgs::Declare(CLI::App& command) {
    image_ = command.add_option("--image", images_, "Picture file (BMP); repeat for each puzzle")
                 ->expected(1)
                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    note_ = command.add_option("--note", notes_, "Note of the picture given before it")
                ->expected(1)
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

std::vector<PictureEntry> PictureArgs::Entries(const CLI::App& command) const {
    // CLI11 keeps each option's values apart; the order in which the options
    // were met tells which note follows which picture.
    std::vector<PictureEntry> entries;
    std::size_t next_image = 0, next_note = 0;
    bool noted = false;
    for (const CLI::Option* option : command.parse_order()) {
        if (option == image_ && next_image < images_.size()) {
            PictureEntry entry;
            entry.number = static_cast<int>(entries.size()) + 1;
            entry.path = images_[next_image++];
            entries.push_back(std::move(entry));
            noted = false;
        } else if (option == note_ && next_note < notes_.size()) {
            if (entries.empty()) throw Error("--note must follow the --image it belongs to");
            if (noted) throw Error("Only one --note may follow each --image");
            entries.back().note = notes_[next_note++];
            noted = true;
        }
    }
    return entries;
}

}  // namespace grix::cli
