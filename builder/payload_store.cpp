#include "builder/payload_store.h"

#include <vector>

#include "core/errors.h"
#include "core/file.h"
#include "core/paths.h"
#include "payload/payload.h"
#include "tools/byte_array_export.h"

namespace grix {

void WritePayloadFile(const std::uint8_t* array, std::size_t length, const std::string& path,
                      const LogSink& log) {
    try {
        std::vector<std::uint8_t> plain(array, array + length);
        ScrambleBytes(plain.data(), plain.size());
        File file = File::Open(path, OpenMode::Replace);
        file.WriteAll(plain);
        file.Close();
    } catch (const std::exception& e) {
        // The log names the file, which is what the user can act on; of the
        // causes only a full disk is worth adding.
        throw Error(CannotSaveMessage(path, e));
    }
    if (log) log("Create file " + path + ", size " + std::to_string(length) + " bytes");
}

void WritePayload(const std::string& staging_folder, const LogSink& log) {
    for (const PayloadFile& file : PayloadFiles()) {
        WritePayloadFile(file.scrambled, file.length, JoinPath(staging_folder, std::string(file.name)),
                         log);
    }
}

}  // namespace grix
