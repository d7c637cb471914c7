#include "core/ini_syntax.h"

#include "core/ini_file.h"

namespace grix::ini {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

}  // namespace

std::size_t SkipBlanks(std::string_view text, std::size_t from) {
    const std::size_t at = text.find_first_not_of(kBlanks, from);
    return at == std::string_view::npos ? text.size() : at;
}

std::size_t TrimEnd(std::string_view text, std::size_t begin, std::size_t end) {
    while (end > begin && kBlanks.find(text[end - 1]) != std::string_view::npos)
        --end;
    return end;
}

std::string_view Trim(std::string_view text) {
    const std::size_t begin = SkipBlanks(text, 0);
    return text.substr(begin, TrimEnd(text, begin, text.size()) - begin);
}

std::uint32_t NameHash(std::string_view folded) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (const char c : folded) {
        h ^= static_cast<std::uint8_t>(c);
        h *= 16777619u;
    }
    return h;
}

bool IsHeader(std::string_view text) {
    const std::size_t start = SkipBlanks(text, 0);
    return start < text.size() && text[start] == '[';
}

std::string_view HeaderName(std::string_view text) {
    const std::size_t start = SkipBlanks(text, 0);
    std::size_t close = text.find(']', start);
    if (close == std::string_view::npos)
        close = text.size();
    return Trim(text.substr(start + 1, close - start - 1));
}

std::optional<KeyParts> ParseKeyLine(std::string_view text) {
    const std::size_t start = SkipBlanks(text, 0);
    if (start >= text.size() || text[start] == ';' || text[start] == '#' || text[start] == '[')
        return std::nullopt;
    const std::size_t equals = text.find('=', start);
    if (equals == std::string_view::npos)
        return std::nullopt;
    KeyParts parts;
    parts.key_begin = start;
    parts.key_end = TrimEnd(text, start, equals);
    if (parts.key_end == start)
        return std::nullopt;
    parts.value_begin = SkipBlanks(text, equals + 1);
    parts.value_end = TrimEnd(text, parts.value_begin, text.size());
    return parts;
}

std::string_view KeyName(std::string_view text, const KeyParts& parts) {
    return text.substr(parts.key_begin, parts.key_end - parts.key_begin);
}

}  // namespace grix::ini

namespace grix {
namespace {

int DigitValue(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') {
        d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
    }
    return d < base ? d : -1;
}

}  // namespace

using ini::Trim;

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;

    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull
                                : negative ? 0x80000000ull
                                           : 0x7FFFFFFFull;
    std::uint64_t value = 0;
    for (const char c : text) {
        const int d = DigitValue(c, base);
        if (d < 0)
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (value > limit)
            return std::nullopt;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

}  // namespace grix
