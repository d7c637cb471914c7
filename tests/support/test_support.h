// Helpers shared by the test programs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace grix::test {

// Expects `statement` to throw exactly `type` whose what() equals `message`.
#define EXPECT_THROW_MSG(statement, type, message)                                 \
    do {                                                                           \
        try {                                                                      \
            (void)(statement);                                                     \
            ADD_FAILURE() << "no exception from " #statement;                     \
        } catch (const type& e_) {                                                 \
            EXPECT_EQ(std::string(e_.what()), std::string(message));               \
        } catch (const std::exception& e_) {                                      \
            ADD_FAILURE() << "wrong exception type from " #statement ": " << e_.what(); \
        }                                                                          \
    } while (0)

// A fresh, empty folder for one test, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // The UTF-8 path of `name` inside the folder.
    std::string operator/(const std::string& name) const;

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

// Whether the host's POSIX shell and tools (unzip, python3, jar, setpriv)
// are at hand: not in the Windows build, whose tests run under wine.
inline constexpr bool kHostTools = GRIX_TEST_HOST_TOOLS;
// Whether this is the Windows build.
inline constexpr bool kWindows = GRIX_TEST_WINDOWS;

// Runs a command through the shell (cmd.exe on Windows); answers its exit status and fills the
// captured standard output and error.
int RunCommand(const std::string& command, std::string* out = nullptr, std::string* err = nullptr);

// Quotes a string for that shell: single quotes on POSIX, double quotes on
// Windows.
std::string ShellQuote(const std::string& text);

#ifdef GRIX_CLI_PATH
// What a run of grix-cli gave.
struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// Runs the grix-cli under test with `arguments` (already quoted for the
// shell where they need it).
inline CliResult RunCli(const std::string& arguments) {
    CliResult r;
    r.status = RunCommand(ShellQuote(GRIX_CLI_PATH) + " " + arguments, &r.out, &r.err);
    return r;
}
#endif

}  // namespace grix::test
