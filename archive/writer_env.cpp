#include "archive/writer_env.h"

#include <filesystem>
#include <system_error>

#include "core/paths.h"

namespace grix {

std::string CurrentFolder() {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    return ec ? std::string(".") : Utf8Path(here);
}

std::string SystemReason(int err) { return std::generic_category().message(err); }

}  // namespace grix
