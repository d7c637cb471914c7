// grix-cli check [--budget SECONDS] [--json] PICTURE...
// grix-cli check [--budget SECONDS] [--json] --project FILE
// Whether each picture makes a fair crossword: one line per picture, in the
// order given, "PATH: " and the verdict (or with --json one object per
// line). Exit status 0 when every picture has a unique solution, 2 when any
// has several, is blank or stays undecided, 1 when a picture cannot be read
// (its message on standard error; the others are still checked).
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "builder/pack_picture.h"
#include "builder/project_settings.h"
#include "cli/command.h"
#include "core/ini_file.h"
#include "puzzle/solvability.h"

namespace grix::cli {
namespace {

struct CheckArgs {
    std::vector<std::string> pictures;
    std::string project;
    double budget = kDefaultCheckBudget;
    bool json = false;
};

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string JsonLine(const std::string& path, const CheckResult& result) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", result.seconds);
    std::string line = "{\"path\": " + JsonString(path) +
                       ", \"width\": " + std::to_string(result.width) +
                       ", \"height\": " + std::to_string(result.height) + ", \"verdict\": \"" +
                       VerdictKey(result.verdict) + "\", \"seconds\": " + seconds;
    if (result.verdict == Verdict::Several) {
        line += ", \"differs\": [";
        for (std::size_t i = 0; i < result.differs.size(); ++i) {
            if (i != 0)
                line += ", ";
            line += "[" + std::to_string(result.differs[i].first) + ", " +
                    std::to_string(result.differs[i].second) + "]";
        }
        line += "]";
    }
    return line + "}";
}

int RunCheck(const CheckArgs& args) {
    std::vector<std::string> paths = args.pictures;
    if (!args.project.empty()) {
        for (const PictureEntry& entry : LoadCrosswordProject(args.project).pictures) {
            paths.push_back(entry.path);
        }
        // Checking nothing and saying nothing would pass a file that is no
        // project at all.
        if (paths.empty()) {
            ReportFailure(args.project + ": " + EmptyPictureTableReason(IniFile(args.project)));
            return 1;
        }
    }
    bool unreadable = false;
    bool unfair = false;
    for (const std::string& path : paths) {
        CheckResult result;
        try {
            result = CheckCells(CellsOfPicture(path), args.budget);
        } catch (const std::exception& e) {
            ReportFailure(path + ": " + e.what());
            unreadable = true;
            continue;
        }
        unfair |= result.verdict != Verdict::Line && result.verdict != Verdict::Search;
        if (args.json) {
            std::cout << JsonLine(path, result) << '\n';
        } else {
            std::cout << path << ": " << VerdictText(result.verdict) << '\n';
        }
        std::cout.flush();
    }
    if (!std::cout) {
        ReportFailure("Cannot write to standard output");
        return 1;
    }
    return unreadable ? 1 : unfair ? 2 : 0;
}

const CommandRegistrar kCheck(
    "check",
    "Check that each picture's clues have exactly one solution, and whether line logic finds it",
    [](CLI::App& command) {
        auto args = std::make_shared<CheckArgs>();
        CLI::Option* pictures = command.add_option("PICTURE", args->pictures, "BMP pictures");
        CLI::Option* project = command.add_option(
            "--project", args->project, "Check every picture of a saved project, in list order");
        pictures->excludes(project);
        command.add_option("--budget", args->budget, "Seconds each picture's check may take")
            ->check(CLI::PositiveNumber);
        command.add_flag("--json", args->json, "One JSON object per picture and line");
        return std::function<int()>([args, pictures, project] {
            if (pictures->count() == 0 && project->count() == 0) {
                ReportFailure("check: give PICTURE files or --project FILE");
                return 1;
            }
            return RunCheck(*args);
        });
    });

}  // namespace
}  // namespace grix::cli
