// grix-cli pack --out FILE [--info TEXT] [--image PICTURE [--note TEXT]]...
// Writes the crossword pack for the pictures in the order given; each
// --note belongs to the --image before it, and a picture without one gets an
// empty note.
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "builder/crossword_pack.h"
#include "cli/command.h"
#include "core/errors.h"
#include "core/file_error.h"

namespace grix::cli {
namespace {

struct PackOptions {
    std::string out;
    std::string info;
    std::vector<std::string> images;
    std::vector<std::string> notes;
    CLI::Option* image_option = nullptr;
    CLI::Option* note_option = nullptr;
};

// Pairs every --note with the --image before it, in command-line order.
CrosswordProject ProjectFrom(const PackOptions& options, const CLI::App& command) {
    CrosswordProject project;
    project.info = options.info;
    std::size_t next_image = 0;
    std::size_t next_note = 0;
    bool noted = false;
    for (const CLI::Option* option : command.parse_order()) {
        if (option == options.image_option) {
            PictureEntry entry;
            entry.number = static_cast<int>(project.pictures.size()) + 1;
            entry.path = options.images.at(next_image++);
            project.pictures.push_back(std::move(entry));
            noted = false;
        } else if (option == options.note_option) {
            if (project.pictures.empty())
                throw Error("--note must follow the --image it belongs to");
            if (noted)
                throw Error("Only one --note may follow each --image");
            project.pictures.back().note = options.notes.at(next_note++);
            noted = true;
        }
    }
    project.list_empty = project.pictures.empty();
    return project;
}

// A name beside `target` for the pack while it is written.
std::string TemporarySibling(const std::string& target) {
    std::random_device random;
    const auto tag = (std::uint64_t{random()} << 32) | random();
    return target + "." + std::to_string(tag) + ".tmp";
}

int RunPack(const PackOptions& options, const CLI::App& command) {
    const CrosswordProject project = ProjectFrom(options, command);
    // The pack is written beside the target and moved over it only when
    // complete: a failure (a bad picture, a full disk) never leaves a
    // half-written pack, nor destroys one the user already had.
    const std::string temporary = TemporarySibling(options.out);
    try {
        (void)WritePack(project, temporary);
        std::error_code ec;
        std::filesystem::rename(temporary, options.out, ec);
        if (ec)
            throw EFileError::FromErrno(ec.default_error_condition().value());
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
    return 0;
}

const CommandRegistrar kPack(
    "pack", "Write the crossword pack (cfg.dat) for pictures, in the order given",
    [](CLI::App& command) {
        auto options = std::make_shared<PackOptions>();
        command.add_option("--out", options->out, "The pack file to write")->required();
        command.add_option("--info", options->info, "Information text");
        options->image_option =
            command.add_option("--image", options->images, "A picture, one per crossword")
                ->expected(1)
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        options->note_option =
            command.add_option("--note", options->notes, "The note of the --image before it")
                ->expected(1)
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        return std::function<int()>([options, &command] { return RunPack(*options, command); });
    });

}  // namespace
}  // namespace grix::cli
