// The phone-side player, carried inside the program: thirteen files in a
// fixed order, each a byte array stored scrambled (byte k exclusive-or
// k mod 256) exactly as the byte-array export writes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace grix {

struct PayloadFile {
    std::string_view name;         // file name in the staging folder and the JAR root
    const std::uint8_t* scrambled; // the array as exported
    std::size_t length;
};

// The table in its fixed order: the pictures, then the seven classes.
std::span<const PayloadFile> PayloadFiles();

}  // namespace grix
