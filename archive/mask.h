// TMask: the wildcard matcher of masks such as "*.*", "*.png" or
// "META-INF\*". "*" stands for any run of characters (none included), "?"
// for one character; every other character matches itself regardless of
// ASCII letter case. A multi-byte UTF-8 character is one character and
// matches only itself, byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"

namespace grix {

// A mask may hold at most this many positions preceded by "*" (a run of
// stars counts once, and so does a trailing star).
inline constexpr int kMaxMaskStars = 30;

// A mask beyond that limit: Invalid mask "<mask>": more than 30 "*" wildcards
class EInvalidMask : public Error {
public:
    explicit EInvalidMask(const std::string& mask);
};

class TMask {
public:
    explicit TMask(std::string_view mask);  // throws EInvalidMask
    // The whole text must be consumed by the whole mask.
    bool Matches(std::string_view text) const;

private:
    enum class Kind : std::uint8_t { Literal, AnyChar, Sequence, End };
    struct Element {
        Kind kind;
        bool star;        // a "*" stood before this element
        std::uint8_t length;  // bytes of a Sequence
        char bytes[4];    // Literal: its ASCII upper-case form; Sequence: its bytes
    };
    // How many bytes of text at `at` the element consumes, or -1 when it does not match.
    static int MatchAt(const Element& element, std::string_view text, std::size_t at);

    std::vector<Element> elements_;
};

// One-shot: compiles the mask and matches one text.
bool MatchesMask(std::string_view text, std::string_view mask);

}  // namespace grix
