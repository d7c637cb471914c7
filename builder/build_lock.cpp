#include "builder/build_lock.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include "builder/build_driver.h"
#include "core/errors.h"

namespace grix {

BuildLock::BuildLock(const std::string& app_folder, const LogSink& log,
                     const std::atomic<bool>* cancel) {
    const std::string path = app_folder + kBuildLockName;
    int err = 0;
    file_ = File::TryOpen(path, OpenMode::OpenOrCreate, err);
    // A folder that is not there holds no build to mix with; the build
    // fails at its folders with the usual message.
    if (!file_.IsOpen() && (err == ENOENT || err == ENOTDIR))
        return;
    if (!file_.IsOpen())
        throw Error("Can not lock " + path + ": " + EFileError::FromErrno(err).what());
    bool told = false;
    for (;;) {
        err = file_.TryLock(true);
        if (err == 0)
            return;
        if (err != EWOULDBLOCK && err != EAGAIN) {
            throw Error("Can not lock " + path + ": " + EFileError::FromErrno(err).what());
        }
        if (!told && log)
            log("Waiting for another build in " + app_folder + " to end...");
        told = true;
        if (cancel != nullptr && cancel->load())
            throw Error(kBuildCancelled);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace grix
