#include "builder/app_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/file.h"
#include "core/paths.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#else
#include <unistd.h>
#endif

#include <vector>

namespace grix {
namespace {

std::string WithTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != kPathDelimiter && folder.back() != '/') {
        folder += kPathDelimiter;
    }
    return folder;
}

std::string FolderOf(const std::string& path) {
    const auto at = path.find_last_of(kPathDelimiter == '/' ? "/" : "\\/");
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

}  // namespace

std::string ExecutableFolder() {
#if defined(_WIN32)
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return {};
    return FolderOf(std::filesystem::path(std::wstring(buffer.data(), n)).u8string());
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::vector<char> buffer(size + 1);
    if (_NSGetExecutablePath(buffer.data(), &size) != 0) return {};
    std::error_code ec;
    const auto canonical = std::filesystem::canonical(buffer.data(), ec);
    return FolderOf(ec ? std::string(buffer.data()) : canonical.string());
#else
    std::error_code ec;
    const auto target = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return FolderOf(target.string());
#endif
}

std::string UserDataFolder() {
#if defined(_WIN32)
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local) {
        return WithTrailingSeparator(JoinPath(local, "Grix"));
    }
    return {};
#else
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg && xdg[0] == '/') {
        return WithTrailingSeparator(JoinPath(xdg, "grix"));
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return WithTrailingSeparator(std::string(home) + "/.local/share/grix");
    }
    return {};
#endif
}

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
    std::filesystem::create_directories(user, ec);
    return user;
}

const std::string& ApplicationFolder() {
    static const std::string folder = ChooseApplicationFolder(ExecutableFolder(), UserDataFolder());
    return folder;
}

std::string SettingsFilePath() { return ApplicationFolder() + "grix.ini"; }

}  // namespace grix
