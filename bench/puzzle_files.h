// Published crosswords for the check's benchmark, read from files the
// reader downloads: most published puzzles may not be shipped with Grix,
// so none are. Two forms are read:
//   - a C++ source holding puzzles as clue tables, as Gecode's example
//     examples/nonogram.cpp does ("const int NAME[] = { w, h, then per
//     column and then per row: the count of runs and the runs }");
//   - .non files (the format of the nonogram-db collection: "width N",
//     "height N", then "rows" and "columns", one line of comma-separated
//     runs each, "0" for an empty line);
//   - .nin files (Jakub Wilk's example set: "W H", then one line of
//     space-separated runs per row and then per column, "0" for none).
#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace grix::bench {

struct PublishedPuzzle {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::vector<int>> rows;
    std::vector<std::vector<int>> columns;
};

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every "const int NAME[] = { ... };" of the source that reads as a
// puzzle's clues.
inline std::vector<PublishedPuzzle> PuzzlesIn(const std::string& source) {
    std::vector<PublishedPuzzle> puzzles;
    std::size_t at = 0;
    while ((at = source.find("const int", at)) != std::string::npos) {
        at += 9;
        std::size_t name_at = at;
        while (name_at < source.size() && std::isspace(static_cast<unsigned char>(source[name_at])))
            ++name_at;
        std::size_t name_end = name_at;
        while (
            name_end < source.size() &&
            (std::isalnum(static_cast<unsigned char>(source[name_end])) || source[name_end] == '_'))
            ++name_end;
        const std::size_t open = source.find('{', name_end);
        const std::size_t close = source.find('}', open);
        if (name_end == name_at || open == std::string::npos || close == std::string::npos ||
            source.substr(name_end, open - name_end).find('[') == std::string::npos) {
            continue;
        }
        // The numbers, comments left out.
        std::vector<int> numbers;
        for (std::size_t i = open + 1; i < close;) {
            if (source.compare(i, 2, "//") == 0) {
                i = source.find('\n', i);
                if (i == std::string::npos)
                    break;
            } else if (std::isdigit(static_cast<unsigned char>(source[i]))) {
                std::size_t end = i;
                numbers.push_back(std::stoi(source.substr(i), &end));
                i += end;
            } else {
                ++i;
            }
        }
        at = close;
        if (numbers.size() < 2)
            continue;
        PublishedPuzzle puzzle;
        puzzle.name = source.substr(name_at, name_end - name_at);
        puzzle.width = numbers[0];
        puzzle.height = numbers[1];
        std::size_t next = 2;
        bool ok = true;
        const auto take = [&](int count, std::vector<std::vector<int>>& lines) {
            for (int l = 0; l < count && ok; ++l) {
                if (next >= numbers.size()) {
                    ok = false;
                    break;
                }
                const int runs = numbers[next++];
                std::vector<int> clue;
                for (int r = 0; r < runs && next < numbers.size(); ++r)
                    clue.push_back(numbers[next++]);
                ok = static_cast<int>(clue.size()) == runs;
                lines.push_back(clue);
            }
        };
        take(puzzle.width, puzzle.columns);
        take(puzzle.height, puzzle.rows);
        if (ok && next == numbers.size())
            puzzles.push_back(std::move(puzzle));
    }
    return puzzles;
}

inline bool ReadNonFile(const std::filesystem::path& path, PublishedPuzzle& puzzle) {
    std::istringstream in(ReadAll(path));
    puzzle = PublishedPuzzle{};
    puzzle.name = path.stem().string();
    std::string line;
    std::vector<std::vector<int>>* lines = nullptr;
    std::size_t wanted = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (lines != nullptr && lines->size() < wanted && !key.empty() &&
            std::isdigit(static_cast<unsigned char>(key[0]))) {
            std::vector<int> clue;
            std::istringstream runs(line);
            std::string run;
            while (std::getline(runs, run, ',')) {
                const int value = std::stoi(run);
                if (value > 0)
                    clue.push_back(value);
            }
            lines->push_back(clue);
            continue;
        }
        if (key == "width") {
            words >> puzzle.width;
        } else if (key == "height") {
            words >> puzzle.height;
        } else if (key == "rows") {
            lines = &puzzle.rows;
            wanted = static_cast<std::size_t>(puzzle.height);
        } else if (key == "columns") {
            lines = &puzzle.columns;
            wanted = static_cast<std::size_t>(puzzle.width);
        } else if (lines != nullptr && lines->size() < wanted && line.empty()) {
            lines->push_back({});
        }
    }
    return puzzle.width > 0 && puzzle.height > 0 &&
           puzzle.rows.size() == static_cast<std::size_t>(puzzle.height) &&
           puzzle.columns.size() == static_cast<std::size_t>(puzzle.width);
}

inline bool ReadNinFile(const std::filesystem::path& path, PublishedPuzzle& puzzle) {
    std::istringstream in(ReadAll(path));
    puzzle = PublishedPuzzle{};
    puzzle.name = path.stem().string();
    std::string line;
    if (!std::getline(in, line) || !(std::istringstream(line) >> puzzle.width >> puzzle.height) ||
        puzzle.width <= 0 || puzzle.height <= 0) {
        return false;
    }
    while (std::getline(in, line) && puzzle.rows.size() + puzzle.columns.size() <
                                         static_cast<std::size_t>(puzzle.width + puzzle.height)) {
        std::vector<int> clue;
        std::istringstream runs(line);
        for (int run = 0; runs >> run;) {
            if (run > 0)
                clue.push_back(run);
        }
        (puzzle.rows.size() < static_cast<std::size_t>(puzzle.height) ? puzzle.rows : puzzle.columns)
            .push_back(clue);
    }
    return puzzle.columns.size() == static_cast<std::size_t>(puzzle.width);
}

// The puzzles of every file under `folder`: *.non and *.nin files and C++
// sources (*.cpp, *.cc) with clue tables, in name order.
inline std::vector<PublishedPuzzle> PuzzlesUnder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file())
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    std::vector<PublishedPuzzle> puzzles;
    for (const auto& file : files) {
        const std::string ext = file.extension().string();
        if (ext == ".non") {
            PublishedPuzzle puzzle;
            if (ReadNonFile(file, puzzle))
                puzzles.push_back(std::move(puzzle));
        } else if (ext == ".nin") {
            PublishedPuzzle puzzle;
            if (ReadNinFile(file, puzzle))
                puzzles.push_back(std::move(puzzle));
        } else if (ext == ".cpp" || ext == ".cc") {
            for (auto& puzzle : PuzzlesIn(ReadAll(file)))
                puzzles.push_back(std::move(puzzle));
        }
    }
    return puzzles;
}

}  // namespace grix::bench
