// grix-cli build [--name NAME] [--info TEXT] [--splash FILE]
//                [--image PICTURE [--note TEXT]]...
// Runs the same build as the window's "Start", printing each log line as it
// happens. Exit status 0 when the suite was built, 1 otherwise.
#include <iostream>

#include "archive/brask.h"
#include "builder/app_folder.h"
#include "builder/build_driver.h"
#include "builder/project_settings.h"
#include "cli/command.h"
#include "cli/picture_args.h"

namespace grix::cli {
namespace {

struct BuildArgs {
    std::string project, name, info, splash;
    PictureArgs pictures;
};

const CommandRegistrar kBuild(
    "build", "Build the MIDlet suite (JAR and JAD) into the suite folder", [](CLI::App& command) {
        auto args = std::make_shared<BuildArgs>();
        command.add_option("--project", args->project,
                           "Settings file the window saved (grix.ini); other options override it");
        CLI::Option* name = command.add_option("--name", args->name, "Crossword name (names the JAR and JAD)");
        CLI::Option* info = command.add_option("--info", args->info, "Information text");
        CLI::Option* splash = command.add_option("--splash", args->splash, "Splash picture (PNG)");
        args->pictures.Declare(command);
        return [args, name, info, splash, &command]() {
            CrosswordProject project;
            if (!args->project.empty()) project = LoadCrosswordProject(args->project);
            if (args->project.empty() || name->count() > 0) project.name = args->name;
            if (args->project.empty() || info->count() > 0) project.info = args->info;
            std::vector<PictureEntry> pictures = args->pictures.Entries(command);
            if (args->project.empty() || !pictures.empty()) project.pictures = std::move(pictures);
            project.list_empty = project.pictures.empty();
            if (args->project.empty() || splash->count() > 0) {
                project.splash = splash->count() > 0;
                project.splash_path = args->splash;
            }

            // Without a person to ask, a staging file whose entry name is
            // unsafe is left out (and logged); any other file that cannot be
            // packed fails the build.
            BuildControl control;
            control.jar_failures = UnattendedPolicy();
            TBrask brask;
            const BuildOutcome outcome = RunBuild(
                project, ApplicationFolder(), brask,
                [](const std::string& line) { std::cout << line << '\n' << std::flush; }, control);
            return outcome.success ? 0 : 1;
        };
    });

}  // namespace
}  // namespace grix::cli
