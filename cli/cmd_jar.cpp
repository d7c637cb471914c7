// grix-cli jar --out FILE DIR: packs everything under DIR into the JAR FILE
// exactly as a build packs its staging folder. FILE is written under a
// temporary name beside it and replaces the earlier FILE only when
// complete: a failure leaves the earlier FILE as it was.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "archive/brask.h"
#include "archive/file_info.h"
#include "builder/suite_jar.h"
#include "cli/command.h"
#include "core/errors.h"
#include "core/file.h"
#include "core/paths.h"
#include "core/staged_file.h"

namespace grix::cli {
namespace {

[[noreturn]] void CannotCreate(const std::string& path, const std::exception& e) {
    throw EFCreateError("Cannot create file \"" + AbsolutePath(path) + "\". " + e.what());
}

int RunJar(const std::string& out, const std::string& dir) {
    std::unique_ptr<StagedFile> staged;
    try {
        staged = std::make_unique<StagedFile>(out, ".grix-jar-");
    } catch (const EFileError& e) {
        CannotCreate(out, e);
    }
    TBrask jar;  // closed before the staged file goes
    // An earlier FILE inside DIR is not packed into its successor.
    const FileIdentity earlier = QueryFileInfo(out).identity;
    jar.OnConfirmProcessFile = [&earlier](const std::string& path, TBraskProcessOperation,
                                          bool& confirm) {
        if (QueryFileInfo(path).identity.SameAs(earlier)) confirm = false;
    };
    // A file whose entry name is unsafe is left out with a warning; the
    // rest of the archive is written. Any other failure ends the command
    // with the writer's message.
    const std::vector<SkippedSource> skipped =
        WriteSuiteJar(jar, staged->TempPath(), dir, std::nullopt, UnattendedPolicy());
    for (const SkippedSource& file : skipped) {
        std::cerr << "Warning: " << file.message << '\n' << std::flush;
    }
    try {
        staged->Commit();
    } catch (const EFileError& e) {
        CannotCreate(out, e);
    }
    try {
        SyncFolder(FolderOfPath(out));
    } catch (const EFileError&) {
        // The rename is done and stands.
    }
    return 0;
}

const CommandRegistrar kJarCommand(
    "jar", "Pack a folder into a JAR (ZIP) archive the way a build packs its staging folder",
    [](CLI::App& command) {
        auto out = std::make_shared<std::string>();
        auto dir = std::make_shared<std::string>();
        command.add_option("--out", *out, "The JAR file to create (replaced when it exists)")
            ->required();
        command.add_option("DIR", *dir, "The folder whose files and folders are packed")
            ->required();
        return [out, dir]() { return RunJar(*out, *dir); };
    });

}  // namespace
}  // namespace grix::cli
