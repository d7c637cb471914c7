#include "archive/entry_name.h"

namespace grix {

namespace {
bool IsControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}
}  // namespace

bool IsSafeEntryName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\')
        return false;
    if (name.size() >= 2 && name[1] == ':')
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string_view::npos)
            end = name.size();
        const std::string_view segment = name.substr(start, end - start);
        if (segment == "..")
            return false;
        // "C:" anywhere in front of a separator would be a drive to some readers.
        if (start == 0 && !segment.empty() && segment.back() == ':')
            return false;
        for (const char c : segment) {
            if (IsControl(c))
                return false;
        }
        start = end + 1;
    }
    return true;
}

std::string PrintableName(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (IsControl(c))
            c = '?';
    }
    return out;
}

}  // namespace grix
