#include "archive/name_order.h"

#include <cstdint>

#include "core/text.h"

namespace grix {
namespace {

char32_t UpperCodePoint(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c < 0x80) return c;
    // Latin-1: à..þ except ÷; ÿ goes to Latin Extended-A.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: pairs upper/lower, with the runs that start odd.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c - 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
    // Greek: α..ω (final sigma becomes Σ), and the accented forms.
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    // Cyrillic: а..я, ѐ..џ, and the paired historic and extended letters.
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F)) {
        return (c & 1) ? c - 1 : c;
    }
    if (c >= 0x4C1 && c <= 0x4CE) return (c & 1) ? c : c - 1;
    if (c == 0x4CF) return 0x4C0;
    return c;
}

// Decodes the well-formed sequence at `at` (length len > 1).
char32_t Decode(std::string_view s, std::size_t at, std::size_t len) {
    const auto b0 = static_cast<unsigned char>(s[at]);
    char32_t c = len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (std::size_t i = 1; i < len; ++i) c = (c << 6) | (static_cast<unsigned char>(s[at + i]) & 0x3F);
    return c;
}


}  // namespace

std::string FoldNameCase(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    std::size_t at = 0;
    while (at < name.size()) {
        const std::size_t len = Utf8SequenceLength(name, at);
        // Utf8SequenceLength answers more than 1 only for a well-formed sequence.
        if (len == 1) {
            out += AsciiUpper(name[at]);
        } else {
            AppendUtf8(out, UpperCodePoint(Decode(name, at, len)));
        }
        at += len;
    }
    return out;
}

bool NameLess(std::string_view a, std::string_view b) {
    const std::string fa = FoldNameCase(a);
    const std::string fb = FoldNameCase(b);
    if (fa != fb) return fa < fb;  // std::string compares as unsigned bytes
    return a < b;
}

}  // namespace grix
