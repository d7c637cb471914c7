// Feeds arbitrary bytes to the settings-file reader as a grix.ini the window
// or grix-cli would load, then writes into it. A settings file is the one
// text input a user (or a damaged disk) hands us whole.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "builder/project_settings.h"
#include "core/errors.h"
#include "core/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        grix::IniFile ini = grix::IniFile::FromText("/nonexistent/grix.ini", text);
        (void)ini.ReadString(grix::kEditSection, grix::kNameKey, "x");
        (void)ini.ReadInteger(grix::kComboBoxSection, "ComboBox1", -1);
        (void)ini.ReadBool(grix::kCheckBoxSection, grix::kSplashFlagKey, false);
        (void)grix::ReadPictureTable(ini, "/nonexistent/");

        // Text() must read back as the same file.
        const std::string once = ini.Text();
        if (grix::IniFile::FromText("/nonexistent/grix.ini", once).Text() != once) __builtin_trap();

        // What we write is what we read, whatever stood in the file before.
        ini.WriteString(grix::kEditSection, grix::kNameKey, "Fuzzed name");
        ini.WriteInteger(grix::kTableSection, grix::kRowCountKey, 0);
        if (ini.ReadString(grix::kEditSection, grix::kNameKey, "") != "Fuzzed name") __builtin_trap();
        if (ini.ReadInteger(grix::kTableSection, grix::kRowCountKey, 7) != 0) __builtin_trap();
    } catch (const grix::Error&) {
    }
    return 0;
}
