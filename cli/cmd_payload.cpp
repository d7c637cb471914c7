// grix-cli payload DIR: writes the player's files into DIR, logging each.
#include <iostream>

#include "builder/payload_store.h"
#include "cli/command.h"

namespace grix::cli {
namespace {

const CommandRegistrar kPayload("payload", "Write the player's files into DIR (which must exist)",
                                OneArgument("DIR", "Target folder", [](const std::string& dir) {
                                    WritePayload(dir, [](const std::string& line) {
                                        std::cout << line << '\n' << std::flush;
                                    });
                                    return 0;
                                }));

}  // namespace
}  // namespace grix::cli
