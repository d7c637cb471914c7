// One build per application folder at a time: a build holds an advisory
// lock on the file "grix-build.lock" in the application folder (never in
// the staging folder, so it is never packed). A second build of the same
// folder, from this process or another, waits for the first to end. The
// system drops the lock with the process, so a killed build never leaves
// the folder held.
#pragma once

#include <atomic>
#include <string>

#include "builder/project.h"
#include "core/file.h"

namespace grix {

inline constexpr const char* kBuildLockName = "grix-build.lock";

class BuildLock {
  public:
    // Takes the lock, waiting while another build holds it (logging once
    // "Waiting for another build in <folder> to end..."). Throws Error
    // ("Can not lock <file>: <reason>") when the lock file cannot be opened
    // or locked, or kBuildCancelled when `cancel` is set while it waits. A
    // folder that does not exist is not locked.
    BuildLock(const std::string& app_folder, const LogSink& log, const std::atomic<bool>* cancel);

  private:
    File file_;
};

}  // namespace grix
