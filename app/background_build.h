// A build run off the interface thread, so the window stays responsive:
// its log lines, its progress and its end come back to the window's thread
// in the order the build produced them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

#include "builder/build_driver.h"
#include "builder/project.h"

namespace grix {

// Runs one build of a project; `control` carries progress and cancel.
using BuildRunner =
    std::function<BuildOutcome(const CrosswordProject&, const LogSink&, const BuildControl&)>;

class BackgroundBuild {
  public:
    struct Handlers {
        std::function<void(const std::string& line)> line;
        std::function<void(std::size_t done, std::size_t total)> progress;
        std::function<void(const BuildOutcome&)> finished;
    };

    // The handlers run on `context`'s thread, and not at all once `context`
    // is gone.
    BackgroundBuild(QObject* context, Handlers handlers);
    // Cancels a running build and waits for it.
    ~BackgroundBuild();
    BackgroundBuild(const BackgroundBuild&) = delete;
    BackgroundBuild& operator=(const BackgroundBuild&) = delete;

    // False, and nothing started, while a build runs: builds never pile up.
    bool Start(BuildRunner runner, CrosswordProject project);
    // Asks the running build to stop at its next step.
    void Cancel();
    // True from Start until the finished handler has run.
    bool Running() const { return running_; }
    bool CancelRequested() const { return cancel_; }

  private:
    QPointer<QObject> context_;
    Handlers handlers_;
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
};

}  // namespace grix
