#include "builder/build_driver.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>

#include "builder/build_file.h"
#include "builder/build_lock.h"
#include "builder/crossword_pack.h"
#include "builder/descriptors.h"
#include "builder/payload_store.h"
#include "builder/picture_label.h"
#include "builder/player_limits.h"
#include "builder/suite_jar.h"
#include "builder/splash_picture.h"
#include "builder/solvability_warnings.h"
#include "core/errors.h"
#include "core/file.h"
#include "core/paths.h"
#include "core/scope_exit.h"
#include "core/platform.h"
#include "core/staged_file.h"
#include "core/text.h"
#include "payload/payload.h"

namespace grix {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kLargeSuiteBytes = 64 * 1024;
constexpr std::size_t kLongNameBytes = 32;
constexpr std::size_t kMaxCrosswordNameBytes = 255 - 4;

std::string TimeOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    (void)platform::LocalTime(now, local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

// The suite's JAR and JAD are written under names starting with this in
// the suite folder and renamed into place; any such file found there is
// what a killed build left.
constexpr const char* kStagedPrefix = ".grix-build-";

// Writes the checked splash bytes as the staging folder's splash.png;
// answers the reason when that fails (and leaves no partial file), an empty
// string on success.
std::string WriteSplash(const std::vector<std::uint8_t>& bytes, const std::string& to) {
    try {
        File target = File::Open(to, OpenMode::Replace);
        target.WriteAll(bytes);
        target.Close();
        return {};
    } catch (const std::exception& e) {
        RemoveFile(to);
        return e.what();
    }
}

// How many files under the staging folder this build did not write
// (`ours` holds the paths it did). Someone else's files are left where they
// are: they are not the build's to pack, nor to delete.
std::size_t CountForeignFiles(const std::string& staging, const std::set<std::string>& ours) {
    std::error_code ec;
    std::size_t count = 0;
    fs::recursive_directory_iterator it(NativePath(staging), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec) && ours.count(Utf8Path(it->path())) == 0) ++count;
    }
    return count;
}

