// grix-cli check [--budget SECONDS] [--json] PICTURE...
// grix-cli check [--budget SECONDS] [--json] --project FILE
// Whether each picture makes a fair crossword: one line per picture, in the
// order given, "PATH: " and the verdict (or with --json one object per
// line). Exit status 0 when every picture has a unique solution, 2 when any
// has several, is blank or stays undecided, 1 when a picture cannot be read
// (its message on standard error; the others are still checked).
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "builder/project_settings.h"
#include "cells/pack_picture.h"
#include "cli/command.h"
#include "cli/seconds_option.h"
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

// The length of the well-formed UTF-8 sequence at `text[at]`, 0 when
// the byte there does not start one (overlong forms, surrogates and code
// points past U+10FFFF are not well formed).
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned next = byte(at + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

bool IsUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8Length(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

// A JSON string of `text`: quotes, backslashes and control characters
// escaped, well-formed UTF-8 kept, and every other byte written as the
// Latin-1 character of that value (\u00ff for the byte 0xFF), so the
// output is always valid UTF-8.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const auto u = static_cast<unsigned char>(c);
        const std::size_t length = Utf8Length(text, at);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || length == 0) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out.append(text, at, length);
            at += length;
            continue;
        }
        ++at;
    }
    return out + "\"";
}

// The bytes of `text` as lowercase hexadecimal digits, two a byte.
std::string HexBytes(const std::string& text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        out += kDigits[u >> 4];
        out += kDigits[u & 15];
    }
    return out;
}

std::string JsonLine(const std::string& path, const CheckResult& result) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", result.seconds);
    std::string line = "{\"path\": " + JsonString(path);
    // A name that is not UTF-8 cannot be told apart from its Latin-1
    // reading in "path", so its exact bytes come too.
    if (!IsUtf8(path))
        line += ", \"path_bytes\": \"" + HexBytes(path) + "\"";
    line += ", \"width\": " + std::to_string(result.width) +
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

// Reads the picture's cells as the pack does (CellsOfPicture), watching
// the clock between rows, and checks them in what is left of the budget:
// the budget covers the whole of a picture's check.
CheckResult CheckPicture(const std::string& path, double budget) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto elapsed = [start] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    TPicture picture;
    const TBitmap& bitmap = LoadPackBitmap(picture, path);
    const auto undecided = [&] {
        CheckResult result;
        result.width = bitmap.Width();
        result.height = bitmap.Height();
        result.seconds = elapsed();
        return result;
    };
    if (static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height()) >
        kMostCells)
        throw std::length_error("The picture has more cells than the check takes (2^30)");
    std::optional<CellGrid> grid =
        ReadBitmapCells(bitmap, [&elapsed, budget] { return elapsed() >= budget; });
    if (!grid)
        return undecided();
    picture = TPicture();  // the decoded pixels are not needed any more
    const double reading = elapsed();
    CheckResult result = CheckCells(*grid, budget - reading);
    result.seconds += reading;
    return result;
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
            result = CheckPicture(path, args.budget);
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
    return FinishOutput(unreadable ? 1 : unfair ? 2 : 0);
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
            ->check(PositiveSeconds());
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
