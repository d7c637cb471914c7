#include "builder/payload_store.h"

#include <vector>

#include "builder/build_file.h"
#include "core/errors.h"
#include "core/file.h"
#include "core/paths.h"
#include "payload/payload.h"
#include "tools/byte_array_export.h"

namespace grix {

void WritePayloadFile(const std::uint8_t* array, std::size_t length, const std::string& path,
                      const LogSink& log) {
    std::vector<std::uint8_t> plain(array, array + length);
    ScrambleBytes(plain.data(), plain.size());
    WriteBuildFile(plain.data(), plain.size(), path, log);
}

void WritePayload(const std::string& staging_folder, const LogSink& log) {
    for (const PayloadFile& file : PayloadFiles()) {
        WritePayloadFile(file.scrambled, file.length, JoinPath(staging_folder, std::string(file.name)),
                         log);
    }
}

}  // namespace grix
