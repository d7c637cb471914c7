// Where Grix keeps its working folders and settings file.
//
// Beside the program, as users of a portable copy expect; when that folder
// cannot be written, or is the folder the program was installed into (a
// package, `cmake --install`), in the per-user data folder instead:
// $XDG_DATA_HOME/grix, else ~/.local/share/grix (on Windows
// %LOCALAPPDATA%\Grix). The choice is made once per run.
#pragma once

#include <string>

namespace grix {

// The running program's folder, with a trailing separator; empty when the
// platform cannot tell.
std::string ExecutableFolder();

// The per-user data folder, with a trailing separator (not created).
std::string UserDataFolder();

// True when a file can be created in `folder` (tried for real: permission
// bits say nothing to root or to read-only mounts).
bool IsFolderWritable(const std::string& folder);

// The folder the build installs the programs into (/usr/bin for the
// package), with a trailing separator; empty where the build does not say.
std::string InstalledProgramFolder();

// `beside` when a file can be created there and it is not the installed
// program folder; otherwise `user`, created (unless it is empty, when
// `beside` is all there is).
std::string ChooseApplicationFolder(const std::string& beside, const std::string& user);

// The folder the suite, staging and manifest folders and grix.ini hang
// from, with a trailing separator: decided on the first call and kept.
// Creates the per-user folder when it is the one chosen.
const std::string& ApplicationFolder();

// The settings file: ApplicationFolder() + "grix.ini".
std::string SettingsFilePath();

}  // namespace grix
