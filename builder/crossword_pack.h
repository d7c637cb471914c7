// The crossword pack, cfg.dat: the one file through which the phone player
// gets its crosswords. Big-endian throughout, as a Java DataInputStream
// reads it:
//
//   int32 picture count
//   text  information
//   text  pack version "1.0.0"
//   for every picture in list order:
//     int32 width, int32 height, cell bits (see WritePicture)
//     text  note
//
// A text is an int32 count of UTF-16 code units followed by the units, high
// byte first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/project.h"
#include "cells/pack_picture.h"

namespace grix {

inline constexpr std::string_view kPackVersion = "1.0.0";
inline constexpr const char* kPackFileName = "cfg.dat";

// Appends 4 bytes, most significant first.
void WriteInt32(std::vector<std::uint8_t>& out, std::int32_t value);

// Appends a UTF-8 text as its count of UTF-16 code units and the units (a
// character outside the Basic Multilingual Plane is a surrogate pair and
// counts two).
void WriteText(std::vector<std::uint8_t>& out, std::string_view utf8);

// Appends the picture block of the picture at `path`: width, height and one
// bit per pixel, row by row from the top, 1 for a filled cell. Rows are not
// padded; in every byte the earliest pixel of its eight sits in bit 0. A
// last byte always follows with the remaining width x height mod 8 pixels
// in its top bits (0x00 when nothing remains), so the cells take
// width x height / 8 + 1 bytes.
struct PackedPicture {
    // The file ends before its pixel data (it still packs: the missing
    // pixels read as their zero bytes), and whether those are filled cells.
    bool data_ends_early = false;
    bool missing_are_ink = false;
};
PackedPicture WritePicture(std::vector<std::uint8_t>& out, const std::string& path);

// What a caller learns while a pack is written: which picture (row from 1)
// is being read, and how many are packed of how many. Either may throw to
// stop the pack (a cancelled build).
struct PackProgress {
    std::function<void(std::size_t row)> reading;
    std::function<void(std::size_t done, std::size_t total)> packed;
    // A picture (row from 1) whose file ends before its pixel data.
    std::function<void(std::size_t row, bool missing_are_ink)> ends_early;
};

// Writes the pack of `project` as a new file `target_path` (whatever had
// the name, a link too, is replaced, never written through) and answers its
// size in bytes. File errors arrive as EFileError, picture errors as the
// reader raised them. The file is closed before any error leaves, so the
// caller can delete what was written.
std::int64_t WritePack(const CrosswordProject& project, const std::string& target_path,
                       const PackProgress& progress = {});

}  // namespace grix
