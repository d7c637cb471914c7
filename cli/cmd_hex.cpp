// grix-cli hex FILE: writes FILE.imp, the scrambled byte-array declaration.
#include "cli/command.h"
#include "tools/byte_array_export.h"

namespace grix::cli {
namespace {

const CommandRegistrar kHex("hex", "Export FILE as a scrambled byte-array declaration (FILE.imp)",
                            OneArgument("FILE", "File to export", [](const std::string& path) {
                                ExportByteArray(path);
                                return 0;
                            }));

}  // namespace
}  // namespace grix::cli
