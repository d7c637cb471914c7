// grix-cli fix [--line] [--budget SECONDS] [--most N] IN OUT.bmp
// Mends a picture whose clues have several solutions: writes the picture
// fewest cells away from IN whose clues have exactly one (with --line, one
// that line logic reaches) to OUT.bmp, and prints its size "W * H", the
// changed cells and the verdict line of `check` for it. Exit status 0 when
// OUT.bmp was written, 2 when IN is blank or no fix turned up within the
// limits (nothing written), 1 when IN cannot be read or OUT.bmp written.
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "builder/player_limits.h"
#include "cells/pack_picture.h"
#include "cli/command.h"
#include "cli/seconds_option.h"
#include "convert/cell_bmp_writer.h"
#include "core/errors.h"
#include "puzzle/fewest_fix.h"
#include "puzzle/solvability.h"

namespace grix::cli {
namespace {

struct FixArgs {
    bool line = false;
    double budget = kDefaultFixBudget;
    int most = kDefaultFixMostCells;
    std::string in;
    std::string out;
};

std::string Seconds(double seconds) {
    std::ostringstream text;
    text << seconds << " s";
    return text.str();
}

std::string ChangedLine(const FixResult& result) {
    const std::size_t count = result.changes.size();
    std::string line = "Changed " + std::to_string(count) + (count == 1 ? " cell" : " cells");
    if (!result.proven_fewest)
        line += " (best found, not proven fewest)";
    for (std::size_t i = 0; i < count; ++i) {
        line += i == 0 ? ": " : ", ";
        line += CellChangeText(result.changes[i]);
    }
    return line;
}

int RunFix(const FixArgs& args) {
    // The project reads pictures by their extension: anything but .bmp
    // would be refused when the picture is added.
    if (!HasBmpExtension(args.out))
        throw Error("The fixed picture must be a .bmp file: " + args.out);
    CellGrid picture;
    try {
        picture = CellsOfPicture(args.in);
    } catch (const std::exception& e) {
        ReportFailure(args.in + ": " + e.what());
        return 1;
    }
    std::cout << picture.width << " * " << picture.height << '\n' << std::flush;

    FixLimits limits;
    limits.line_logic = args.line;
    limits.budget_seconds = args.budget;
    limits.most_cells = args.most;
    const FixResult result = FindFewestFix(picture, limits);
    int status = 0;
    switch (result.outcome) {
        case FixOutcome::Blank:
            std::cout << args.in << ": blank, so there is no puzzle to fix; nothing written\n";
            status = 2;
            break;
        case FixOutcome::NotFound:
            if (result.verdict == Verdict::Undecided) {
                std::cout << args.in << ": undecided (time limit) within " << Seconds(args.budget)
                          << "; nothing written\n";
            } else {
                std::cout << "No fix of at most " << args.most
                          << (args.most == 1 ? " cell" : " cells") << " found within "
                          << Seconds(args.budget) << "; nothing written\n";
            }
            status = 2;
            break;
        case FixOutcome::Fair:
        case FixOutcome::Fixed:
            WriteCellBmp(args.out, result.cells);
            std::cout << ChangedLine(result) << '\n'
                      << args.out << ": " << VerdictText(result.verdict) << '\n';
            if (picture.width > kPlayerMaxSide || picture.height > kPlayerMaxSide) {
                std::cout.flush();
                std::cerr << "Warning: " << args.out << " is " << picture.width << " * "
                          << picture.height << "; the player takes no side over " << kPlayerMaxSide
                          << " cells, so phones will refuse it\n"
                          << std::flush;
            }
            break;
    }
    return FinishOutput(status);
}

const CommandRegistrar kFix(
    "fix", "Change the fewest cells of a picture so that its clues have exactly one solution",
    [](CLI::App& command) {
        auto args = std::make_shared<FixArgs>();
        command.add_flag("--line", args->line,
                         "The fix must be solved by line logic alone, without guessing");
        command
            .add_option("--budget", args->budget,
                        "Seconds the search may take (fixes of 1 or 2 cells are proven fewest)")
            ->check(PositiveSeconds())
            ->default_str("10");
        command.add_option("--most", args->most, "The most cells a fix may change")
            ->check(CLI::Range(1, 1000000))
            ->default_str("8");
        command.add_option("IN", args->in, "The picture to mend (any picture check reads)")
            ->required();
        command.add_option("OUT", args->out, "The BMP to write")->required();
        return std::function<int()>([args] { return RunFix(*args); });
    });

}  // namespace
}  // namespace grix::cli
