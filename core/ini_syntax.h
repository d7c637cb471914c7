// The line syntax of settings files, shared by the text model that parses
// and edits a file's text and by the reads and writes that look names up in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace grix::ini {

// Indexed by a line's stored ending: 0 none, 1 "\n", 2 "\r\n".
inline constexpr std::string_view kEols[] = {"", "\n", "\r\n"};

[[nodiscard]] std::size_t SkipBlanks(std::string_view text, std::size_t from);
// End of `text[begin, end)` without its trailing blanks.
[[nodiscard]] std::size_t TrimEnd(std::string_view text, std::size_t begin, std::size_t end);
[[nodiscard]] std::string_view Trim(std::string_view text);

[[nodiscard]] std::uint32_t NameHash(std::string_view folded);

[[nodiscard]] bool IsHeader(std::string_view text);
// The name of a section header line, trimmed.
[[nodiscard]] std::string_view HeaderName(std::string_view text);

struct KeyParts {
    std::size_t key_begin = 0, key_end = 0, value_begin = 0, value_end = 0;
};

// Where the name and the value of a key line lie. Comment lines are never
// keys, whatever they contain; nor are section headers.
[[nodiscard]] std::optional<KeyParts> ParseKeyLine(std::string_view text);
[[nodiscard]] std::string_view KeyName(std::string_view text, const KeyParts& parts);

}  // namespace grix::ini
