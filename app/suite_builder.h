// The archive writer the window builds its suites with (each build sets it
// up for its JAR), and the prompt the writer raises when a file of the
// staging folder cannot be read (Abort / Retry / Ignore).
#pragma once

#include <memory>
#include <string>

#include "builder/build_driver.h"

namespace grix {

class TBrask;

class SuiteBuilder {
  public:
    SuiteBuilder();
    ~SuiteBuilder();
    SuiteBuilder(const SuiteBuilder&) = delete;
    SuiteBuilder& operator=(const SuiteBuilder&) = delete;

    // One build into the suite folder under `app_folder`.
    // May run on any thread: the prompt is always asked on the interface's.
    BuildOutcome Run(const CrosswordProject& project, const std::string& app_folder,
                     const LogSink& log, const BuildControl& control = {});

  private:
    std::unique_ptr<TBrask> brask_;
};

}  // namespace grix
