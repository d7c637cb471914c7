#include "builder/app_folder.h"

#include <filesystem>
#include <system_error>

#include "core/file.h"
#include "core/paths.h"
#include "core/platform.h"

namespace grix {
std::string ExecutableFolder() { return FolderPart(platform::ExecutablePath()); }

std::string UserDataFolder() { return platform::PerUserDataFolder(); }

bool IsFolderWritable(const std::string& folder) {
    if (folder.empty()) return false;
    // A fresh, unpredictable name: a probe under a fixed name would write
    // through whatever link someone planted there.
    std::string path;
    try {
        path = File::CreateUnique(folder, ".grix-write-probe-").Path();
    } catch (const std::exception&) {
        return false;
    }
    RemoveFile(path);
    return true;
}

std::string InstalledProgramFolder() {
#ifdef GRIX_INSTALL_BINDIR
    return WithTrailingSeparator(GRIX_INSTALL_BINDIR);
#else
    return {};
#endif
}

std::string ChooseApplicationFolder(const std::string& beside, const std::string& user) {
    // The installed program's folder belongs to the package manager: root
    // (or sudo) could write there, but suites and settings left in /usr/bin
    // would outlive the package and be shared by every user.
    const bool installed = !beside.empty() && beside == InstalledProgramFolder();
    if (user.empty() || (!installed && IsFolderWritable(beside))) return beside;
    std::error_code ec;
    std::filesystem::create_directories(NativePath(user), ec);
    return user;
}

const std::string& ApplicationFolder() {
    static const std::string folder = ChooseApplicationFolder(ExecutableFolder(), UserDataFolder());
    return folder;
}

std::string SettingsFilePath() { return ApplicationFolder() + "grix.ini"; }

}  // namespace grix
