// The crossword project as the settings file keeps it. The window stores
// each of its controls under its own name (section "TEdit": Edit2 name,
// Edit6 information, Edit1 splash path; "TCheckBox": CheckBox3 splash flag)
// and the picture list in section "Table" (RowCount, then i.1 path, i.2 size
// text, i.3 note for rows i = 1..RowCount). grix-cli reads the same file.
#pragma once

#include <string>
#include <vector>

#include "builder/project.h"
#include "core/ini_file.h"

namespace grix {

inline constexpr const char* kDefaultCrosswordName = "My first crossword";
inline constexpr const char* kDefaultCreditLine = "Made with Grix, the nonogram maker by Tarnfield";

inline constexpr const char* kEditSection = "TEdit";
inline constexpr const char* kCheckBoxSection = "TCheckBox";
inline constexpr const char* kComboBoxSection = "TComboBox";
inline constexpr const char* kFontSection = "Font";
inline constexpr const char* kTableSection = "Table";
inline constexpr const char* kRowCountKey = "RowCount";

inline constexpr const char* kNameKey = "Edit2";
inline constexpr const char* kInfoKey = "Edit6";
inline constexpr const char* kSplashPathKey = "Edit1";
inline constexpr const char* kSplashFlagKey = "CheckBox3";

// A RowCount outside 0..kMaxTableRows is damage (or hostile), not a list:
// it loads as the empty list instead of allocating without bound.
inline constexpr int kMaxTableRows = 65535;

// The folder of the settings file at `settings_path`, with a trailing
// separator ("" when the path names no folder).
std::string SettingsFolder(const std::string& settings_path);

// A relative path from a settings file is taken against the file's folder,
// so that a project folder can move as a whole (the sample in examples/
// refers to its pictures that way). Full paths, empty paths and paths in
// Windows form (drive letter or leading backslash) stay as they are.
std::string ResolveProjectPath(const std::string& path, const std::string& settings_folder);

// The rows of section "Table", numbered 1..n, paths resolved against
// `settings_folder`; empty for the empty list.
std::vector<PictureEntry> ReadPictureTable(const IniFile& ini, const std::string& settings_folder);

// Why the picture list of `ini` is empty, for a command that was asked to
// work on it: no RowCount at all (the file is no project, or not one this
// reader can read, such as UTF-16 text), a RowCount that is no count of
// pictures, or a count of 0 ("Image list is empty"). Empty when the list
// has rows.
[[nodiscard]] std::string EmptyPictureTableReason(const IniFile& ini);

// Writes RowCount and every key i.c of `pictures`. Keys of rows beyond the
// list stay in the file; readers never look past RowCount.
void WritePictureTable(IniFile& ini, const std::vector<PictureEntry>& pictures);

// The project a window last saved to `settings_path`, with the window's
// defaults for what the file lacks. Raises EFileError when the file cannot
// be read (a missing file is "File not found": a project must exist).
CrosswordProject LoadCrosswordProject(const std::string& settings_path);

}  // namespace grix
