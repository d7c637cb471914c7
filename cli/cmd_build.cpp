// grix-cli build [--name NAME] [--info TEXT] [--splash FILE]
//                [--image PICTURE [--note TEXT]]...
// Runs the same build as the window's "Start", printing each log line as it
// happens. Exit status 0 when the suite was built, 1 otherwise.
#include <iostream>

#include "archive/brask.h"
#include "builder/app_folder.h"
#include "builder/build_driver.h"
#include "cli/command.h"
#include "cli/picture_args.h"

namespace grix::cli {
namespace {

struct BuildArgs {
    std::string name, info, splash;
    PictureArgs pictures;
};

const CommandRegistrar kBuild(
    "build", "Build the MIDlet suite (JAR and JAD) into the suite folder", [](CLI::App& command) {
        auto args = std::make_shared<BuildArgs>();
        command.add_option("--name", args->name, "Crossword name (names the JAR and JAD)");
        command.add_option("--info", args->info, "Information text");
        CLI::Option* splash = command.add_option("--splash", args->splash, "Splash picture (PNG)");
        args->pictures.Declare(command);
        return [args, splash, &command]() {
            CrosswordProject project;
            project.name = args->name;
            project.info = args->info;
            project.pictures = args->pictures.Entries(command);
            project.list_empty = project.pictures.empty();
            project.splash = splash->count() > 0;
            project.splash_path = args->splash;

            // Without a person to ask, a file that cannot be read aborts the build.
            SetFailurePrompt([](const std::string&) { return fxaAbort; });
            TBrask brask;
            ConfigureSuiteArchiver(brask);
            const BuildOutcome outcome =
                RunBuild(project, ApplicationFolder(), brask,
                         [](const std::string& line) { std::cout << line << '\n' << std::flush; });
            return outcome.success ? 0 : 1;
        };
    });

}  // namespace
}  // namespace grix::cli
