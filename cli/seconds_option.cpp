#include "cli/seconds_option.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace grix::cli {
namespace {

// A value past the longest budget a command takes means no limit, so only
// the lower end is refused here.
std::string SecondsError(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || value <= 0) {
        return "must be a number of seconds greater than 0, such as 0.5 or 10 "
               "(got \"" +
               text + "\")";
    }
    return {};
}

}  // namespace

CLI::Validator PositiveSeconds() {
    return CLI::Validator(SecondsError, "SECONDS");
}

}  // namespace grix::cli
