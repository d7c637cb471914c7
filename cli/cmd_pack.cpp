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
#include "cli/picture_args.h"
#include "core/errors.h"
#include "core/file_error.h"
#include "core/paths.h"

namespace grix::cli {
namespace {

struct PackOptions {
    std::string out;
    std::string info;
    PictureArgs pictures;
};

// A name beside `target` for the pack while it is written.
std::string TemporarySibling(const std::string& target) {
    std::random_device random;
    const auto tag = (std::uint64_t{random()} << 32) | random();
    return target + "." + std::to_string(tag) + ".tmp";
}

int RunPack(const PackOptions& options, const CLI::App& command) {
    CrosswordProject project;
    project.info = options.info;
    project.pictures = options.pictures.Entries(command);
    project.list_empty = project.pictures.empty();
    // The pack is written beside the target and moved over it only when
    // complete: a failure (a bad picture, a full disk) never leaves a
    // half-written pack, nor destroys one the user already had.
    const std::string temporary = TemporarySibling(options.out);
    try {
        (void)WritePack(project, temporary);
        std::error_code ec;
        std::filesystem::rename(NativePath(temporary), NativePath(options.out), ec);
        if (ec)
            throw EFileError::FromErrno(ec.default_error_condition().value());
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(NativePath(temporary), ignored);
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
        options->pictures.Declare(command);
        return std::function<int()>([options, &command] { return RunPack(*options, command); });
    });

}  // namespace
}  // namespace grix::cli
