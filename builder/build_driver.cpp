#include "builder/build_driver.h"

#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>

#include "archive/brask.h"
#include "builder/crossword_pack.h"
#include "builder/descriptors.h"
#include "builder/payload_store.h"
#include "builder/player_limits.h"
#include "builder/suite_jar.h"
#include "builder/solvability_warnings.h"
#include "core/errors.h"
#include "core/file.h"
#include "core/paths.h"
#include "core/text.h"

namespace grix {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kLargeSuiteBytes = 64 * 1024;
constexpr std::size_t kLongNameBytes = 32;

std::string TimeOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

// Copies `from` over `to`; answers false (and leaves no partial `to`) when
// anything fails.
bool CopyWholeFile(const std::string& from, const std::string& to) {
    try {
        File source = File::Open(from, OpenMode::Read);
        File target = File::Open(to, OpenMode::CreateTruncate);
        std::vector<std::uint8_t> buffer(64 * 1024);
        for (;;) {
            const std::size_t got = source.Read(buffer.data(), buffer.size());
            if (got == 0) break;
            target.WriteAll(buffer.data(), got);
        }
        target.Close();
        return true;
    } catch (const std::exception&) {
        std::error_code ec;
        fs::remove(to, ec);
        return false;
    }
}

// Deletes the files of `folder` whose names equal one of `names` without
// regard to ASCII case (names are kept lower-cased), ignoring every failure.
void DeleteFilesNamed(const std::string& folder, const std::set<std::string>& names) {
    std::error_code ec;
    std::vector<fs::path> doomed;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (names.count(AsciiLower(name)) != 0 && !it->is_directory(ec)) {
            doomed.push_back(it->path());
        }
    }
    for (const auto& path : doomed) fs::remove(path, ec);
}

// The per-build files. snow0-3.png, the player's classes and META-INF stay
// between builds; the next build overwrites them. The DEvar*.class and
// N.png/.jpg/.gif names are files of earlier players that may still sit in
// an old staging folder.
void CleanUp(const BuildFolders& folders) {
    std::set<std::string> names = {"cfg.dat",
                                   "logo.png",
                                   "point.png",
                                   "splash.png",
                                   "devarmidlet.class",
                                   "devarcanvas.class",
                                   "devarnokiacanvas.class",
                                   "devarcanvasinit.class"};
    for (const char* ext : {".png", ".jpg", ".gif"}) {
        for (int n = 0; n <= 255; ++n) names.insert(std::to_string(n) + ext);
    }
    DeleteFilesNamed(folders.staging, names);
    DeleteFilesNamed(folders.manifest, {"manifest.mf"});
}

// Watches the archive writer's per-file failures during one build: Ignore
// is logged, Abort is remembered so that the build can fail with the
// writer's message instead of reporting an empty JAR as a success.
class FailureWatch {
public:
    FailureWatch(TBrask& brask, const LogSink& log) : brask_(brask), log_(log) {
        previous_ = brask_.OnProcessFileFailure;
        brask_.OnProcessFileFailure = [this](const std::string& path, TBraskProcessOperation op,
                                             TBraskAction& action, const std::string& message,
                                             int message_index, int native_error) {
            if (previous_) {
                previous_(path, op, action, message, message_index, native_error);
            } else {
                action = AskFailurePrompt(message);
            }
            if (action == fxaIgnore) {
                if (log_) log_("Skipped file " + path);
            } else if (action == fxaAbort && aborted_message_.empty()) {
                aborted_message_ = message;
            }
        };
    }
    ~FailureWatch() { brask_.OnProcessFileFailure = previous_; }
    FailureWatch(const FailureWatch&) = delete;
    FailureWatch& operator=(const FailureWatch&) = delete;

    const std::string& AbortedMessage() const { return aborted_message_; }

private:
    TBrask& brask_;
    const LogSink& log_;
    decltype(TBrask::OnProcessFileFailure) previous_;
    std::string aborted_message_;
};

}  // namespace

BuildFolders FoldersFor(const std::string& app_folder) {
    BuildFolders folders;
    folders.suite = app_folder + "midlets";
    folders.staging = app_folder + "temp";
    folders.manifest = JoinPath(folders.staging, "META-INF");
    return folders;
}

void ConfigureSuiteArchiver(TBrask& brask) {
    brask.SetName("brask");
    brask.SetCompressionLevel(clMax);
    brask.SetCompressionMode(9);
    brask.Options().FlushBuffers = true;
    brask.Options().OEMFileNames = false;
    brask.SetZip64Mode(zmDisabled);
}

