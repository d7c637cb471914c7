// The check for options that take a time in seconds (--budget), so that a
// wrong value is refused in words rather than with a bare range.
#pragma once

#include <CLI/CLI.hpp>

namespace grix::cli {

// Takes a positive, finite number of seconds; anything else is refused as
// "must be a number of seconds greater than 0, such as 0.5 or 10 (got "…")",
// which the command line prefixes with the option's name.
[[nodiscard]] CLI::Validator PositiveSeconds();

}  // namespace grix::cli
