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
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

// Runs a command through the shell; answers its exit status and fills the
// captured standard output and error.
int RunCommand(const std::string& command, std::string* out = nullptr, std::string* err = nullptr);

// Single-quotes a string for the shell.
std::string ShellQuote(const std::string& text);

}  // namespace grix::test
