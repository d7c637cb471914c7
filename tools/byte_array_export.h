// The byte-array export: any file as the text of a fixed byte-array
// declaration, its bytes already scrambled (byte k exclusive-or k mod 256).
// This is how the player's files are carried inside the program.
//
//   array [1..N] of byte = ($xx,$xx,...   20 elements a line, CR LF ends
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace grix {

// The scrambling rule; its own inverse. `offset` is the position of data[0]
// in the whole file.
void ScrambleBytes(std::uint8_t* data, std::size_t size, std::uint64_t offset = 0);

// The declaration text for the given (plain) bytes.
std::string ByteArrayDeclaration(const std::uint8_t* data, std::size_t size);

// Writes the declaration of the file at `input_path` to input_path + ".imp"
// and answers that path. The output is written beside its final name and
// renamed over it only when complete, so a failure (disk full) never leaves
// a truncated declaration in place of an earlier one. Only a regular file
// is read. Failures name the file with the file layer's message: EFOpenError
// "Cannot open file "<input>". <message>" for the input, EFCreateError
// "Cannot create file "<output>". <message>" for the output.
std::string ExportByteArray(const std::string& input_path);

// Reads a declaration back: the scrambled bytes as written. Throws
// grix::Error("Invalid byte array declaration: ...") when the text is not
// one, or its element count differs from the bound it declares.
std::vector<std::uint8_t> ParseByteArrayDeclaration(std::string_view text);

}  // namespace grix
