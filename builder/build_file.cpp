#include "builder/build_file.h"

#include <exception>

#include "core/errors.h"
#include "core/file.h"
#include "core/file_error.h"

namespace grix {
namespace {

void Write(const void* data, std::size_t size, const std::string& path, bool sync,
           const std::string& shown_as, const LogSink& log) {
    try {
        File file = File::Open(path, OpenMode::Replace);
        file.WriteAll(data, size);
        if (sync)
            file.Sync();
        file.Close();
    } catch (const std::exception& e) {
        // The log names the file, which is what the user can act on; of the
        // causes only a full disk is worth adding.
        throw Error(CannotSaveMessage(shown_as, e));
    }
    if (log)
        log("Create file " + shown_as + ", size " + std::to_string(size) + " bytes");
}

}  // namespace

void WriteBuildFile(const void* data, std::size_t size, const std::string& path,
                    const LogSink& log) {
    Write(data, size, path, false, path, log);
}

void WriteBuildFile(const void* data, std::size_t size, const StagedFile& staged,
                    const LogSink& log) {
    Write(data, size, staged.TempPath(), true, staged.FinalPath(), log);
}

}  // namespace grix
