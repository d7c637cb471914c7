// The build: one synchronous pass from a crossword project to the suite's
// JAR and JAD, every step reported as a log line.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

#include "builder/project.h"
#include "builder/suite_jar.h"

namespace grix {

class TBrask;

// The three folders of a build, derived from the application folder.
struct BuildFolders {
    std::string suite;     // receives the JAR and JAD
    std::string staging;   // everything in it is packed into the JAR
    std::string manifest;  // staging + "/META-INF"
};

// `app_folder` ends in a separator (see ApplicationFolder()).
BuildFolders FoldersFor(const std::string& app_folder);

struct BuildOutcome {
    bool success = false;
    std::string suite_folder;  // set once the build reaches its JAR step
};

// Makes sure `path` is a folder (creating one level) and logs
// "Temporary directory <path> - Ok"; fails with
// "Can not create tempopary directory <path>", also when a link or a file
// stands in the folder's place.
void EnsureFolder(const std::string& path, const LogSink& log);

// A crossword name has to be a plain file name: it names the JAR and JAD.
bool IsUsableCrosswordName(const std::string& name);

// What a caller that runs the build off its own thread (the window) may add:
// progress after each picture packed, and a cancel request honoured between
// steps, between pictures and while waiting for another build of the same
// folder. A cancelled build ends like a failed one ("Process not ended,
// error: Build cancelled"), cleans up and keeps the earlier suite.
inline constexpr const char* kBuildCancelled = "Build cancelled";

struct BuildControl {
    std::function<void(std::size_t done, std::size_t total)> progress;
    const std::atomic<bool>* cancel = nullptr;
    // How a staging file that cannot be packed is answered (unless the
    // writer has an OnProcessFileFailure handler): by default the program's
    // installed prompt is asked. Each file left out is logged
    // "Skipped file <path>"; an Abort fails the build with the writer's
    // message.
    FailurePolicy jar_failures;
};

// Runs the build with `brask`, the caller's archive writer, which
// WriteSuiteJar sets up for the JAR. Never throws for a failure of the
// build itself: that is logged as "Process not ended, error: <m>",
// preceded by "Failed on picture N (PATH)" when a picture was being packed.
//
// One build per application folder at a time (BuildLock: a second one
// waits). The JAR and JAD are written under temporary names in the suite
// folder and renamed into place together only when both are complete, so
// a failure, a cancel or a kill never touches the earlier suite.
BuildOutcome RunBuild(const CrosswordProject& project, const std::string& app_folder,
                      TBrask& brask, const LogSink& log, const BuildControl& control = {});

}  // namespace grix
