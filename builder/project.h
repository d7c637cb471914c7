// The crossword project: what the window (or grix-cli) hands to a build.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace grix {

struct PictureEntry { int number = 0; std::string path; std::string size_text; std::string note; };
struct CrosswordProject {
    std::string name;            // crossword name (UTF-8)
    std::string info;            // information text (UTF-8)
    std::vector<PictureEntry> pictures;  // list order
    bool list_empty = true;      // the window's "list is empty" test
    bool splash = false;         // splash flag
    std::string splash_path;
};
using LogSink = std::function<void(const std::string& line)>;

}  // namespace grix
