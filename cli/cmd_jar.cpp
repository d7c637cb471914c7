// grix-cli jar --out FILE DIR: packs everything under DIR into the JAR FILE
// exactly as a build packs its staging folder. FILE is written under a
// temporary name beside it and replaces the earlier FILE only when
// complete: a failure leaves the earlier FILE as it was.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>

#include "archive/brask.h"
#include "archive/brask_exception.h"
#include "archive/file_info.h"
#include "cli/command.h"
#include "core/errors.h"
#include "core/file.h"
#include "core/staged_file.h"

namespace grix::cli {
namespace {

// Answers Abort for every source that cannot be written and keeps the
// first failure's message; removes itself when done.
class AbortingPrompt {
public:
    AbortingPrompt() {
        SetFailurePrompt([this](const std::string& text) {
            if (message_.empty()) message_ = WriterMessage(text);
            return fxaAbort;
        });
    }
    ~AbortingPrompt() { SetFailurePrompt(nullptr); }
    AbortingPrompt(const AbortingPrompt&) = delete;
    AbortingPrompt& operator=(const AbortingPrompt&) = delete;

    const std::string& message() const { return message_; }

private:
    // The prompt text is the writer's message plus a fixed question.
    static std::string WriterMessage(const std::string& text) {
        const std::string suffix = kFailurePromptSuffix;
        if (text.size() >= suffix.size() &&
            text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0) {
            return text.substr(0, text.size() - suffix.size());
        }
        return text;
    }

    std::string message_;
};

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

[[noreturn]] void CannotCreate(const std::string& path, const std::exception& e) {
    throw EFCreateError("Cannot create file \"" + Absolute(path) + "\". " + e.what());
}

int RunJar(const std::string& out, const std::string& dir) {
    AbortingPrompt prompt;
    std::unique_ptr<StagedFile> staged;
    try {
        staged = std::make_unique<StagedFile>(out, ".grix-jar-");
    } catch (const EFileError& e) {
        CannotCreate(out, e);
    }
    TBrask jar("brask");  // closed before the staged file goes
    jar.SetFileName(staged->TempPath());
    jar.SetCompressionLevel(clMax);
    jar.Options().OEMFileNames = false;
    // An earlier FILE inside DIR is not packed into its successor.
    const FileIdentity earlier = QueryFileInfo(out).identity;
    jar.OnConfirmProcessFile = [&earlier](const std::string& path, TBraskProcessOperation,
                                          bool& confirm) {
        if (QueryFileInfo(path).identity.SameAs(earlier)) confirm = false;
    };
    // A file whose entry name is unsafe is left out with a warning; the
    // rest of the archive is written.
    jar.OnProcessFileFailure = [](const std::string&, TBraskProcessOperation, TBraskAction& action,
                                  const std::string& message, int, int native_error) {
        if (native_error == brask_code::kUnsafeEntryName) {
            std::cerr << "Warning: " << message << '\n' << std::flush;
            action = fxaIgnore;
        } else {
            action = AskFailurePrompt(message);
        }
    };
    jar.Open(kCreateMode);
    jar.SetBaseDir(dir);
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    jar.Close();
    if (!prompt.message().empty()) {
        ReportFailure(prompt.message());
        return 1;
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
