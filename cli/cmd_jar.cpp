// grix-cli jar --out FILE DIR: packs everything under DIR into the JAR FILE
// exactly as a build packs its staging folder.
#include <memory>
#include <string>

#include "archive/brask.h"
#include "cli/command.h"

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

int RunJar(const std::string& out, const std::string& dir) {
    AbortingPrompt prompt;
    TBrask jar("brask");
    jar.SetFileName(out);
    jar.SetCompressionLevel(clMax);
    jar.Options().OEMFileNames = false;
    jar.Open(kCreateMode);
    jar.SetBaseDir(dir);
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    jar.Close();
    if (!prompt.message().empty()) {
        ReportFailure(prompt.message());
        return 1;
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
