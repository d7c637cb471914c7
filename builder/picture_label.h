// How log lines and messages name one picture of a project, so that an
// author with hundreds of pictures can find the one meant.
#pragma once

#include <cstddef>
#include <string>

namespace grix {

// "picture N (PATH)", N counting from 1 in list order.
inline std::string PictureLabel(std::size_t row, const std::string& path) {
    return "picture " + std::to_string(row) + " (" + path + ")";
}

}  // namespace grix
