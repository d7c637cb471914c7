#include "app/background_build.h"

#include <QMetaObject>

#include <exception>
#include <new>

#include "core/errors.h"

namespace grix {

BackgroundBuild::BackgroundBuild(QObject* context, Handlers handlers)
    : context_(context), handlers_(std::move(handlers)) {}

BackgroundBuild::~BackgroundBuild() {
    cancel_ = true;
    if (thread_.joinable())
        thread_.join();
}

bool BackgroundBuild::Start(BuildRunner runner, CrosswordProject project) {
    if (running_ || !runner)
        return false;
    if (thread_.joinable())
        thread_.join();
    running_ = true;
    cancel_ = false;
    QObject* context = context_;
    thread_ =
        std::thread([this, context, runner = std::move(runner), project = std::move(project)] {
            // Everything the build reports is posted to the window's thread; the
            // posts of one thread arrive in order, so the end comes after the
            // last line.
            const auto post = [context](std::function<void()> call) {
                QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
            };
            BuildControl control;
            control.cancel = &cancel_;
            control.progress = [this, post](std::size_t done, std::size_t total) {
                post([this, done, total] { handlers_.progress(done, total); });
            };
            const LogSink log = [this, post](const std::string& line) {
                post([this, line] { handlers_.line(line); });
            };
            BuildOutcome outcome;
            try {
                outcome = runner(project, log, control);
            } catch (const std::bad_alloc&) {
                log(std::string("Process not ended, error: ") + kOutOfMemory);
            } catch (const std::exception& e) {
                log(std::string("Process not ended, error: ") + e.what());
            }
            post([this, outcome] {
                if (thread_.joinable())
                    thread_.join();
                running_ = false;
                handlers_.finished(outcome);
            });
        });
    return true;
}

void BackgroundBuild::Cancel() {
    if (running_)
        cancel_ = true;
}

}  // namespace grix
