// grix-cli convert --width N [--height M] [--threshold T|auto] [--invert]
//                  [--fair] IN OUT.bmp
// Turns a PNG, JPEG, GIF or BMP picture into a 1-bit BMP of N cells across
// (M down, or as the aspect ratio gives), prints its size "W * H" and the
// verdict line of `check` for it. With --fair it looks near the asked
// threshold (and height, when not given) for the closest picture that line
// logic solves, says which it took, and exits 2 when there is none.
#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "convert/cell_bmp_writer.h"
#include "convert/cell_scaling.h"
#include "convert/fair_search.h"
#include "convert/picture_conversion.h"
#include "core/errors.h"
#include "puzzle/solvability.h"

namespace grix::cli {
namespace {

struct ConvertArgs {
    int width = 0;
    int height = 0;
    std::string threshold = "auto";
    bool invert = false;
    bool fair = false;
    std::string in;
    std::string out;
};

std::optional<int> ParseThreshold(const std::string& text) {
    if (text == "auto")
        return std::nullopt;
    const bool digits =
        !text.empty() && text.size() <= 3 && std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
    if (!digits || std::stoi(text) > 255)
        throw Error("--threshold must be a number from 0 to 255, or auto");
    return std::stoi(text);
}

std::string Settings(int threshold, int height) {
    return "threshold " + std::to_string(threshold) + ", height " + std::to_string(height);
}

int RunConvert(const ConvertArgs& args) {
    // The project reads pictures by their extension: anything but .bmp
    // would be refused when the picture is added.
    if (!HasBmpExtension(args.out))
        throw Error("The converted picture must be a .bmp file: " + args.out);
    ConversionRequest request;
    request.width = args.width;
    request.height = args.height;
    request.threshold = ParseThreshold(args.threshold);
    request.invert = args.invert;

    const DecodedPicture picture = ReadForConversion(args.in, request);
    const int height = RequestedHeight(request, picture.source_width, picture.source_height);
    if (height > kMaxCellSide) {
        // The scaled height is capped; the message gives the real one.
        const std::int64_t full =
            FullHeightForWidth(picture.source_width, picture.source_height, args.width);
        throw Error("At " + std::to_string(args.width) + " cells across, \"" + args.in +
                    "\" would be " + std::to_string(full) + " cells down, more than " +
                    std::to_string(kMaxCellSide) + ": give a smaller --width or a --height");
    }
    ConvertedPicture converted = ConvertCells(AreaAverage(picture.luma, args.width, height),
                                              request.threshold, request.invert);
    CellGrid cells = converted.cells;
    std::string fair_line;
    int status = 0;
    if (args.fair) {
        FairSearchStart start;
        start.width = args.width;
        start.height = height;
        start.vary_height = args.height == 0;
        start.threshold = converted.threshold;
        start.invert = args.invert;
        const FairSearchResult found = FindFairCells(picture.luma, start);
        const std::string asked = Settings(converted.threshold, height);
        const std::string near = start.vary_height ? "No threshold or height near the asked ones"
                                                   : "No threshold near the asked one";
        const std::string timed_out = found.stopped ? " (the search ran out of time)" : "";
        if (found.line) {
            const std::string took = Settings(found.line->threshold, found.line->height);
            fair_line =
                "Fair: " + took + (took == asked ? ", as asked" : " (asked: " + asked + ")");
            cells = found.line->cells;
        } else if (found.search) {
            fair_line = near + " gives a puzzle unique by line logic" + timed_out +
                        "; took the closest unique one, which needs search: " +
                        Settings(found.search->threshold, found.search->height);
            cells = found.search->cells;
            status = 2;
        } else {
            fair_line =
                near + " gives a unique puzzle" + timed_out + "; kept " + asked + " as asked";
            status = 2;
        }
    }

    WriteCellBmp(args.out, cells);
    std::cout << cells.width << " * " << cells.height << '\n';
    if (!fair_line.empty())
        std::cout << fair_line << '\n';
    std::cout << args.out << ": " << VerdictText(CheckCells(cells).verdict) << '\n';
    return FinishOutput(status);
}

const CommandRegistrar kConvert(
    "convert", "Turn a PNG, JPEG, GIF or BMP picture into a 1-bit BMP of crossword cells",
    [](CLI::App& command) {
        auto args = std::make_shared<ConvertArgs>();
        command.add_option("--width", args->width, "Cells across")
            ->required()
            ->check(CLI::Range(1, kMaxCellSide));
        command.add_option("--height", args->height, "Cells down (default: from the aspect ratio)")
            ->check(CLI::Range(1, kMaxCellSide));
        command
            .add_option("--threshold", args->threshold,
                        "Cells darker than this (0-255) are filled; auto: Otsu's method")
            ->default_str("auto");
        command.add_flag("--invert", args->invert, "Fill the light cells instead of the dark");
        command.add_flag("--fair", args->fair,
                         "Take the closest threshold (and height) that line logic solves");
        command.add_option("IN", args->in, "PNG, JPEG, GIF or BMP picture")->required();
        command.add_option("OUT", args->out, "The BMP to write")->required();
        return std::function<int()>([args] { return RunConvert(*args); });
    });

}  // namespace
}  // namespace grix::cli
