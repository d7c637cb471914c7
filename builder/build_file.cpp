#include "builder/build_file.h"

#include <exception>

#include "core/errors.h"
#include "core/file.h"

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
    } catch (const std::exception&) {
        // The cause is dropped on purpose: the log names the file, which is
        // what the user can act on.
        throw Error("Can not create/save file " + shown_as);
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