// Deletes the files of `folder` whose names equal one of `names` without
// regard to ASCII case (names are kept lower-cased), ignoring every
// failure. Names are removed, never followed: a link goes, not its target.
void DeleteFilesNamed(const std::string& folder, const std::set<std::string>& names) {
    std::error_code ec;
    // A link in the folder's place leads to someone else's files.
    if (!fs::is_directory(fs::symlink_status(NativePath(folder), ec))) return;
    std::vector<std::string> doomed;
    for (fs::directory_iterator it(NativePath(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = Utf8Path(it->path().filename());
        if (names.count(AsciiLower(name)) != 0) doomed.push_back(Utf8Path(it->path()));
    }
    for (const auto& path : doomed) RemoveFile(path);
}

// Removes what a killed build left in the suite folder.
void RemoveLeftovers(const std::string& suite_folder) {
    std::error_code ec;
    std::vector<std::string> doomed;
    for (fs::directory_iterator it(NativePath(suite_folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (Utf8Path(it->path().filename()).rfind(kStagedPrefix, 0) == 0) {
            doomed.push_back(Utf8Path(it->path()));
        }
    }
    for (const auto& path : doomed) RemoveFile(path);
}

void CheckCancel(const BuildControl& control) {
    if (control.cancel != nullptr && control.cancel->load()) throw Error(kBuildCancelled);
}

// Writes the JAD text into its staged file; any failure names the JAD.
void WriteJad(const std::string& text, const StagedFile& staged, const LogSink& log) {
    WriteBuildFile(text.data(), text.size(), staged, log);
}

// The size of a file by name.
std::int64_t SizeOf(const std::string& path) {
    File file = File::Open(path, OpenMode::Read);
    const std::int64_t size = file.Size();
    file.Close();
    return size;
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

}  // namespace

BuildFolders FoldersFor(const std::string& app_folder) {
    BuildFolders folders;
    folders.suite = app_folder + "midlets";
    folders.staging = app_folder + "temp";
    folders.manifest = JoinPath(folders.staging, "META-INF");
    return folders;
}

void EnsureFolder(const std::string& path, const LogSink& log) {
    // A link in the folder's place is refused, never followed: the build
    // writes, deletes and packs what the folder holds.
    std::error_code ec;
    const fs::path native = NativePath(path);
    const fs::file_status status = fs::symlink_status(native, ec);
    const bool ok = fs::is_directory(status) ||
                    (status.type() == fs::file_type::not_found && fs::create_directory(native, ec));
    if (!ok) throw Error("Can not create tempopary directory " + path);
    if (log) log("Temporary directory " + path + " - Ok");
}

bool IsUsableCrosswordName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (platform::IsReservedFileName(name)) return false;
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
    const auto say = [&log](const std::string& line) {
        if (log) log(line);
    };
    BuildOutcome outcome;
    const std::string& name = project.name;
    BuildFolders folders;
    std::size_t picture_row = 0;  // the picture being read, from 1; 0 when none

    say("Process started at " + TimeOfDay());
    try {
        if (name.empty()) throw Error("Crossword name is empty");
        if (!IsUsableCrosswordName(name)) {
            throw Error("Crossword name can not be used as a file name");
        }
        // File systems hold names of at most 255 bytes, and the name gets
        // ".jar" and ".jad": caught here rather than after the whole pack.
        if (name.size() > kMaxCrosswordNameBytes) {
            throw Error(
                "Crossword name is too long for a file name: " + std::to_string(name.size()) +
                " bytes, at most " + std::to_string(kMaxCrosswordNameBytes));
        }
        // Phones split the MIDlet-1 attribute at its commas.
        if (name.find(',') != std::string::npos) throw Error("Crossword name can not contain a comma");
        const std::string vendor = kVendor;
        if (project.list_empty) throw Error("Image list is empty");

        // Everything below touches the application folder's files: one
        // build at a time. The lock is held until the cleanup is done.
        const BuildLock lock(app_folder, log, control.cancel);
        folders = FoldersFor(app_folder);
        const ScopeExit cleans_up([&] { CleanUp(folders); });  // before the lock goes

        CheckCancel(control);
        say("Checking directories...");
        EnsureFolder(folders.suite, log);
        EnsureFolder(folders.staging, log);
        EnsureFolder(folders.manifest, log);
        // A build killed between putting its JAR and its JAD in place left a
        // new JAR beside the earlier JAD; mended before the leftovers go,
        // since the earlier JAR's link is one of them.
        for (const std::string& jar : RecoverHalfCommittedPairs(folders.suite, kStagedPrefix)) {
            say("Warning: an earlier build was stopped while it replaced " + jar +
                "; the suite beside it is whole again");
        }
        RemoveLeftovers(folders.suite);

        CheckCancel(control);
        say("Creating temporary files...");
        WritePayload(folders.staging, log);

        // The files the JAR is made of: those this build writes, nothing
        // else that happens to lie in the staging folder.
        std::vector<std::string> entries;
        for (const PayloadFile& file : PayloadFiles())
            entries.emplace_back(file.name);

        const std::string splash = JoinPath(folders.staging, "splash.png");
        RemoveFile(splash);  // never let an old splash slip into this suite
        if (project.splash && !project.splash_path.empty()) {
            const SplashPicture picture = ReadSplashPicture(project.splash_path);
            const std::string failure =
                picture.problem.empty() ? WriteSplash(picture.bytes, splash) : picture.problem;
            if (failure.empty()) {
                say("Create file " + splash);
                entries.emplace_back("splash.png");
            } else {
                say("Can not copy splash image " + project.splash_path +
                    ", suite built without it (" + failure + ")");
            }
        }

        CheckCancel(control);
        WriteTextFile(ManifestText(name, vendor), JoinPath(folders.manifest, "MANIFEST.MF"), log);

        CheckCancel(control);
        const std::string pack = JoinPath(folders.staging, "cfg.dat");
        PackProgress progress;
        progress.reading = [&picture_row](std::size_t row) { picture_row = row; };
        progress.ends_early = [&](std::size_t row, bool missing_are_ink) {
            say("Warning: " + PictureLabel(row, project.pictures[row - 1].path) +
                " ends before its pixel data; the missing rows are read as " +
                (missing_are_ink ? "filled" : "empty"));
        };
        progress.packed = [&](std::size_t done, std::size_t total) {
            picture_row = 0;
            if (control.progress) control.progress(done, total);
            CheckCancel(control);
        };
        const std::int64_t pack_size = WritePack(project, pack, progress);
        entries.emplace_back(kPackFileName);
        say("Create cfg file " + pack + ", size " + std::to_string(pack_size) + " bytes");
        LogPlayerLimitWarnings(project, pack, log);
        WarnAboutUnfairPictures(project, log, control.cancel);

        CheckCancel(control);
        say("Creating jar file...");
        outcome.suite_folder = folders.suite;
        // The earlier suite stays as it is until the new JAR and JAD are
        // both complete and agree; then both are renamed into place.
        std::set<std::string> ours = {JoinPath(folders.manifest, "MANIFEST.MF")};
        for (const std::string& entry : entries)
            ours.insert(JoinPath(folders.staging, entry));
        if (const std::size_t foreign = CountForeignFiles(folders.staging, ours); foreign != 0) {
            say("Warning: leaving out " + std::to_string(foreign) +
                " file(s) in the staging folder that this build did not write");
        }
        // In name order, as the staging folder lists them: a suite's bytes
        // depend on its content alone.
        std::sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
            return AsciiUpper(a) < AsciiUpper(b);
        });
        StagedFile jar(JoinPath(folders.suite, name + ".jar"), kStagedPrefix);
        std::vector<SkippedSource> skipped;
        try {
            skipped = WriteSuiteJar(brask, jar.TempPath(), folders.staging, SuiteFiles{entries},
                                    control.jar_failures);
        } catch (const EWriteError&) {
            // The archive writer's files write short only when the disk is
            // full; its own word for that tells the user nothing.
            throw EFileError(kDiskFull);
        }
        for (const SkippedSource& source : skipped) {
            say("Skipped file " + source.path);
        }

        const std::int64_t jar_size = SizeOf(jar.TempPath());
        say("Create midlet " + name + ".jar, size " + std::to_string(jar_size) + " bytes");
        if (jar_size > kLargeSuiteBytes) {
            say("Warning: " + name + ".jar is larger than 64 KB; some phones refuse suites this large");
        }
        if (name.size() > kLongNameBytes) {
            say("Warning: crossword name is longer than 32 bytes; some phones refuse such names");
        }

        CheckCancel(control);
        const std::string jad = JadText(name, vendor, kProfile, jar_size);
        StagedFile jad_file(JoinPath(folders.suite, name + ".jad"), kStagedPrefix);
        WriteJad(jad, jad_file, log);
        say("Create " + name + ".jad, size " + std::to_string(jad.size()) + " bytes");

        CheckCancel(control);
        if (SizeOf(jar.TempPath()) != jar_size) throw Error("The JAR changed while it was written");
        CommitPair(jar, jad_file, kStagedPrefix);
        try {
            SyncFolder(folders.suite);
        } catch (const EFileError&) {
            // The renames are done; a folder that cannot be synced keeps
            // them all the same on every file system we know.
        }

        say("Process successfully ended at " + TimeOfDay());
        outcome.success = true;
    } catch (const std::exception& e) {
        // With a thousand pictures, "Stream read error" alone says too little.
        if (picture_row != 0 && picture_row <= project.pictures.size()) {
            say("Failed on " + PictureLabel(picture_row, project.pictures[picture_row - 1].path));
        }
        const bool no_memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
        say(std::string("Process not ended, error: ") + (no_memory ? "Out of memory" : e.what()));
    }
    return outcome;
}

}  // namespace grix
