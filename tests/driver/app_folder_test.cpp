#include "builder/app_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_support.h"

namespace grix {
namespace {

// Sets an environment variable for one scope, restoring the old value.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_) ::setenv(name_, old_.c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(AppFolder, TheExecutableFolderHoldsTheRunningProgram) {
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "build_driver_test"));
}

TEST(AppFolder, PerUserFolderFollowsXdgThenHome) {
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/data/me");
        EXPECT_EQ(UserDataFolder(), "/data/me/grix/");
    }
    {
        // A relative XDG_DATA_HOME is invalid and ignored, as the standard says.
        ScopedEnv xdg("XDG_DATA_HOME", "relative/dir");
        ScopedEnv home("HOME", "/home/me");
        EXPECT_EQ(UserDataFolder(), "/home/me/.local/share/grix/");
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        EXPECT_EQ(UserDataFolder(), "");
    }
}

TEST(AppFolder, WritabilityIsTriedForReal) {
    test::TempDir dir;
    EXPECT_TRUE(IsFolderWritable(dir.path().string()));
    EXPECT_TRUE(IsFolderWritable(dir.path().string() + "/"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // the probe is gone
    EXPECT_FALSE(IsFolderWritable(dir / "missing"));
    EXPECT_FALSE(IsFolderWritable("/proc/"));  // read-only even for root
    EXPECT_FALSE(IsFolderWritable(""));
}

TEST(AppFolder, AReadOnlyProgramFolderGivesWayToThePerUserFolder) {
    test::TempDir dir;
    const std::string user = dir / "share/grix/";
    EXPECT_EQ(ChooseApplicationFolder(dir.path().string() + "/", user), dir.path().string() + "/");
    EXPECT_FALSE(std::filesystem::exists(user));
    EXPECT_EQ(ChooseApplicationFolder("/proc/", user), user);
    EXPECT_TRUE(std::filesystem::is_directory(user));  // created for the settings and suites
    EXPECT_EQ(ChooseApplicationFolder("/proc/", ""), "/proc/");
}

TEST(AppFolder, TheInstalledProgramFolderIsNeverWritten) {
    // Even for root, who can write there: the package owns that folder.
    test::TempDir dir;
    const std::string installed = InstalledProgramFolder();
    ASSERT_FALSE(installed.empty());
    EXPECT_EQ(ChooseApplicationFolder(installed, dir / "grix/"), dir / "grix/");
}

TEST(AppFolder, AWritableProgramFolderIsTheApplicationFolder) {
    // Test programs live in the (writable) build tree.
    EXPECT_EQ(ApplicationFolder(), ExecutableFolder());
    EXPECT_EQ(SettingsFilePath(), ExecutableFolder() + "grix.ini");
}

}  // namespace
}  // namespace grix