void EnsureFolder(const std::string& path, const LogSink& log) {
    std::error_code ec;
    const bool ok = fs::is_directory(path, ec) || fs::create_directory(path, ec);
    if (!ok) throw Error("Can not create tempopary directory " + path);
    if (log) log("Temporary directory " + path + " - Ok");
}

bool IsUsableCrosswordName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return false;
        switch (c) {
            case '/': case '\\': case ':': case '*': case '?':
            case '"': case '<': case '>': case '|':
                return false;
            default: break;
        }
    }
    // Windows drops a trailing dot or blank from file names, so "Cat." and
    // "Cat" would be the same suite there.
    return name.back() != '.' && name.back() != ' ';
}

BuildOutcome RunBuild(const CrosswordProject& project, const std::string& app_folder, TBrask& brask,
                      const LogSink& log, const BuildControl& control) {
    (void)control;  // progress and cancel: wired in by the build-reliability work
    const auto say = [&log](const std::string& line) {
        if (log) log(line);
    };
    BuildOutcome outcome;
    const std::string& name = project.name;
    bool folders_derived = false;
    BuildFolders folders;

    say("Process started at " + TimeOfDay());
    try {
        if (name.empty()) throw Error("Crossword name is empty");
        if (!IsUsableCrosswordName(name)) {
            throw Error("Crossword name can not be used as a file name");
        }
        // Phones split the MIDlet-1 attribute at its commas.
        if (name.find(',') != std::string::npos) throw Error("Crossword name can not contain a comma");
        const std::string vendor = kVendor;
        if (project.list_empty) throw Error("Image list is empty");

        folders = FoldersFor(app_folder);
        folders_derived = true;
        say("Checking directories...");
        EnsureFolder(folders.suite, log);
        EnsureFolder(folders.staging, log);
        EnsureFolder(folders.manifest, log);

        say("Creating temporary files...");
        WritePayload(folders.staging, log);

        const std::string splash = JoinPath(folders.staging, "splash.png");
        std::error_code ec;
        fs::remove(splash, ec);  // never let an old splash slip into this suite
        if (project.splash && !project.splash_path.empty()) {
            if (CopyWholeFile(project.splash_path, splash)) {
                say("Create file " + splash);
            } else {
                say("Can not copy splash image " + project.splash_path +
                    ", suite built without it");
            }
        }

        WriteTextFile(ManifestText(name, vendor), JoinPath(folders.manifest, "MANIFEST.MF"), log);

        const std::string pack = JoinPath(folders.staging, "cfg.dat");
        const std::int64_t pack_size = WritePack(project, pack);
        say("Create cfg file " + pack + ", size " + std::to_string(pack_size) + " bytes");
        LogPlayerLimitWarnings(project, pack, log);
        WarnAboutUnfairPictures(project, log, control.cancel);

        say("Creating jar file...");
        outcome.suite_folder = folders.suite;
        const std::string jar = JoinPath(folders.suite, name + ".jar");
        {
            FailureWatch watch(brask, log);
            brask.SetFileName(jar);
            brask.Open(kCreateMode);
            AddSuiteEntries(brask, folders.staging, folders.manifest);
            brask.Close();
            if (!watch.AbortedMessage().empty()) throw Error(watch.AbortedMessage());
        }

        std::int64_t jar_size;
        {
            File file = File::Open(jar, OpenMode::Read);
            jar_size = file.Size();
        }
        say("Create midlet " + name + ".jar, size " + std::to_string(jar_size) + " bytes");
        if (jar_size > kLargeSuiteBytes) {
            say("Warning: " + name + ".jar is larger than 64 KB; some phones refuse suites this large");
        }
        if (name.size() > kLongNameBytes) {
            say("Warning: crossword name is longer than 32 bytes; some phones refuse such names");
        }

        const std::string jad = JadText(name, vendor, kProfile, jar_size);
        WriteTextFile(jad, JoinPath(folders.suite, name + ".jad"), log);
        say("Create " + name + ".jad, size " + std::to_string(jad.size()) + " bytes");

        say("Process successfully ended at " + TimeOfDay());
        outcome.success = true;
    } catch (const std::bad_alloc&) {
        say("Process not ended, error: Out of memory");
    } catch (const std::exception& e) {
        say(std::string("Process not ended, error: ") + e.what());
    }

    if (folders_derived) CleanUp(folders);
    return outcome;
}

}  // namespace grix
