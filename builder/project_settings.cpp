#include "builder/project_settings.h"

#include <filesystem>

#include "core/errors.h"
#include "core/file.h"
#include "core/paths.h"

namespace grix {
namespace {

namespace fs = std::filesystem;

bool IsWindowsStylePath(const std::string& path) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive || (!path.empty() && path[0] == '\\');
}

std::string RowKey(int row, int column) {
    return std::to_string(row) + "." + std::to_string(column);
}

}  // namespace

std::string SettingsFolder(const std::string& settings_path) {
    const fs::path folder = NativePath(settings_path).parent_path();
    if (folder.empty())
        return {};
    std::string text = Utf8Path(folder);
    if (text.back() != '/' && text.back() != static_cast<char>(fs::path::preferred_separator)) {
        text += static_cast<char>(fs::path::preferred_separator);
    }
    return text;
}

std::string ResolveProjectPath(const std::string& path, const std::string& settings_folder) {
    if (path.empty() || IsWindowsStylePath(path) || settings_folder.empty())
        return path;
    const fs::path given = NativePath(path);
    // Rooted without a drive ("/x" on Windows) counts as given in full too.
    if (given.is_absolute() || given.has_root_directory())
        return path;
    return Utf8Path((NativePath(settings_folder) / given).lexically_normal());
}

std::vector<PictureEntry> ReadPictureTable(const IniFile& ini, const std::string& settings_folder) {
    const std::int32_t count = ini.ReadInteger(kTableSection, kRowCountKey, 0);
    std::vector<PictureEntry> rows;
    if (count <= 0 || count > kMaxTableRows)
        return rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        PictureEntry entry;
        entry.number = i;
        entry.path =
            ResolveProjectPath(ini.ReadString(kTableSection, RowKey(i, 1), ""), settings_folder);
        entry.size_text = ini.ReadString(kTableSection, RowKey(i, 2), "");
        entry.note = ini.ReadString(kTableSection, RowKey(i, 3), "");
        rows.push_back(std::move(entry));
    }
    return rows;
}

std::string EmptyPictureTableReason(const IniFile& ini) {
    if (!ini.ValueExists(kTableSection, kRowCountKey)) {
        return std::string("it has no picture list (no ") + kRowCountKey + " in section [" +
               kTableSection + "]), so it is no Grix project";
    }
    const std::int32_t count = ini.ReadInteger(kTableSection, kRowCountKey, -1);
    if (count == 0)
        return "Image list is empty";
    if (count < 0 || count > kMaxTableRows) {
        return std::string(kRowCountKey) + " \"" + ini.ReadString(kTableSection, kRowCountKey, "") +
               "\" is not a number of pictures from 0 to " + std::to_string(kMaxTableRows);
    }
    return {};
}

void WritePictureTable(IniFile& ini, const std::vector<PictureEntry>& pictures) {
    ini.WriteInteger(kTableSection, kRowCountKey, static_cast<std::int32_t>(pictures.size()));
    int i = 0;
    for (const PictureEntry& entry : pictures) {
        ++i;
        ini.WriteString(kTableSection, RowKey(i, 1), entry.path);
        ini.WriteString(kTableSection, RowKey(i, 2), entry.size_text);
        ini.WriteString(kTableSection, RowKey(i, 3), entry.note);
    }
}

CrosswordProject LoadCrosswordProject(const std::string& settings_path) {
    // A missing file is an error here, unlike for the window, which starts
    // from its defaults: a build from a project that is not there must fail.
    // The message names the file, which a bare "File access denied" would not.
    const IniFile ini = [&settings_path] {
        try {
            { File probe = File::Open(settings_path, OpenMode::Read); }
            return IniFile(settings_path);
        } catch (const EFileError& e) {
            throw EFOpenError("Cannot open file \"" + AbsolutePath(settings_path) + "\". " +
                              e.what());
        }
    }();
    const std::string folder = SettingsFolder(settings_path);

    CrosswordProject project;
    project.name = ini.ReadString(kEditSection, kNameKey, kDefaultCrosswordName);
    project.info = ini.ReadString(kEditSection, kInfoKey, kDefaultCreditLine);
    project.splash_path =
        ResolveProjectPath(ini.ReadString(kEditSection, kSplashPathKey, ""), folder);
    project.splash = ini.ReadBool(kCheckBoxSection, kSplashFlagKey, false);
    project.pictures = ReadPictureTable(ini, folder);
    project.list_empty = project.pictures.empty();
    return project;
}

}  // namespace grix
